#include "SpoolFileList.h"

void SpoolFileList::clear(bool withColumns) {
    beginResetModel();
    cells_.clear();
    cells_.shrink_to_fit();
    rows_ = shown_ = 0;
    if (withColumns) {
        keys_.clear();
        headers_.clear();
        fonts_.clear();
        columnOfKey_.clear();
    }
    endResetModel();
}

bool SpoolFileList::addColumn(const QString& key, const QString& header) {
    if (columnOfKey_.contains(key)) return false;
    publish();
    // Columns come before the rows: a list with rows is laid out afresh.
    beginResetModel();
    std::vector<QString> cells(static_cast<size_t>(rows_) * (keys_.size() + 1));
    for (int r = 0; r < rows_; ++r)
        for (size_t c = 0; c < keys_.size(); ++c) cells[static_cast<size_t>(r) * (keys_.size() + 1) + c] = cell(r, int(c));
    cells_ = std::move(cells);
    columnOfKey_.insert(key, columns());
    keys_.push_back(key);
    headers_.push_back(header);
    fonts_.emplace_back();
    endResetModel();
    return true;
}

void SpoolFileList::addRow() {
    publish();
    beginInsertRows({}, rows_, rows_);
    cells_.resize(cells_.size() + keys_.size());
    shown_ = ++rows_;
    endInsertRows();
}

void SpoolFileList::addRows(const std::vector<int>& columnsOfCells, std::vector<QStringList> rows) {
    for (QStringList& cells : rows) {
        const size_t first = cells_.size();
        cells_.resize(first + keys_.size());
        for (size_t i = 0; i < columnsOfCells.size() && i < static_cast<size_t>(cells.size()); ++i)
            if (columnsOfCells[i] >= 0)
                cells_[first + static_cast<size_t>(columnsOfCells[i])] = std::move(cells[static_cast<qsizetype>(i)]);
        ++rows_;
    }
    if (rows_ - shown_ >= 500) publish();
}

void SpoolFileList::publish() {
    if (rows_ == shown_) return;
    beginInsertRows({}, shown_, rows_ - 1);
    shown_ = rows_;
    endInsertRows();
}

std::optional<int> SpoolFileList::columnOf(const QString& key) const {
    const auto it = columnOfKey_.constFind(key);
    if (it == columnOfKey_.constEnd()) return std::nullopt;
    return *it;
}

void SpoolFileList::setCell(int row, int column, const QString& value) {
    QString& c = cells_[at(row, column)];
    if (c == value) return;
    c = value;
    if (row >= shown_) return;
    const QModelIndex changed = index(row, column);
    emit dataChanged(changed, changed, {Qt::DisplayRole});
}

void SpoolFileList::setColumnFont(int column, const QFont& font) {
    if (fonts_[static_cast<size_t>(column)] == font) return;
    fonts_[static_cast<size_t>(column)] = font;
    if (shown_ > 0) emit dataChanged(index(0, column), index(shown_ - 1, column), {Qt::FontRole});
}

QVariant SpoolFileList::data(const QModelIndex& where, int role) const {
    if (!where.isValid() || where.row() >= shown_ || where.column() >= columns()) return {};
    if (role == Qt::DisplayRole) return cell(where.row(), where.column());
    if (role == Qt::FontRole && fonts_[static_cast<size_t>(where.column())]) return *fonts_[static_cast<size_t>(where.column())];
    return {};
}

QVariant SpoolFileList::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < columns())
        return headers_[static_cast<size_t>(section)];
    return QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags SpoolFileList::flags(const QModelIndex& where) const {
    return where.isValid() ? Qt::ItemIsSelectable | Qt::ItemIsEnabled : Qt::NoItemFlags;
}
