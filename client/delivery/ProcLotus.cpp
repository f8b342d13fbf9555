#include "DeliveryState.h"
#include "MousePointer.h"
#include "OfficeAutomation.h"
#include "OfficeDelivery.h"
#include "OfficeFlow.h"
#include "PcFileName.h"
#include "RunContext.h"

using namespace OfficeFlow;

namespace {
// The work file of these programs is the only copy, and it is temporary.
QString temporaryFileStatus(const QString& program, const QString& file) {
    return QStringLiteral("Load to ") + program + QStringLiteral(" complete under temporary file name ") + file +
           QStringLiteral(" (removed when iSeries Spoolwright ends).");
}

void giveFocusBack(Run& run) {
    if (!run.ctx.services.nobodyAnswers()) run.progress.giveFocus();
}

// WordPro's part of the delivery on one application object; throws when the program is gone.
void loadIntoWordPro(Run& run, WordProApplication& wp, const QString& workFile, const QString& width,
                     const std::vector<bool>& bulletIsMark) {
    // The first call tells whether the program is still there.
    wp.setLastUsedFilter(QStringLiteral("$LwpFilterTypeText"), QStringLiteral("Text"));
    auto tolerant = [](auto&& f) {
        try {
            f();
        } catch (const AutomationError&) {
        }
    };
    tolerant([&] {
        wp.setVisible(true);
        wp.maximize();
        wp.openTextDocument(workFile);
        wp.initFindAndReplace();
    });
    if (!run.options.removeBlankLines) tolerant([&] {
        wp.selectDoc();
        wp.setFont(QStringLiteral("Courier"), width == QLatin1String(" 80") ? 9 : 6.2);
        wp.type(QStringLiteral("[ctrlHome]"));
        wp.setFindAndReplace(QString(QChar(0x2022)), QStringLiteral("LwpFindMatchWithinAWord"),
                             QStringLiteral("$[ctrlEnter]"), QStringLiteral("$LwpLookWhereEntireDocument"));
        wp.initFindAndReplace();
        // The find stops at every character 149, in the order the work file holds them: only a mark
        // becomes a page break, one in the report's text is passed over. No more rounds than there are.
        for (const bool mark : bulletIsMark) {
            if (wp.find() != 0) break;
            if (mark) wp.type(QStringLiteral("[ctrlEnter]"));
        }
        wp.initFindAndReplace();
        wp.type(QStringLiteral("[ctrlHome]"));
    });
}
}  // namespace

ReportResult ProcLotus123(RunContext& ctx, RunSettings& settings, DownloadProgress& progress, const SpoolFileRow& row) {
    const DownloadOptions& options = settings.options;
    Run run{ctx, settings, options, progress, row};
    PointerGuard busy(MousePointer::ArrowHourglass);
    run.status(QStringLiteral("Transferring records..."));
    const bool shortForm = ctx.targets.gLotus123Version == QLatin1String("97") || ctx.targets.gLotus123Version == QLatin1String("98");
    // Named from the report, as the other programs' documents are: the user sees this name.
    const ReportResult transfer =
        TransferToWorkFile(run, WorkFolder(ctx, shortForm), true, QString(), QStringLiteral("ProcLotus123"), false);
    if (!transfer) return {};
    const QString& workFile = transfer.writtenAs;
    // 1-2-3 keeps the page marks as rows.
    if (RefuseOverRowLimit(run, ShapeOf(workFile).lines, QStringLiteral("Lotus 123"))) return {};
    const auto obj = Connect(run, QString::fromLatin1(Lotus123Workbook::kProgId), QStringLiteral("Lotus 123"), true);
    if (!obj) return {};
    Lotus123Workbook wb(obj);
    try {
        run.status(QStringLiteral("Transferring to Lotus 123."));
        wb.setVisible(true);
        run.status(QStringLiteral("Loading spool file to Lotus 123."));
        wb.setTextImport(options.parse == 0   ? QStringLiteral("$Text")
                         : options.parse == 1 ? QStringLiteral("$AutoParse")
                                              : QString());
        wb.activate();
        wb.openTextDocument(workFile);
    } catch (const AutomationError& e) {
        run.errorBox(e, false, MsgIcon::None);
        return {};
    }
    run.status(QStringLiteral("File has been loaded to Lotus 123.   "));
    run.status(temporaryFileStatus(QStringLiteral("Lotus 123"), workFile.trimmed()));
    giveFocusBack(run);
    return {Outcome::Done(), transfer.recordWidth, {}};
}

ReportResult ProcWordPro(RunContext& ctx, RunSettings& settings, DownloadProgress& progress, const SpoolFileRow& row) {
    const DownloadOptions& options = settings.options;
    Run run{ctx, settings, options, progress, row};
    PointerGuard busy(MousePointer::ArrowHourglass);
    const ReportResult transfer =
        TransferToWorkFile(run, ctx.connection.gWorkDir, true, QString(), QStringLiteral("ProcWordPro"), false);
    if (!transfer) return {};
    const QString& workFile = transfer.writtenAs;
    OfficeState& kept = Office(ctx);
    const QString progId = QString::fromLatin1(WordProApplication::kProgId);
    run.status(QStringLiteral("Checking for an existing instance of WordPro..."));
    const std::vector<bool> bulletIsMark = ShapeOf(workFile).bulletIsMark;
    // A kept WordPro that the user closed meanwhile is created again, once.
    for (int attempt = 0;; ++attempt) {
        if (!kept.gWordProApp) {
            kept.gWordProApp = Connect(run, progId, QStringLiteral("WordPro"), false);
            if (!kept.gWordProApp) return {};
            DeliveryOf(ctx).gWordProAppHeld = true;
        }
        run.status(QStringLiteral("Transferring to WordPro."));
        run.status(QStringLiteral("Loading spool file to WordPro.  "));
        WordProApplication wp(kept.gWordProApp);
        try {
            loadIntoWordPro(run, wp, workFile, transfer.recordWidth, bulletIsMark);
            break;
        } catch (const AutomationError& e) {
            kept.gWordProApp.reset();
            DeliveryOf(ctx).gWordProAppHeld = false;
            if (attempt > 0) {
                run.errorBox(e, true, MsgIcon::Exclamation);
                return {};
            }
        }
    }
    run.status(QStringLiteral("File has been loaded to WordPro.   "));
    run.status(temporaryFileStatus(QStringLiteral("WordPro"), workFile));
    try {
        WordProApplication(kept.gWordProApp).minimize();
    } catch (const AutomationError&) {
    }
    return {Outcome::Done(), transfer.recordWidth, {}};
}
