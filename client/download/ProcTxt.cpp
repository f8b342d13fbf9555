#include "ProcTxt.h"

#include "ProcessType.h"

#include "FileDownload.h"
#include "MousePointer.h"
#include "ReportFile.h"
#include "RunContext.h"
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
class TextFileSink : public FileSink {
public:
    TextFileSink(RunContext& ctx, const QString& fileName, bool append, TextLayoutOptions layout)
        : ctx_(ctx), fileName_(fileName), append_(append), options_(layout) {}

    void accepted(const std::string& widthCode) override {
        options_.width = RecordWidth(widthCode);
        file.open(ctx_, fileName_, append_, nameWasFree);
        layout_.emplace(options_, [this](std::string_view line) { file.writeLine(line); });
    }
    void record(const SpoolRecordSlot& slot) override { layout_->record(slot); }
    const PageModel* placing() const override { return layout_ ? layout_->placing() : nullptr; }
    void finish(bool whole) override {
        if (!whole) {
            file.abandon();
            return;
        }
        if (layout_) layout_->finish();
        file.commit();
    }
    void abandon() noexcept override { file.discard(); }
    bool replacesEarlierFile() const override { return file.replacesEarlierFile(); }
    QString writtenName() const override { return file.path(); }

    ReportFile file;

private:
    RunContext& ctx_;
    QString fileName_;
    bool append_;
    TextLayoutOptions options_;
    std::optional<TextLayout> layout_;
};
}  // namespace

ReportResult ProcTxt(RunContext& ctx, const DownloadOptions& options, DownloadProgress& progress, const QString& fileName,
                     const QString& processCode, const SpoolFileRow& row) {
    TextLayoutOptions layout;
    layout.code = ProcessCodeOf(processCode);
    layout.textFile = layout.code == ProcessCode::Text && IsProcessType(options.processType, Destination::TextFile);
    // The print-control box is offered for the text file alone: a remembered
    // tick changes no other destination, nor what the host is asked for.
    DownloadOptions request = options;
    if (!layout.textFile) request.printControl = false;
    layout.printControl = request.printControl;
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
    ReportResult result = RunFileDownload(ctx, request, style, progress, fileName, append, row, sink);
    if (!result.outcome.failure) return result;
    const Failure error = *result.outcome.failure;
    sink.file.abandon();
    ctx.services.report(
        Failure{QStringLiteral("PC level file error:") + QLatin1Char(' ') + QString::number(error.number) +
                    QStringLiteral("  File may already be in use or the default directory for saving files is "
                                   "invalid.  Please specify a valid directory in Naming Options.  Description: ") +
                    error.text + QStringLiteral("  Path and file: ") + fileName + QLatin1Char(' '),
                MsgIcon::Exclamation, QStringLiteral("iSeries Spoolwright - ProcTxt")});
    // The naming options let the user pick another folder; a run nobody watches opens no window.
    if (error.number == 76 && !ctx.services.nobodyAnswers())
        ctx.runWindows().showNamingOptions(ctx.services.getSetting(Setting::FullName));
    result.outcome = Outcome::Stopped();
    return result;
}
