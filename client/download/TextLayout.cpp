#include "TextLayout.h"

#include <algorithm>

#include "SpoolFileRow.h"

ProcessCode ProcessCodeOf(const QString& code) {
    if (code == QLatin1String("Text")) return ProcessCode::Text;
    if (code == QLatin1String("ProcFullView")) return ProcessCode::FullView;
    for (const char* c : {"ProcExcel", "ProcLotus123", "ProcWord_8", "ProcWord_6", "ProcWordPro"})
        if (code == QLatin1String(c)) return ProcessCode::Office;
    for (const char* c : {"ProcAttachOAMS", "ProcAttachNotesAMS", "ProcAttachIEAMS"})
        if (code == QLatin1String(c)) return ProcessCode::AutoMail;
    return ProcessCode::Other;
}

std::optional<int> PageLengthOf(const QString& text) {
    const auto n = WholeNumberOf(text, 6);
    return n ? std::optional<int>(static_cast<int>(*n)) : std::nullopt;
}

namespace {
TextLayoutOptions normalised(TextLayoutOptions o) {
    if (o.code != ProcessCode::Text) {
        // An office work file's pages end where the text file's do; only the text file fills them up.
        if (o.code != ProcessCode::Office) o.pageLength.reset();
        o.textFile = false;
    }
    if (!o.textFile) o.printControl = false;
    if (!o.printControl) o.fcfc = false;
    return o;
}

PageModelOptions pagesOf(const TextLayoutOptions& o) {
    if (o.fcfc) return AsaLines::pages();
    PageModelOptions p;
    p.pageLength = o.pageLength;
    p.layout = !o.removeBlank;
    return p;
}
}  // namespace

TextLayout::TextLayout(const TextLayoutOptions& options, LineOut out)
    : o_(normalised(options)),
      out_(std::move(out)),
      pages_(pagesOf(o_)),
      asa_(out_, [this](std::string_view text) { return shown(text); }) {}

std::string TextLayout::shown(std::string_view text) const {
    return o_.textFile ? WithoutFormFeeds(text) : ShownText(text);
}

void TextLayout::record(const SpoolRecordSlot& slot) {
    if (wholeSlots())
        out_(shown(RightTrimmed(slot.whole)));
    else if (o_.fcfc)
        pages_.record(slot, asa_);
    else
        pages_.record(slot, *this);
}

void TextLayout::emptyLines(int count) {
    for (int i = 0; i < count; ++i) out_(std::string_view());
}

void TextLayout::line(std::string_view text, int, int) {
    // A record that is nothing but the office page mark must not pass for one.
    if (o_.code == ProcessCode::Office && text == "\x95") {
        out_("\x95 ");
        return;
    }
    // Most lines have nothing to change: they go out without a copy.
    if (o_.textFile ? text.find('\f') == std::string_view::npos : !HasUnshownBytes(text)) {
        out_(text);
        return;
    }
    out_(shown(text));
}

void TextLayout::pageBreak(int rest) {
    switch (o_.code) {
    case ProcessCode::Office: out_("\x95"); break;
    case ProcessCode::FullView: {
        const size_t w = static_cast<size_t>(o_.width);
        out_(std::string_view());
        out_(std::string(w, '_'));
        out_(std::string(w + 1, ' ') + std::to_string(pages_.page() + 1));
        break;
    }
    case ProcessCode::Text:
        if (o_.pageLength) {
            emptyLines(rest);
            break;
        }
        [[fallthrough]];
    default: out_("\x0c"); break;
    }
}

char AsaLines::advanceTo(int line) {
    int gap = line - last_;
    for (; gap > 3; gap -= 3) out_("-");
    last_ = line;
    return gap == 1 ? ' ' : gap == 2 ? '0' : '-';
}

void AsaLines::line(std::string_view text, int, int line) {
    char control;
    if (eject_) {
        // The eject is carried by the page's first line.
        eject_ = false;
        last_ = 1;
        if (line == 1) {
            control = '1';
        } else {
            out_("1");
            control = advanceTo(line);
        }
    } else {
        control = line == last_ ? '+' : advanceTo(line);
    }
    out_(std::string(1, control) + shown_(text));
}

void TextLayout::finish() {
    if (wholeSlots() || o_.fcfc || o_.code != ProcessCode::Text) return;
    emptyLines(pages_.lastPageRest());
}
