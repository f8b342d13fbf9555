#include "FileDownload.h"

#include <QFileInfo>

#include "Codec.h"
#include "ProcTxt.h"
#include "ReportFile.h"
#include "RunContext.h"
#include "SafeOutputFile.h"

namespace {
void runFileDownload(RunContext& ctx, const DownloadOptions& options, ExchangeStyle style,
                     DownloadProgress& progress, const QString& fileName, bool append, const SpoolFileRow& row,
                     FileSink& sink, ReportResult& result) {
    progress.status(QStringLiteral("Preparing records for transfer to file ") + fileName + QStringLiteral(".   "));
    // A folder that does not exist is reported before the host is asked.
    ReportFile::check(ctx, fileName, append);
    sink.nameWasFree = !QFileInfo(fileName).exists() && !QFileInfo(fileName).isSymLink();
    style.pageLimit = PageLimitOf(row);
    const ExchangeResult r = RunSpoolExchange(ctx, DownloadRequestFor(options, row).build(), style, sink, progress);
    if (!r.started()) return;
    result.recordWidth = Codec::toUnicode(r.widthCode);
    const QString count = QString::number(r.records);
    const auto written = [&] {
        if (!sink.writtenName().isEmpty()) result.writtenAs = sink.writtenName();
    };
    if (r.complete()) {
        sink.finish(true);
        written();
        const QString note = sink.completionNote();
        progress.status(QStringLiteral("Transfer is complete to ") + result.writtenAs + QStringLiteral(".  ") + count +
                        QStringLiteral(" records transferred.") + (note.isEmpty() ? QString() : QStringLiteral("  ") + note));
        // What the window's status says of the file, a run's line says too.
        if (!note.isEmpty()) {
            QString& delivery = ctx.download.gDeliveryNote;
            delivery += (delivery.isEmpty() ? QString() : QStringLiteral(" ")) + note;
        }
        result.outcome = Outcome::Done();
        return;
    }
    // Nothing of the report arrived: no file is left that looks like it.
    if (r.records == 0) {
        sink.abandon();
        result.writtenAs = fileName;
        result.nothingArrived = true;
        if (r.end != ExchangeEnd::Canceled)
            progress.status(QStringLiteral("Nothing of the report arrived, so no file was written to ") + fileName +
                            QStringLiteral("."));
        return;
    }
    // Less than the whole report never takes the place of an earlier file.
    const bool earlierKept = sink.replacesEarlierFile();
    sink.finish(false);
    written();
    // A cancel keeps the exchange's own texts; anything else leaves a report
    // that must not pass for a whole one.
    if (r.end != ExchangeEnd::Canceled)
        progress.status(QStringLiteral("Transfer to file ") + result.writtenAs + QStringLiteral(" is incomplete.  ") +
                        count + QStringLiteral(" records transferred.") +
                        (earlierKept ? QStringLiteral("  The earlier file is unchanged.") : QString()));
}
}  // namespace

ReportResult RunFileDownload(RunContext& ctx, const DownloadOptions& options, ExchangeStyle style,
                             DownloadProgress& progress, const QString& fileName, bool append, const SpoolFileRow& row,
                             FileSink& sink) {
    ReportResult result;
    result.writtenAs = fileName;
    try {
        runFileDownload(ctx, options, style, progress, fileName, append, row, sink, result);
    } catch (const PcFileError& e) {
        // The writer's failure goes back as it is: each procedure words its own message.
        result.outcome = Outcome::Failed(Failure{e.description, MsgIcon::Exclamation, QStringLiteral("Tolvane"), e.number});
    }
    return result;
}
