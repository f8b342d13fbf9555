#include "ServerStart.h"

#include "Codec.h"
#include "Connect.h"
#include "ConnectView.h"
#include "ConnectionState.h"
#include "MousePointer.h"
#include "Services.h"

namespace {
constexpr qint64 kInitialWaitMs = 22000;
constexpr qint64 kRemovalWaitMs = 3000;

bool hasControlCharacter(const QString& text) {
    for (const QChar c : text)
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            return true;
    return false;
}

QString oneLine(const QString& text) { return QString(text).replace(QLatin1Char('\n'), QLatin1Char(' ')); }

// What the user reads when the host did not take the start command.
QString failureText(const FtpRunResult& r, const QString& host, const QString& user) {
    const QString reply = r.serverReply.isEmpty() ? r.description : oneLine(r.serverReply);
    switch (r.status) {
        case FtpRunStatus::LogonRefused:
            return QStringLiteral(
                       "The FTP server on %1 refused the logon of user %2.  The server program was not "
                       "started.  The server replied: %3")
                .arg(host, user, reply);
        case FtpRunStatus::ConnectionFailed:
            return QStringLiteral(
                       "Could not reach the FTP server on %1 (FTP must be active on the iSeries).  "
                       "The server program was not started.  %2")
                .arg(host, r.description);
        case FtpRunStatus::CommandRefused:
            return QStringLiteral("The iSeries did not start the server program (%1).  The server replied: %2")
                .arg(r.failedLine, reply);
        default: return QStringLiteral("The server program was not started: %1").arg(r.description);
    }
}
}  // namespace

std::string ServerStart::ftpScript(const QString& host, const QString& userId, const QString& password) {
    const QString lines[] = {
        QStringLiteral("open ") + host, userId.trimmed().toUpper(),
        password.trimmed().toUpper(),   QStringLiteral("quote rcmd SPWLB/STRSPWRT"),
        QStringLiteral("quit"),         QStringLiteral("bye"),
    };
    std::string script;
    for (const QString& l : lines) script += Codec::fromUnicode(l) + "\r\n";
    return script;
}

QString ServerStart::refusal(const QString& host, const QString& userId, const QString& password) {
    const std::pair<QString, QString> fields[] = {
        {QStringLiteral("host address"), host},
        {QStringLiteral("user ID"), userId},
        {QStringLiteral("password"), password},
    };
    for (const auto& [what, text] : fields)
        if (hasControlCharacter(text))
            return QStringLiteral(
                       "The %1 contains a control character and cannot be sent to the iSeries FTP server.  "
                       "The server program was not started.")
                .arg(what);
    if (host.trimmed().isEmpty() || host.trimmed().contains(QLatin1Char(' ')))
        return QStringLiteral("The host address '%1' is not valid for FTP.  The server program was not started.")
            .arg(host);
    return {};
}

Outcome StartHostServerViaFtp(Services& services, const ConnectionState& state, ConnectView& view) {
    setMousePointer(MousePointer::Hourglass);
    view.status(QStringLiteral("Attempting to start server program..."));
    services.clock->pumpOnce();

    QString userId = services.getKept(Setting::User);
    if (!IsKept(userId)) userId = QString(10, QLatin1Char(' '));

    setMousePointer(MousePointer::Normal);
    const std::optional<SignOnAnswer> typed = view.askServerStartSignOn(userId.trimmed());
    setMousePointer(MousePointer::Hourglass);
    // The dialog's Cancel has closed the link already.
    if (!typed) services.endProgram(kExitSignOnCancelled, QStringLiteral("Server start cancelled"));
    userId = typed->userId;
    const QString password = typed->password;

    const QString host = state.gHostAddress;
    const QString refused = ServerStart::refusal(host, userId, password);
    if (!refused.isEmpty()) {
        setMousePointer(MousePointer::Normal);
        services.report(Failure{refused, MsgIcon::Critical, QStringLiteral("Tolvane")});
        return Outcome::Stopped();
    }

    view.status(QStringLiteral("Attempting to run the FTP script..."));
    services.clock->pumpOnce();

    // The script goes to the runner in memory: the password never reaches the disk.
    const qint64 started = services.clock->nowMs();
    const FtpRunResult result = services.ftp->run(ServerStart::ftpScript(host, userId, password), *services.clock);
    if (!result.ok()) {
        setMousePointer(MousePointer::Normal);
        services.report(Failure{failureText(result, host, userId.trimmed().toUpper()), MsgIcon::Critical,
                                QStringLiteral("Tolvane")});
        return Outcome::Stopped();
    }

    view.status(QStringLiteral("Waiting for the main server program to initialize..."));
    services.clock->pumpOnce();
    services.clock->pumpOnce();
    // The server comes up about 22 seconds after the FTP client started, then
    // the removal step's 3 seconds; no script file exists to remove.
    const qint64 initialWait = started + kInitialWaitMs - services.clock->nowMs();
    if (initialWait > 0) services.clock->waitMs(initialWait);
    services.clock->waitMs(kRemovalWaitMs);
    return Outcome::Done();
}
