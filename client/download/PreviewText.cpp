#include "PreviewText.h"

#include <algorithm>

#include "Codec.h"

PreviewText::PreviewText(bool layout, qsizetype cap) : layout_(layout), cap_(cap) {}

void PreviewText::accepted(const std::string& widthCode) {
    width_ = RecordWidth(widthCode);
    separator_.assign(width_ == 80 ? 80 : 132, '_');
    line_ = 1;
}

void PreviewText::append(std::string_view s) {
    const size_t limit = static_cast<size_t>(2 * cap_);
    if (text_.size() + s.size() > limit) {
        cut_ = true;
        s = s.substr(0, limit - std::min(limit, text_.size()));
    }
    text_.append(s);
}

void PreviewText::record(const SpoolRecordSlot& slot) {
    if (layout_) {
        if (const auto s = slot.skipLine()) {
            if (*s < line_) {
                newLine();
                append(separator_);
                newLine();
                line_ = 1;
            }
            for (; line_ < *s; ++line_) newLine();
        }
        if (const auto k = slot.spacingLines()) {
            for (int n = *k; n > 1; --n, ++line_) newLine();
            ++line_;
        }
    }
    std::string_view line = slot.text;
    const bool first = text_.empty();
    // The first line of the text keeps its trailing blanks, except at 990.
    if (!first || width_ == 990) {
        const size_t end = line.find_last_not_of(' ');
        line = end == std::string_view::npos ? std::string_view() : line.substr(0, end + 1);
    }
    if (!first) newLine();
    append(line);
    ++records_;
}

ShownPreview PreviewToShow(const std::string& bytes, qsizetype cap) {
    const auto size = static_cast<qsizetype>(bytes.size());
    if (size <= cap) return {Codec::toUnicode(bytes), false};
    // Rounded to the nearest whole number, halves to even.
    qsizetype half = size / 2;
    if (size % 2 == 1 && half % 2 == 1) ++half;
    return {Codec::toUnicode(bytes.substr(0, static_cast<size_t>(half))), true};
}
