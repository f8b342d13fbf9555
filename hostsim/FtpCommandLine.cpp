#include "FtpCommandLine.h"

void FtpCommandLine::addOptions(QCommandLineParser& parser) {
    options_ = {
        QCommandLineOption(QStringLiteral("ftp"), QStringLiteral("Also serve FTP on port 21 of --address (see FTP below).")),
        QCommandLineOption(QStringLiteral("ftp-port"), QStringLiteral("FTP port instead of 21."), QStringLiteral("n"),
                           QStringLiteral("21")),
        QCommandLineOption(QStringLiteral("ftp-fresh-host"),
                           QStringLiteral("FTP: a host without the server library SPWLB (before an install).")),
        QCommandLineOption(QStringLiteral("ftp-restore-fails"),
                           QStringLiteral("FTP: RSTLIB fails as on a damaged save file (CPF3743).")),
        QCommandLineOption(QStringLiteral("ftp-silent"),
                           QStringLiteral("FTP: connections are accepted but never greeted or answered.")),
        QCommandLineOption(QStringLiteral("ftp-user"),
                           QStringLiteral("FTP: a further user that may log on (repeatable), e.g. QSECOFR:SECRET."),
                           QStringLiteral("name:password")),
    };
    for (const QCommandLineOption& o : options_) parser.addOption(o);
}

bool FtpCommandLine::read(const QCommandLineParser& parser, FtpOptions& options, QString* error) const {
    options.enabled = parser.isSet(options_[0]);
    options.freshHost = parser.isSet(options_[2]);
    options.restoreFails = parser.isSet(options_[3]);
    options.silent = parser.isSet(options_[4]);
    for (const QString& v : parser.values(options_[5])) {
        const int colon = v.indexOf(QLatin1Char(':'));
        if (colon <= 0) {
            if (error) *error = QStringLiteral("--ftp-user: not name:password: %1").arg(v);
            return false;
        }
        options.users.emplace_back(v.left(colon), v.mid(colon + 1));
    }
    bool ok = false;
    const int port = parser.value(options_[1]).toInt(&ok);
    if (!ok || port < 1 || port > 65535) {
        if (error) *error = QStringLiteral("--ftp-port: not a port number: %1").arg(parser.value(options_[1]));
        return false;
    }
    options.port = static_cast<quint16>(port);
    return true;
}

QString FtpCommandLine::manual() {
    return QStringLiteral(R"TXT(
FTP (--ftp)
  The host's FTP server, as the client's server start and the installer meet
  it: USER/PASS (--user and --password, each --ftp-user, or --any-user), TYPE, PASV/EPSV,
  PORT/EPRT, STOR (a save file /QSYS.LIB/<LIB>.LIB/<FILE>.SAVF must exist and
  takes binary only), QUIT, and RCMD with the host's replies: 250 when the
  command ran, 550 with the host message when it failed. Commands:
    DLTF FILE(lib/file)          fails when the save file is not there
    CRTSAVF FILE(lib/file)       fails when it is there already
    RSTLIB SAVLIB(lib) DEV(*SAVF) SAVF(lib/file)   fails on a missing or empty save file
    RSTLIB also fails with --ftp-restore-fails (CPF3743)
    CRTUSRPRF USRPRF(name) ...   fails when the profile exists
    CRTMSGQ MSGQ(lib/name)       fails when the queue exists
    SPWLB/STRSPWRT               starts the listener (port 17850 of --address)
    SPWLB/ENDSPWRT               stops the listener and the job ports; fails when none runs
  The server library SPWLB is there unless --ftp-fresh-host. With
  --no-listener the listener is down until SPWLB/STRSPWRT starts it, so a
  sign-on succeeds only after the server was started through FTP (as after an
  install with Hostprep). --ftp-silent: a host that does not answer (the
  connection is taken, no reply ever comes). Every FTP command is printed
  ("PASS ****" for a password).
)TXT");
}
