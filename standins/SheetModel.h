#pragma once
#include <QFile>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <vector>

// The lines a sheet's rows come from: a text file in the Windows code page
// (CR LF or LF ends a line), read one line after another and read again from
// the nearest of the places kept every few thousand lines; or lines held (a
// small sheet made in memory). No text of the file is held, so a sheet of a
// million rows costs no more memory than one of a hundred.
class SheetLines {
public:
    // Reads through the file once, counting its lines; false when it cannot be read.
    bool open(const QString& path);
    void append(const QString& line);
    qsizetype count() const { return count_; }
    // Line `index` (0-based); reading on from the last one costs no seek.
    QString at(qsizetype index);
    // The same as the file holds it, in the code page.
    QByteArray bytesAt(qsizetype index);

private:
    static constexpr qsizetype kStep = 4096;
    bool readLine(QByteArray& into);
    QStringList held_;
    QFile file_;
    std::vector<qint64> places_;  // the file offset of every kStep-th line
    qsizetype count_ = 0;
    qsizetype next_ = 0;  // the line the file stands at
};

// The columns of a report's fixed-width text. A field is a run of text that
// ends at two blanks or more ("I N V O I C E", "NET PAY" are one field). The
// report's table is its lines with as many fields as most of its lines have
// (two or more): a column starts where a run of two blanks or more begins
// that goes through every line of the table. Titles, totals and headings
// that cross those runs are not cut: each of their fields goes into the
// column where it begins ("Balance due:" into the description's column, its
// amount into the amount's).
class ColumnFinder {
public:
    void add(const QString& line);
    // The first character of each column, 0 first.
    QList<int> columns() const;

private:
    static constexpr int kMostFields = 255;
    std::vector<qsizetype> lines_ = std::vector<qsizetype>(kMostFields + 1, 0);  // lines by their count of fields
    std::vector<std::vector<bool>> used_ = std::vector<std::vector<bool>>(kMostFields + 1);  // their non-blank characters
};
// The cells of a line in those columns.
QStringList FieldsOf(const QString& line, const QList<int>& columns);

// One worksheet: its rows (the lines of a text, less the rows deleted; a
// line is one cell, or its fields when the text was parsed), manual page
// breaks (the row that starts each new page), hidden rows and fitted column
// widths (in characters).
struct Sheet {
    // A worksheet holds at most this many manual page breaks (as in Excel and the .xlsx format).
    static constexpr std::size_t kMaxPageBreaks = 1023;
    SheetLines lines;
    QList<int> columnStarts;  // the parsed text's columns; empty: a line is one cell
    std::vector<qsizetype> pageBreaks;  // ascending
    std::vector<qsizetype> hiddenRows;  // ascending
    QMap<int, double> columnWidths;
    // The report was parsed into fields: a field that reads as a number is one.
    bool fields = false;

    qsizetype rowCount() const;
    QStringList row(qsizetype r);
    // The line of row r as the text has it, and in the code page's bytes.
    QString lineOf(qsizetype r);
    QByteArray lineBytes(qsizetype r);
    QString cell(qsizetype r, int column);
    int columnCount() const;
    void deleteRows(qsizetype first, qsizetype count);
    // False when the sheet already holds kMaxPageBreaks and this one is new.
    bool addPageBreak(qsizetype beforeRow);
    void hideRow(qsizetype r);
    // Widths of the columns first..last (all used columns when last < 0):
    // a line's column fits its longest text, a parsed column its field in
    // the report, so that the sheet is as wide as the report.
    void autoFit(int first, int last);
    // Parses the lines of column A into the report's columns (Text to
    // Columns, and fixed-width opening).
    void splitFixedWidth(int column);

private:
    qsizetype sourceLine(qsizetype r) const;
    struct Gone {
        qsizetype first, last;  // lines first..last-1 of `lines`
    };
    std::vector<Gone> gone_;  // ascending, apart
    std::vector<qsizetype> goneBefore_{0};  // lines gone in the ranges before each one; the last: all
};

// A field of a report as a number: digits with or without thousands
// separators and decimals, negative with a leading or trailing "-" or a
// trailing "CR". False for anything else (codes with leading zeros included).
bool ReportNumber(const QString& field, double* value, int* decimals, bool* grouped);

// Writes the sheet as an .xlsx workbook, beside the target first and renamed
// over it when complete; false and a reason when it could not be written.
// The rows go out one at a time, as they are read.
bool WriteXlsx(Sheet& sheet, const QString& sheetName, const QString& path, QString* error);
