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
#include "SettingValues.h"
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
    // names its own document says so in its result.
    DeliveryProcedure run;
};

// A viewer's result: 0 when the report was shown.
ReportResult viewed(int result) { return {result == 0 ? Outcome::Done() : Outcome::Stopped(), {}, {}}; }

// What a destination's procedure is given besides the report: the options
// of the moment the report starts, and where its progress goes.
struct DeliveryRun {
    AppContext& ctx;
    const DownloadOptions& options;
    DownloadProgress& progress;
};

std::optional<Delivery> deliveryFor(const DeliveryRun& in) {
    const ProcessType* type = FindProcessType(in.options.processType);
    if (!type) return std::nullopt;
    using D = Destination;
    switch (type->id) {
    case D::ViewFewPages:
        return Delivery{type, true, [in](const QString&, const SpoolFileRow& row) {
                            return viewed(TransferSpoolFileToViewer(in.ctx, in.options, in.progress, row));
                        }};
    case D::ViewEntireReport:
        return Delivery{type, true, [in](const QString&, const SpoolFileRow& row) {
                            return viewed(ProcFullView(in.ctx, in.options, in.progress, row));
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
    // Delivered below the windows too, with what the windows hold for them:
    // the settings are the report's, and go back into the windows after it.
    case D::NetscapeMail:
    case D::OutlookExpressMail:
    case D::OutlookMail:
    case D::LotusNotes:
    case D::MicrosoftExcel:
    case D::Lotus123:
    case D::MicrosoftWord695:
    case D::MicrosoftWord:
    case D::LotusWordPro: {
        auto settings = std::make_shared<RunSettings>(OfficeMailSettings(in.ctx, in.options));
        std::optional<DeliveryProcedure> core = OfficeMailDeliveryFor(in.ctx, *settings, in.progress, *type);
        if (!core) break;
        AppContext& ctx = in.ctx;
        return Delivery{type, false,
                        [&ctx, settings, proc = std::move(*core)](const QString& fileName, const SpoolFileRow& row) {
                            ReportResult result = proc(fileName, row);
                            TakeBackOfficeMailSettings(ctx, *settings);
                            return result;
                        }};
    }
    }
    return std::nullopt;
}

// The save-dialog sequence: pre-fills the name, shows the dialog and gives
// the name back; nothing when the dialog was cancelled.
std::optional<QString> askFileName(AppContext& ctx, Kind k, const SpoolFileRow& row, bool& chosenByUser) {
    frmSaveAs& dlg = SaveDialog(ctx, k);
    if (dlg.txtSaveTag().isEmpty()) {
        const QString fullName = ctx.services.getSetting(Setting::FullName);
        if (dlg.txtSave->text().trimmed().isEmpty() || fullName == QLatin1String("1")) {
            if (fullName == QLatin1String("1")) {
                // After a report of this run went elsewhere, the next one starts there.
                const QString savePath =
                    dlg.chosenFolder().isEmpty() ? ctx.services.getSetting(Setting::SavePath) : dlg.chosenFolder();
                if (HasValue(savePath)) {
                    // Probed with the destination's own extension: a text file of the
                    // same name does not make an HTML document take a numbered name.
                    dlg.txtSave->setText(BuildPcFileName(ctx, savePath, row, true, SaveDialogExtension(k)));
                }
            } else {
                const QString last = ctx.services.getSetting(*frmSaveAs::textsOf(k).lastFile);
                if (HasValue(last)) {
                    dlg.txtSave->setText(last);
                } else {
                    // No name remembered: the short numbered one in "Save Path".
                    const QString savePath = ctx.services.getSetting(Setting::SavePath);
                    dlg.txtSave->setText(BuildPcFileName(ctx, HasValue(savePath) ? savePath : QString(), row, false,
                                                         SaveDialogExtension(k)));
                }
            }
        }
    }
    dlg.setTxtSaveTag(QString());
    dlg.cancelledFlag() = false;
    dlg.cmdOpenAll->setEnabled(ctx.download.gSelectedCount > 1);
    dlg.showModal();
    chosenByUser = dlg.chosenByUser();
    ctx.frmSplf().Refresh();
    if (dlg.cancelledFlag()) return std::nullopt;
    return dlg.txtSave->text().trimmed();
}

using C = ScreenControl;
const ScreenControl kLockedControls[] = {C::OK,     C::Printer,      C::FromPage, C::ToPage, C::Formatting,
                                         C::Macro,  C::Parse,        C::Email,    C::Range,  C::PrinterFrame,
                                         C::Html,   C::Pdf,          C::Grid,     C::ProcessType};

// The mail windows still open go to the user; the status names the drafts they left.
void closeMailWindows(AppContext& ctx) {
    const QString drafts = CloseMailWindows(ctx);
    if (drafts.isEmpty()) return;
    SplfScreenApi& splf = ctx.frmSplf();
    const QString before = splf.status();
    splf.setStatus((before.isEmpty() ? QString() : before + QStringLiteral("  ")) + drafts);
}

void clearSaveAll(AppContext& ctx) {
    ctx.saveDialogs.text.all = ctx.saveDialogs.html.all = ctx.saveDialogs.xml.all = ctx.saveDialogs.pdf.all = false;
}

void lockScreen(SplfScreenApi& splf) {
    splf.setCancelCaption(QStringLiteral("&Cancel"));
    for (const ScreenControl c : kLockedControls) splf.setControlEnabled(c, false);
}

void unlockScreen(AppContext& ctx) {
    SplfScreenApi& splf = ctx.frmSplf();
    ctx.link.clearCancel();
    clearSaveAll(ctx);
    ctx.download.gMailStarted = false;
    closeMailWindows(ctx);
    splf.setControlEnabled(C::AttachMultiples, false);
    splf.setControlEnabled(C::OK, true);
    splf.setControlEnabled(C::Cancel, true);
    splf.setCancelCaption(QStringLiteral("&Close"));
    for (const ScreenControl c : kLockedControls) splf.setControlEnabled(c, true);
    splf.cboProcessType_Click();
}

// From and To: a page range that names a later first page is refused; a
// text that names no page becomes "*Start" or "*End".
bool checkPageRange(AppContext& ctx) {
    SplfScreenApi& splf = ctx.frmSplf();
    const auto from = PageNumber(splf.text(ScreenText::FromPage));
    const auto to = PageNumber(splf.text(ScreenText::ToPage));
    if (from && to && *from > *to) {
        ctx.services.msgBox(QStringLiteral("The 'From' page number must be less than or equal to the 'To' page number."),
                   MsgButtons::OK, MsgIcon::None, QStringLiteral("Tolvane"));
        setMousePointer(MousePointer::Normal);
        return false;
    }
    if (!from) splf.setText(ScreenText::FromPage, QStringLiteral("*Start"));
    if (!to) splf.setText(ScreenText::ToPage, QStringLiteral("*End"));
    return true;
}

// The run's deliveries: the table's destinations wired to their procedures
// here, each file named by `names` or else by its save-as dialog.
ReportRun reportRun(AppContext& ctx, DownloadProgress& progress, const NameSource& names) {
    ReportRun run{ctx, {}, names, {}};
    run.dispatch = [&ctx, &progress](const ProcessType&, const DownloadOptions& options) -> std::optional<ReportDelivery> {
        const std::optional<Delivery> d = deliveryFor(DeliveryRun{ctx, options, progress});
        if (!d) return std::nullopt;
        return ReportDelivery{d->run, d->busy};
    };
    if (!run.names)
        run.names = [&ctx](SaveDialogKind dialog, const SpoolFileRow& row) -> std::optional<ChosenName> {
            bool chosenByUser = false;
            const std::optional<QString> name = askFileName(ctx, SaveDialogKindOf(dialog), row, chosenByUser);
            if (!name) return std::nullopt;
            return ChosenName{*name, chosenByUser};
        };
    return run;
}

}  // namespace

std::vector<ReportOutcome> RunSelectedDownloads(AppContext& ctx, const NameSource& names) {
    SplfScreenApi& splf = ctx.frmSplf();
    SplfGrid& grid = splf.grdSplf();
    ctx.link.clearCancel();
    ctx.download.gSelectedCount = 0;
    const int rows = grid.rowCount();
    for (int i = 1; i <= rows; ++i)
        if (grid.rowSelected(i)) ++ctx.download.gSelectedCount;
    if (ctx.download.gSelectedCount == 0) {
        ctx.services.msgBox(QStringLiteral("Please select a spool file or click 'Close'"), MsgButtons::OK, MsgIcon::None,
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
    ScreenProgress progress(splf);
    ReportRun run = reportRun(ctx, progress, names);
    try {
        const int count = grid.rowCount();
        // Once the link is lost (the user has been told), the rest stay selected
        // for a later try: sent on the closed link, each would only fail again.
        // A link closed before the run (lost in an earlier one) is found lost
        // by the first report that tries it, which says so.
        LinkLostWatch lostWatch(ctx.link);
        for (int i = 1; i <= count; ++i) {
            if (!grid.rowSelected(i) || ctx.link.cancelRequested() || lostWatch.lost) {
                if (grid.rowSelected(i)) {
                    ReportOutcome skipped;
                    skipped.row = SpoolFileRow::fromGrid(grid, i, splf.text(ScreenText::Translation)).shownText();
                    skipped.status = ctx.link.cancelRequested() ? ReportOutcome::Canceled : ReportOutcome::Failed;
                    if (skipped.status == ReportOutcome::Failed)
                        skipped.reason = QStringLiteral("The link to the host was lost before this report.");
                    outcomes.push_back(skipped);
                }
                setMousePointer(MousePointer::Normal);
                continue;
            }
            // Each report takes the options as they stand when it starts.
            DownloadOptions options = ReadScreenOptions(splf, ctx.download.gMinusSignApplicable);
            ReadDialogOptions(options, [&ctx](const QString& key) { return ctx.services.getSetting(key); });
            const SpoolFileRow row = SpoolFileRow::fromGrid(grid, i, options.translation);
            const qsizetype draftsBefore = Email(ctx).drafts.size();
            outcomes.push_back(DeliverReport(run, options, row));
            outcomes.back().drafts = Email(ctx).drafts.mid(draftsBefore);
            const ProcessType* type = FindProcessType(options.processType);
            const bool viewer = type && type->viewer;
            if (!viewer && ctx.download.gSelectedCount > 1) {
                grid.setCellSelected(i, 1, false);
                --ctx.download.gSelectedCount;
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

void CancelSelectedDownloads(AppContext& ctx) {
    SplfScreenApi& splf = ctx.frmSplf();
    if (splf.cancelCaption() != QLatin1String("&Cancel")) {
        splf.hideScreen();
        return;
    }
    ctx.link.requestCancel();
    splf.setControlEnabled(C::Cancel, false);
    clearSaveAll(ctx);
    ctx.download.gMailStarted = false;
    closeMailWindows(ctx);
    splf.setControlEnabled(C::AttachMultiples, false);
    setMousePointer(MousePointer::Hourglass);
    splf.setStatus(QStringLiteral("Cancel in progress...  Please wait."));
}
