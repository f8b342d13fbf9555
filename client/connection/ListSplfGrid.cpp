#include "ListSplfGrid.h"

#include <stdexcept>

int ListSplfGrid::column(const QString& key) const {
    const std::optional<int> c = list_.columnOf(key);
    if (!c) throw std::out_of_range("Invalid key: " + key.toStdString());
    return *c;
}

void ListSplfGrid::checkRow(int row) const {
    if (row < 1 || row > list_.rows()) throw std::out_of_range("Invalid row number " + std::to_string(row));
}

void ListSplfGrid::clear(bool withColumns) {
    list_.clear(withColumns);
    selected_.clear();
}

void ListSplfGrid::addColumn(const QString& key, const QString& header, int) { list_.addColumn(key, header); }

void ListSplfGrid::addRow() {
    list_.addRow();
    selected_.resize(static_cast<size_t>(list_.rows()));
}

void ListSplfGrid::addRows(const QStringList& keys, std::vector<QStringList> rows) {
    std::vector<int> columns;
    for (const QString& key : keys) columns.push_back(column(key));
    list_.addRows(columns, std::move(rows));
    selected_.resize(static_cast<size_t>(list_.rows()));
}

void ListSplfGrid::setCellValue(int row, const QString& key, const QString& value) {
    checkRow(row);
    list_.setCell(row - 1, column(key), value);
}

QString ListSplfGrid::cellValue(int row, const QString& key) const {
    checkRow(row);
    return list_.cell(row - 1, column(key));
}

void ListSplfGrid::setCellFont(int row, const QString& key, const QFont& font) {
    checkRow(row);
    list_.setColumnFont(column(key), font);
}

void ListSplfGrid::setCellSelected(int row, int column, bool selected) {
    checkRow(row);
    if (column < 1 || column > list_.columns())
        throw std::out_of_range("Invalid column number " + std::to_string(column));
    selected_[static_cast<size_t>(row - 1)] = selected;
}

bool ListSplfGrid::rowSelected(int row) const {
    checkRow(row);
    return selected_[static_cast<size_t>(row - 1)];
}

void ListSplfGrid::selectAllRows() { selected_.assign(selected_.size(), true); }
