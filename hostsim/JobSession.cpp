#include "JobSession.h"

#include <algorithm>
#include <cctype>

using namespace HostText;

namespace HostReply {
std::string field(const std::string& text, size_t width) {
    std::string f = text.substr(0, width);
    f.resize(width, ' ');
    return f;
}

std::string make(const std::string& data, const std::string& control, const std::string& widthCode) {
    std::string area = field(control, 24);
    if (!widthCode.empty()) area.replace(21, 3, field(widthCode, 3));
    return field(data, kDataLength) + area;
}

std::string widthCode(int width) {
    std::string s = std::to_string(width);
    return std::string(3 - std::min<size_t>(3, s.size()), ' ') + s;
}

std::string outqSlot(const OutputQueueInfo& q) {
    return field(q.name, 10) + field(q.library, 10) + field(q.description, 50);
}

namespace {
std::string zeroPadded(long value, size_t width) {
    std::string s = std::to_string(std::max(0L, value));
    if (s.size() > width) s = s.substr(s.size() - width);
    return std::string(width - s.size(), '0') + s;
}

bool numberChar(char c) { return std::isdigit(static_cast<unsigned char>(c)) || c == ',' || c == '.'; }
}  // namespace

std::string spoolListSlot(const SpooledFileInfo& f) {
    const std::string date = field(f.date, 8);  // CCYYMMDD
    const char century = date.compare(0, 2, "19") == 0 ? '0' : '1';
    std::string s;
    s += field(f.name, 10);
    s += field(f.job, 10);
    s += field(f.user, 10);
    s += field(f.jobNumber, 6);
    s += field(f.outq, 10);
    s += field(f.formType, 10);
    s += century;
    s += date.substr(2, 6);
    s += field(f.time, 6);
    s += std::string(5, ' ');
    s += zeroPadded(f.number, 4);
    s += std::string(3, ' ');
    s += zeroPadded(f.pages, 6);
    s += field(f.userData, 10);
    return s;
}

std::string recordSlot(const SpoolRecord& r, int width) {
    if (r.empty) return std::string(static_cast<size_t>(width) + 4, ' ');
    return field(r.skip, 3) + r.space + field(r.text, static_cast<size_t>(width));
}

std::string convertRightMinus(std::string t) {
    size_t i = 0;
    while (i < t.size()) {
        // An amount stands on its own; digits inside a word are a code, not a number.
        const bool starts = std::isdigit(static_cast<unsigned char>(t[i])) && (i == 0 || t[i - 1] == ' ');
        if (!starts) {
            ++i;
            continue;
        }
        size_t e = i;
        while (e < t.size() && numberChar(t[e])) ++e;
        size_t signLen = 0;
        if (e < t.size() && t[e] == '-') signLen = 1;
        else if (t.compare(e, 2, "CR") == 0) signLen = 2;
        const size_t after = e + signLen;
        if (signLen == 0 || (after < t.size() && std::isalnum(static_cast<unsigned char>(t[after])))) {
            i = e;
            continue;
        }
        const std::string number = t.substr(i, e - i);
        const std::string moved = std::string(signLen - 1, ' ') + "-" + number;
        t.replace(i, moved.size(), moved);
        i = after;
    }
    return t;
}

bool isJobTestMessage(const std::string& frame) { return frame == std::string(120, ' ') + "test"; }

bool isCancelRequest(const std::string& frame) {
    return frame.size() >= 100 && frame[99] == 'X' && frame.find_first_not_of(' ') == 99;
}
}  // namespace HostReply

namespace {
std::string columns(const std::string& frame, size_t from, size_t to) {
    return from <= frame.size() ? frame.substr(from - 1, to - from + 1) : std::string();
}

long numberOr(const std::string& s, long fallback) {
    const std::string t = trimmed(s);
    if (t.empty() || !std::all_of(t.begin(), t.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); }))
        return fallback;
    return std::stol(t.substr(0, 12));
}
}  // namespace

JobSession::JobSession(const SpoolStore& store, std::string currentUser, int previewPages,
                       const HostSimFaults& faults)
    : store_(store), user_(upper(trimmed(currentUser))), previewPages_(previewPages), faults_(faults) {}

std::optional<std::string> JobSession::answer(const std::string& frame) {
    if (HostReply::isJobTestMessage(frame)) return std::nullopt;
    if (HostReply::isCancelRequest(frame)) {
        active_ = false;
        return HostReply::make({}, "(END)");
    }
    if (active_ && frame == request_) return nextBlock();
    active_ = false;
    return start(frame);
}

