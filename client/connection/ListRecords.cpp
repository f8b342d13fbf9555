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

QString SpoolListSlot::pagesText(std::string_view sixDigits) {
    char p[6] = {' ', ' ', ' ', ' ', ' ', ' '};
    std::copy_n(sixDigits.begin(), std::min<size_t>(sixDigits.size(), 6), p);
    for (size_t i = 0; i < 5 && p[i] == '0'; ++i) p[i] = ' ';
    return Codec::toUnicode(std::string_view(p, 6));
}

bool SpoolListSlot::decode(std::string_view slotText, SpoolListEntry& e, const SpoolListEntry* before,
                           std::string_view beforeSlot) {
    // A short slot is blank-padded to its width.
    std::string padded;
    std::string_view s = slotText.substr(0, kWidth);
    if (s.size() < size_t(kWidth)) {
        padded = std::string(s) + std::string(size_t(kWidth) - s.size(), ' ');
        s = padded;
    }
    if (s.substr(0, 87).find_first_not_of(' ') == std::string_view::npos) return false;
    // Blanks at both ends removed.
    auto trim = [](std::string_view f) {
        const size_t b = f.find_first_not_of(' ');
        return b == std::string_view::npos ? std::string_view() : f.substr(b, f.find_last_not_of(' ') - b + 1);
    };
    // Columns from..to (1-based) of the slot, trimmed.
    auto bytes = [&](size_t from, size_t to) { return trim(s.substr(from - 1, to - from + 1)); };
    // The rows of a list mostly repeat their user, queue, form and date: a
    // field whose columns hold what they held in the slot before shares that
    // entry's text, and a long list decodes each text once.
    auto same = [&](size_t from, size_t to) {
        return before && beforeSlot.size() >= to &&
               beforeSlot.substr(from - 1, to - from + 1) == s.substr(from - 1, to - from + 1);
    };
    auto set = [&](QString SpoolListEntry::*field, size_t from, size_t to, auto&& decoded) {
        if (same(from, to))
            e.*field = before->*field;
        else
            e.*field = decoded();
    };
    auto plain = [&](size_t from, size_t to) {
        return [&bytes, from, to] { return Codec::toUnicode(bytes(from, to)); };
    };
    set(&SpoolListEntry::date, 57, 69, [&] {
        const char* century = s[56] == '0' ? "19" : "20";
        std::string date = century;
        date.append(s.substr(57, 2)).append("/").append(s.substr(59, 2)).append("/").append(s.substr(61, 2));
        std::string time(s.substr(63, 2));
        time.append(":").append(s.substr(65, 2)).append(":").append(s.substr(67, 2));
        std::string shown(trim(date));
        shown.append("    ").append(trim(time));
        return Codec::toUnicode(shown);
    });
    set(&SpoolListEntry::file, 1, 10, plain(1, 10));
    set(&SpoolListEntry::jobName, 11, 20, plain(11, 20));
    set(&SpoolListEntry::user, 21, 30, plain(21, 30));
    set(&SpoolListEntry::jobNumber, 31, 36, plain(31, 36));
    set(&SpoolListEntry::outq, 37, 46, plain(37, 46));
    set(&SpoolListEntry::form, 47, 56, plain(47, 56));
    set(&SpoolListEntry::splfNumber, 75, 78, plain(75, 78));
    set(&SpoolListEntry::pages, 82, 87, [&] { return pagesText(s.substr(81, 6)); });
    set(&SpoolListEntry::userData, 88, 97, [&] { return Codec::toUnicode(s.substr(87, 10)); });
    if (same(11, 20) && same(75, 78)) {
        e.job = before->job;
    } else {
        std::string job(bytes(11, 20));
        job.append("/").append(bytes(75, 78));
        e.job = Codec::toUnicode(job);
    }
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
    out.reserve(SpoolListSlot::kCount);
    std::string_view before;
    for (int n = 0; n < SpoolListSlot::kCount; ++n) {
        const std::string_view slot =
            std::string_view(data).substr(static_cast<size_t>(n) * SpoolListSlot::kWidth, SpoolListSlot::kWidth);
        SpoolListEntry e;
        if (!SpoolListSlot::decode(slot, e, out.empty() ? nullptr : &out.back(), before)) break;
        out.push_back(std::move(e));
        before = slot;
    }
    return out;
}
