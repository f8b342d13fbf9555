#pragma once
#include <QString>

#include "DownloadOptions.h"
#include "ReportResult.h"
#include "SpoolExchange.h"
#include "SpoolFileRow.h"

class RunContext;

// A destination that writes the report into a PC file (text, HTML, XML, PDF).
class FileSink : public SpoolRecordSink {
public:
    // Writes the end of the file. A whole report takes the place of an earlier
    // file; anything less stays under the name only where there was none.
    virtual void finish(bool whole) = 0;
    // Nothing of the report stays; an earlier file keeps its place.
    virtual void abandon() noexcept = 0;
    // There was a file of the name when it was opened.
    virtual bool replacesEarlierFile() const = 0;
    // What the completion text adds about the file (empty: nothing).
    virtual QString completionNote() const { return {}; }
    // The name the report was written under (the one asked for, or the next
    // free one when another run took that meanwhile); empty before the open.
    virtual QString writtenName() const { return {}; }

    // No file had the name when the report started: none is replaced.
    bool nameWasFree = false;
};

// One report into a file, from the "Preparing records ..." text to the
// completion text: the file is checked before the host is asked (only a
// plain file is written), the exchange runs within the row's pages, and the
// sink is finished whole or not. A name that was free at the start and that
// another run took meanwhile is passed over: the result's writtenAs is the
// name written. A report that ends early (other than by a cancel, which has
// its own texts) is said to be incomplete. Done when the whole report is in
// the file. A file error (the check, the sink, the finish) stops it with the
// writer's failure (its number, and its description as the text) for the
// caller's own message; nothing of it has been told yet.
ReportResult RunFileDownload(RunContext& ctx, const DownloadOptions& options, ExchangeStyle style,
                             DownloadProgress& progress, const QString& fileName, bool append, const SpoolFileRow& row,
                             FileSink& sink);
