#include "SpoolDownload.h"

#include <QByteArray>
#include <algorithm>
#include <cctype>

#include "HostLink.h"

std::optional<qint64> WholeNumberOf(const QString& text, int maxDigits) {
    const QString t = text.trimmed();
    if (t.isEmpty() || t.size() > maxDigits) return std::nullopt;
    for (QChar c : t)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
    const qint64 n = t.toLongLong();
    if (n < 1) return std::nullopt;
    return n;
}

std::optional<qint64> PageNumber(const QString& text) { return WholeNumberOf(text, 10); }

namespace {
std::string tenDigits(qint64 n) {
    std::string s = std::to_string(n);
    return std::string(10 - s.size(), '0') + s;
}
}  // namespace

std::string FirstPageField(const QString& txtFrom) {
    const auto n = PageNumber(txtFrom);
    return n ? tenDigits(*n) : std::string("0000000001");
}

std::string LastPageField(const QString& txtTo) {
    const auto n = PageNumber(txtTo);
    return n ? tenDigits(*n) : std::string("9999999999");
}

std::string SpoolDownloadRequest::build() const {
    using HostWire::field;
    std::string body(10, ' ');
    body += code;
    body += row.fileName();
    body += row.jobName();
    body += row.user();
    body += row.jobNumber();
    body += field(row.spooledFileNumber(), 4);
    body += FirstPageField(fromText);
    body += LastPageField(toText);
    body += convertMinus ? 'Y' : ' ';
    body += suppressOverprint ? '1' : ' ';
    if (withTranslation) body += row.translationTable();
    body = field(body, 100);
    if (upperCase)
        std::transform(body.begin(), body.end(), body.begin(),
                       [](char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; });
    return body + std::string(24, ' ');
}

int RecordWidth(std::string_view code) {
    if (code == " 80") return 80;
    if (code == "132") return 132;
    if (code == "198") return 198;
    if (code == "990") return 990;
    return 0;
}

int SlotsPerBlock(int width) { return width > 0 ? HostWire::kDataLength / (width + 4) : 0; }

namespace {
bool allDigits(std::string_view s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}
std::string_view trimmed(std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
}
}  // namespace

std::optional<int> SpoolRecordSlot::skipLine() const {
    if (parsed) return parsedSkip;
    const std::string_view t = trimmed(skip);
    if (!allDigits(t)) return std::nullopt;
    int n = 0;
    for (char c : t) n = n * 10 + (c - '0');
    return n;
}

std::optional<int> SpoolRecordSlot::spacingLines() const {
    if (parsed) return parsedSpacing;
    if (spacing.size() == 1 && allDigits(spacing)) return spacing[0] - '0';
    return std::nullopt;
}

void ForEachRecord(std::string_view data, int width, const std::function<void(const SpoolRecordSlot&)>& fn) {
    const int slotCount = SlotsPerBlock(width);
    const size_t len = static_cast<size_t>(width) + 4;
    for (int i = 0; i < slotCount; ++i) {
        const size_t at = static_cast<size_t>(i) * len;
        if (at + len > data.size()) break;
        const std::string_view s = data.substr(at, len);
        if (s.find_first_not_of(' ') == std::string_view::npos) continue;
        SpoolRecordSlot slot{s, s.substr(0, 3), s.substr(3, 1), s.substr(4)};
        slot.parsedSkip = slot.skipLine();
        slot.parsedSpacing = slot.spacingLines();
        slot.parsed = true;
        fn(slot);
    }
}
