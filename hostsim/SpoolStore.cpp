#include "SpoolStore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cctype>
#include <mutex>
#include <unordered_map>

namespace HostText {
std::string upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

std::string trimmed(const std::string& s) {
    const size_t b = s.find_first_not_of(" \t\r\n");
    if (b == std::string::npos) return {};
    const size_t e = s.find_last_not_of(" \t\r\n");
    return s.substr(b, e - b + 1);
}

bool sameName(const std::string& a, const std::string& b) { return upper(trimmed(a)) == upper(trimmed(b)); }
}  // namespace HostText

using namespace HostText;

namespace {
std::string bytesOf(const QString& s) { return s.toLatin1().toStdString(); }

std::vector<std::string> subfolders(const QString& dir) {
    std::vector<std::string> out;
    for (const QString& n : QDir(dir).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name))
        out.push_back(n.toStdString());
    return out;
}

std::string firstLine(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    std::string line = f.readLine().toStdString();
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
    return line;
}

std::string digitsOnly(const std::string& s) {
    std::string d;
    for (char c : s)
        if (std::isdigit(static_cast<unsigned char>(c))) d += c;
    return d;
}

bool isNumber(const std::string& s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)); });
}

void refuse(SpooledFileInfo& info, const std::string& why) {
    if (info.problem.empty()) info.problem = why;
}

// The value of a numeric attribute whose wire field has `digits` columns; a
// larger one would be cut, so the file is refused instead (and 0 taken).
int fieldNumber(SpooledFileInfo& info, const char* key, const std::string& digitsText, size_t digits) {
    const size_t first = std::min(digitsText.find_first_not_of('0'), digitsText.size());
    if (digitsText.size() - first > digits) {
        refuse(info, std::string(key) + " " + digitsText + " does not fit its " + std::to_string(digits) + "-digit field");
        return 0;
    }
    return std::stoi(digitsText.substr(first).empty() ? "0" : digitsText.substr(first));
}

// Finds a folder by name without regard to case.
QString childDir(const QString& parent, const std::string& name) {
    for (const QString& n : QDir(parent).entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        if (sameName(n.toStdString(), name)) return QDir(parent).filePath(n);
    return {};
}

SpoolRecord parseRecord(std::string line) {
    SpoolRecord r;
    if (line.empty()) {
        r.empty = true;
        return r;
    }
    line.resize(std::max<size_t>(line.size(), 4), ' ');
    r.skip = line.substr(0, 3);
    r.space = line[3];
    r.text = line.substr(4);
    return r;
}
}  // namespace

struct SpoolStore::InfoCache {
    struct Entry {
        qint64 modified = 0;
        qint64 size = -1;
        SpooledFileInfo info;
    };
    struct Place {
        QString path;
        std::string library, outq;
    };
    std::mutex mutex;
    std::unordered_map<QString, Entry> entries;
    // The file each download request's names found at the last walk of the folders.
    std::unordered_map<std::string, Place> places;
};

SpoolStore::SpoolStore(QString root) : root_(std::move(root)), cache_(std::make_shared<InfoCache>()) {}

std::vector<std::string> SpoolStore::libraries() const {
    std::vector<std::string> libs;
    for (const std::string& n : subfolders(root_)) libs.push_back(upper(n));
    std::sort(libs.begin(), libs.end());
    return libs;
}

std::vector<std::string> SpoolStore::resolveLibraries(const std::string& field) const {
    const std::string spec = upper(trimmed(field));
    const std::vector<std::string> all = libraries();
    if (spec == "*ALL" || spec == "*ALLUSR") return all;
    if (spec.empty() || spec == "*LIBL" || spec == "*USRLIBL" || spec == "*CURLIB" || spec == "QUSRLIBL") {
        QFile f(QDir(root_).filePath(QStringLiteral("libl")));
        if (!f.open(QIODevice::ReadOnly)) return all;
        std::vector<std::string> list;
        while (!f.atEnd()) {
            const std::string lib = upper(trimmed(f.readLine().toStdString()));
            if (!lib.empty() && lib[0] != '#' && std::find(all.begin(), all.end(), lib) != all.end())
                list.push_back(lib);
        }
        return list;
    }
    if (std::find(all.begin(), all.end(), spec) != all.end()) return {spec};
    return {};
}

