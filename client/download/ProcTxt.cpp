#include "ProcTxt.h"

#include "RunContext.h"
#include "Codec.h"
#include "MousePointer.h"
#include "ReportFile.h"
#include "SpoolExchange.h"
#include "TextLayout.h"

SpoolDownloadRequest DownloadRequestFor(const DownloadOptions& options, const SpoolFileRow& row) {
    SpoolDownloadRequest req;
    req.row = row;
    req.fromText = options.fromPage;
    req.toText = options.toPage;
    req.convertMinus = options.sendsMinusConversion();
    req.suppressOverprint = options.sendsOverprintSuppression();
    return req;
}

namespace {
// Writes the records into the file as they arrive; the file is opened only
// once the host has accepted the request.
class TextFileSink : public SpoolRecordSink {
public:
    TextFileSink(RunContext& ctx, const QString& fileName, bool append, TextLayoutOptions layout)
        : ctx_(ctx), fileName_(fileName), append_(append), options_(layout) {}

    void accepted(const std::string& widthCode) override {
        options_.width = RecordWidth(widthCode);
        file.open(ctx_, fileName_, append_);
        layout_.emplace(options_, [this](std::string_view line) { file.writeLine(line); });
    }
    void record(const SpoolRecordSlot& slot) override { layout_->record(slot); }
    void blockDone() override { file.flush(); }
    void finish() {
        if (layout_) layout_->finish();
    }

    ReportFile file;

private:
    RunContext& ctx_;
    QString fileName_;
    bool append_;
    TextLayoutOptions options_;
    std::optional<TextLayout> layout_;
};
}  // namespace

int ProcTxt(RunContext& ctx, const DownloadOptions& options, DownloadProgress& progress, const QString& fileName,
            QString& recordWidth, const QString& processCode, const SpoolFileRow& row) {
    progress.status(QStringLiteral("Preparing records for transfer to file ") + fileName + QStringLiteral(".   "));

    TextLayoutOptions layout;
    layout.code = ProcessCodeOf(processCode);
    layout.printControl = options.printControl;
    layout.fcfc = options.fcfc;
    layout.removeBlank = options.removeBlankLines;
    layout.pageLength = PageLengthOf(options.pageLength);
    const bool append = !options.replacesTextFile();

    TextFileSink sink(ctx, fileName, append, layout);
    ExchangeStyle style;
    style.refusedText = QStringLiteral(
        "Spool file is not available. The spool file may have been removed from the system, "
        "may be empty, possible authority problem or IPDS/AFP printer data was found.");
    struct DefaultPointerOnExit {
        ~DefaultPointerOnExit() { setMousePointer(MousePointer::Normal); }
    } pointer;
    style.pageLimit = PageLimitOf(row);
    try {
        // A folder that does not exist is reported before the host is asked.
        ReportFile::check(ctx, fileName, append);
        const ExchangeResult r =
            RunSpoolExchange(ctx, DownloadRequestFor(options, row).build(), style, sink, progress);
        if (!r.started()) return -1;
        recordWidth = Codec::toUnicode(r.widthCode);
        const QString count = QString::number(r.records);
        if (r.complete()) {
            sink.finish();
            sink.file.commit();
            progress.status(QStringLiteral("Transfer is complete to ") + fileName + QStringLiteral(".  ") + count +
                           QStringLiteral(" records transferred."));
            return 0;
        }
        // Less than the whole report never takes the place of an earlier file.
        const bool earlierKept = sink.file.replacesEarlierFile();
        sink.file.abandon();
        // A cancel keeps the exchange's own texts; anything else leaves a
        // report that must not pass for a whole one.
        if (r.end != ExchangeEnd::Canceled)
            progress.status(QStringLiteral("Transfer to file ") + fileName + QStringLiteral(" is incomplete.  ") +
                            count + QStringLiteral(" records transferred.") +
                            (earlierKept ? QStringLiteral("  The earlier file is unchanged.") : QString()));
        return -1;
    } catch (const PcFileError& e) {
        sink.file.abandon();
        ctx.msgBox(QStringLiteral("PC level file error:") + QLatin1Char(' ') + QString::number(e.number) +
                       QStringLiteral("  File may already be in use or the default directory for saving files is "
                                      "invalid.  Please specify a valid directory in Naming Options.  Description: ") +
                       e.description + QStringLiteral("  Path and file: ") + fileName + QLatin1Char(' '),
                   MsgButtons::OK, MsgIcon::Exclamation, QStringLiteral("iSeries Spoolwright - ProcTxt"));
        // The naming options let the user pick another folder; a batch run opens no window.
        if (e.number == 76 && !ctx.gBatchMode && ctx.showNamingOptions)
            ctx.showNamingOptions(ctx.getSetting(QStringLiteral("FullName")));
        return -1;
    }
}
