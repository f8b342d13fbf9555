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

void PlainSplfScreen::setControlEnabled(const QString& control, bool on) {
    if (on)
        disabled_.remove(control);
    else
        disabled_.insert(control);
}
