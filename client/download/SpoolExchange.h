#pragma once
#include <QString>
#include <string>

#include "DownloadOptions.h"
#include "SpoolDownload.h"

class AppContext;

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
};

// What tells the download procedures' loops apart.
struct ExchangeStyle {
    // Which control areas ask for the next block: anything but "(END)" and
    // "(INVALID)", or only "(MORE)".
    enum class Continue { UnlessEndOrInvalid, OnlyOnMore } next = Continue::UnlessEndOrInvalid;
    // A later "(INVALID)": the "Access denied" box and an incomplete report;
    // otherwise it ends the report like "(END)".
    bool laterInvalidDenied = true;
    // The box for a refused first block (critical icon, "Tolvane"); not
    // shown while gBatchNoDialogs is set.
    QString refusedText = QStringLiteral(
        "Spool file is not available. The spool file may have been removed from the system, "
        "possible authority problem or IPDS/AFP printer data was found.");
    QString progressPrefix = QStringLiteral("Records transferred: ");
    // After a progress text the next one comes 50 records later, counted
    // from the threshold or from the count.
    bool thresholdFromCount = false;
};

enum class ExchangeEnd {
    Complete,    // "(END)" (or the end the style allows)
    NotStarted,  // the first exchange failed or was cancelled
    Refused,     // the first reply was "(INVALID)"
    Denied,      // a later "(INVALID)": the report is incomplete
    Canceled,    // the user cancelled after the first block
    Broken,      // the link broke after the first block
};

struct ExchangeResult {
    ExchangeEnd end = ExchangeEnd::NotStarted;
    qint32 records = 0;
    std::string widthCode;
    bool complete() const { return end == ExchangeEnd::Complete; }
    bool started() const { return end != ExchangeEnd::NotStarted && end != ExchangeEnd::Refused; }
};

// Sends the request, and again for every further block, until the report
// ends. Progress goes to progress every 50 records. When the
// sink throws while the host still holds blocks, the host is told to stop
// before the exception goes on, so that the link stays in step.
ExchangeResult RunSpoolExchange(AppContext& ctx, const std::string& request, const ExchangeStyle& style,
                                SpoolRecordSink& sink, DownloadProgress& progress);
