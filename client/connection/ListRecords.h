#pragma once
#include <QString>
#include <QStringList>
#include <string>
#include <string_view>
#include <vector>

// Requests and reply slots of the two host lists: the output queues of a
// library ("Q") and the spooled files of a queue ("F"). Wire text is bytes in
// the single-byte code page; decoded fields are window texts.

// How a reply block ends, from its control area (blanks trimmed).
enum class ListBlockEnd { More, Invalid, End };
ListBlockEnd listBlockEnd(const std::string& reply);

// "Q" request, 124 characters: the queue at 1-10 ("*ALL" for the list form),
// "Q" at 11, the library text from 12 (cut at 100), blanks to 124.
std::string OutqQueryRequest(const std::string& outq, const std::string& library);
inline std::string OutqListRequest(const std::string& library) { return OutqQueryRequest("*ALL", library); }

namespace OutqListSlot {
constexpr int kWidth = 70;
constexpr int kCount = 14;
// The chooser's row of a slot: queue, blank, library, blank, description (72).
QString row(const std::string& slot);
}  // namespace OutqListSlot

// Rows of one reply block, up to its first empty slot.
QStringList outqListRows(const std::string& reply);
// The library field of the first slot (data columns 11-20), trimmed: where the
// host found the queue of a check request.
QString outqCheckLibrary(const std::string& reply);

// "F" request, 124 characters: queue 1-10, "F" at 11, library 12-21, the user
// filter 22-100, blanks to 124.
std::string SpoolListRequest(const std::string& outq, const std::string& library, const std::string& user);

// One spooled file of a list block, as the grid shows it.
struct SpoolListEntry {
    QString date;       // CCYY/MM/DD, 4 blanks, hh:mm:ss
    QString file;
    QString user;
    QString outq;       // the slot's queue; the caller decides whether it shows
    QString pages;      // 6 characters, leading zeros shown as blanks
    QString form;
    QString jobNumber;
    QString job;        // job name "/" spooled-file number
    QString userData;   // 10 characters as sent
    QString jobName;
    QString splfNumber;
    // Why a download request could not name this spooled file (empty: it can).
    QString refusal() const;
};

namespace SpoolListSlot {
constexpr int kWidth = 97;
constexpr int kCount = 10;
// False for an empty slot (its first 87 characters blank). `before` (with
// its slot): the entry of the slot before, whose texts a field of the same
// bytes shares instead of decoding them again.
bool decode(std::string_view slot, SpoolListEntry& out, const SpoolListEntry* before = nullptr,
            std::string_view beforeSlot = {});
// Leading zeros of the first five positions shown as blanks; the sixth stays.
QString pagesText(std::string_view sixDigits);
}  // namespace SpoolListSlot

// Entries of one reply block, up to its first empty slot.
std::vector<SpoolListEntry> spoolListEntries(const std::string& reply);
