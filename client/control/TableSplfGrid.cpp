#include "TableSplfGrid.h"

#include <QFontMetricsF>
#include <QHash>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QSet>
#include <QTableView>
#include <algorithm>
#include <array>
#include <stdexcept>

namespace {
// Texts measured for a column's width: the widest by their characters, whose
// advances may be off by a little kerning.
constexpr size_t kMeasured = 16;
}  // namespace

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
    if (withColumns) {
        blockKeys_.clear();
        blockColumns_.clear();
    }
}

void TableSplfGrid::addColumn(const QString& key, const QString& header, int width) {
    if (!list_->addColumn(key, header)) return;
    view_->setColumnWidth(list_->columns() - 1, width);
}

void TableSplfGrid::addRow() { list_->addRow(); }

void TableSplfGrid::addRows(const QStringList& keys, std::vector<QStringList> rows) {
    if (!keys.isSharedWith(blockKeys_) || blockColumns_.size() != static_cast<size_t>(keys.size())) {
        std::vector<int> columns;
        for (const QString& key : keys) columns.push_back(column(key));
        blockColumns_ = std::move(columns);
        blockKeys_ = keys;
    }
    list_->addRows(blockColumns_, std::move(rows));
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
    const int c = column(key);
    // The view would lay out every text of the column through its delegate,
    // which on a long list costs more than listing it. The texts' characters'
    // advances find the few widest ones; only those are measured that way.
    const QVariant columnFont = list_->rows() > 0 ? list_->data(list_->index(0, c), Qt::FontRole) : QVariant();
    const QFontMetricsF metrics(columnFont.isValid() ? columnFont.value<QFont>() : view_->font());
    // The advances of the Latin-1 characters, measured once each; others as they come.
    std::array<qreal, 256> latin1;
    latin1.fill(-1);
    QHash<char16_t, qreal> others;
    struct Candidate {
        qreal estimate;
        int row;
    };
    std::vector<Candidate> widest;
    QSet<QString> seen;
    for (int r = 0; r < list_->rows(); ++r) {
        const QString& text = list_->cell(r, c);
        // A text the row before shares (a list repeats its users, queues and
        // dates) has been weighed already.
        if (r > 0 && text.isSharedWith(list_->cell(r - 1, c))) continue;
        qreal estimate = 0;
        for (const QChar ch : text) {
            const char16_t u = ch.unicode();
            if (u < 256) {
                if (latin1[u] < 0) latin1[u] = metrics.horizontalAdvance(ch);
                estimate += latin1[u];
                continue;
            }
            auto it = others.find(u);
            if (it == others.end()) it = others.insert(u, metrics.horizontalAdvance(ch));
            estimate += *it;
        }
        if (widest.size() >= kMeasured && estimate <= widest.back().estimate) continue;
        if (seen.contains(text)) continue;
        seen.insert(text);
        const auto at = std::find_if(widest.begin(), widest.end(), [&](const Candidate& w) { return w.estimate < estimate; });
        widest.insert(at, {estimate, r});
        if (widest.size() > kMeasured) widest.pop_back();
    }
    int content = 0;
    for (const Candidate& w : widest) content = std::max(content, view_->sizeHintForIndex(list_->index(w.row, c)).width());
    if (view_->showGrid() && !widest.empty()) ++content;
    view_->setColumnWidth(c, std::max(content, view_->horizontalHeader()->sectionSizeHint(c)));
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