std::vector<OutputQueueInfo> SpoolStore::outputQueues(const std::string& library) const {
    std::vector<OutputQueueInfo> out;
    const QString libDir = childDir(root_, library);
    if (libDir.isEmpty()) return out;
    for (const std::string& n : subfolders(libDir)) {
        OutputQueueInfo q;
        q.library = upper(library);
        q.name = upper(n);
        q.dir = QDir(libDir).filePath(QString::fromStdString(n));
        q.description = firstLine(QDir(q.dir).filePath(QStringLiteral("description")));
        out.push_back(q);
    }
    std::sort(out.begin(), out.end(), [](const auto& a, const auto& b) { return a.name < b.name; });
    return out;
}

std::vector<SpooledFileInfo> SpoolStore::spooledFiles(const OutputQueueInfo& queue, Which which) const {
    std::vector<SpooledFileInfo> out;
    const QDir dir(queue.dir);
    for (const QString& n : dir.entryList({QStringLiteral("*.splf")}, QDir::Files, QDir::Name)) {
        SpooledFileInfo info = cachedInfo(dir.filePath(n));
        if (!info.problem.empty() && which == Servable) {
            if (onProblem) onProblem(info.path + QStringLiteral(": ") + QString::fromStdString(info.problem));
            continue;
        }
        info.library = queue.library;
        info.outq = queue.name;
        out.push_back(std::move(info));
    }
    return out;
}

namespace {
// A download request's names as the look-up compares them: without regard to
// case or blanks, a job number by its value when it is a number.
std::string requestKey(const std::string& name, const std::string& job, const std::string& user,
                       const std::string& jobNumber, int number) {
    const std::string n = trimmed(jobNumber);
    const std::string jobNo = isNumber(n) ? std::to_string(std::stol(n)) : upper(n);
    return upper(trimmed(name)) + '\x1f' + upper(trimmed(job)) + '\x1f' + upper(trimmed(user)) + '\x1f' + jobNo +
           '\x1f' + std::to_string(number);
}
}  // namespace

std::optional<SpooledFileInfo> SpoolStore::findSpooledFile(const std::string& name, const std::string& job,
                                                           const std::string& user, const std::string& jobNumber,
                                                           int number) const {
    const auto sameNumber = [](const std::string& a, const std::string& b) {
        const std::string x = trimmed(a), y = trimmed(b);
        if (isNumber(x) && isNumber(y)) return std::stol(x) == std::stol(y);
        return sameName(x, y);
    };
    const auto matches = [&](const SpooledFileInfo& f) {
        return sameName(f.name, name) && sameName(f.job, job) && sameName(f.user, user) &&
               sameNumber(f.jobNumber, jobNumber) && f.number == number;
    };
    // Where this request's file was found last: a queue of thousands of
    // reports is not walked again for each download. The file is checked
    // afresh; a file moved, changed or gone sends the look-up round the folders.
    const std::string key = requestKey(name, job, user, jobNumber, number);
    std::optional<InfoCache::Place> place;
    {
        std::lock_guard<std::mutex> lock(cache_->mutex);
        const auto it = cache_->places.find(key);
        if (it != cache_->places.end()) place = it->second;
    }
    if (place && QFileInfo::exists(place->path)) {
        SpooledFileInfo info = cachedInfo(place->path);
        if (info.problem.empty() && matches(info)) {
            info.library = place->library;
            info.outq = place->outq;
            return info;
        }
    }
    std::optional<SpooledFileInfo> found;
    std::unordered_map<std::string, InfoCache::Place> seen;
    for (const std::string& lib : libraries())
        for (const OutputQueueInfo& q : outputQueues(lib))
            for (SpooledFileInfo& f : spooledFiles(q)) {
                if (!found && matches(f)) found = f;
                seen.try_emplace(requestKey(f.name, f.job, f.user, f.jobNumber, f.number),
                                 InfoCache::Place{f.path, f.library, f.outq});
            }
    std::lock_guard<std::mutex> lock(cache_->mutex);
    cache_->places = std::move(seen);
    return found;
}

int SpoolStore::widthFor(size_t longestLine) {
    for (int w : {80, 132, 198}) if (longestLine <= static_cast<size_t>(w)) return w;
    return 990;
}

