#pragma once
#include <QMap>
#include <QString>
#include <QStringList>
#include <vector>

// The rows of a worksheet, held so that deleting rows one after another
// down the sheet costs no more than one pass over it (a gap buffer: rows
// before the gap are stored first, the rest at the end).
class RowStore {
public:
    qsizetype size() const { return static_cast<qsizetype>(rows_.size()) - gapSize_; }
    const QStringList& at(qsizetype row) const { return rows_[physical(row)]; }
    QStringList& at(qsizetype row) { return rows_[physical(row)]; }
    void append(QStringList row);
    void erase(qsizetype first, qsizetype count);
    void clear();

private:
    std::size_t physical(qsizetype row) const {
        return static_cast<std::size_t>(row < gapStart_ ? row : row + gapSize_);
    }
    void moveGap(qsizetype to);
    std::vector<QStringList> rows_;
    qsizetype gapStart_ = 0;
    qsizetype gapSize_ = 0;
};

// One worksheet: cell texts, manual page breaks (the row that starts each new
// page) and fitted column widths (in characters).
struct Sheet {
    // A worksheet holds at most this many manual page breaks (as in Excel and the .xlsx format).
    static constexpr std::size_t kMaxPageBreaks = 1023;
    RowStore rows;
    std::vector<qsizetype> pageBreaks;  // ascending
    QMap<int, double> columnWidths;
    // The report was parsed into fields: a field that reads as a number is one.
    bool fields = false;

    QString cell(qsizetype row, int column) const;
    int columnCount() const;
    void deleteRows(qsizetype first, qsizetype count);
    // False when the sheet already holds kMaxPageBreaks and this one is new.
    bool addPageBreak(qsizetype beforeRow);
    // Widths of the columns first..last (all used columns when last < 0) fitted to their longest text.
    void autoFit(int first, int last);
    // Splits the text of column `column` into fixed-width fields at the
    // positions where every line of that column has a blank before a field.
    void splitFixedWidth(int column);
};

// Lines of a text file written in the Windows code page; CR LF or LF ends a line.
QStringList ReadTextLines(const QString& path, bool* ok);
// The field starts of fixed-width text: each position where a run of
// non-blank characters begins after a position blank in every line.
QList<int> FixedWidthBreaks(const QStringList& lines);
QStringList SplitAt(const QString& line, const QList<int>& starts);
// A field of a report as a number: digits with or without thousands
// separators and decimals, negative with a leading or trailing "-" or a
// trailing "CR". False for anything else (codes with leading zeros included).
bool ReportNumber(const QString& field, double* value, int* decimals, bool* grouped);

// Writes the sheet as an .xlsx workbook, beside the target first and renamed
// over it when complete; false and a reason when it could not be written.
bool WriteXlsx(const Sheet& sheet, const QString& sheetName, const QString& path, QString* error);
