#pragma once
#include <QAbstractTableModel>
#include <QFont>
#include <QHash>
#include <QString>
#include <optional>
#include <vector>

// The spooled-file list: its entries, a row of texts each, one per column
// (Date, File, User, Outq, Pages, Form, JobNumber, Job, UserData as the list
// fills them). The grid on the screen is only a view of it; the driver and the
// batch run read the entries, never the view. The cells lie in one flat
// array, so a long list costs little more than its texts.
class SpoolFileList : public QAbstractTableModel {
public:
    SpoolFileList() = default;

    void clear(bool withColumns = false);
    // Adds a column; false when the key is already one.
    bool addColumn(const QString& key, const QString& header);
    void addRow();
    // Rows with their cells (by column; missing ones empty). The view hears of
    // them in runs of some hundred rows, and of the rest at publish(): telling
    // it of every list block would cost more than the list itself.
    void addRows(const std::vector<int>& columnsOfCells, std::vector<QStringList> rows);
    void publish();
    int rows() const { return rows_; }
    int columns() const { return static_cast<int>(keys_.size()); }
    // The column of a key (from 0), or none.
    std::optional<int> columnOf(const QString& key) const;
    const QString& cell(int row, int column) const { return cells_[at(row, column)]; }
    void setCell(int row, int column, const QString& value);
    void setColumnFont(int column, const QFont& font);

    // The model the view shows.
    int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : shown_; }
    int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : columns(); }
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    size_t at(int row, int column) const {
        return static_cast<size_t>(row) * keys_.size() + static_cast<size_t>(column);
    }
    std::vector<QString> keys_, headers_;
    QHash<QString, int> columnOfKey_;
    std::vector<std::optional<QFont>> fonts_;
    std::vector<QString> cells_;
    int rows_ = 0;
    int shown_ = 0;  // the rows the view has been told of
};
