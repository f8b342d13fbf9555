#pragma once
#include <QFont>
#include <QString>
#include <QStringList>
#include <vector>

// The spooled-file grid as the lists and the driver use it. Rows count from 1;
// columns are addressed by key, or by number from 1 in the order added.
class SplfGrid {
public:
    virtual ~SplfGrid() = default;
    virtual void clear(bool withColumns = false) = 0;
    virtual void addColumn(const QString& key, const QString& header, int width) = 0;
    virtual void addRow() = 0;
    virtual int rowCount() const = 0;
    virtual int columnCount() const = 0;
    virtual void setCellValue(int row, const QString& key, const QString& value) = 0;
    virtual QString cellValue(int row, const QString& key) const = 0;
    virtual void setCellFont(int row, const QString& key, const QFont& font) = 0;
    virtual void autoWidthColumn(const QString& key) = 0;
    virtual void setCellSelected(int row, int column, bool selected) = 0;
    virtual bool rowSelected(int row) const = 0;
    // Rows added at once (a list block's entries): each row's cells in the order of `keys`.
    // The rows are taken over: a caller that moves them in has its texts moved, not copied.
    virtual void addRows(const QStringList& keys, std::vector<QStringList> rows) {
        for (const QStringList& cells : rows) {
            addRow();
            for (qsizetype c = 0; c < keys.size() && c < cells.size(); ++c) setCellValue(rowCount(), keys[c], cells[c]);
        }
    }
    // The list has ended: everything added is shown.
    virtual void listEnded() {}
    // Every row selected at once (a long list is not selected row by row).
    virtual void selectAllRows() {
        for (int row = 1; row <= rowCount(); ++row) setCellSelected(row, 1, true);
    }
};
