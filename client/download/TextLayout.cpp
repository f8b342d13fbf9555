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

TextLayout::TextLayout(const TextLayoutOptions& options, LineOut out) : o_(options), out_(std::move(out)) {
    if (o_.code != ProcessCode::Text) o_.pageLength.reset();
}

namespace {
std::string rightTrimmed(std::string_view s) {
    const size_t end = s.find_last_not_of(' ');
    return end == std::string_view::npos ? std::string() : std::string(s.substr(0, end + 1));
}
}  // namespace

void TextLayout::record(const SpoolRecordSlot& slot) {
    if (o_.printControl) {
        if (o_.fcfc)
            asa(slot);
        else
            out_(rightTrimmed(slot.whole));
    } else if (o_.code == ProcessCode::AutoMail) {
        out_(rightTrimmed(slot.whole));
    } else {
        plain(slot);
    }
}

void TextLayout::emptyLines(int count) {
    for (int i = 0; i < count; ++i) out_(std::string_view());
    next_ += std::max(count, 0);
}

void TextLayout::pageBreak() {
    switch (o_.code) {
    case ProcessCode::Office: out_("\x95"); break;
    case ProcessCode::FullView: {
        ++pageNumber_;
        const size_t w = static_cast<size_t>(o_.width);
        out_(std::string_view());
        out_(std::string(w, '_'));
        out_(std::string(w + 1, ' ') + std::to_string(pageNumber_));
        break;
    }
    case ProcessCode::Text:
        if (o_.pageLength) {
            emptyLines(*o_.pageLength - next_ + 1);
            break;
        }
        [[fallthrough]];
    default: out_("\x0c"); break;
    }
    next_ = 1;
}

void TextLayout::plain(const SpoolRecordSlot& slot) {
    if (!o_.removeBlank) {
        int target;
        if (const auto skip = slot.skipLine()) {
            target = std::max(*skip, 1);
            if (target < next_) pageBreak();
        } else if (const auto spacing = slot.spacingLines()) {
            // Overprinting has no place in a text file: the record gets a line of its own.
            target = next_ - 1 + std::max(*spacing, 1);
        } else {
            target = next_;
        }
        if (o_.pageLength) {
            // A record below the page's end goes on to the following page.
            const int length = *o_.pageLength;
            while (target > length) {
                emptyLines(length - next_ + 1);
                next_ = 1;
                target -= length;
            }
        }
        emptyLines(target - next_);
    }
    out_(rightTrimmed(slot.text));
    ++next_;
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
    out_(std::string(1, control) + rightTrimmed(slot.text));
}

void TextLayout::finish() {
    if (o_.printControl || o_.removeBlank || !o_.pageLength || o_.code != ProcessCode::Text) return;
    if (next_ > 1) emptyLines(*o_.pageLength - next_ + 1);
}
