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

// While a report is delivered, its first message (a failure reported, a
// question asked, a box the windows showed) is kept as the reason it failed;
// each still goes where it went before.
struct FirstMessage {
    QString& reason;
    void keep(const QString& text) {
        if (reason.isEmpty()) reason = text.simplified();
    }
};

// One of the three, between the context and what it had.
template <class Face>
struct Watched : Face {
    Watched(FirstMessage& f, std::unique_ptr<Face> i) : first(f), inner(std::move(i)) {}
    FirstMessage& first;
    std::unique_ptr<Face> inner;
};

struct WatchedBoxes : Watched<MessageBoxes> {
    using Watched::Watched;
    int show(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title, int defaultButton) override {
        first.keep(text);
        return inner ? inner->show(text, buttons, icon, title, defaultButton)
                     : MessageBoxes::defaultAnswer(buttons, defaultButton);
    }
};

struct WatchedReporter : Watched<Reporter> {
    using Watched::Watched;
    void report(const Failure& failure) override {
        first.keep(failure.text);
        if (inner) inner->report(failure);
    }
};

struct WatchedAsker : Watched<Asker> {
    using Watched::Watched;
    int ask(const Question& q) override {
        first.keep(q.text);
        return inner ? inner->ask(q) : MessageBoxes::defaultAnswer(q.buttons, q.defaultButton);
    }
    bool nobodyAnswers() const override { return inner && inner->nobodyAnswers(); }
};

// Watches one report's messages and puts back what it watched, whatever happens.
class ReasonScope {
public:
    explicit ReasonScope(RunContext& ctx) : ctx_(ctx), first_{ctx.download.gFailureReason} {
        ctx_.download.gFailureReason.clear();
        boxes_ = watch<WatchedBoxes>(ctx_.services.msg);
        reporter_ = watch<WatchedReporter>(ctx_.services.reporter);
        asker_ = watch<WatchedAsker>(ctx_.services.asker);
    }
    ~ReasonScope() {
        ctx_.services.msg = std::move(boxes_->inner);
        ctx_.services.reporter = std::move(reporter_->inner);
        ctx_.services.asker = std::move(asker_->inner);
    }
    ReasonScope(const ReasonScope&) = delete;
    ReasonScope& operator=(const ReasonScope&) = delete;

private:
    template <class Watched, class Face>
    Watched* watch(std::unique_ptr<Face>& slot) {
        auto w = std::make_unique<Watched>(first_, std::move(slot));
        Watched* raw = w.get();
        slot = std::move(w);
        return raw;
    }
    RunContext& ctx_;
    FirstMessage first_;
    WatchedBoxes* boxes_ = nullptr;
    WatchedReporter* reporter_ = nullptr;
    WatchedAsker* asker_ = nullptr;
};

ReportOutcome deliverWatched(ReportRun& run, const DownloadOptions& options, const SpoolFileRow& row,
                             const std::optional<QString>& presetName) {
    RunContext& ctx = run.ctx;
    ReportOutcome out;
    out.row = row.shownText();
    const ProcessType* type = FindProcessType(options.processType);
    const std::optional<ReportDelivery> d = type && run.dispatch ? run.dispatch(*type, options) : std::nullopt;
    if (!d) {
        ctx.services.report(Failure{QStringLiteral("Please select a valid application or format to download the spool file to."),
                           MsgIcon::None, QStringLiteral("Tolvane")});
        return out;
    }
    if (type->workFolder && ctx.connection.gWorkDir.trimmed().isEmpty()) {
        // Without it the files would land in whatever folder the program runs in.
        ctx.services.report(
            Failure{QStringLiteral("There is no work directory for \"") + options.processType +
                        QStringLiteral("\", so the report was not delivered.  Please specify a valid directory in "
                                       "Naming Options."),
                    MsgIcon::Exclamation, QStringLiteral("Tolvane")});
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
    const bool existed = !fileName.isEmpty() && QFileInfo::exists(fileName);
    const ReportResult result = d->run(fileName, row);
    if (!result.writtenAs.isEmpty()) fileName = result.writtenAs;
    if (result.outcome.failure) ctx.services.report(*result.outcome.failure);
    const bool exists = !fileName.isEmpty() && QFileInfo::exists(fileName);
    if (exists) run.writtenThisRun.insert(QFileInfo(fileName).absoluteFilePath());
    out.target = fileName;
    out.nothingArrived = result.nothingArrived;
    out.status = result.outcome.done          ? ReportOutcome::Delivered
                 : ctx.link.cancelRequested() ? ReportOutcome::Canceled
                                              : ReportOutcome::Failed;
    // A cut-short new file stays (a cancel keeps it too): its name says where the part is.
    if (out.status != ReportOutcome::Delivered && !existed && exists) out.partial = fileName;
    return out;
}
}  // namespace

ReportOutcome DeliverReport(ReportRun& run, const DownloadOptions& options, const SpoolFileRow& row,
                            const std::optional<QString>& presetName) {
    ReportOutcome out;
    run.ctx.download.gDeliveryNote.clear();
    {
        ReasonScope watch(run.ctx);
        out = deliverWatched(run, options, row, presetName);
    }
    if (out.status == ReportOutcome::Failed) out.reason = run.ctx.download.gFailureReason;
    if (out.status != ReportOutcome::Delivered && out.nothingArrived) {
        if (!out.reason.isEmpty() && !out.reason.endsWith(u'.')) out.reason += QLatin1Char('.');
        if (!out.reason.isEmpty()) out.reason += QLatin1Char(' ');
        out.reason += QStringLiteral("Nothing of the report arrived, so no file was written.");
    }
    if (out.status == ReportOutcome::Delivered) out.note = run.ctx.download.gDeliveryNote;
    return out;
}
