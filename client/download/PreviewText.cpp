#include "PreviewText.h"

#include <algorithm>

#include "Codec.h"

PreviewText::PreviewText(bool layout, qsizetype cap) : pages_(PageModelOptions{.layout = layout}), cap_(cap) {}

void PreviewText::accepted(const std::string& widthCode) {
    width_ = RecordWidth(widthCode);
    separator_.assign(width_ == 80 ? 80 : 132, '_');
}

void PreviewText::append(std::string_view s) {
    const size_t limit = static_cast<size_t>(2 * cap_);
    if (text_.size() + s.size() > limit) {
        cut_ = true;
        s = s.substr(0, limit - std::min(limit, text_.size()));
    }
    text_.append(s);
}

void PreviewText::addLine(std::string_view s) {
    if (started_) append("\r\n");
    started_ = true;
    append(s);
}

void PreviewText::emptyLines(int count) {
    for (int i = 0; i < count; ++i) addLine({});
}

void PreviewText::record(const SpoolRecordSlot& slot) {
    whole_ = slot.text;
    pages_.record(slot, *this);
    ++records_;
}

void PreviewText::line(std::string_view text, int, int) {
    // The first line of the text keeps its trailing blanks, except at 990.
    addLine(ShownText(!started_ && width_ != 990 ? whole_ : text));
}

ShownPreview PreviewToShow(const std::string& bytes, qsizetype cap) {
    const auto size = static_cast<qsizetype>(bytes.size());
    if (size <= cap) return {Codec::toUnicode(bytes), false};
    // Rounded to the nearest whole number, halves to even.
    qsizetype half = size / 2;
    if (size % 2 == 1 && half % 2 == 1) ++half;
    return {Codec::toUnicode(bytes.substr(0, static_cast<size_t>(half))), true};
}
