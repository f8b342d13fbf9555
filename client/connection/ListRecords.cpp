#include "ListRecords.h"

#include <algorithm>
#include <string_view>

#include "Codec.h"
#include "HostLink.h"

namespace {
bool isBlank(const std::string& s) { return s.find_first_not_of(' ') == std::string::npos; }

// Columns from..to (1-based) of a text, blank-padded when it is short.
std::string cols(const std::string& s, size_t from, size_t to) {
    std::string out = from - 1 < s.size() ? s.substr(from - 1, to - from + 1) : std::string();
    out.resize(to - from + 1, ' ');
    return out;
}

QString trimmed(const std::string& s) {
    const size_t b = s.find_first_not_of(' ');
    if (b == std::string::npos) return QString();
    const size_t e = s.find_last_not_of(' ');
    return Codec::toUnicode(s.substr(b, e - b + 1));
}

std::string dataArea(const std::string& reply) { return cols(reply, 1, HostWire::kDataLength); }

std::string request(const std::string& body) { return HostRequest::withBody(body).text(); }
}  // namespace

ListBlockEnd listBlockEnd(const std::string& reply) {
    const QString area = trimmed(HostWire::controlArea(reply));
    if (area == QLatin1String("(MORE)")) return ListBlockEnd::More;
    if (area == QLatin1String("(INVALID)")) return ListBlockEnd::Invalid;
    return ListBlockEnd::End;
}

std::string OutqQueryRequest(const std::string& outq, const std::string& library) {
    return request(HostWire::field(outq, 10) + "Q" + library);
}

QString OutqListSlot::row(const std::string& slot) {
    return Codec::toUnicode(cols(slot, 1, 10) + " " + cols(slot, 11, 20) + " " + cols(slot, 21, 70));
}

QStringList outqListRows(const std::string& reply) {
    const std::string data = dataArea(reply);
    QStringList rows;
    for (int n = 0; n < OutqListSlot::kCount; ++n) {
        const std::string slot = data.substr(static_cast<size_t>(n) * OutqListSlot::kWidth, OutqListSlot::kWidth);
        if (isBlank(slot)) break;
        rows << OutqListSlot::row(slot);
    }
    return rows;
}

QString outqCheckLibrary(const std::string& reply) { return trimmed(cols(reply, 11, 20)); }

std::string SpoolListRequest(const std::string& outq, const std::string& library, const std::string& user) {
    return request(HostWire::field(outq, 10) + "F" + HostWire::field(library, 10) + user);
}

QString SpoolListSlot::pagesText(const std::string& sixDigits) {
    std::string p = cols(sixDigits, 1, 6);
    for (size_t i = 0; i < 5 && p[i] == '0'; ++i) p[i] = ' ';
    return Codec::toUnicode(p);
}

bool SpoolListSlot::decode(const std::string& slotText, SpoolListEntry& e) {
    const std::string slot = cols(slotText, 1, kWidth);
    const std::string_view s(slot);
    if (s.substr(0, 87).find_first_not_of(' ') == std::string_view::npos) return false;
    // Columns from..to (1-based) of the slot, blanks at both ends removed.
    auto field = [s](size_t from, size_t to) {
        std::string_view f = s.substr(from - 1, to - from + 1);
        const size_t b = f.find_first_not_of(' ');
        if (b == std::string_view::npos) return QString();
        return Codec::toUnicode(f.substr(b, f.find_last_not_of(' ') - b + 1));
    };
    const char* century = slot[56] == '0' ? "19" : "20";
    std::string date = century;
    date.append(s.substr(57, 2)).append("/").append(s.substr(59, 2)).append("/").append(s.substr(61, 2));
    std::string time(s.substr(63, 2));
    time.append(":").append(s.substr(65, 2)).append(":").append(s.substr(67, 2));
    e.date = trimmed(date) + QStringLiteral("    ") + trimmed(time);
    e.file = field(1, 10);
    e.jobName = field(11, 20);
    e.user = field(21, 30);
    e.jobNumber = field(31, 36);
    e.outq = field(37, 46);
    e.form = field(47, 56);
    e.splfNumber = field(75, 78);
    e.pages = pagesText(std::string(s.substr(81, 6)));
    e.userData = Codec::toUnicode(s.substr(87, 10));
    e.job = e.jobName + QLatin1Char('/') + e.splfNumber;
    return true;
}

QString SpoolListEntry::refusal() const {
    // The download request names the job in 10 characters and finds the
    // number after the first "/": a name with a "/" or a number outside
    // 1..9999 would ask the host for another spooled file.
    if (jobName.isEmpty() || jobName.contains(QLatin1Char('/')))
        return QStringLiteral("the job name \"%1\" cannot be sent to the iSeries").arg(jobName);
    const bool digits = !splfNumber.isEmpty() && splfNumber.size() <= 4 &&
                        std::all_of(splfNumber.begin(), splfNumber.end(), [](QChar c) { return c.isDigit(); });
    if (!digits || splfNumber.toInt() < 1)
        return QStringLiteral("the spool file number \"%1\" is not a number from 1 to 9999").arg(splfNumber);
    return QString();
}

std::vector<SpoolListEntry> spoolListEntries(const std::string& reply) {
    const std::string data = dataArea(reply);
    std::vector<SpoolListEntry> out;
    for (int n = 0; n < SpoolListSlot::kCount; ++n) {
        SpoolListEntry e;
        if (!SpoolListSlot::decode(data.substr(static_cast<size_t>(n) * SpoolListSlot::kWidth, SpoolListSlot::kWidth), e))
            break;
        out.push_back(std::move(e));
    }
    return out;
}
