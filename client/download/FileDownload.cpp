#include "FileDownload.h"

#include "Codec.h"
#include "ProcTxt.h"
#include "ReportFile.h"
#include "RunContext.h"

int RunFileDownload(RunContext& ctx, const DownloadOptions& options, ExchangeStyle style, DownloadProgress& progress,
                    const QString& fileName, bool append, const SpoolFileRow& row, FileSink& sink,
                    QString& recordWidth) {
    progress.status(QStringLiteral("Preparing records for transfer to file ") + fileName + QStringLiteral(".   "));
    // A folder that does not exist is reported before the host is asked.
    ReportFile::check(ctx, fileName, append);
    style.pageLimit = PageLimitOf(row);
    const ExchangeResult r = RunSpoolExchange(ctx, DownloadRequestFor(options, row).build(), style, sink, progress);
    if (!r.started()) return -1;
    recordWidth = Codec::toUnicode(r.widthCode);
    const QString count = QString::number(r.records);
    if (r.complete()) {
        sink.finish(true);
        progress.status(QStringLiteral("Transfer is complete to ") + fileName + QStringLiteral(".  ") + count +
                        QStringLiteral(" records transferred."));
        return 0;
    }
    // Less than the whole report never takes the place of an earlier file.
    const bool earlierKept = sink.replacesEarlierFile();
    sink.finish(false);
    // A cancel keeps the exchange's own texts; anything else leaves a report
    // that must not pass for a whole one.
    if (r.end != ExchangeEnd::Canceled)
        progress.status(QStringLiteral("Transfer to file ") + fileName + QStringLiteral(" is incomplete.  ") + count +
                        QStringLiteral(" records transferred.") +
                        (earlierKept ? QStringLiteral("  The earlier file is unchanged.") : QString()));
    return -1;
}