void SpoolStore::numberPages(std::vector<SpoolRecord>& records) {
    int page = 1;
    int line = 1;
    for (SpoolRecord& r : records) {
        if (!r.empty) {
            const std::string s = trimmed(r.skip);
            if (isNumber(s)) {
                const int to = std::stoi(s);
                if (to < line) ++page;
                line = to;
            }
            if (std::isdigit(static_cast<unsigned char>(r.space))) line += r.space - '0';
        }
        r.page = page;
    }
}

SpooledFileInfo SpoolStore::cachedInfo(const QString& path) const {
    const QFileInfo fi(path);
    const qint64 modified = fi.lastModified().toMSecsSinceEpoch();
    const qint64 size = fi.size();
    {
        std::lock_guard<std::mutex> lock(cache_->mutex);
        const auto it = cache_->entries.find(path);
        if (it != cache_->entries.end() && it->second.modified == modified && it->second.size == size)
            return it->second.info;
    }
    SpooledFileInfo info = readInfo(path);
    std::lock_guard<std::mutex> lock(cache_->mutex);
    cache_->entries[path] = {modified, size, info};
    return info;
}

std::vector<SpoolRecord> SpoolStore::readRecords(const QString& path) {
    std::vector<SpoolRecord> records;
    readInfo(path, &records);
    return records;
}

SpooledFileInfo SpoolStore::readInfo(const QString& path, std::vector<SpoolRecord>* records) {
    SpooledFileInfo info;
    info.path = path;
    const QFileInfo fi(path);
    info.name = upper(bytesOf(fi.completeBaseName())).substr(0, 10);
    info.job = "QPRTJOB";
    info.user = "QUSER";
    info.jobNumber = "000001";
    const QDateTime mtime = fi.lastModified();
    info.date = bytesOf(mtime.toString(QStringLiteral("yyyyMMdd")));
    info.time = bytesOf(mtime.toString(QStringLiteral("HHmmss")));
    int width = 0;
    bool pagesGiven = false;

    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return info;
    bool inRecords = false;
    std::vector<SpoolRecord> local;
    std::vector<SpoolRecord>& recs = records ? *records : local;
    size_t longest = 0;
    while (!f.atEnd()) {
        std::string line = f.readLine().toStdString();
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) line.pop_back();
        if (inRecords) {
            recs.push_back(parseRecord(line));
            longest = std::max(longest, recs.back().text.size());
            continue;
        }
        if (trimmed(line) == "[records]") {
            // Both attributes that depend on the records are given: no need to read them.
            if (!records && pagesGiven && width > 0) break;
            inRecords = true;
            continue;
        }
        if (line.empty() || line[0] == '#') continue;
        const size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        const std::string key = upper(trimmed(line.substr(0, eq)));
        const std::string raw = line.substr(eq + 1);
        const std::string value = trimmed(raw);
        if (key == "NAME") info.name = upper(value).substr(0, 10);
        else if (key == "JOB") info.job = upper(value).substr(0, 10);
        else if (key == "USER") info.user = upper(value).substr(0, 10);
        else if (key == "JOBNUMBER") {
            info.jobNumber = value.substr(0, 6);
            if (value.size() > 6) refuse(info, "jobnumber " + value + " does not fit its 6 columns");
        }
        else if (key == "NUMBER") info.number = isNumber(value) ? fieldNumber(info, "number", value, 4) : 1;
        else if (key == "PAGES") { info.pages = isNumber(value) ? fieldNumber(info, "pages", value, 6) : 0; pagesGiven = true; }
        else if (key == "FORMTYPE") info.formType = value.substr(0, 10);
        else if (key == "DATE") info.date = digitsOnly(value).substr(0, 8);
        else if (key == "TIME") info.time = digitsOnly(value).substr(0, 6);
        else if (key == "USERDATA") info.userData = raw.substr(0, 10);
        else if (key == "WIDTH") {
            width = isNumber(value) ? fieldNumber(info, "width", value, 3) : 0;
            if (width > 990) refuse(info, "width " + value + " is more than the widest record, 990");
        }
        else if (key == "REFUSE") info.refuse = upper(value) == "YES" || value == "1" || upper(value) == "TRUE";
    }
    info.width = widthFor(width > 0 ? static_cast<size_t>(width) : longest);
    if (!pagesGiven) {
        numberPages(recs);
        info.pages = recs.empty() ? 0 : recs.back().page;
    } else if (records) {
        numberPages(recs);
    }
    return info;
}
