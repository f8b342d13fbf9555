// The install script's lines, the checks before anything is sent, and how the
// replies of a run are read.
#include <gtest/gtest.h>

#include "InstallScript.h"

using namespace hostprep;

namespace {
const QStringList kCommands = {
    "quote rcmd DLTF FILE(QGPL/SPWSV)",
    "quote rcmd CRTSAVF FILE(QGPL/SPWSV)",
    "quote rcmd SPWLB/ENDSPWRT",
    "binary",
};
const QStringList kAfterPut = {
    "quote rcmd RSTLIB SAVLIB(SPWLB) DEV(*SAVF) SAVF(QGPL/SPWSV) MBROPT(*ALL)",
    "quote rcmd CRTUSRPRF USRPRF(SPWRTER) PASSWORD(*NONE) USRCLS(*SECOFR)",
    "quote rcmd CRTMSGQ MSGQ(QUSRSYS/SPWRTER)",
    "quote rcmd SPWLB/STRSPWRT",
    "quit",
    "bye",
};
}  // namespace

TEST(InstallScript, FourteenLinesForEachKindOfHostAndPath) {
    struct Case {
        const char* name;
        QString host, user, password, path;
        QString open, userLine, passwordLine, put;
    };
    const std::vector<Case> cases = {
        {"host name", "as400.example.com", " qsecofr ", "secret  ", "/opt/swdesk/spwsvv4.sav", "open as400.example.com",
         "QSECOFR", "SECRET", "put /opt/swdesk/spwsvv4.sav /QSYS.LIB/QGPL.LIB/SPWSV.SAVF"},
        {"address", "10.1.2.3", "QSECOFR", "Pw1", "/data/spwsvv4.sav", "open 10.1.2.3", "QSECOFR", "PW1",
         "put /data/spwsvv4.sav /QSYS.LIB/QGPL.LIB/SPWSV.SAVF"},
        {"path with blanks", "10.1.2.3", "QSECOFR", "", "/home/ann/My Files/spwsvv4.sav", "open 10.1.2.3", "QSECOFR", "",
         "put \"/home/ann/My Files/spwsvv4.sav\" /QSYS.LIB/QGPL.LIB/SPWSV.SAVF"},
        {"host with port", "localhost:2121", "QSECOFR", "x", "/d/spwsvv4.sav", "open localhost 2121", "QSECOFR", "X",
         "put /d/spwsvv4.sav /QSYS.LIB/QGPL.LIB/SPWSV.SAVF"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QStringList expected =
            QStringList{c.open, c.userLine, c.passwordLine} + kCommands + QStringList{c.put} + kAfterPut;
        const QStringList got = InstallScript::lines(c.host, c.user, c.password, c.path);
        ASSERT_EQ(got.size(), 14);
        EXPECT_EQ(got, expected);
        EXPECT_EQ(InstallScript::build(c.host, c.user, c.password, c.path),
                  (expected.join("\r\n") + "\r\n").toStdString());
    }
}

TEST(InstallScript, RefusesWhatCouldEndALineOrIsNoProfileName) {
    struct Case {
        const char* name;
        QString host, user, password;
        QString refusalPart;  // empty: accepted
    };
    const std::vector<Case> cases = {
        {"plain", "as400", "QSECOFR", "SECRET", ""},
        {"empty password", "10.0.0.1", "QSECOFR", "", ""},
        {"special characters", "h", "$A#@_9", "P W#", ""},
        {"ten characters", "h", "ABCDEFGHIJ", "X", ""},
        {"host with inner blank", "as 400", "QSECOFR", "X", "is not valid"},
        {"host with line end", "as400\nquote rcmd DLTLIB SPWLB", "QSECOFR", "X", "is not valid"},
        {"host with tab", "as\t400", "QSECOFR", "X", "is not valid"},
        {"empty host", "", "QSECOFR", "X", "is not valid"},
        {"user starting with digit", "h", "1ABC", "X", "not a valid iSeries user profile name"},
        {"user too long", "h", "ABCDEFGHIJK", "X", "not a valid iSeries user profile name"},
        {"user in lower case", "h", "qsecofr", "X", "not a valid iSeries user profile name"},
        {"user with blank", "h", "QSEC OFR", "X", "not a valid iSeries user profile name"},
        {"user with line end", "h", "QSECOFR\nDLTLIB", "X", "not a valid iSeries user profile name"},
        {"user with letter outside A-Z", "h", QString("QS") + QChar(0xC4), "X", "not a valid iSeries user profile name"},
        {"empty user", "h", "", "X", "not a valid iSeries user profile name"},
        {"password with LF", "h", "QSECOFR", "SECRET\nquote rcmd DLTLIB SPWLB", "control character or a line end"},
        {"password with CR", "h", "QSECOFR", "SEC\rRET", "control character or a line end"},
        {"password with DEL", "h", "QSECOFR", QString("SEC") + QChar(0x7f), "control character or a line end"},
        {"password with line separator", "h", "QSECOFR", QString("A") + QChar(0x2028), "control character or a line end"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const QString r = InstallScript::inputRefusal(c.host, c.user, c.password);
        if (c.refusalPart.isEmpty())
            EXPECT_TRUE(r.isEmpty()) << r.toStdString();
        else
            EXPECT_TRUE(r.contains(c.refusalPart)) << r.toStdString();
        // The message shows the text on one line.
        EXPECT_FALSE(r.contains('\n'));
    }
    EXPECT_FALSE(InstallScript::savePathRefusal("/a/b \"c\"/spwsvv4.sav").isEmpty());
    EXPECT_TRUE(InstallScript::savePathRefusal("/a/b c/spwsvv4.sav").isEmpty());
}

namespace {
// A run of the whole script in which every line got `code`, except those named.
FtpRunResult runWith(std::map<QString, std::pair<int, QString>> replies, FtpRunStatus status = FtpRunStatus::Ok) {
    FtpRunResult r;
    r.status = status;
    const QStringList script = InstallScript::lines("h", "QSECOFR", "SECRET", "/d/spwsvv4.sav");
    for (int i = 0; i < 12; ++i) {
        const QString line = i == 2 ? QStringLiteral("****") : script[i];
        QString key;
        for (const auto& [prefix, reply] : replies)
            if (line.startsWith(prefix)) key = prefix;
        const auto [code, text] = key.isEmpty() ? std::pair{250, QStringLiteral("250 ok")} : replies[key];
        if (code < 0) break;  // the run stopped before this line
        r.commands.push_back({line, code, text, code >= 200 && code < 400});
        if (r.status == FtpRunStatus::Ok && !(code >= 200 && code < 400)) {
            r.status = code == 0 ? FtpRunStatus::ConnectionFailed : FtpRunStatus::CommandRefused;
            r.failedLine = line;
            r.description = line + ": " + (code == 0 ? QStringLiteral("No reply from the server.") : text);
        }
    }
    return r;
}
}  // namespace

TEST(InstallScript, EachReplyIsReadAndTheFailedStepNamed) {
    struct Case {
        const char* name;
        std::map<QString, std::pair<int, QString>> replies;
        QString failedStep;  // empty: succeeded
        QString replyPart;
    };
    const std::vector<Case> cases = {
        {"all accepted", {}, "", ""},
        {"fresh host: nothing to delete, no server to end",
         {{"quote rcmd DLTF", {550, "550 CPF2105 Object SPWSV in QGPL type *FILE not found."}},
          {"quote rcmd SPWLB/ENDSPWRT", {550, "550 CPD0030 Command ENDSPWRT in library SPWLB not found."}}},
         "",
         ""},
        {"re-install: profile and queue exist",
         {{"quote rcmd CRTUSRPRF", {550, "550-Command not successful.\n550 CPF2214 User profile SPWRTER already exists."}},
          {"quote rcmd CRTMSGQ", {550, "550 CPF2112 Object SPWRTER in QUSRSYS type *MSGQ already exists."}}},
         "",
         ""},
        {"profile refused otherwise",
         {{"quote rcmd CRTUSRPRF", {550, "550 CPF2204 Not authorized to user profile SPWRTER."}}},
         "creating user profile SPWRTER",
         "CPF2204"},
        {"restore fails",
         {{"quote rcmd RSTLIB", {550, "550 CPF3743 File cannot be restored, displayed, or listed."}}},
         "restoring library SPWLB",
         "CPF3743"},
        {"transfer refused", {{"put ", {550, "550 CPF9812 File SPWSV in library QGPL not found."}}}, "sending the save file spwsvv4.sav", "CPF9812"},
        {"binary refused", {{"binary", {504, "504 Representation type I not supported."}}}, "sending the save file spwsvv4.sav", "504"},
        {"server does not start",
         {{"quote rcmd SPWLB/STRSPWRT", {550, "550 SPW0002 Spoolwright server could not start."}}},
         "starting the server program (SPWLB/STRSPWRT)",
         "SPW0002"},
        {"reply echoes the password",
         {{"****", {530, "530 Log on attempt by user QSECOFR with SECRET rejected."}}},
         "signing on",
         "with **** rejected"},
        {"link lost after the restore",
         {{"quote rcmd CRTUSRPRF", {0, ""}}, {"quote rcmd CRTMSGQ", {-1, ""}}},
         "creating user profile SPWRTER",
         "No reply"},
        {"run ended before the server start", {{"quote rcmd SPWLB/STRSPWRT", {-1, ""}}}, "starting the server program (SPWLB/STRSPWRT)", "ended before"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto o = InstallScript::judge(runWith(c.replies), "SECRET");
        EXPECT_EQ(o.succeeded, c.failedStep.isEmpty());
        EXPECT_EQ(o.failedStep, c.failedStep);
        EXPECT_TRUE(o.reply.contains(c.replyPart)) << o.reply.toStdString();
        EXPECT_FALSE(o.reply.contains("SECRET"));
        const QString message = InstallScript::completionMessage(o, "h");
        EXPECT_EQ(message.startsWith("iSeries install is complete"), c.failedStep.isEmpty()) << message.toStdString();
        if (!c.failedStep.isEmpty()) {
            EXPECT_TRUE(message.contains(c.failedStep + " failed")) << message.toStdString();
        }
    }
}

TEST(InstallScript, PasswordIsMaskedAsAWholeWordOnly) {
    EXPECT_EQ(InstallScript::maskPassword("PASS secret and SECRET2 and (SECRET)", "SECRET"),
              "PASS **** and SECRET2 and (****)");
    EXPECT_EQ(InstallScript::maskPassword("A BAD A", "A"), "**** BAD ****");
    EXPECT_EQ(InstallScript::maskPassword("no password", ""), "no password");
    EXPECT_EQ(InstallScript::maskPassword("x .b* y", ".B*"), "x **** y");
}
