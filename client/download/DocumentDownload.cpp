#include "DocumentDownload.h"

#include "MousePointer.h"
#include "PageModel.h"
#include "RunContext.h"

void ShowDocumentFileError(RunContext& ctx, const QString& procedure, int number, const QString& description,
                           const QString& fileName) {
    ctx.services.report(Failure{QStringLiteral("PC level file error:") + QString::number(number) +
                           QStringLiteral("   Description: ") + description + QStringLiteral("  Path and file: ") +
                           fileName + QLatin1Char(' '),
                       MsgIcon::Exclamation, QStringLiteral("iSeries Spoolwright - ") + procedure});
}

ReportResult RunDocumentDownload(RunContext& ctx, const DownloadOptions& options, DownloadProgress& progress,
                                 const QString& procedure, const QString& fileName, const SpoolFileRow& row,
                                 DocumentSink& sink) {
    setMousePointer(MousePointer::ArrowHourglass);
    struct DefaultPointerOnExit {
        ~DefaultPointerOnExit() { setMousePointer(MousePointer::Normal); }
    } pointer;
    // The host leaves out overprinted lines whenever the box says so: the
    // print-control box plays no part in documents.
    DownloadOptions request = options;
    request.printControl = false;
    ExchangeStyle style;
    style.thresholdFromCount = true;
    // A document ends on any control area that is not "(MORE)".
    style.next = ExchangeStyle::Continue::OnlyOnMore;
    ReportResult result = RunFileDownload(ctx, request, style, progress, fileName, false, row, sink);
    if (result.outcome.failure) {
        sink.abandon();
        ShowDocumentFileError(ctx, procedure, result.outcome.failure->number, result.outcome.failure->text, fileName);
        result.outcome = Outcome::Stopped();
    }
    return result;
}

void LineDocumentSink::finish(bool whole) {
    writeEnd();
    if (whole) {
        // The last bytes go first: a disk that fills up with them fails the
        // download here, and the caller drops the document (a failing commit
        // would keep the part that arrived under a name that was free).
        file_.flush();
        file_.commit();
        return;
    }
    // What arrived is kept only with its end on the disk.
    file_.flush();
    file_.abandon();
}

std::string_view RecordText(const SpoolRecordSlot& slot) { return RightTrimmed(slot.text); }
