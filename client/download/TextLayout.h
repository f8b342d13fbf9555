#pragma once
#include <QString>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "PageModel.h"
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
    // The "Text file" destination. Only its file takes the print control and
    // keeps the bytes the host sent; the work files of the other deliveries
    // get the layout their procedures read and the text documents show.
    bool textFile = true;
    bool printControl = false;  // chkPrtCtl
    bool fcfc = false;          // optPrtCtlFormat(1) "*FCFC format"
    bool removeBlank = false;   // chkBlankLines
    // "Lines per page" when it is a page count: the text file's pages, filled
    // up to it, and where an office work file's pages end.
    std::optional<int> pageLength;
    int width = 80;             // the record width (the full-view separator)
};
// The page length of a "Lines per page" text: a whole number of lines.
std::optional<int> PageLengthOf(const QString& text);

// *FCFC: each line's ASA control character, from where the page model puts
// the line. The file prints over a line ("+"), and a gap of more lines than
// one character moves is carried by lines holding "-" alone.
class AsaLines : public PageCanvas {
public:
    using LineOut = std::function<void(std::string_view)>;
    AsaLines(LineOut out, std::function<std::string(std::string_view)> shown)
        : out_(std::move(out)), shown_(std::move(shown)) {}
    static PageModelOptions pages() { return {.layout = true, .overprint = true, .pageBeforeFirstSkip = true}; }

private:
    void pageBreak(int) override { eject_ = true; }
    void emptyLines(int) override {}
    void line(std::string_view text, int page, int line) override;
    char advanceTo(int line);

    LineOut out_;
    std::function<std::string(std::string_view)> shown_;
    bool eject_ = false;
    int last_ = 0;  // the line of the last line written
};

// Turns records into the lines of a text file. The line of a record is the
// page model's; every line written counts, so pages of a "Text" file with a
// page length are exactly that long.
class TextLayout : private PageCanvas {
public:
    using LineOut = std::function<void(std::string_view)>;
    TextLayout(const TextLayoutOptions& options, LineOut out);
    TextLayout(const TextLayout&) = delete;
    TextLayout& operator=(const TextLayout&) = delete;
    void record(const SpoolRecordSlot& slot);
    // Pads the last page of a "Text" file to its length.
    void finish();
    // The page model, when it places every record (not for the whole slots
    // of *PRTCTL and the automatic e-mail).
    const PageModel* placing() const { return wholeSlots() ? nullptr : &pages_; }

private:
    bool wholeSlots() const { return (o_.printControl && !o_.fcfc) || o_.code == ProcessCode::AutoMail; }
    void pageBreak(int rest) override;
    void emptyLines(int count) override;
    void line(std::string_view text, int page, int line) override;
    std::string shown(std::string_view text) const;

    TextLayoutOptions o_;
    LineOut out_;
    PageModel pages_;
    AsaLines asa_;
};
