#include "TableSplfGrid.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableView>
#include <stdexcept>

TableSplfGrid::TableSplfGrid(QTableView* view) : view_(view), list_(std::make_unique<SpoolFileList>()) {
    view_->setModel(list_.get());
    view_->setSelectionBehavior(QAbstractItemView::SelectRows);
    view_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    view_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab leaves the grid for the next control; moving the current cell would
    // change which reports are selected.
    view_->setTabKeyNavigation(false);
    view_->setSortingEnabled(false);
    view_->setWordWrap(false);
    view_->verticalHeader()->hide();
    // Rows of one height need no measuring per row, which keeps long lists fast.
    view_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    view_->verticalHeader()->setDefaultSectionSize(view_->fontMetrics().height() + 6);
}

TableSplfGrid::~TableSplfGrid() { view_->setModel(nullptr); }

int TableSplfGrid::column(const QString& key) const {
    const std::optional<int> c = list_->columnOf(key);
    if (!c) throw std::out_of_range("Invalid key: " + key.toStdString());
    return *c;
}

void TableSplfGrid::checkRow(int row) const {
    if (row < 1 || row > list_->rows()) throw std::out_of_range("Invalid row number " + std::to_string(row));
}

void TableSplfGrid::clear(bool withColumns) {
    view_->clearSelection();
    list_->clear(withColumns);
}

void TableSplfGrid::addColumn(const QString& key, const QString& header, int width) {
    if (!list_->addColumn(key, header)) return;
    view_->setColumnWidth(list_->columns() - 1, width);
}

void TableSplfGrid::addRow() { list_->addRow(); }

void TableSplfGrid::addRows(const QStringList& keys, const std::vector<QStringList>& rows) {
    std::vector<int> columns;
    for (const QString& key : keys) columns.push_back(column(key));
    list_->addRows(columns, rows);
}

int TableSplfGrid::rowCount() const { return list_->rows(); }

int TableSplfGrid::columnCount() const { return list_->columns(); }

void TableSplfGrid::setCellValue(int row, const QString& key, const QString& value) {
    checkRow(row);
    list_->setCell(row - 1, column(key), value);
}

QString TableSplfGrid::cellValue(int row, const QString& key) const {
    checkRow(row);
    return list_->cell(row - 1, column(key));
}

void TableSplfGrid::setCellFont(int row, const QString& key, const QFont& font) {
    checkRow(row);
    // Every row of a column is shown in one font (the pages in a fixed one).
    list_->setColumnFont(column(key), font);
}

void TableSplfGrid::autoWidthColumn(const QString& key) {
    list_->publish();
    view_->resizeColumnToContents(column(key));
}

void TableSplfGrid::setCellSelected(int row, int column, bool selected) {
    checkRow(row);
    list_->publish();
    if (column < 1 || column > list_->columns())
        throw std::out_of_range("Invalid column number " + std::to_string(column));
    const QModelIndex index = list_->index(row - 1, column - 1);
    view_->selectionModel()->select(index, (selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) |
                                               QItemSelectionModel::Rows);
}

bool TableSplfGrid::rowSelected(int row) const {
    checkRow(row);
    list_->publish();
    return view_->selectionModel()->isSelected(list_->index(row - 1, 0));
}

void TableSplfGrid::selectAllRows() {
    list_->publish();
    if (list_->rows() == 0 || list_->columns() == 0) return;
    // One range: the selection's tests stay quick however long the list.
    const QItemSelection all(list_->index(0, 0), list_->index(list_->rows() - 1, list_->columns() - 1));
    view_->selectionModel()->select(all, QItemSelectionModel::Select);
}

void TableSplfGrid::listEnded() { list_->publish(); }
