#pragma once
#include <QString>
#include <string>

class SplfGrid;

// The fixed-column text that names one spooled file to every download
// procedure (112 characters, 1-based columns):
//   1-10 file, 12-21 user, 23-32 output queue, 33-37 pages (right-aligned),
//   38-47 form type, 48-57 date YYYY/MM/DD, 59-66 time hh:mm:ss,
//   68-73 job number, 75-91 job name "/" spooled-file number,
//   93-102 user data, 103-112 translation table (blank = host default).
// The text is held as bytes in the host code page.
class SpoolFileRow {
public:
    SpoolFileRow() = default;
    explicit SpoolFileRow(std::string text) : text_(std::move(text)) {}

    struct Fields {
        std::string file, user, outq, pages, form, date, time, jobNumber, job, userData, translation;
    };
    // Puts each field at its columns, padded or cut to its width; the
    // translation name is taken whole (a shorter one gives a shorter row).
    static SpoolFileRow fromFields(const Fields& f);
    // Row i of the spooled-file grid and the text of the translation list.
    static SpoolFileRow fromGrid(const SplfGrid& grid, int row, const QString& translationText);

    const std::string& text() const { return text_; }
    QString toQString() const;
    // The row as a person reads it: the pages with every digit the list gave.
    QString shownText() const;

    // Columns as they stand (blank-padded; missing columns read as blanks).
    std::string columns(int first, int last) const;
    std::string fileName() const { return columns(1, 10); }
    std::string user() const { return columns(12, 21); }
    std::string jobNumber() const { return columns(68, 73); }
    std::string userData() const { return columns(93, 102); }
    std::string translationTable() const { return columns(103, 112); }
    // The pages as the list gave them, blank-trimmed: all of their digits,
    // where columns 33-37 keep only the last five. Empty for a row made from text.
    const std::string& listedPages() const { return listedPages_; }
    // The 10 characters from column 75, cut before a "/" at their 2nd to
    // 10th character and padded to 10 again (the request's job name).
    std::string jobName() const;
    // The 4 characters after the first "/" at or after column 74, formatted
    // "0000"; empty when there is no "/".
    std::string spooledFileNumber() const;

private:
    std::string text_;
    std::string listedPages_;
};

// Trailing blanks removed; and both ends.
std::string RightTrim(const std::string& s);
std::string Trim(const std::string& s);
