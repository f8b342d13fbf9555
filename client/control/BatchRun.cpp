#include "BatchRun.h"

#include <QCheckBox>
#include <QDateTime>
#include <QLineEdit>
#include <cstdio>

#include "AppContext.h"
#include "BatchNaming.h"
#include "Codec.h"
#include "ConnectionWindows.h"
#include "DownloadDriver.h"
#include "DownloadWindows.h"
#include "EmailCommon.h"
#include "MousePointer.h"
#include "ProcessType.h"
#include "SettingsFile.h"
#include "SplfGrid.h"
#include "SplfScreenApi.h"
#include "SpoolDownload.h"
#include "SpoolFileRow.h"
#include "UnattendedRun.h"
#include "frmMain.h"

namespace {
using namespace BatchRun;


// Ends the run through the stop sequence with `status`.
[[noreturn]] void finish(AppContext& ctx, int status) {
    if (ctx.stopExitStatus == 0) ctx.stopExitStatus = status;
    setMousePointer(MousePointer::Normal);
    ctx.mainWindow().cmdExit_Click();
    ctx.endProgram(ctx.stopExitStatus);  // the stop sequence ends the program; never reached
}


// The one batch naming rule (BatchFileName) on the save dialog's field and
// the naming options' window, which keep the name for the next report.
QString batchFileName(AppContext& ctx, SaveDialogKind dialog, const SpoolFileRow& row) {
    frmSaveAs& dlg = SaveDialog(ctx, SaveDialogKindOf(dialog));
    const frmFormat& naming = NamingOptionsWindow(ctx);
    RunSettings settings;
    settings.saveNames[SaveNameOf(dialog)] = {dlg.txtSave->text(), dlg.txtSaveTag() == QLatin1String("1"), false};
    settings.options.naming.fullName = naming.chkFullName->checkState() == Qt::Checked;
    settings.options.naming.savePath = naming.txtSavePath->text();
    const QString name = BatchFileName(ctx, settings, dialog, row);
    if (settings.options.textFile != DownloadOptions::AddReplace::None)
        ctx.frmSplf().setValue(settings.options.textFile == DownloadOptions::AddReplace::Replace
                                   ? QStringLiteral("optAddReplace_2")
                                   : QStringLiteral("optAddReplace_3"),
                               1);
    dlg.txtSave->setText(settings.saveNames[SaveNameOf(dialog)].name);
    dlg.setTxtSaveTag(QString());
    dlg.cancelledFlag() = false;
    return name;
}

}  // namespace

