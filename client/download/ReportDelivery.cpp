#include "ReportDelivery.h"

#include <QFileInfo>
#include <memory>

#include "MousePointer.h"
#include "PcFileName.h"
#include "RunContext.h"
#include "SpoolFileRow.h"

namespace {
// Whether the destination replaces an existing file (rather than adding to it).
bool replaces(const DownloadOptions& o, SaveDialogKind dialog) {
    if (dialog == SaveDialogKind::Text) return o.replacesTextFile();
    if (dialog == SaveDialogKind::Html) return !o.htmlAddToFile;
    return true;
}

// While a report is delivered, its first message is kept as the reason it
// failed (the boxes are still shown as before).
class ReasonWatch : public MessageBoxes {
public:
    explicit ReasonWatch(RunContext& ctx) : ctx_(ctx), inner_(std::move(ctx.msg)) { ctx_.gFailureReason.clear(); }
    ~ReasonWatch() override = default;
    ReasonWatch(const ReasonWatch&) = delete;
    ReasonWatch& operator=(const ReasonWatch&) = delete;
    int show(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title, int defaultButton) override {
        if (ctx_.gFailureReason.isEmpty()) ctx_.gFailureReason = text.simplified();
        return inner_ ? inner_->show(text, buttons, icon, title, defaultButton)
                      : MessageBoxes::defaultAnswer(buttons, defaultButton);
    }
    std::unique_ptr<MessageBoxes>& inner() { return inner_; }

private:
    RunContext& ctx_;
    std::unique_ptr<MessageBoxes> inner_;
};

// Installs a ReasonWatch for one report and takes it out again, whatever happens.
struct ReasonScope {
    explicit ReasonScope(RunContext& c) : ctx(c) {
        auto watch = std::make_unique<ReasonWatch>(ctx);
        watching = watch.get();
        ctx.msg = std::move(watch);
    }
    ~ReasonScope() { ctx.msg = std::move(watching->inner()); }
    ReasonScope(const ReasonScope&) = delete;
    ReasonScope& operator=(const ReasonScope&) = delete;
    RunContext& ctx;
    ReasonWatch* watching = nullptr;
};

ReportOutcome deliverWatched(ReportRun& run, const DownloadOptions& options, const SpoolFileRow& row,
                             const std::optional<QString>& presetName) {
    RunContext& ctx = run.ctx;
    ReportOutcome out;
    out.row = row.toQString();
    const ProcessType* type = FindProcessType(options.processType);
    const std::optional<ReportDelivery> d = type && run.dispatch ? run.dispatch(*type, options) : std::nullopt;
    if (!d) {
        ctx.msgBox(QStringLiteral("Please select a valid application or format to download the spool file to."),
                   MsgButtons::OK, MsgIcon::None, QStringLiteral("Tolvane"));
        return out;
    }
    if (type->workFolder && ctx.gWorkDir.trimmed().isEmpty()) {
        // Without it the files would land in whatever folder the program runs in.
        ctx.msgBox(QStringLiteral("There is no work directory for \"") + options.processType +
                       QStringLiteral("\", so the report was not delivered.  Please specify a valid directory in "
                                      "Naming Options."),
                   MsgButtons::OK, MsgIcon::Exclamation, QStringLiteral("Tolvane"));
        return out;
    }
    QString fileName;
    if (type->dialog != SaveDialogKind::None && presetName) {
        fileName = *presetName;
    } else if (type->dialog != SaveDialogKind::None) {
        const std::optional<ChosenName> name = run.names ? run.names(type->dialog, row) : std::nullopt;
        if (!name) {
            out.status = ReportOutcome::Skipped;
            return out;
        }
        fileName = name->name;
        // A name that nobody chose for this report must not replace what
        // an earlier report of the same run wrote.
        if (!name->chosenByUser && replaces(options, type->dialog) &&
            run.writtenThisRun.contains(QFileInfo(fileName).absoluteFilePath())) {
            fileName = NextFreeName(fileName, run.writtenThisRun);
        }
    }
    if (d->busy) setMousePointer(MousePointer::ArrowHourglass);
    QString width;
    const int result = d->run(fileName, width, row);
    if (!fileName.isEmpty() && QFileInfo::exists(fileName))
        run.writtenThisRun.insert(QFileInfo(fileName).absoluteFilePath());
    out.target = fileName;
    out.status = result == 0                    ? ReportOutcome::Delivered
                 : ctx.link.cancelRequested() ? ReportOutcome::Canceled
                                              : ReportOutcome::Failed;
    return out;
}
}  // namespace

ReportOutcome DeliverReport(ReportRun& run, const DownloadOptions& options, const SpoolFileRow& row,
                            const std::optional<QString>& presetName) {
    ReportOutcome out;
    run.ctx.gDeliveryNote.clear();
    {
        ReasonScope watch(run.ctx);
        out = deliverWatched(run, options, row, presetName);
    }
    if (out.status == ReportOutcome::Failed) out.reason = run.ctx.gFailureReason;
    if (out.status == ReportOutcome::Delivered) out.note = run.ctx.gDeliveryNote;
    return out;
}
