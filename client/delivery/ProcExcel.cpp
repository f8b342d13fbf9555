#include <QFileInfo>

#include "MousePointer.h"
#include "OfficeAutomation.h"
#include "OfficeDelivery.h"
#include "OfficeFlow.h"
#include "PcFileName.h"
#include "RunContext.h"

using namespace OfficeFlow;

namespace {
// Every mark row goes, and a page break comes before the row that moved up
// into its place; at most as many rounds as the work file has marks. A sheet
// holds a limited number of manual breaks: a break that cannot be added
// leaves that page without one, but its mark row still goes. Returns the
// count of breaks not placed.
int pageBreaks(ExcelApplication& xl, int marks) {
    int notPlaced = 0;
    xl.selectRange(QStringLiteral("A1"));
    try {
        xl.findAndActivate(QString(QChar(0x2022)));
        for (int round = 0; round < marks; ++round) {
            xl.deleteSelectedRows();
            try {
                xl.addPageBreakBeforeActiveCell();
            } catch (const AutomationError&) {
                ++notPlaced;
            }
            xl.findNextAndActivate();
        }
    } catch (const AutomationError&) {
        // No further mark.
    }
    xl.selectRange(QStringLiteral("A1"));
    return notPlaced;
}

// "Wizard parsing": the blank rows at the top go (no more than the work file has), then Text to Columns.
void textToColumns(Run& run, ExcelApplication& xl, int leadingBlank) {
    try {
        xl.selectRange(QStringLiteral("A1"));
        for (int i = 0; i < leadingBlank && xl.activeCellValue().toString().trimmed().isEmpty(); ++i)
            xl.deleteSelectedRows();
        xl.selectColumns(QStringLiteral("A:A"));
    } catch (const AutomationError&) {
    }
    try {
        xl.showDialog(422);
    } catch (const AutomationError&) {
        run.ctx.services.report(
            Failure{QStringLiteral("Unable to run Excel Text-to-columns Wizard. You may have to install the Excel "
                                   "text conversion utilities."),
                    MsgIcon::None, QStringLiteral("Tolvane")});
    }
}

}  // namespace

ReportResult ProcExcel(RunContext& ctx, RunSettings& settings, DownloadProgress& progress, const SpoolFileRow& row) {
    const DownloadOptions& options = settings.options;
    Run run{ctx, settings, options, progress, row};
    PointerGuard busy(MousePointer::ArrowHourglass);
    if (RefuseDocumentTarget(run, run.batchName())) {
        run.clearBatchTag();
        return {};
    }
    run.status(QStringLiteral("Transferring records..."));
    const ReportResult transfer = TransferToWorkFile(run, WorkFolder(ctx, !IsOfficeVersion(ctx.targets.gExcelVersion)),
                                                     true, QStringLiteral("txt"), QStringLiteral("ProcExcel"), true);
    if (!transfer) {
        run.clearBatchTag();
        return {};
    }
    const QString& workFile = transfer.writtenAs;
    const WorkFileShape shape = ShapeOf(workFile);
    if (RefuseOverRowLimit(run, shape.lines - shape.marks, QStringLiteral("Excel"))) {
        run.clearBatchTag();
        return {};
    }
    const auto app = Connect(run, QString::fromLatin1(ExcelApplication::kProgId), QStringLiteral("Excel"), true);
    if (!app) return {};
    ExcelApplication xl(app);
    const QString batchName = run.batchName();
    std::optional<RunSettings::Macro> macro;
    try {
        run.status(QStringLiteral("Transferring to Excel."));
        if (options.runMacro) {
            macro = MacroFor(ctx, settings, MacroProgram::Excel);
            const QString sheet = macro->document.trimmed();
            if (!sheet.isEmpty()) {
                run.status(QStringLiteral("Loading Excel macro sheet") + sheet + QStringLiteral("."));
                xl.openWorkbook(sheet);
            }
        }
        if (!options.runSilent && batchName.isEmpty()) xl.setVisible(true);
        run.status(QStringLiteral("Loading spool file to Excel."));
        xl.openText(workFile, options.parse == 1);
    } catch (const AutomationError& e) {
        run.errorBox(e, false, MsgIcon::None);
        return {};
    }

    // From here a failing step leaves the workbook as it is.
    run.status(QStringLiteral("File has been loaded to Excel.   "));
    const int breaksNotPlaced = pageBreaks(xl, shape.marks);
    if (options.parse == 2) textToColumns(run, xl, shape.leadingBlank);
    IgnoringErrors([&] {
        xl.selectAllCells();
        xl.autoFitSelectedColumns();
        xl.selectRange(QStringLiteral("A1"));
    });
    if (options.runMacro && macro) {
        const QString name = macro->name.trimmed();
        const QString sheet = macro->document.trimmed();
        if (!name.isEmpty() && !sheet.isEmpty()) {
            run.status(QStringLiteral("Running ") + name + QStringLiteral("."));
            try {
                xl.run(MacroReference(sheet, name));
            } catch (const AutomationError& e) {
                if (e.number == OfficeMacros::kUnavailable) run.macrosUnavailable();
            }
        }
    }

    const QString output =
        batchName.isEmpty() ? BuildPcFileName(ctx, SaveFolder(ctx), row, true, QStringLiteral("xlsx")) : batchName;
    // The save's own answer counts: an older file of that name proves nothing.
    try {
        xl.saveActiveWorkbookAs(output);
    } catch (const AutomationError& e) {
        IgnoringErrors([&] { xl.closeActiveWorkbook(); });
        if (!QFileInfo(QFileInfo(output).absolutePath()).isDir()) AskForSaveFolder(run);
        else run.errorBox(e, false, MsgIcon::None);
        run.clearBatchTag();
        return {};
    }
    IgnoringErrors([&] { xl.closeActiveWorkbook(); });
    if (!options.runSilent && batchName.isEmpty()) IgnoringErrors([&] { xl.reopenWorkbook(output); });
    QString done = QStringLiteral("Load to Excel complete as ") + output.trimmed() + QStringLiteral(".");
    if (breaksNotPlaced > 0) {
        ctx.download.gDeliveryNote = QStringLiteral("%1 page breaks were not placed: the worksheet holds no more than %2.")
                                .arg(breaksNotPlaced)
                                .arg(shape.marks - breaksNotPlaced);
        done += QStringLiteral("  ") + ctx.download.gDeliveryNote;
    }
    run.status(done);
    if (!ctx.services.nobodyAnswers()) progress.giveFocus();
    run.clearBatchTag();
    return {Outcome::Done(), transfer.recordWidth, output};
}
