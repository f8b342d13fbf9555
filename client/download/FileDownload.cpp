#include "FileDownload.h"

#include <QFileInfo>

#include "Codec.h"
#include "ProcTxt.h"
#include "ReportFile.h"
#include "RunContext.h"

int RunFileDownload(RunContext& ctx, const DownloadOptions& options, ExchangeStyle style, DownloadProgress& progress,
                    const QString& fileName, bool append, const SpoolFileRow& row, FileSink& sink,
                    QString& recordWidth, QString* writtenAs) {
    progress.status(QStringLiteral("Preparing records for transfer to file ") + fileName + QStringLiteral(".   "));
    // A folder that does not exist is reported before the host is asked.
    ReportFile::check(ctx, fileName, append);
    sink.nameWasFree = !QFileInfo(fileName).exists() && !QFileInfo(fileName).isSymLink();
    style.pageLimit = PageLimitOf(row);
    const ExchangeResult r = RunSpoolExchange(ctx, DownloadRequestFor(options, row).build(), style, sink, progress);
    if (!r.started()) return -1;
    recordWidth = Codec::toUnicode(r.widthCode);
    const QString count = QString::number(r.records);
    QString name = fileName;
    const auto written = [&] {
        if (!sink.writtenName().isEmpty()) name = sink.writtenName();
        if (writtenAs) *writtenAs = name;
    };
    if (r.complete()) {
        sink.finish(true);
        written();
        const QString note = sink.completionNote();
        progress.status(QStringLiteral("Transfer is complete to ") + name + QStringLiteral(".  ") + count +
                        QStringLiteral(" records transferred.") + (note.isEmpty() ? QString() : QStringLiteral("  ") + note));
        return 0;
    }
    // Less than the whole report never takes the place of an earlier file.
    const bool earlierKept = sink.replacesEarlierFile();
    sink.finish(false);
    written();
    // A cancel keeps the exchange's own texts; anything else leaves a report
    // that must not pass for a whole one.
    if (r.end != ExchangeEnd::Canceled)
        progress.status(QStringLiteral("Transfer to file ") + name + QStringLiteral(" is incomplete.  ") + count +
                        QStringLiteral(" records transferred.") +
                        (earlierKept ? QStringLiteral("  The earlier file is unchanged.") : QString()));
    return -1;
}