void RunBatchFromCommandLine(AppContext& ctx) {
    // The program's arguments as the shell gave them (a caller that kept only
    // the line: that line as the one argument).
    const QStringList given = !ctx.gCommandArgs.isEmpty() ? ctx.gCommandArgs
                              : ctx.gCommandLine.isEmpty() ? QStringList()
                                                           : QStringList{ctx.gCommandLine};
    frmMain& m = ctx.mainWindow();
    // Everything is checked before anything is applied or connected; the
    // user's own remembered settings are left alone from here on.
    for (int i = 0; i < given.size(); ++i) {
        if (!given.at(i).trimmed().isEmpty()) continue;
        ctx.gBatchMode = true;
        ReportBadParameter(ctx, BadParameter{QString::number(i + 1), given.at(i)}, QStringLiteral("(an empty argument)"));
        finish(ctx, kExitBadParameter);
    }
    const QStringList args = BatchArguments(given);
    if (args.isEmpty()) finish(ctx, 0);

    ctx.gBatchMode = true;
    Parameters p;
    BadParameter bad;
    const QString start = ctx.now().toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));
    if (!ReadParameters(args, start, p, bad)) {
        ReportBadParameter(ctx, bad);
        finish(ctx, kExitBadParameter);
    }
    for (const QString& path : p.settings) {
        const std::optional<QByteArray> bytes = ReadBatchSettingsFile(ctx, path);
        if (!bytes) finish(ctx, kExitSettingsFile);
        ctx.gSettingsFromFile = true;
        using SettingsFile::Reader;
        SettingsFile::apply(ctx, SettingsFile::lines(*bytes, Reader::Batch), Reader::Batch);
    }
    SplfScreenApi& splf = ctx.frmSplf();
    // The options and the minus-sign rule follow the final destination.
    splf.cboProcessType_Click();
    ctx.gBatchFileName = p.name;
    const QString type = splf.text(QStringLiteral("cboProcessType"));
    auto refuse = [&](const QString& text) {
        ctx.msgBox(text, MsgButtons::OK, MsgIcon::Critical, QStringLiteral("Tolvane"));
        finish(ctx, kExitBadParameter);
    };
    const ProcessType* destination = FindProcessType(type);
    if (!destination)
        refuse(QStringLiteral("Please select a valid application or format to download the spool file to.  (\"") +
               type + QStringLiteral("\")"));
    if (!destination->unattended)
        refuse(QStringLiteral("The destination \"") + type +
               QStringLiteral("\" shows a window and cannot be used in a batch run."));
    // The page range, as the driver would refuse it, but before anything connects.
    const auto from = PageNumber(splf.text(QStringLiteral("txtFrom")));
    const auto to = PageNumber(splf.text(QStringLiteral("txtTo")));
    if (from && to && *from > *to)
        refuse(QStringLiteral("The 'From' page number must be less than or equal to the 'To' page number."));

    setMousePointer(MousePointer::Hourglass);
    if (m.isNotConnected()) ConnectToHost(ctx);
    if (m.isNotConnected()) finish(ctx, kExitConnectFailed);

    // Of the mail programs only Outlook mails by itself in a batch run: the others attach the report.
    const auto clearAutoSendOfAttachers = [&] {
        if (destination->id == Destination::OutlookExpressMail || destination->id == Destination::LotusNotes)
            splf.setValue(QStringLiteral("chkAutoSend"), 0);
    };
    std::vector<ReportOutcome> outcomes;
    if (p.wholeQueue()) {
        ctx.gBatchNoDialogs = true;
        m.cmdOK_Click();
        SplfGrid& grid = splf.grdSplf();
        const int rows = grid.rowCount();
        // The reports the list could not take are reports not delivered.
        std::vector<ReportOutcome> leftOut;
        for (const LeftOutReport& l : ctx.gListLeftOut) {
            ReportOutcome o;
            o.row = l.report;
            o.reason = QStringLiteral("left out of the list: ") + l.reason;
            leftOut.push_back(o);
        }
        if (rows == 0 || m.isNotConnected()) {
            ctx.gBatchNoDialogs = false;
            const int failed = PrintBatchLines(leftOut, DraftsWrittenText);
            if (!m.isNotConnected() && failed == 0)
                std::fprintf(stderr, "Nothing to deliver: the output queue gave no spooled files.\n");
            finish(ctx, m.isNotConnected() ? kExitConnectFailed : failed ? kExitNotDelivered : kExitNothingToDeliver);
        }
        grid.selectAllRows();
        clearAutoSendOfAttachers();
        // Every report named by the one batch rule, as a report named by its attributes is.
        outcomes = RunSelectedDownloads(ctx, [&ctx](SaveDialogKind dialog, const SpoolFileRow& row) {
            return std::optional<ChosenName>(ChosenName{batchFileName(ctx, dialog, row)});
        });
        outcomes.insert(outcomes.end(), leftOut.begin(), leftOut.end());
        ctx.gBatchNoDialogs = false;
    } else {
        const SpoolFileRow row(BatchRow(p));
        if (!from) splf.setText(QStringLiteral("txtFrom"), QStringLiteral("*Start"));
        if (!to) splf.setText(QStringLiteral("txtTo"), QStringLiteral("*End"));
        std::optional<QString> name;
        if (destination->dialog != SaveDialogKind::None) name = batchFileName(ctx, destination->dialog, row);
        clearAutoSendOfAttachers();
        outcomes.push_back(DeliverRow(ctx, row, name));
    }
    // A message that could not be left as a draft is a report not delivered.
    const int failed = PrintBatchLines(outcomes, DraftsWrittenText) + Email(ctx).lostDrafts;
    finish(ctx, outcomes.empty() ? kExitNothingToDeliver : failed ? kExitNotDelivered : 0);
}
