#pragma once
#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// One record of a spooled file as the host sends it: skip-to-line (3
// characters), space-before (1 character) and the line text.
struct SpoolRecord {
    std::string skip = "   ";
    char space = ' ';
    std::string text;
    int page = 1;
    bool empty = false;  // an empty line of the file: sent as an all-blank slot
};

struct OutputQueueInfo {
    std::string library;
    std::string name;
    std::string description;
    QString dir;
};

// The attributes of one spooled file (the header of its .splf file).
struct SpooledFileInfo {
    QString path;
    std::string library, outq;
    std::string name, job, user, jobNumber;
    int number = 1;
    int pages = 0;
    std::string formType = "*STD";
    std::string date = "20040315";  // CCYYMMDD
    std::string time = "142207";    // hhmmss
    std::string userData;
    int width = 80;                 // 80, 132, 198 or 990
    bool refuse = false;            // downloads answered "(INVALID)"
    // Why the file cannot be served (a value too large for its field on the
    // wire); empty when it can. Such a file is left out of every list.
    std::string problem;
};

// The spool folder that hostsim serves: one folder per library, in it one
// folder per output queue, in that one .splf file per spooled file. The
// folders are listed afresh on every list, so files may be added while
// hostsim runs; a download finds its file where the last walk of the folders
// saw it while that file is still there unchanged; a file's attributes are
// read again when its time or size changes. The layout is described in hostsim/README.md.
class SpoolStore {
public:
    explicit SpoolStore(QString root = {});
    const QString& root() const { return root_; }

    // Library names (upper case), sorted.
    std::vector<std::string> libraries() const;
    // The libraries a library field stands for, in search order: a name, or
    // *ALL/*ALLUSR (every library), *LIBL/*USRLIBL/*CURLIB/QUSRLIBL/blank (the
    // "libl" file's list, else every library). Empty when a named library
    // does not exist.
    std::vector<std::string> resolveLibraries(const std::string& field) const;
    std::vector<OutputQueueInfo> outputQueues(const std::string& library) const;
    enum Which { Servable, WithRefused };
    // The spooled files of a queue; a file with a problem is left out (and
    // reported through onProblem) unless WithRefused asks for it.
    std::vector<SpooledFileInfo> spooledFiles(const OutputQueueInfo& queue, Which which = Servable) const;
    // Told "<file>: <problem>" for every file left out of a list.
    std::function<void(const QString&)> onProblem;
    // The spooled file that a download request names (compared without regard to case).
    std::optional<SpooledFileInfo> findSpooledFile(const std::string& name, const std::string& job,
                                                   const std::string& user, const std::string& jobNumber,
                                                   int number) const;

    // Parses one .splf file; records are read only when asked for.
    static SpooledFileInfo readInfo(const QString& path, std::vector<SpoolRecord>* records = nullptr);
    static std::vector<SpoolRecord> readRecords(const QString& path);
    // Page numbers by the host's rule: a skip to a line above the current one starts a page.
    static void numberPages(std::vector<SpoolRecord>& records);
    // The record width code that holds lines of this length.
    static int widthFor(size_t longestLine);

private:
    // readInfo of a file, kept while the file's time and size stay: a queue
    // of many reports is not parsed again for every download.
    SpooledFileInfo cachedInfo(const QString& path) const;
    struct InfoCache;
    QString root_;
    std::shared_ptr<InfoCache> cache_;
};

namespace HostText {
std::string upper(std::string s);
std::string trimmed(const std::string& s);
bool sameName(const std::string& a, const std::string& b);
}  // namespace HostText
