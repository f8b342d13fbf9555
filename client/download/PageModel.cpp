#include "PageModel.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

#if defined(__SSE2__)
// The same for sixteen bytes at once.
bool mayHoldUnshown16(const char* p) {
    const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i control = _mm_cmpeq_epi8(_mm_min_epu8(x, _mm_set1_epi8(0x1F)), x);
    const __m128i del = _mm_cmpeq_epi8(x, _mm_set1_epi8(0x7F));
    return _mm_movemask_epi8(_mm_or_si128(_mm_or_si128(control, del), x)) != 0;
}
#endif

void blankUnshown(char* p, size_t n) {
    for (size_t i = 0; i < n; ++i)
        if (!IsShownByte(static_cast<unsigned char>(p[i]))) p[i] = ' ';
}

bool allShown(const char* p, size_t n) {
    return std::all_of(p, p + n, [](char c) { return IsShownByte(static_cast<unsigned char>(c)); });
}

// Calls f(at, count) for runs of the n bytes at p that cover every byte that
// may not be shown (some twice: the last run may reach back into the one
// before), and stops early when f returns true.
template <class F>
bool forUnshownRuns(const char* p, size_t n, F&& f) {
    size_t i = 0;
#if defined(__SSE2__)
    if (n >= 16) {
        for (; i + 16 <= n; i += 16)
            if (mayHoldUnshown16(p + i) && f(i, 16)) return true;
        return i < n && mayHoldUnshown16(p + n - 16) && f(n - 16, 16);
    }
#endif
    if (n >= 8) {
        for (; i + 8 <= n; i += 8)
            if (mayHoldUnshown(p + i) && f(i, 8)) return true;
        return i < n && mayHoldUnshown(p + n - 8) && f(n - 8, 8);
    }
    return n > 0 && f(0, n);
}
}  // namespace

bool HasUnshownBytes(std::string_view text) {
    const char* p = text.data();
    return forUnshownRuns(p, text.size(), [p](size_t at, size_t count) { return !allShown(p + at, count); });
}

std::string ShownText(std::string_view text) {
    std::string out;
    AssignShownText(out, text);
    return out;
}

void AssignShownText(std::string& out, std::string_view text) {
    out.assign(text);
    char* p = out.data();
    forUnshownRuns(p, out.size(), [p](size_t at, size_t count) {
        blankUnshown(p + at, count);
        return false;
    });
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
    // An overprint takes no line of the host's page.
    const auto isOverprint = [&](int next) { return !skip && spacing && *spacing == 0 && next > 1; };
    int plainTarget = plainNext_;
    if (skip) {
        plainTarget = std::max(*skip, 1);
        if (plainTarget < plainNext_) plainNext_ = 1;
    } else if (isOverprint(plainNext_)) {
        plainTarget = plainNext_ - 1;
    } else if (spacing) {
        plainTarget = plainNext_ - 1 + std::max(*spacing, 1);
    }
    plainWritten_ += plainTarget - plainNext_ + 1;
    plainNext_ = plainTarget + 1;
    if (o_.layout) {
        int host;
        bool over = false;
        if (skip) {
            host = std::max(*skip, 1);
            if (host < hostNext_) {
                canvas.pageBreak(o_.pageLength ? std::max(*o_.pageLength - next_ + 1, 0) : 0);
                ++page_;
                next_ = hostNext_ = outNext_ = 1;
                movedDown_ = 0;
            } else if (!started_ && o_.pageBeforeFirstSkip) {
                canvas.pageBreak(0);
            }
        } else if (isOverprint(hostNext_)) {
            host = hostNext_ - 1;
            over = true;
        } else if (spacing) {
            host = hostNext_ - 1 + std::max(*spacing, 1);
        } else {
            host = hostNext_;
        }
        if (over && !o_.overprint) ++movedDown_;
        const int out = host + movedDown_;
        int target = next_ + (out - outNext_);
        hostNext_ = host + 1;
        outNext_ = out + 1;
        if (o_.pageLength) {
            const int length = *o_.pageLength;
            while (target > length) {
                canvas.pageBreak(std::max(length - next_ + 1, 0));
                ++page_;
                target -= length;
                next_ = 1;
            }
        }
        empty(target - next_, canvas);
        started_ = true;
        canvas.line(text, page_, target);
        next_ = target + 1;
    } else {
        canvas.line(text, page_, next_);
        ++next_;
    }
    ++written_;
}

int PageModel::lastPageRest() const {
    if (!o_.layout || !o_.pageLength || next_ == 1) return 0;
    return std::max(*o_.pageLength - next_ + 1, 0);
}
