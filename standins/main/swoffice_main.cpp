// The word-processor stand-in program of the "Winword|System" DDE
// conversation: started from the open command that the machine registry
// names, it serves the conversation on its local socket until it has been
// idle for a while.
#include <QCommandLineParser>
#include <QDir>
#include <QGuiApplication>
#include <QStandardPaths>
#include <QTimer>
#include <cstdio>

#include "QProcessStarter.h"
#include "WordBasicStandIn.h"

int main(int argc, char** argv) {
    // A server with no window of its own: its documents are written, not drawn.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCommandLineParser cli;
    cli.setApplicationDescription(QStringLiteral("Word-processor stand-in serving the Winword|System conversation."));
    cli.addHelpOption();
    QCommandLineOption opener(QStringLiteral("opener"), QStringLiteral("Program that shows a document (xdg-open)."),
                              QStringLiteral("program"), QStringLiteral("xdg-open"));
    QCommandLineOption documents(QStringLiteral("documents"), QStringLiteral("Folder of the documents shown."),
                                 QStringLiteral("folder"));
    QCommandLineOption idle(QStringLiteral("idle-exit"), QStringLiteral("End after this many idle seconds (1800)."),
                            QStringLiteral("seconds"), QStringLiteral("1800"));
    cli.addOptions({opener, documents, idle});
    cli.addPositionalArgument(QStringLiteral("file"), QStringLiteral("Ignored (the open command's document)."));
    cli.process(app);

    QString folder = cli.value(documents);
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/Tolvane/office");
    QProcessStarter starter;
    StandInDesk desk;
    // Started for a batch run: the documents are written, never shown.
    const bool quiet = !qEnvironmentVariableIsEmpty("SWOFFICE_NO_OPENER");
    desk.processes = [&starter, quiet] { return quiet ? nullptr : &starter; };
    desk.unattended = [quiet] { return quiet; };
    desk.documentsFolder = [folder] { return folder; };
    desk.opener = cli.value(opener);
    WordBasicStandIn word(desk);
    LocalDdeServer server(QStringLiteral("Winword"), QStringLiteral("System"), [&word] { return word.conversation(); });
    QString why;
    if (!server.listen(&why)) {
        std::fprintf(stderr, "swoffice: %s\n", qPrintable(why));
        return 1;
    }
    QTimer idleTimer;
    idleTimer.setSingleShot(true);
    idleTimer.setInterval(std::max(1, cli.value(idle).toInt()) * 1000);
    QObject::connect(&idleTimer, &QTimer::timeout, &app, &QCoreApplication::quit);
    QObject::connect(&server, &LocalDdeServer::conversationsChanged, &idleTimer, [&idleTimer](int open) {
        if (open == 0) idleTimer.start();
        else idleTimer.stop();
    });
    idleTimer.start();
    return app.exec();
}
