#include "PlainSplfScreen.h"

void PlainSplfGrid::clear(bool withColumns) {
    rows_.clear();
    selected_.clear();
    if (withColumns) {
        keys_.clear();
        headers_.clear();
    }
}

void PlainSplfGrid::addColumn(const QString& key, const QString& header, int) {
    keys_ << key;
    headers_ << header;
}

void PlainSplfGrid::addRow() {
    rows_.append(QMap<QString, QString>());
    selected_.append(false);
}

void PlainSplfGrid::setCellValue(int row, const QString& key, const QString& value) {
    rows_[row - 1][key] = value;
}

QString PlainSplfGrid::cellValue(int row, const QString& key) const { return rows_[row - 1].value(key); }

void PlainSplfGrid::setCellSelected(int row, int, bool selected) { selected_[row - 1] = selected; }

bool PlainSplfGrid::rowSelected(int row) const { return selected_[row - 1]; }

void PlainSplfScreen::setStatus(const QString& text) {
    status_ = text;
    statusHistory << text;
    if (onStatus) onStatus(text);
}

int PlainSplfScreen::chosen(ScreenChoice group) const {
    const auto& buttons = chosen_[index(group)];
    for (size_t i = 0; i < buttons.size(); ++i)
        if (buttons[i]) return static_cast<int>(i);
    return -1;
}

bool PlainSplfScreen::isChosen(ScreenChoice group, int button) const {
    const auto& buttons = chosen_[index(group)];
    return button >= 0 && button < static_cast<int>(buttons.size()) && buttons[static_cast<size_t>(button)];
}

void PlainSplfScreen::setChosen(ScreenChoice group, int button, bool on) {
    auto& buttons = chosen_[index(group)];
    if (button < 0 || button >= static_cast<int>(buttons.size())) return;
    if (on) buttons.fill(false);
    buttons[static_cast<size_t>(button)] = on;
}
