#include "SpoolFileRow.h"

#include <algorithm>

#include "Codec.h"
#include "HostLink.h"
#include "SplfGrid.h"

std::string RightTrim(const std::string& s) {
    const size_t end = s.find_last_not_of(' ');
    return end == std::string::npos ? std::string() : s.substr(0, end + 1);
}

std::string Trim(const std::string& s) {
    const size_t begin = s.find_first_not_of(' ');
    return begin == std::string::npos ? std::string() : RightTrim(s.substr(begin));
}

namespace {
std::string lastChars(const std::string& s, size_t n) { return s.size() > n ? s.substr(s.size() - n) : s; }
}  // namespace

SpoolFileRow SpoolFileRow::fromFields(const Fields& f) {
    using HostWire::field;
    std::string r;
    r.reserve(112);
    r += field(f.file, 10) + ' ' + field(f.user, 10) + ' ' + field(f.outq, 10);
    // Pages are right-aligned: padded to 6, the last 5 kept.
    r += lastChars(field(f.pages, 6), 5);
    r += field(f.form, 10) + field(f.date, 10) + ' ' + field(f.time, 8) + ' ';
    r += field(f.jobNumber, 6) + ' ' + field(f.job, 17) + ' ' + field(f.userData, 10);
    r += f.translation;
    SpoolFileRow row(std::move(r));
    row.listedPages_ = Trim(f.pages);
    return row;
}

SpoolFileRow SpoolFileRow::fromGrid(const SplfGrid& grid, int row, const QString& translationText) {
    auto cell = [&](const char* key) { return Codec::fromUnicode(grid.cellValue(row, QString::fromLatin1(key))); };
    Fields f;
    const std::string date = cell("Date");
    f.file = cell("File");
    f.user = cell("User");
    f.outq = cell("Outq");
    f.pages = cell("Pages");
    f.form = cell("Form");
    f.date = date.substr(0, 10);
    f.time = lastChars(date, 8);
    f.jobNumber = cell("JobNumber");
    f.job = cell("Job");
    f.userData = cell("UserData");
    const std::string translation = Codec::fromUnicode(translationText);
    f.translation = translationText.trimmed() == QLatin1String("<Default>") ? std::string(10, ' ')
                                                                             : lastChars(translation, 10);
    return fromFields(f);
}

QString SpoolFileRow::toQString() const { return Codec::toUnicode(text_); }

QString SpoolFileRow::shownText() const {
    if (listedPages_.empty() || text_.size() < 37) return toQString();
    return Codec::toUnicode(text_.substr(0, 32) + " " + listedPages_ + " " + text_.substr(37));
}

std::string SpoolFileRow::columns(int first, int last) const {
    std::string out(static_cast<size_t>(last - first + 1), ' ');
    for (int c = first; c <= last; ++c)
        if (static_cast<size_t>(c) <= text_.size()) out[static_cast<size_t>(c - first)] = text_[static_cast<size_t>(c - 1)];
    return out;
}

std::string SpoolFileRow::jobName() const {
    const std::string ten = columns(75, 84);
    const size_t slash = ten.find('/');
    if (slash != std::string::npos && slash >= 1) return HostWire::field(ten.substr(0, slash), 10);
    return ten;
}

std::string SpoolFileRow::spooledFileNumber() const {
    if (text_.size() < 74) return {};
    const size_t slash = text_.find('/', 73);
    if (slash == std::string::npos) return {};
    std::string four = text_.substr(slash + 1, 4);
    const std::string t = Trim(four);
    if (!t.empty() && std::all_of(t.begin(), t.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        const std::string digits = t.substr(std::min(t.find_first_not_of('0'), t.size() - 1));
        return std::string(digits.size() < 4 ? 4 - digits.size() : 0, '0') + digits;
    }
    return four;
}
