#pragma once
#include <memory>

#include "SplfGrid.h"
#include "SpoolFileList.h"

class QTableView;

// The spooled-file grid: the list's entries (SpoolFileList) shown in a
// QTableView. Whole rows are selected, several at a time; the cell in the
// first column tells whether a row is selected.
class TableSplfGrid : public SplfGrid {
public:
    explicit TableSplfGrid(QTableView* view);
    ~TableSplfGrid() override;
    QTableView* view() const { return view_; }
    const SpoolFileList& list() const { return *list_; }

    void clear(bool withColumns = false) override;
    void addColumn(const QString& key, const QString& header, int width) override;
    void addRow() override;
    void addRows(const QStringList& keys, std::vector<QStringList> rows) override;
    int rowCount() const override;
    int columnCount() const override;
    void setCellValue(int row, const QString& key, const QString& value) override;
    QString cellValue(int row, const QString& key) const override;
    void setCellFont(int row, const QString& key, const QFont& font) override;
    void autoWidthColumn(const QString& key) override;
    void setCellSelected(int row, int column, bool selected) override;
    bool rowSelected(int row) const override;
    void selectAllRows() override;
    void listEnded() override;

private:
    // Throws std::out_of_range for an unknown key or cell, as the grid control
    // raised a run-time error in its caller.
    int column(const QString& key) const;
    void checkRow(int row) const;
    QTableView* view_;
    std::unique_ptr<SpoolFileList> list_;
    // The columns of the keys the list's blocks came with last: a list of a
    // thousand blocks gives the same keys each time.
    QStringList blockKeys_;
    std::vector<int> blockColumns_;
};
