#pragma once
#include <QString>
#include <string>

#include "DownloadOptions.h"
#include "SpoolDownload.h"

class PageModel;
class RunContext;

// Receives a download as it arrives: each record is handed on as soon as its
// block is in, so nothing of the report is kept.
class SpoolRecordSink {
public:
    virtual ~SpoolRecordSink() = default;
    // The host accepted the request; the first reply's width code. The
    // destination is opened here, not before, so that a refused download
    // touches nothing.
    virtual void accepted(const std::string& widthCode) = 0;
    virtual void record(const SpoolRecordSlot& slot) = 0;
    // Every record of one reply block is in.
    virtual void blockDone() {}
    // The page model that places every record this sink receives, once it
    // has been opened (null: none does): the exchange's "(MORE)" guard reads
    // its count from it (PageModel::plainLinesWritten) instead of placing
    // each record a second time.
    virtual const PageModel* placing() const { return nullptr; }
};

// The most pages a spooled-file row can name (its 5-digit pages field), and
// the most lines one page can hold (a skip goes to line 255 at most).
constexpr qint64 kMostPages = 99999;
constexpr qint64 kLinesPerPage = 255;
// Records printed over one line (bold by overstriking, then underlined).
constexpr qint64 kOverprintsPerLine = 8;
// A host that keeps saying "(MORE)" without sending a record is stopped after
// this many blocks in a row, or this long once its empty slots are more than
// one page of empty lines.
constexpr qint64 kQuietBlocks = 1000;
constexpr qint64 kQuietMs = 5000;
// The pages of the row, or 0 when it names none.
qint64 PageLimitOf(const SpoolFileRow& row);

// What tells the download procedures' loops apart.
struct ExchangeStyle {
    // Which control areas ask for the next block: anything but "(END)" and
    // "(INVALID)", or only "(MORE)".
    enum class Continue { UnlessEndOrInvalid, OnlyOnMore } next = Continue::UnlessEndOrInvalid;
    // A later "(INVALID)": the "Access denied" box and an incomplete report;
    // otherwise it ends the report like "(END)".
    bool laterInvalidDenied = true;
    // The failure of a refused first block (critical icon, "Tolvane"); a run
    // over a whole queue keeps it quiet.
    QString refusedText = QStringLiteral(
        "Spool file is not available. The spool file may have been removed from the system, "
        "possible authority problem or IPDS/AFP printer data was found.");
    QString progressPrefix = QStringLiteral("Records transferred: ");
    // After a progress text the next one comes 50 records later, counted
    // from the threshold or from the count.
    bool thresholdFromCount = false;
    // A host that keeps saying "(MORE)" beyond what this many pages can hold
    // (pageLimit x kLinesPerPage lines as the page model writes them) is
    // stopped; 0: the report's pages are not known (kMostPages).
    qint64 pageLimit = 0;
};

enum class ExchangeEnd {
    Complete,    // "(END)" (or the end the style allows)
    NotStarted,  // the first exchange failed or was cancelled
    Refused,     // the first reply was "(INVALID)"
    UnknownWidth,  // the first reply named a record width this program does not know
    Denied,      // a later "(INVALID)": the report is incomplete
    Canceled,    // the user cancelled after the first block
    Broken,      // the link broke after the first block
    Overrun,     // more blocks than the report's pages can hold: stopped
};

struct ExchangeResult {
    ExchangeEnd end = ExchangeEnd::NotStarted;
    qint32 records = 0;
    std::string widthCode;
    bool complete() const { return end == ExchangeEnd::Complete; }
    // The host accepted the request and the sink was opened.
    bool started() const {
        return end != ExchangeEnd::NotStarted && end != ExchangeEnd::Refused && end != ExchangeEnd::UnknownWidth;
    }
};

// Sends the request, and again for every further block, until the report
// ends. Progress goes to `progress` every 50 records. A host that keeps
// saying "(MORE)" is stopped once the lines it sent fill more than the
// report's pages, or once it has sent no record for kQuietBlocks blocks or
// kQuietMs. A first reply with a
// record width other than the four known ones is refused before the sink is
// opened. Whenever the exchange stops while the host still holds blocks (an
// unknown width, too many blocks, a sink that throws), the host is told to
// stop, so that the link stays in step.
ExchangeResult RunSpoolExchange(RunContext& ctx, const std::string& request, const ExchangeStyle& style,
                                SpoolRecordSink& sink, DownloadProgress& progress);
