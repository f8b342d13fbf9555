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
PageModelOptions pagesOf(const TextLayoutOptions& o) {
    PageModelOptions p;
    if (o.code == ProcessCode::Text) p.pageLength = o.pageLength;
    p.layout = !o.removeBlank;
    return p;
}
}  // namespace

TextLayout::TextLayout(const TextLayoutOptions& options, LineOut out)
    : o_(options), out_(std::move(out)), pages_(pagesOf(options)) {
    if (o_.code != ProcessCode::Text) {
        o_.pageLength.reset();
        o_.textFile = false;
    }
    if (!o_.textFile) o_.printControl = false;
}

std::string TextLayout::shown(std::string_view text) const {
    return o_.textFile ? WithoutFormFeeds(text) : ShownText(text);
}

void TextLayout::record(const SpoolRecordSlot& slot) {
    if (o_.printControl) {
        if (o_.fcfc)
            asa(slot);
        else
            out_(shown(RightTrimmed(slot.whole)));
    } else if (o_.code == ProcessCode::AutoMail) {
        out_(shown(RightTrimmed(slot.whole)));
    } else {
        pages_.record(slot, *this);
    }
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

char TextLayout::asaAdvanceTo(int line) {
    int gap = line - asaLine_;
    for (; gap > 3; gap -= 3) out_("-");
    asaLine_ = line;
    return gap == 1 ? ' ' : gap == 2 ? '0' : '-';
}

void TextLayout::asa(const SpoolRecordSlot& slot) {
    char control;
    if (const auto skip = slot.skipLine()) {
        // A skip places the record; a skip to a line not below the last one
        // written is a new page, and its eject is carried by the first line.
        const int line = std::max(*skip, 1);
        if (!asaStarted_ || line <= asaLine_) {
            asaStarted_ = true;
            asaLine_ = 1;
            if (line == 1) {
                control = '1';
            } else {
                out_("1");
                control = asaAdvanceTo(line);
            }
        } else {
            control = asaAdvanceTo(line);
        }
    } else {
        int spacing = slot.spacingLines().value_or(1);
        if (!asaStarted_) {
            // The file begins at the top of its first page.
            asaStarted_ = true;
            asaLine_ = 0;
            spacing = std::max(spacing, 1);
        }
        control = spacing == 0 ? '+' : asaAdvanceTo(asaLine_ + spacing);
    }
    out_(std::string(1, control) + shown(RightTrimmed(slot.text)));
}

void TextLayout::finish() {
    if (o_.printControl || o_.code == ProcessCode::AutoMail) return;
    emptyLines(pages_.lastPageRest());
}
