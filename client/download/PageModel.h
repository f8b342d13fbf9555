#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "SpoolDownload.h"

// What a destination draws of the pages the host's print control makes.
class PageCanvas {
public:
    virtual ~PageCanvas() = default;
    // A new page begins. `rest`: the empty lines that would fill the page
    // before it to the page length (0 without one).
    virtual void pageBreak(int rest) = 0;
    virtual void emptyLines(int count) = 0;
    // A record's line: `text` without its trailing blanks, on line `line` of page `page`.
    virtual void line(std::string_view text, int page, int line) = 0;
};

struct PageModelOptions {
    // Pages of exactly this many lines; none: a page ends only where a skip goes up.
    std::optional<int> pageLength;
    // False ("Remove blank lines and page breaks"): one line per record, one
    // page, nothing between them.
    bool layout = true;
    // The destination prints over a line (*FCFC): an overprint stays on the
    // line before it instead of taking one of its own.
    bool overprint = false;
    // A first record that skips opens its page (*FCFC: the skip is an eject).
    bool pageBeforeFirstSkip = false;
};

// Where the host's print control puts each record, the one rule of every
// destination (text file, documents, printing, the viewers, the office and
// e-mail work files). A skip to line s puts the record on line s of its page,
// on a new page when s is not below the host's last line; a spacing of n puts
// it n lines below the last one; neither, on the next line. The host's page is
// the reference: an overprint (spacing 0) is on the host's line before it, so
// in a destination that cannot print over a line it takes a line of its own
// and the lines after it on that host page move one down; it never turns a
// later skip into a new page. With a page length a record below the page's
// end goes on to the following page.
class PageModel {
public:
    explicit PageModel(const PageModelOptions& options = {});
    // Places one record on the canvas: the page breaks and empty lines before
    // it, then its line.
    void record(const SpoolRecordSlot& slot, PageCanvas& canvas);
    // The same for a record given by its parts.
    void record(std::optional<int> skip, std::optional<int> spacing, std::string_view text, PageCanvas& canvas);
    // Empty lines that complete the last page to the page length (0 without
    // one, or when nothing is on it).
    int lastPageRest() const;
    // The page of the last line written (1 before any), and how many lines
    // were written, empty ones included.
    int page() const { return page_; }
    long long linesWritten() const { return written_; }
    // The lines of the host's pages the same records take laid out with
    // neither a page length nor "Remove blank lines" (an overprint takes
    // none): what the exchange's "(MORE)" guard counts,
    // whatever the destination, without placing each record a second time.
    long long plainLinesWritten() const { return plainWritten_; }

private:
    void empty(int count, PageCanvas& canvas);
    PageModelOptions o_;
    int next_ = 1;  // the line of the page that the next line lands on
    int page_ = 1;
    bool started_ = false;
    // The host's page: its next line, and the destination's next line
    // counted from the host page's top (below it by the overprints moved down).
    int hostNext_ = 1;
    int outNext_ = 1;
    int movedDown_ = 0;
    long long written_ = 0;
    int plainNext_ = 1;
    long long plainWritten_ = 0;
};

// A record's text without its trailing blanks.
std::string_view RightTrimmed(std::string_view text);

// The one rule for what a document, an office work file or a mail shows of a
// record: control characters and the bytes the code page leaves unassigned
// become blanks, so that every later column stays where it was.
inline bool IsShownByte(unsigned char c) {
    return c >= 0x20 && c != 0x7F && c != 0x81 && c != 0x8D && c != 0x8F && c != 0x90 && c != 0x9D;
}
std::string ShownText(std::string_view text);
// The same into `out`, whose room is kept for the next line.
void AssignShownText(std::string& out, std::string_view text);
// Whether ShownText changes anything of the text.
bool HasUnshownBytes(std::string_view text);
// The text file keeps the bytes the host sent, but a form feed in a record
// is no page break: it becomes a blank.
std::string WithoutFormFeeds(std::string_view text);
