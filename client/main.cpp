#include <QApplication>
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "AppContext.h"
#include "BatchRun.h"
#include "DownloadWindows.h"
#include "Viewers.h"
#include "MailSetup.h"
#include "RuntimeDirectory.h"
#include "SettingsFile.h"
#include "frmEdit.h"
#include "Startup.h"
#include "frmSplf.h"

namespace {
// An unattended run on a machine without a display still runs, offscreen.
void chooseOffscreenWhenHeadless(int argc) {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    if (argc > 1 && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") &&
        qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#else
    (void)argc;
#endif
}

// The offscreen platform says for every window it shows that it cannot pass
// size hints on. An unattended run's standard error is for what went wrong.
QtMessageHandler gQtMessages = nullptr;
void withoutSizeHintNotes(QtMsgType type, const QMessageLogContext& where, const QString& text) {
    if (text == QLatin1String("This plugin does not support propagateSizeHints()")) return;
    gQtMessages(type, where, text);
}
}  // namespace

int main(int argc, char** argv) {
    // A file that reaches the size limit fails its write (reported as a full
    // disk) instead of ending the program with the other reports undone.
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    EnsureRuntimeDirectory();
    chooseOffscreenWhenHeadless(argc);
    gQtMessages = qInstallMessageHandler(withoutSizeHintNotes);
    QApplication app(argc, argv);
    AppContext ctx;
    installSplfScreen(ctx);
    installDownloadWindows(ctx);
    installViewerWindows(ctx);
    installSettingsFiles(ctx);
    ctx.runBatchFromCommandLine = [&ctx] { RunBatchFromCommandLine(ctx); };
    InstallMailStandIns(ctx);
    installEmailWindows(ctx);
    // "End the program" inside a window event: the stop sequence has done its
    // steps; the remembered values are put down and the process ends at once,
    // as nothing that was waiting underneath may run on.
    ctx.endInEvent = [&ctx](const ProgramEnd& e) {
        ctx.settings.reset();
        std::fflush(nullptr);
        std::_Exit(e.exitStatus);
    };
    try {
        const QString commandLine = commandLineOf(QCoreApplication::arguments());
        // An unattended run never waits for a person: boxes go to standard
        // error with their default answer, and no dialog is shown.
        if (!commandLine.isEmpty()) ctx.useBatchServices();
        Main(ctx, commandLine);
        return QApplication::exec();
    } catch (const ProgramEnd& e) {
        return e.exitStatus;
    }
}
