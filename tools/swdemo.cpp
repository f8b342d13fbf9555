// The demo download: signs on to a host (hostsim on loopback), lists an
// output queue into the spooled-file screen, selects every report and runs
// the download driver with "Text file", unattended. Prints one line per
// report; exit status 0 when every report was delivered.
#include <QApplication>
#include <QComboBox>
#include <QCommandLineParser>
#include <QDir>
#include <QLineEdit>
#include <cstdio>

#include "AppContext.h"
#include "Codec.h"
#include "DownloadDriver.h"
#include "DownloadWindows.h"
#include "Viewers.h"
#include "HostLink.h"
#include "RuntimeDirectory.h"
#include "SignOn.h"
#include "SplfGrid.h"
#include "frmMain.h"
#include "frmSplf.h"

namespace {
QString opt(QCommandLineParser& p, const char* name) { return p.value(QString::fromLatin1(name)); }
}  // namespace

int main(int argc, char** argv) {
    EnsureRuntimeDirectory();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser p;
    p.setApplicationDescription(QStringLiteral("Downloads every report of an output queue to text files."));
    p.addHelpOption();
    const auto add = [&p](const char* name, const char* help, const char* def) {
        p.addOption({QString::fromLatin1(name), QString::fromLatin1(help), QStringLiteral("value"), QString::fromLatin1(def)});
    };
    add("host", "Host name or address.", "127.0.0.1");
    add("user", "Host user ID.", "SWUSER");
    add("password", "Host password.", "SWPASS");
    add("outq", "Output queue, or *ALL.", "*ALL");
    add("library", "Library, or *ALL.", "*ALL");
    add("owner", "Spooled files of this user, *CURRENT or *ALL.", "*ALL");
    add("out", "Folder for the text files.", "out");
    add("type", "Destination (process type).", "Text file");
    p.process(app);

    const QString out = QDir(opt(p, "out")).absolutePath();
    if (!QDir().mkpath(out)) {
        std::fprintf(stderr, "swdemo: cannot create %s\n", qPrintable(out));
        return 2;
    }
    AppContext ctx;
    installSplfScreen(ctx);
    installDownloadWindows(ctx);
    installViewerWindows(ctx);
    ctx.useBatchServices();
    ctx.gBatchMode = true;
    ctx.gBatchNoDialogs = true;
    ctx.saveSetting(QStringLiteral("URL"), opt(p, "host"));
    ctx.saveSetting(QStringLiteral("Wait time"), QStringLiteral("2"));
    ctx.saveSetting(QStringLiteral("Save Path"), out);
    ctx.saveSetting(QStringLiteral("FullName"), QStringLiteral("1"));
    ctx.saveSetting(QStringLiteral("User"), opt(p, "user").toUpper());
    const std::string pw =
        HostWire::field(Codec::fromUnicode(opt(p, "password").toUpper()), SignOnScrambling::kPasswordLength);
    ctx.saveSetting(QStringLiteral("century"), Codec::toUnicode(SignOnScrambling::scrambleField(pw)));

    try {
        // The main window's "&Open": connects, lists the queue into the screen.
        frmMain& m = ctx.mainWindow();
        m.txtOutq->setText(opt(p, "outq"));
        m.cboLibrary->setEditText(opt(p, "library"));
        m.txtWrkSplf->setText(opt(p, "owner"));
        m.cmdOK_Click();
        if (m.isNotConnected()) return 3;
        auto& splf = static_cast<frmSplf&>(ctx.frmSplf());
        SplfGrid& grid = splf.grdSplf();
        for (int row = 1; row <= grid.rowCount(); ++row) grid.setCellSelected(row, 1, true);
        splf.cboProcessType->setCurrentText(opt(p, "type"));
        splf.cboProcessType_Click();
        int failed = 0;
        for (const ReportOutcome& o : RunSelectedDownloads(ctx)) {
            const bool ok = o.status == ReportOutcome::Delivered;
            failed += !ok;
            std::printf("%-9s %s\n", ok ? "written" : "FAILED", qPrintable(ok ? o.target : o.row.simplified()));
        }
        // The stop sequence: disconnects and clears the work directory.
        try {
            m.Form_Unload();
        } catch (const ProgramEnd&) {
        }
        return failed ? 1 : 0;
    } catch (const ProgramEnd& e) {
        std::fprintf(stderr, "swdemo: ended (%d) %s\n", e.exitStatus, qPrintable(e.reason));
        return e.exitStatus ? e.exitStatus : 1;
    }
}
