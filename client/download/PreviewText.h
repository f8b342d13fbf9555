#pragma once
#include <QString>
#include <string>

#include "PageModel.h"
#include "SpoolExchange.h"

// The text of a preview, built in memory as the blocks arrive: one line per
// record joined by CR LF, no CR LF at the end. With the layout on, the lines
// are the page model's, with a line of "_" between pages (as long as the
// record width, at most 132).
//
// The viewer shows at most kPreviewTextCap characters; a longer text shows its
// first half after a message. Nothing beyond twice the cap is kept, so that
// the half always fits and a host that sends far more than a few pages cannot
// exhaust memory. Appending is amortised constant time per character.
class PreviewText : public SpoolRecordSink, private PageCanvas {
public:
    static constexpr qsizetype kPreviewTextCap = 16 * 1024 * 1024;

    explicit PreviewText(bool layout, qsizetype cap = kPreviewTextCap);
    void accepted(const std::string& widthCode) override;
    void record(const SpoolRecordSlot& slot) override;

    // The text as collected (bytes of the host code page).
    const std::string& bytes() const { return text_; }
    qint32 records() const { return records_; }
    qsizetype cap() const { return cap_; }
    // More arrived than is kept.
    bool cut() const { return cut_; }

private:
    void append(std::string_view s);
    // A line of the text: CR LF before every line but the first.
    void addLine(std::string_view s);
    void pageBreak(int) override { addLine(separator_); }
    void emptyLines(int count) override;
    void line(std::string_view text, int page, int line) override;
    PageModel pages_;
    qsizetype cap_;
    std::string text_;
    std::string separator_;
    std::string_view whole_;
    int width_ = 0;
    bool started_ = false;
    qint32 records_ = 0;
    bool cut_ = false;
};

// What the viewer can show of a preview text: the whole text when it is
// within `cap`, else its first half (length / 2 rounded, halves to even).
struct ShownPreview {
    QString text;
    bool halved = false;
};
ShownPreview PreviewToShow(const std::string& bytes, qsizetype cap);
