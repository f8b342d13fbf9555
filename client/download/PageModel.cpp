#include "PageModel.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

std::string_view RightTrimmed(std::string_view text) {
    const size_t end = text.find_last_not_of(' ');
    return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

namespace {
constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
constexpr std::uint64_t kHighs = kOnes * 0x80;

// Whether any of eight bytes may be one that is not shown: a control
// character, DEL or a byte with its high bit set (most of those are shown,
// and are looked at one by one). Records are mostly plain text, so this
// spares the byte-by-byte test of nearly every word.
bool mayHoldUnshown(const char* p) {
    std::uint64_t x;
    std::memcpy(&x, p, sizeof x);
    const std::uint64_t del = x ^ (kOnes * 0x7F);
    return (((x - kOnes * 0x20) & ~x) | x | ((del - kOnes) & ~del)) & kHighs;
}

void blankUnshown(char* p, size_t n) {
    for (size_t i = 0; i < n; ++i)
        if (!IsShownByte(static_cast<unsigned char>(p[i]))) p[i] = ' ';
}
}  // namespace

bool HasUnshownBytes(std::string_view text) {
    const char* p = text.data();
    const size_t n = text.size();
    size_t i = 0;
    for (; i + 8 <= n; i += 8)
        if (mayHoldUnshown(p + i) &&
            !std::all_of(p + i, p + i + 8, [](char c) { return IsShownByte(static_cast<unsigned char>(c)); }))
            return true;
    return !std::all_of(p + i, p + n, [](char c) { return IsShownByte(static_cast<unsigned char>(c)); });
}

std::string ShownText(std::string_view text) {
    std::string out(text);
    char* p = out.data();
    const size_t n = out.size();
    size_t i = 0;
    for (; i + 8 <= n; i += 8)
        if (mayHoldUnshown(p + i)) blankUnshown(p + i, 8);
    blankUnshown(p + i, n - i);
    return out;
}

std::string WithoutFormFeeds(std::string_view text) {
    std::string out(text);
    for (size_t at = out.find('\f'); at != std::string::npos; at = out.find('\f', at + 1)) out[at] = ' ';
    return out;
}

PageModel::PageModel(const PageModelOptions& options) : o_(options) {
    if (o_.pageLength && *o_.pageLength < 1) o_.pageLength.reset();
}

void PageModel::empty(int count, PageCanvas& canvas) {
    if (count <= 0) return;
    canvas.emptyLines(count);
    next_ += count;
    written_ += count;
}

void PageModel::record(const SpoolRecordSlot& slot, PageCanvas& canvas) {
    record(slot.skipLine(), slot.spacingLines(), RightTrimmed(slot.text), canvas);
}

void PageModel::record(std::optional<int> skip, std::optional<int> spacing, std::string_view text,
                       PageCanvas& canvas) {
    int plainTarget = plainNext_;
    if (skip) {
        plainTarget = std::max(*skip, 1);
        if (plainTarget < plainNext_) plainNext_ = 1;
    } else if (spacing) {
        plainTarget = plainNext_ - 1 + std::max(*spacing, 1);
    }
    plainWritten_ += plainTarget - plainNext_ + 1;
    plainNext_ = plainTarget + 1;
    if (o_.layout) {
        int target;
        if (skip) {
            target = std::max(*skip, 1);
            if (target < next_) {
                canvas.pageBreak(o_.pageLength ? std::max(*o_.pageLength - next_ + 1, 0) : 0);
                ++page_;
                next_ = 1;
            }
        } else if (spacing) {
            target = next_ - 1 + std::max(*spacing, 1);
        } else {
            target = next_;
        }
        if (o_.pageLength) {
            const int length = *o_.pageLength;
            while (target > length) {
                canvas.pageBreak(std::max(length - next_ + 1, 0));
                ++page_;
                next_ = 1;
                target -= length;
            }
        }
        empty(target - next_, canvas);
    }
    canvas.line(text, page_, next_);
    ++next_;
    ++written_;
}

int PageModel::lastPageRest() const {
    if (!o_.layout || !o_.pageLength || next_ == 1) return 0;
    return std::max(*o_.pageLength - next_ + 1, 0);
}
