#include <QCommandLineParser>
#include <QCoreApplication>
#include <cstdio>
#include <memory>

#include "FtpCommandLine.h"
#include "FtpServer.h"
#include "HostSim.h"
#include "HostSimCommandLine.h"
#include "RuntimeDirectory.h"

namespace {
void print(FILE* to, const QString& text) {
    std::fputs(text.toLocal8Bit().constData(), to);
    std::fflush(to);
}
}  // namespace

int main(int argc, char** argv) {
    EnsureRuntimeDirectory();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("hostsim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("hostsim: a substitute host that serves spooled files."));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help."));
    parser.addOption(help);
    HostSimCommandLine spool;
    spool.addOptions(parser);
    FtpCommandLine ftpLine;
    ftpLine.addOptions(parser);
    if (!parser.parse(QCoreApplication::arguments())) {
        print(stderr, QStringLiteral("hostsim: %1\n").arg(parser.errorText()));
        return 2;
    }
    if (parser.isSet(help)) {
        print(stdout, parser.helpText() + HostSimCommandLine::manual() + FtpCommandLine::manual());
        return 0;
    }

    HostSimOptions options;
    QString error;
    FtpOptions ftpOptions;
    if (!spool.read(parser, options, &error) || !ftpLine.read(parser, ftpOptions, &error)) {
        print(stderr, QStringLiteral("hostsim: %1\n").arg(error));
        return 2;
    }
    if (spool.listRequested(parser)) {
        int leftOut = 0;
        print(stdout, HostSimCommandLine::listing(options.spoolRoot, &leftOut));
        if (leftOut > 0) print(stderr, QStringLiteral("hostsim: %1 spooled file(s) cannot be served\n").arg(leftOut));
        return leftOut > 0 ? 1 : 0;
    }

    HostSim sim(options);
    sim.spoolStore().onProblem = [](const QString& what) { print(stderr, QStringLiteral("hostsim: left out %1\n").arg(what)); };
    if (!sim.start(&error)) {
        print(stderr, QStringLiteral("hostsim: %1\n").arg(error));
        return 1;
    }
    if (options.listen)
        print(stdout, QStringLiteral("hostsim: listening on %1:%2, spool %3\n")
                          .arg(options.address)
                          .arg(options.listenerPort)
                          .arg(options.spoolRoot));
    for (quint16 wanted : spool.jobPortsAtStart(parser)) {
        const quint16 port = sim.openJobPort(wanted);
        if (!port) {
            print(stderr, QStringLiteral("hostsim: cannot open job port %1\n").arg(wanted));
            return 1;
        }
        print(stdout, QStringLiteral("hostsim: job port %1:%2 open\n").arg(options.address).arg(port));
    }
    std::unique_ptr<FtpServer> ftp;
    if (ftpOptions.enabled) {
        ftp = FtpServer::forSpoolServer(sim, ftpOptions.port, ftpOptions.freshHost, &error);
        if (!ftp) {
            print(stderr, QStringLiteral("hostsim: %1\n").arg(error));
            return 1;
        }
        ftp->silent = ftpOptions.silent;
        for (const auto& [user, password] : ftpOptions.users) ftp->addUser(user, password);
        ftp->host().restoreFails = ftpOptions.restoreFails;
        ftp->onLog = [](const QString& line) { print(stdout, QStringLiteral("hostsim: ftp %1\n").arg(line)); };
        print(stdout, QStringLiteral("hostsim: FTP on %1:%2\n").arg(options.address).arg(ftpOptions.port));
    }
    return QCoreApplication::exec();
}
