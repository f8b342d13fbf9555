#pragma once
#include <vector>

#include "SplfGrid.h"
#include "SpoolFileList.h"

// The spooled-file list filled with no grid to show it: a run nobody watches
// lists into it and delivers from its entries. Column widths and fonts are a
// view's business; a selection is kept per row.
class ListSplfGrid : public SplfGrid {
public:
    const SpoolFileList& list() const { return list_; }

    void clear(bool withColumns = false) override;
    void addColumn(const QString& key, const QString& header, int width) override;
    void addRow() override;
    void addRows(const QStringList& keys, std::vector<QStringList> rows) override;
    int rowCount() const override { return list_.rows(); }
    int columnCount() const override { return list_.columns(); }
    void setCellValue(int row, const QString& key, const QString& value) override;
    QString cellValue(int row, const QString& key) const override;
    void setCellFont(int row, const QString& key, const QFont& font) override;
    void autoWidthColumn(const QString&) override {}
    void setCellSelected(int row, int column, bool selected) override;
    bool rowSelected(int row) const override;
    void selectAllRows() override;
    void listEnded() override { list_.publish(); }

private:
    // Throws std::out_of_range for an unknown key or cell, as the screen's grid does.
    int column(const QString& key) const;
    void checkRow(int row) const;
    SpoolFileList list_;
    std::vector<bool> selected_;
};
