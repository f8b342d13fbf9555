#include "InstallScript.h"

#include <QRegularExpression>

#include "Codec.h"

namespace hostprep::InstallScript {
namespace {
bool isControl(QChar c) {
    return c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
}

bool hasControl(const QString& text) {
    for (const QChar c : text)
        if (isControl(c)) return true;
    return false;
}

QString oneLine(QString text) { return text.replace(QLatin1Char('\n'), QLatin1Char(' ')).trimmed(); }

// The steps of the script whose outcome decides the install; the others
// (removing an old save file, ending a server that may not run) may fail.
enum class Step { Connect, SignOn, Ignored, Transfer, Restore, Profile, MessageQueue, ServerStart };

struct StepInfo {
    const char* linePrefix;
    Step step;
    const char* alreadyThere;  // the host message that is no failure on a re-install
};

const StepInfo kSteps[] = {
    {"open ", Step::Connect, nullptr},
    {"quote rcmd DLTF ", Step::Ignored, nullptr},
    {"quote rcmd CRTSAVF ", Step::Ignored, nullptr},
    {"quote rcmd SPWLB/ENDSPWRT", Step::Ignored, nullptr},
    {"binary", Step::Transfer, nullptr},
    {"put ", Step::Transfer, nullptr},
    {"quote rcmd RSTLIB ", Step::Restore, nullptr},
    {"quote rcmd CRTUSRPRF ", Step::Profile, "CPF2214"},
    {"quote rcmd CRTMSGQ ", Step::MessageQueue, "CPF2112"},
    {"quote rcmd SPWLB/STRSPWRT", Step::ServerStart, nullptr},
};

// The script line's step; the user and password lines are the sign-on.
const StepInfo& stepOf(const QString& scriptLine) {
    static const StepInfo signOn{"", Step::SignOn, nullptr};
    for (const StepInfo& s : kSteps)
        if (scriptLine.startsWith(QLatin1String(s.linePrefix))) return s;
    return signOn;
}

QString stepName(Step step) {
    switch (step) {
    case Step::Connect: return QStringLiteral("connecting to the FTP server");
    case Step::SignOn: return QStringLiteral("signing on");
    case Step::Transfer: return QStringLiteral("sending the save file %1").arg(QLatin1String(kSaveFileName));
    case Step::Restore: return QStringLiteral("restoring library SPWLB");
    case Step::Profile: return QStringLiteral("creating user profile SPWRTER");
    case Step::MessageQueue: return QStringLiteral("creating message queue QUSRSYS/SPWRTER");
    case Step::ServerStart: return QStringLiteral("starting the server program (SPWLB/STRSPWRT)");
    case Step::Ignored: break;
    }
    return {};
}

const Step kRequired[] = {Step::Connect, Step::SignOn, Step::Transfer, Step::Restore,
                          Step::Profile, Step::MessageQueue, Step::ServerStart};
}  // namespace

bool goesOnAfterRefusal(const FtpCommandOutcome& refused) {
    const StepInfo& info = stepOf(refused.scriptLine);
    return info.step == Step::Ignored || (info.alreadyThere && refused.reply.contains(QLatin1String(info.alreadyThere)));
}

QString openArguments(const QString& host) {
    static const QRegularExpression withPort(QStringLiteral("^([^:]+):([0-9]{1,5})$"));
    const auto m = withPort.match(host);
    if (m.hasMatch()) return m.captured(1) + QLatin1Char(' ') + m.captured(2);
    return host;
}

QStringList lines(const QString& host, const QString& userId, const QString& password, const QString& saveFilePath) {
    const QString path = saveFilePath.contains(QLatin1Char(' ')) ? QLatin1Char('"') + saveFilePath + QLatin1Char('"')
                                                                 : saveFilePath;
    return {
        QStringLiteral("open ") + openArguments(host),
        userId.trimmed().toUpper(),
        password.trimmed().toUpper(),
        QStringLiteral("quote rcmd DLTF FILE(QGPL/SPWSV)"),
        QStringLiteral("quote rcmd CRTSAVF FILE(QGPL/SPWSV)"),
        QStringLiteral("quote rcmd SPWLB/ENDSPWRT"),
        QStringLiteral("binary"),
        QStringLiteral("put ") + path + QStringLiteral(" /QSYS.LIB/QGPL.LIB/SPWSV.SAVF"),
        QStringLiteral("quote rcmd RSTLIB SAVLIB(SPWLB) DEV(*SAVF) SAVF(QGPL/SPWSV) MBROPT(*ALL)"),
        QStringLiteral("quote rcmd CRTUSRPRF USRPRF(SPWRTER) PASSWORD(*NONE) USRCLS(*SECOFR)"),
        QStringLiteral("quote rcmd CRTMSGQ MSGQ(QUSRSYS/SPWRTER)"),
        QStringLiteral("quote rcmd SPWLB/STRSPWRT"),
        QStringLiteral("quit"),
        QStringLiteral("bye"),
    };
}

std::string build(const QString& host, const QString& userId, const QString& password, const QString& saveFilePath) {
    std::string script;
    for (const QString& l : lines(host, userId, password, saveFilePath)) script += Codec::fromUnicode(l) + "\r\n";
    return script;
}

QString hostRefusal(const QString& host) {
    if (host.isEmpty() || hasControl(host) || host.contains(QLatin1Char(' ')) || host.contains(QLatin1Char('\t')))
        return QStringLiteral("The iSeries address '%1' is not valid: an IP address or host name is one word, without "
                              "blanks or control characters.")
            .arg(oneLine(host));
    return {};
}

QString userIdRefusal(const QString& userId) {
    // A host profile name: 1 to 10 characters, not starting with a digit.
    static const QRegularExpression profile(QStringLiteral("^[A-Z$#@_][A-Z0-9$#@_]{0,9}$"));
    if (!profile.match(userId).hasMatch())
        return QStringLiteral("The user ID '%1' is not a valid iSeries user profile name.  Please use 1 to 10 of the "
                              "characters A-Z, 0-9, $, #, @ and _, not starting with a digit.")
            .arg(oneLine(userId));
    return {};
}

QString passwordRefusal(const QString& password) {
    if (hasControl(password))
        return QStringLiteral("The password contains a control character or a line end and cannot be sent to the "
                              "iSeries FTP server.");
    return {};
}

QString savePathRefusal(const QString& path) {
    if (hasControl(path) || path.contains(QLatin1Char('"')))
        return QStringLiteral("The path of the install file cannot be used in an FTP command: %1").arg(oneLine(path));
    return {};
}

QString inputRefusal(const QString& host, const QString& userId, const QString& password) {
    for (const QString& r : {hostRefusal(host), userIdRefusal(userId), passwordRefusal(password)})
        if (!r.isEmpty()) return r;
    return {};
}

QString maskPassword(const QString& text, const QString& password) {
    if (password.isEmpty()) return text;
    const QString word = QStringLiteral("[A-Za-z0-9$#@_]");
    const QRegularExpression re(QStringLiteral("(?<!%1)%2(?!%1)").arg(word, QRegularExpression::escape(password)),
                                QRegularExpression::CaseInsensitiveOption);
    return QString(text).replace(re, QStringLiteral("****"));
}

Outcome judge(const FtpRunResult& run, const QString& password) {
    Outcome out;
    out.status = run.status;
    bool done[8] = {};
    auto failAt = [&](Step step, const QString& reply) {
        out.succeeded = false;
        for (const Step s : kRequired)
            if (done[static_cast<int>(s)]) out.doneSteps << stepName(s);
        out.failedStep = stepName(step);
        out.reply = maskPassword(oneLine(reply), password);
        if (!out.reply.isEmpty() && !out.reply.endsWith(QLatin1Char('.'))) out.reply += QLatin1Char('.');
        return out;
    };
    for (const FtpCommandOutcome& c : run.commands) {
        const StepInfo& info = stepOf(c.scriptLine);
        const bool alreadyThere = info.alreadyThere && c.reply.contains(QLatin1String(info.alreadyThere));
        if (c.accepted || alreadyThere) {
            // The save file is sent only once "put" has worked.
            if (!c.scriptLine.startsWith(QLatin1String("binary"))) done[static_cast<int>(info.step)] = true;
            continue;
        }
        if (goesOnAfterRefusal(c)) continue;
        // No reply: our own reason, kept by the run for its first failure.
        const bool ours = c.replyCode == 0;
        return failAt(info.step, ours ? (run.failedLine == c.scriptLine ? run.description : QStringLiteral("No reply."))
                                      : c.reply);
    }
    // A run that stopped on a line it never sent (a local file it could not read).
    if (!run.ok() && run.status != FtpRunStatus::CommandRefused && stepOf(run.failedLine).step != Step::Ignored)
        return failAt(stepOf(run.failedLine).step, run.description);
    for (const Step step : kRequired) {
        if (done[static_cast<int>(step)]) continue;
        // The run stopped before this step.
        return failAt(step, run.description.isEmpty() ? QStringLiteral("The script ended before this step.")
                                                      : run.description);
    }
    out.succeeded = true;
    for (const Step s : kRequired) out.doneSteps << stepName(s);
    return out;
}

QString completionMessage(const Outcome& outcome, const QString& host) {
    if (outcome.succeeded)
        return QStringLiteral("iSeries install is complete on %1: library 'SPWLB' was restored, user profile 'SPWRTER' "
                              "and message queue 'SPWRTER' are there, and the Spoolwright server program was started.  "
                              "(Other commands are 'SPWLB/ENDSPWRT' to end the Spoolwright server program and "
                              "'SPWLB/CHKSPWRT' to see if the server program is active.)")
            .arg(host);
    QString text = QStringLiteral("The iSeries install on %1 did not succeed: %2 failed.  The reply was: %3")
                       .arg(host, outcome.failedStep, outcome.reply);
    text += outcome.doneSteps.isEmpty()
                ? QStringLiteral("  Nothing was done before it.")
                : QStringLiteral("  Done before it: %1.").arg(outcome.doneSteps.join(QStringLiteral(", ")));
    text += QStringLiteral("  Nothing after it was run on the iSeries.");
    if (outcome.status == FtpRunStatus::ConnectionFailed)
        text += QStringLiteral("  Please make sure that the FTP server is active on the iSeries (command "
                               "STRTCPSVR SERVER(*FTP)) and try again.");
    else if (outcome.status == FtpRunStatus::LogonRefused)
        text += QStringLiteral("  Please check the user ID and password (the password is sent in capitals) and try "
                               "again.");
    return text;
}

}  // namespace hostprep::InstallScript
