#pragma once
#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "SpoolFileRow.h"

// A text of at most maxDigits digits (blanks around them allowed) that is a
// whole number of 1 or more; anything else ("-5", "1.5", "1e3", "0") is none.
std::optional<qint64> WholeNumberOf(const QString& text, int maxDigits);

// A page-range text that names a page: a whole number from 1 to 9999999999
// (blanks around it allowed). Anything else ("*Start", "-5", "1.5", "1e3")
// is not a page number.
std::optional<qint64> PageNumber(const QString& text);
// Request columns 52-61 and 62-71: the page as ten digits, or the first or
// last page when the text names none.
std::string FirstPageField(const QString& txtFrom);
std::string LastPageField(const QString& txtTo);

// The download request ("W"; the preview sends "P"): 124 characters.
struct SpoolDownloadRequest {
    char code = 'W';
    SpoolFileRow row;
    QString fromText = QStringLiteral("*Start");
    QString toText = QStringLiteral("*End");
    bool convertMinus = false;       // column 72 "Y"
    bool suppressOverprint = false;  // column 73 "1"
    // The preview's additions: the row's translation table at 74-83, and
    // the body in upper case.
    bool withTranslation = false;
    bool upperCase = false;
    std::string build() const;
};

// Record width of a width code (" 80", "132", "198", "990"); 0 for any other.
int RecordWidth(std::string_view widthCode);
// Slots per 1000-character data area for a width (0 for width 0).
int SlotsPerBlock(int width);

// One record of a reply's data area: skip-to-line (3), spacing (1), text.
struct SpoolRecordSlot {
    std::string_view whole;    // the slot as sent: prefix and text
    std::string_view skip;     // columns 1-3: a line number or blanks
    std::string_view spacing;  // column 4: a digit or a blank
    std::string_view text;     // the line, exactly the record width
    // The skip as a line number, when it is one.
    std::optional<int> skipLine() const;
    // The spacing digit, when it is one.
    std::optional<int> spacingLines() const;
    // Set by ForEachRecord: both read once for every reader of the slot.
    bool parsed = false;
    std::optional<int> parsedSkip, parsedSpacing;
};

// Calls fn for every used (not all-blank) slot of a data area, in order.
void ForEachRecord(std::string_view dataArea, int width, const std::function<void(const SpoolRecordSlot&)>& fn);
