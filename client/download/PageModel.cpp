#include "PageModel.h"

#include <algorithm>

std::string_view RightTrimmed(std::string_view text) {
    const size_t end = text.find_last_not_of(' ');
    return end == std::string_view::npos ? std::string_view() : text.substr(0, end + 1);
}

std::string ShownText(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (!IsShownByte(static_cast<unsigned char>(c))) c = ' ';
    return out;
}

std::string WithoutFormFeeds(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        if (c == '\f') c = ' ';
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
