#pragma once
#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "SpoolDownload.h"

// How the core transfer lays out a report, told by its caller's process code.
enum class ProcessCode {
    Text,          // "Text": pages padded to the page length, or a form feed
    FullView,      // "ProcFullView": a three-line separator with the page number
    Office,        // "ProcExcel", "ProcLotus123", "ProcWord_8", "ProcWord_6", "ProcWordPro": character 149
    AutoMail,      // "ProcAttachOAMS", "ProcAttachNotesAMS", "ProcAttachIEAMS": whole slots
    Other,         // any other text: a form feed
};
ProcessCode ProcessCodeOf(const QString& code);

struct TextLayoutOptions {
    ProcessCode code = ProcessCode::Text;
    bool printControl = false;  // chkPrtCtl
    bool fcfc = false;          // optPrtCtlFormat(1) "*FCFC format"
    bool removeBlank = false;   // chkBlankLines
    // "Lines per page" when it is a page count (Text only).
    std::optional<int> pageLength;
    int width = 80;             // the record width (the full-view separator)
};
// The page length of a "Lines per page" text: a whole number of lines.
std::optional<int> PageLengthOf(const QString& text);

// Turns records into the lines of a text file. The line of a record follows
// the host's print control: a skip to line s puts the record on line s of its
// page (a new page when s is not below the last line written), a spacing of n
// puts it n lines below the last one. Every line written counts, so pages of
// a "Text" file with a page length are exactly that long.
class TextLayout {
public:
    using LineOut = std::function<void(std::string_view)>;
    TextLayout(const TextLayoutOptions& options, LineOut out);
    void record(const SpoolRecordSlot& slot);
    // Pads the last page of a "Text" file to its length.
    void finish();

private:
    void plain(const SpoolRecordSlot& slot);
    void asa(const SpoolRecordSlot& slot);
    void pageBreak();
    void emptyLines(int count);
    char asaAdvanceTo(int line);

    TextLayoutOptions o_;
    LineOut out_;
    // Plain layout: the line of the page that the next line lands on.
    int next_ = 1;
    int pageNumber_ = 1;
    // *FCFC: the line of the last line written; no page before the first record.
    bool asaStarted_ = false;
    int asaLine_ = 0;
};
