#include "DownloadDriver.h"

#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <functional>
#include <optional>

#include "AppContext.h"
#include "CoreDelivery.h"
#include "DownloadWindows.h"
#include "EmailCommon.h"
#include "MailSetup.h"
#include "MousePointer.h"
#include "OfficeMailDelivery.h"
#include "OfficeWindows.h"
#include "PcFileName.h"
#include "PrintReport.h"
#include "ProcessType.h"
#include "ScreenOptions.h"
#include "SplfGrid.h"
#include "SplfScreenApi.h"
#include "SpoolDownload.h"
#include "SpoolFileRow.h"
#include "Viewers.h"

namespace {
using Kind = frmSaveAs::Kind;

// One destination of the process-type table, wired to its procedure.
struct Delivery {
    const ProcessType* type = nullptr;
    bool busy = false;
    // Gets the file name the dialog gave (empty without one); a destination that
    // names its own document puts that name there.
    std::function<int(QString& fileName, QString& width, const SpoolFileRow& row)> run;
    std::optional<Kind> dialog() const {
        switch (type->dialog) {
        case SaveDialogKind::Text: return Kind::Text;
        case SaveDialogKind::Html: return Kind::Html;
        case SaveDialogKind::Xml: return Kind::Xml;
        case SaveDialogKind::Pdf: return Kind::Pdf;
        case SaveDialogKind::None: break;
        }
        return std::nullopt;
    }
};

// What a destination's procedure is given besides the report: the options
// of the moment the report starts, and where its progress goes.
struct DeliveryRun {
    AppContext& ctx;
    const DownloadOptions& options;
    DownloadProgress& progress;
    const NameSource* names = nullptr;  // none: the save-as dialogs
};

std::optional<Delivery> deliveryFor(const DeliveryRun& in, RunSettings& settings) {
    const ProcessType* type = FindProcessType(in.options.processType);
    if (!type) return std::nullopt;
    using D = Destination;
    switch (type->id) {
    case D::ViewFewPages:
        return Delivery{type, true, [in](const QString&, QString&, const SpoolFileRow& row) {
                            return TransferSpoolFileToViewer(in.ctx, in.options, in.progress, row);
                        }};
    case D::ViewEntireReport:
        return Delivery{type, true, [in](const QString&, QString&, const SpoolFileRow& row) {
                            return ProcFullView(in.ctx, in.options, in.progress, row);
                        }};
    // Delivered below the windows, as a run without them delivers them.
    case D::PcPrinter:
    case D::TextFile:
    case D::XmlDocument:
    case D::HtmlDocument:
    case D::PdfDocument:
        if (std::optional<DeliveryProcedure> core = CoreDeliveryFor(in.ctx, in.options, in.progress, *type))
            return Delivery{type, true, std::move(*core)};
        break;
    // Delivered below the windows too, as the windows' settings give them.
    case D::NetscapeMail:
    case D::OutlookExpressMail:
    case D::OutlookMail:
    case D::LotusNotes:
    case D::MicrosoftExcel:
    case D::Lotus123:
    case D::MicrosoftWord695:
    case D::MicrosoftWord:
    case D::LotusWordPro:
        if (std::optional<DeliveryProcedure> core = OfficeMailDeliveryFor(in.ctx, settings, in.progress, *type))
            return Delivery{type, false, std::move(*core)};
        break;
    }
    return std::nullopt;
}

const char* lastNameKey(Kind k) {
    switch (k) {
    case Kind::Text: return "Text file";
    case Kind::Html: return "Html file";
    case Kind::Xml: return "xml file";
    default: return "PDF file";
    }
}

// Whether the destination replaces an existing file (rather than adding to it).
bool replaces(const DownloadOptions& o, Kind k) {
    if (k == Kind::Text) return o.replacesTextFile();
    if (k == Kind::Html) return !o.htmlAddToFile;
    return true;
}

bool isSet(const QString& v) { return v != QLatin1String("None") && !v.trimmed().isEmpty(); }

// The save-dialog sequence: pre-fills the name, shows the dialog unless the
// batch run delivers a whole queue, and gives the name back; nothing when the
// dialog was cancelled.
std::optional<QString> askFileName(AppContext& ctx, Kind k, const SpoolFileRow& row, bool& chosenByUser) {
    frmSaveAs& dlg = SaveDialog(ctx, k);
    if (dlg.txtSaveTag().isEmpty()) {
        const QString fullName = ctx.getSetting(QStringLiteral("FullName"));
        if (dlg.txtSave->text().trimmed().isEmpty() || fullName == QLatin1String("1")) {
            if (fullName == QLatin1String("1")) {
                // After a report of this run went elsewhere, the next one starts there.
                const QString savePath = dlg.chosenFolder().isEmpty() ? ctx.getSetting(QStringLiteral("Save Path"))
                                                                      : dlg.chosenFolder();
                if (isSet(savePath)) {
                    // Probed with the destination's own extension: a text file of the
                    // same name does not make an HTML document take a numbered name.
                    dlg.txtSave->setText(BuildPcFileName(ctx, savePath, row, true, SaveDialogExtension(k)));
                }
            } else {
                const QString last = ctx.getSetting(QString::fromLatin1(lastNameKey(k)));
                if (isSet(last)) {
                    dlg.txtSave->setText(last);
                } else if (k == Kind::Pdf) {
                    const QString savePath = ctx.getSetting(QStringLiteral("Save Path"));
                    dlg.txtSave->setText(
                        BuildPcFileName(ctx, isSet(savePath) ? savePath : QString(), row, false, QStringLiteral("pdf")));
                }
            }
        }
    }
    dlg.setTxtSaveTag(QString());
    dlg.cancelledFlag() = false;
    dlg.cmdOpenAll->setEnabled(ctx.gSelectedCount > 1);
    chosenByUser = false;
    if (!ctx.gBatchNoDialogs) {
        dlg.showModal();
        chosenByUser = dlg.chosenByUser();
    }
    ctx.frmSplf().Refresh();
    if (dlg.cancelledFlag()) return std::nullopt;
    return dlg.txtSave->text().trimmed();
}

const char* const kLockedControls[] = {"cmdOK",   "cmdPrinter", "txtFrom",  "txtTo",    "fraFormatting",
                                       "fraMacro", "fraParse",   "fraEmail", "fraRange", "fraPrinter",
                                       "fraHTML", "fraPDF",     "fraGrd",   "cboProcessType"};

// The mail windows still open go to the user; the status names the drafts they left.
void closeMailWindows(AppContext& ctx) {
    const QString drafts = CloseMailWindows(ctx);
    if (drafts.isEmpty()) return;
    SplfScreenApi& splf = ctx.frmSplf();
    const QString before = splf.status();
    splf.setStatus((before.isEmpty() ? QString() : before + QStringLiteral("  ")) + drafts);
}

void clearSaveAll(AppContext& ctx) {
    ctx.gTextSaveAll = ctx.gHtmlSaveAll = ctx.gXmlSaveAll = ctx.gPdfSaveAll = false;
}

void lockScreen(SplfScreenApi& splf) {
    splf.setControlCaption(QStringLiteral("cmdCancel"), QStringLiteral("&Cancel"));
    for (const char* c : kLockedControls) splf.setControlEnabled(QString::fromLatin1(c), false);
}

void unlockScreen(AppContext& ctx) {
    SplfScreenApi& splf = ctx.frmSplf();
    ctx.link.clearCancel();
    clearSaveAll(ctx);
    ctx.gMailStarted = false;
    closeMailWindows(ctx);
    splf.setControlEnabled(QStringLiteral("chkAttachMultiples"), false);
    splf.setControlEnabled(QStringLiteral("cmdOK"), true);
    splf.setControlEnabled(QStringLiteral("cmdCancel"), true);
    splf.setControlCaption(QStringLiteral("cmdCancel"), QStringLiteral("&Close"));
    for (const char* c : kLockedControls) splf.setControlEnabled(QString::fromLatin1(c), true);
    splf.cboProcessType_Click();
}

// From and To: a page range that names a later first page is refused; a
// text that names no page becomes "*Start" or "*End".
bool checkPageRange(AppContext& ctx) {
    SplfScreenApi& splf = ctx.frmSplf();
    const auto from = PageNumber(splf.text(QStringLiteral("txtFrom")));
    const auto to = PageNumber(splf.text(QStringLiteral("txtTo")));
    if (from && to && *from > *to) {
        ctx.msgBox(QStringLiteral("The 'From' page number must be less than or equal to the 'To' page number."),
                   MsgButtons::OK, MsgIcon::None, QStringLiteral("Tolvane"));
        setMousePointer(MousePointer::Normal);
        return false;
    }
    if (!from) splf.setText(QStringLiteral("txtFrom"), QStringLiteral("*Start"));
    if (!to) splf.setText(QStringLiteral("txtTo"), QStringLiteral("*End"));
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

ReportOutcome deliverWatched(const DeliveryRun& in, const SpoolFileRow& row, QSet<QString>& writtenThisRun,
                             const std::optional<QString>& presetName);

ReportOutcome deliver(const DeliveryRun& in, const SpoolFileRow& row, QSet<QString>& writtenThisRun,
                      const std::optional<QString>& presetName = std::nullopt) {
    ReportOutcome out;
    in.ctx.gDeliveryNote.clear();
    {
        ReasonScope watch(in.ctx);
        out = deliverWatched(in, row, writtenThisRun, presetName);
    }
    if (out.status == ReportOutcome::Failed) out.reason = in.ctx.gFailureReason;
    if (out.status == ReportOutcome::Delivered) out.note = in.ctx.gDeliveryNote;
    return out;
}

ReportOutcome deliverWatched(const DeliveryRun& in, const SpoolFileRow& row, QSet<QString>& writtenThisRun,
                             const std::optional<QString>& presetName) {
    AppContext& ctx = in.ctx;
    ReportOutcome out;
    out.row = row.toQString();
    // The office and e-mail deliveries read the windows' values through these.
    RunSettings settings = OfficeMailSettings(ctx, in.options);
    const std::optional<Delivery> d = deliveryFor(in, settings);
    if (!d) {
        ctx.msgBox(QStringLiteral("Please select a valid application or format to download the spool file to."),
                   MsgButtons::OK, MsgIcon::None, QStringLiteral("Tolvane"));
        return out;
    }
    if (d->type->workFolder && ctx.gWorkDir.trimmed().isEmpty()) {
        // Without it the files would land in whatever folder the program runs in.
        ctx.msgBox(QStringLiteral("There is no work directory for \"") + in.options.processType +
                       QStringLiteral("\", so the report was not delivered.  Please specify a valid directory in "
                                      "Naming Options."),
                   MsgButtons::OK, MsgIcon::Exclamation, QStringLiteral("Tolvane"));
        return out;
    }
    QString fileName;
    if (d->dialog() && presetName) {
        fileName = *presetName;
    } else if (d->dialog()) {
        bool chosenByUser = false;
        const std::optional<QString> name = in.names && *in.names ? (*in.names)(d->type->dialog, row)
                                                                  : askFileName(ctx, *d->dialog(), row, chosenByUser);
        if (!name) {
            out.status = ReportOutcome::Skipped;
            return out;
        }
        fileName = *name;
        // A name that nobody chose for this report must not replace what
        // an earlier report of the same run wrote.
        if (!chosenByUser && replaces(in.options, *d->dialog()) &&
            writtenThisRun.contains(QFileInfo(fileName).absoluteFilePath())) {
            fileName = NextFreeName(fileName, writtenThisRun);
        }
    }
    if (d->busy) setMousePointer(MousePointer::ArrowHourglass);
    QString width;
    const int result = d->run(fileName, width, row);
    TakeBackOfficeMailSettings(ctx, settings);
    if (!fileName.isEmpty() && QFileInfo::exists(fileName)) writtenThisRun.insert(QFileInfo(fileName).absoluteFilePath());
    out.target = fileName;
    out.status = result == 0 ? ReportOutcome::Delivered
                 : ctx.link.cancelRequested() ? ReportOutcome::Canceled
                                        : ReportOutcome::Failed;
    return out;
}

// Whether the link was reported lost while it watched.
struct LostWatch : LinkObserver {
    explicit LostWatch(HostLink& l) : link(l) { link.addObserver(this); }
    ~LostWatch() override { link.removeObserver(this); }
    LostWatch(const LostWatch&) = delete;
    LostWatch& operator=(const LostWatch&) = delete;
    void linkLost() override { lost = true; }
    HostLink& link;
    bool lost = false;
};
}  // namespace

std::vector<ReportOutcome> RunSelectedDownloads(AppContext& ctx, const NameSource& names) {
    SplfScreenApi& splf = ctx.frmSplf();
    SplfGrid& grid = splf.grdSplf();
    ctx.link.clearCancel();
    ctx.gSelectedCount = 0;
    const int rows = grid.rowCount();
    for (int i = 1; i <= rows; ++i)
        if (grid.rowSelected(i)) ++ctx.gSelectedCount;
    if (ctx.gSelectedCount == 0) {
        ctx.msgBox(QStringLiteral("Please select a spool file or click 'Close'"), MsgButtons::OK, MsgIcon::None,
                   QStringLiteral("Tolvane"));
        return {};
    }
    splf.setStatus(QString());
    if (!checkPageRange(ctx)) return {};

    lockScreen(splf);
    clearSaveAll(ctx);
    std::vector<ReportOutcome> outcomes;
    // The run holds the link: no other command talks to the host until it ends.
    std::optional<HostLink::Hold> hold(std::in_place, ctx.link);
    QSet<QString> writtenThisRun;
    ScreenProgress progress(splf);
    try {
        const int count = grid.rowCount();
        // Once the link is lost (the user has been told), the rest stay selected
        // for a later try: sent on the closed link, each would only fail again.
        // A link closed before the run (lost in an earlier one) is found lost
        // by the first report that tries it, which says so.
        LostWatch lostWatch(ctx.link);
        for (int i = 1; i <= count; ++i) {
            if (!grid.rowSelected(i) || ctx.link.cancelRequested() || lostWatch.lost) {
                if (grid.rowSelected(i)) {
                    ReportOutcome skipped;
                    skipped.row = SpoolFileRow::fromGrid(grid, i, splf.text(QStringLiteral("cboTranslation"))).toQString();
                    skipped.status = ctx.link.cancelRequested() ? ReportOutcome::Canceled : ReportOutcome::Failed;
                    if (skipped.status == ReportOutcome::Failed)
                        skipped.reason = QStringLiteral("The link to the host was lost before this report.");
                    outcomes.push_back(skipped);
                }
                setMousePointer(MousePointer::Normal);
                continue;
            }
            // Each report takes the options as they stand when it starts.
            DownloadOptions options = ReadScreenOptions(splf, ctx.gMinusSignApplicable);
            ReadDialogOptions(options, [&ctx](const QString& key) { return ctx.getSetting(key); });
            const SpoolFileRow row = SpoolFileRow::fromGrid(grid, i, options.translation);
            const qsizetype draftsBefore = Email(ctx).drafts.size();
            outcomes.push_back(deliver(DeliveryRun{ctx, options, progress, &names}, row, writtenThisRun));
            outcomes.back().drafts = Email(ctx).drafts.mid(draftsBefore);
            const ProcessType* type = FindProcessType(options.processType);
            const bool viewer = type && type->viewer;
            if (!viewer && ctx.gSelectedCount > 1) {
                grid.setCellSelected(i, 1, false);
                --ctx.gSelectedCount;
            }
            setMousePointer(MousePointer::Normal);
        }
    } catch (...) {
        // A failure inside a run must not leave the screen locked.
        hold.reset();
        unlockScreen(ctx);
        throw;
    }
    hold.reset();
    // The mail windows still open become drafts: they hold the last report delivered.
    const qsizetype draftsBefore = Email(ctx).drafts.size();
    unlockScreen(ctx);
    if (!outcomes.empty()) outcomes.back().drafts += Email(ctx).drafts.mid(draftsBefore);
    return outcomes;
}

ReportOutcome DeliverRow(AppContext& ctx, const SpoolFileRow& row, const std::optional<QString>& fileName) {
    SplfScreenApi& splf = ctx.frmSplf();
    ctx.link.clearCancel();
    ctx.gSelectedCount = 1;
    lockScreen(splf);
    const qsizetype draftsBefore = Email(ctx).drafts.size();
    ReportOutcome out;
    {
        HostLink::Hold hold(ctx.link);
        QSet<QString> writtenThisRun;
        ScreenProgress progress(splf);
        // The remembered dialogs' values (printer format, naming) as for a whole queue.
        DownloadOptions options = ReadScreenOptions(splf, ctx.gMinusSignApplicable);
        ReadDialogOptions(options, [&ctx](const QString& key) { return ctx.getSetting(key); });
        try {
            out = deliver(DeliveryRun{ctx, options, progress}, row, writtenThisRun, fileName);
        } catch (...) {
            unlockScreen(ctx);
            throw;
        }
    }
    setMousePointer(MousePointer::Normal);
    unlockScreen(ctx);  // the mail windows still open become drafts
    out.drafts = Email(ctx).drafts.mid(draftsBefore);
    return out;
}

void CancelSelectedDownloads(AppContext& ctx) {
    SplfScreenApi& splf = ctx.frmSplf();
    if (splf.controlCaption(QStringLiteral("cmdCancel")) != QLatin1String("&Cancel")) {
        splf.hideScreen();
        return;
    }
    ctx.link.requestCancel();
    splf.setControlEnabled(QStringLiteral("cmdCancel"), false);
    clearSaveAll(ctx);
    ctx.gMailStarted = false;
    closeMailWindows(ctx);
    splf.setControlEnabled(QStringLiteral("chkAttachMultiples"), false);
    setMousePointer(MousePointer::Hourglass);
    splf.setStatus(QStringLiteral("Cancel in progress...  Please wait."));
}