std::string JobSession::start(const std::string& frame) {
    const char code = frame.size() > 10 ? frame[10] : ' ';
    switch (code) {
        case 'Q': return listOutputQueues(frame);
        case 'F': return listSpooledFiles(frame);
        case 'W': return download(frame, false);
        case 'P': return download(frame, true);
        default: return HostReply::make({}, "(INVALID)");
    }
}

std::string JobSession::nextBlock() {
    if (isDownload_ && faults_.invalidAfterBlocks >= 0 && blocksSent_ >= faults_.invalidAfterBlocks) {
        active_ = false;
        return HostReply::make({}, "(INVALID)", faults_.widthCode.empty() ? widthCode_ : faults_.widthCode);
    }
    std::string data;
    const size_t end = std::min(slots_.size(), pos_ + perBlock_);
    for (size_t i = pos_; i < end; ++i) data += slots_[i];
    pos_ = end;
    ++blocksSent_;
    const bool more = pos_ < slots_.size() || faults_.endlessMore;
    active_ = more;
    std::string width;
    if (isDownload_) width = faults_.widthCode.empty() ? widthCode_ : faults_.widthCode;
    return HostReply::make(data, more ? "(MORE)" : "(END)", width);
}

std::vector<OutputQueueInfo> JobSession::queuesFor(const std::string& queueField,
                                                   const std::string& libraryField) const {
    const std::string queue = upper(trimmed(queueField));
    std::vector<OutputQueueInfo> out;
    for (const std::string& lib : store_.resolveLibraries(libraryField))
        for (const OutputQueueInfo& q : store_.outputQueues(lib)) {
            if (queue == "*ALL") out.push_back(q);
            else if (q.name == queue) return {q};
        }
    return out;
}

std::string JobSession::begin(const std::string& frame, std::vector<std::string> list, size_t perBlock,
                              std::string widthCode) {
    request_ = frame;
    slots_ = std::move(list);
    perBlock_ = perBlock;
    pos_ = 0;
    blocksSent_ = 0;
    isDownload_ = !widthCode.empty();
    widthCode_ = std::move(widthCode);
    return nextBlock();
}

std::string JobSession::listOutputQueues(const std::string& frame) {
    std::vector<std::string> list;
    for (const OutputQueueInfo& q : queuesFor(columns(frame, 1, 10), columns(frame, 12, 100)))
        list.push_back(HostReply::outqSlot(q));
    if (list.empty()) return HostReply::make({}, "(INVALID)");
    return begin(frame, std::move(list), 14);
}

std::string JobSession::listSpooledFiles(const std::string& frame) {
    std::string who = upper(trimmed(columns(frame, 22, 100)));
    if (who == "*CURRENT") who = user_;
    const std::vector<OutputQueueInfo> queues = queuesFor(columns(frame, 1, 10), columns(frame, 12, 21));
    if (queues.empty()) return HostReply::make({}, "(INVALID)");
    std::vector<std::string> list;
    for (const OutputQueueInfo& q : queues)
        for (const SpooledFileInfo& f : store_.spooledFiles(q))
            if (who.empty() || who == "*ALL" || sameName(f.user, who)) list.push_back(HostReply::spoolListSlot(f));
    return begin(frame, std::move(list), 10);
}

std::string JobSession::download(const std::string& frame, bool preview) {
    const std::optional<SpooledFileInfo> found =
        store_.findSpooledFile(columns(frame, 12, 21), columns(frame, 22, 31), columns(frame, 32, 41),
                               columns(frame, 42, 47), static_cast<int>(numberOr(columns(frame, 48, 51), -1)));
    if (!found || found->refuse) return HostReply::make({}, "(INVALID)");
    const long first = std::max(1L, numberOr(columns(frame, 52, 61), 1));
    long last = numberOr(columns(frame, 62, 71), 9999999999L);
    if (preview) last = std::min(last, first + std::max(1, previewPages_) - 1);
    const bool minus = columns(frame, 72, 72) == "Y";
    const bool noOverprint = columns(frame, 73, 73) == "1";

    std::vector<std::string> list;
    for (const SpoolRecord& r : SpoolStore::readRecords(found->path)) {
        if (r.page < first || r.page > last) continue;
        if (noOverprint && !r.empty && r.space == '0' && trimmed(r.skip).empty()) continue;
        if (minus && !r.empty) {
            SpoolRecord c = r;
            c.text = HostReply::convertRightMinus(HostReply::field(c.text, static_cast<size_t>(found->width)));
            list.push_back(HostReply::recordSlot(c, found->width));
        } else {
            list.push_back(HostReply::recordSlot(r, found->width));
        }
    }
    return begin(frame, std::move(list), HostReply::kDataLength / static_cast<size_t>(found->width + 4),
                 HostReply::widthCode(found->width));
}
