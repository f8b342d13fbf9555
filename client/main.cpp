#include <QApplication>
#include <QGuiApplication>
#include <csignal>
#include <cstdio>
#include <cstdlib>

#include "AppContext.h"
#include "BatchRun.h"
#include "DownloadWindows.h"
#include "MailSetup.h"
#include "QtPrinter.h"
#include "RuntimeDirectory.h"
#include "Startup.h"
#include "frmSplf.h"

namespace {
// An unattended run shows nothing: the offscreen platform, unless the caller chose one.
void chooseOffscreen() {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
}

// Each shell argument as it was given, empty ones included.
QStringList argumentsOf(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    return arguments;
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
    gQtMessages = qInstallMessageHandler(withoutSizeHintNotes);
    const QStringList given = argumentsOf(argc, argv);
    if (!given.isEmpty()) {
        // Each batch line reaches the log when its report ends, whatever standard output is
        // (a file, a pipe): a run killed later keeps the lines of the reports it did.
        std::setvbuf(stdout, nullptr, _IOLBF, BUFSIZ);
        std::setvbuf(stderr, nullptr, _IONBF, 0);
        CatchStopSignals();
        // A batch run has no window: Qt Gui for the fonts of the list and the printer, no widgets.
        chooseOffscreen();
        QGuiApplication app(argc, argv);
        RunContext run;
        UseUnattendedServices(run);
        run.services.printer = std::make_unique<QtPrinter>();
        const int status = RunUnattended(run, QCoreApplication::arguments().mid(1));
        run.services.settings.reset();
        std::fflush(nullptr);
        return status;
    }
    QApplication app(argc, argv);
    AppContext ctx;
    installWindows(ctx);
    installDownloadWindows(ctx);
    InstallMailStandIns(ctx);
    // "End the program" inside a window event: the stop sequence has done its
    // steps; the remembered values are put down and the process ends at once,
    // as nothing that was waiting underneath may run on.
    ctx.services.endInEvent = [&ctx](const ProgramEnd& e) {
        // An end that came before the stop sequence leaves no work folder behind either.
        ctx.connection.clearWorkDirectory();
        ctx.services.settings.reset();
        std::fflush(nullptr);
        std::_Exit(e.exitStatus);
    };
    try {
        Main(ctx);
        return QApplication::exec();
    } catch (const ProgramEnd& e) {
        ctx.connection.clearWorkDirectory();
        return e.exitStatus;
    }
}
