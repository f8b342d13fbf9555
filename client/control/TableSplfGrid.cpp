#include "TableSplfGrid.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QTableWidget>
#include <stdexcept>

TableSplfGrid::TableSplfGrid(QTableWidget* table) : table_(table) {
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // Tab leaves the grid for the next control; moving the current cell would
    // change which reports are selected.
    table_->setTabKeyNavigation(false);
    table_->setSortingEnabled(false);
    table_->setWordWrap(false);
    table_->verticalHeader()->hide();
    // Rows of one height need no measuring per row, which keeps long lists fast.
    table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
}

int TableSplfGrid::column(const QString& key) const {
    const auto it = columns_.constFind(key);
    if (it == columns_.constEnd()) throw std::out_of_range("Invalid key: " + key.toStdString());
    return *it;
}

void TableSplfGrid::checkRow(int row) const {
    if (row < 1 || row > table_->rowCount()) throw std::out_of_range("Invalid row number " + std::to_string(row));
}

void TableSplfGrid::clear(bool withColumns) {
    table_->clearSelection();
    table_->setRowCount(0);
    if (withColumns) {
        table_->setColumnCount(0);
        columns_.clear();
    }
}

void TableSplfGrid::addColumn(const QString& key, const QString& header, int width) {
    const int c = table_->columnCount();
    table_->setColumnCount(c + 1);
    table_->setHorizontalHeaderItem(c, new QTableWidgetItem(header));
    table_->setColumnWidth(c, width);
    columns_.insert(key, c);
}

void TableSplfGrid::addRow() { table_->setRowCount(table_->rowCount() + 1); }

int TableSplfGrid::rowCount() const { return table_->rowCount(); }

int TableSplfGrid::columnCount() const { return table_->columnCount(); }

void TableSplfGrid::setCellValue(int row, const QString& key, const QString& value) {
    checkRow(row);
    const int c = column(key);
    if (QTableWidgetItem* item = table_->item(row - 1, c)) {
        item->setText(value);
        return;
    }
    auto* item = new QTableWidgetItem(value);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    table_->setItem(row - 1, c, item);
}

QString TableSplfGrid::cellValue(int row, const QString& key) const {
    checkRow(row);
    const QTableWidgetItem* item = table_->item(row - 1, column(key));
    return item ? item->text() : QString();
}

void TableSplfGrid::setCellFont(int row, const QString& key, const QFont& font) {
    checkRow(row);
    const int c = column(key);
    QTableWidgetItem* item = table_->item(row - 1, c);
    if (!item) {
        setCellValue(row, key, QString());
        item = table_->item(row - 1, c);
    }
    item->setFont(font);
}

void TableSplfGrid::autoWidthColumn(const QString& key) { table_->resizeColumnToContents(column(key)); }

void TableSplfGrid::setCellSelected(int row, int column, bool selected) {
    checkRow(row);
    if (column < 1 || column > table_->columnCount())
        throw std::out_of_range("Invalid column number " + std::to_string(column));
    const QModelIndex index = table_->model()->index(row - 1, column - 1);
    table_->selectionModel()->select(index, (selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect) |
                                                QItemSelectionModel::Rows);
}

bool TableSplfGrid::rowSelected(int row) const {
    checkRow(row);
    return table_->selectionModel()->isSelected(table_->model()->index(row - 1, 0));
}

void TableSplfGrid::selectAllRows() {
    if (table_->rowCount() == 0 || table_->columnCount() == 0) return;
    // One range: the selection's tests stay quick however long the list.
    const QItemSelection all(table_->model()->index(0, 0),
                             table_->model()->index(table_->rowCount() - 1, table_->columnCount() - 1));
    table_->selectionModel()->select(all, QItemSelectionModel::Select);
}
