// The FTP script runner against hostsim's FTP server.
#include <gtest/gtest.h>

#include <QFile>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTemporaryDir>

#include "Clock.h"
#include "FtpClient.h"
#include "FtpClientRunner.h"
#include "FtpServer.h"
#include "TestSupport.h"

namespace {
std::string testBytes(size_t size) {
    std::string bytes;
    // Every byte value, line ends of both kinds, then noise.
    for (int i = 0; i < 256; ++i) bytes += static_cast<char>(i);
    bytes += "\r\n\n\r\r\n";
    QRandomGenerator gen(42);
    while (bytes.size() < size) bytes += static_cast<char>(gen.bounded(256));
    return bytes;
}

class HostsimFtp : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApplication();
        // A free port, as a user without privileges can open; the scripts
        // still say only "open host".
        addr = uniqueLoopbackAddress(0);
        ASSERT_TRUE(server.listen(QHostAddress(addr), 0)) << server.errorString().toStdString();
        runner.port = server.port();
        server.addUser(QStringLiteral("QPGMR"), QStringLiteral("SECRET"));
        server.host().startServer = [this] {
            ++starts;
            return true;
        };
        runner.localDir = dir.path();
    }
    FtpRunResult run(const std::string& script) { return runner.run(script, clock); }
    std::string logon(const std::string& password = "SECRET") {
        return "open " + addr.toStdString() + "\r\nQPGMR\r\n" + password + "\r\n";
    }
    std::string writeLocal(const QString& name, const std::string& bytes) {
        QFile f(dir.filePath(name));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes.data(), static_cast<qint64>(bytes.size()));
        return dir.filePath(name).toStdString();
    }
    static std::vector<bool> accepted(const FtpRunResult& r) {
        std::vector<bool> out;
        for (const auto& c : r.commands) out.push_back(c.accepted);
        return out;
    }

    VirtualClock clock;
    FtpServer server;
    FtpClientRunner runner;
    QTemporaryDir dir;
    QString addr;
    int starts = 0;
};

TEST_F(HostsimFtp, LogsOnAndRunsTheServerStartCommand) {
    server.host().installServerLibrary();
    const FtpRunResult r = run(logon() + "quote rcmd SPWLB/STRSPWRT\r\nquit\r\nbye\r\n");
    EXPECT_TRUE(r.ok()) << r.description.toStdString();
    EXPECT_EQ(r.code(), 0);
    EXPECT_EQ(starts, 1);
    EXPECT_TRUE(server.host().serverActive);
    EXPECT_EQ(server.commandLog(), (QStringList{"USER QPGMR", "PASS ****", "rcmd SPWLB/STRSPWRT", "QUIT"}));
    // The password shows nowhere in what the run reports.
    EXPECT_FALSE(r.transcript.join('\n').contains("SECRET"));
    ASSERT_EQ(r.commands.size(), 4u);
    EXPECT_EQ(r.commands[3].replyCode, 250);
    EXPECT_EQ(r.commands[2].scriptLine, "****");
}

class HostsimFtpPut : public HostsimFtp, public ::testing::WithParamInterface<bool> {};

TEST_P(HostsimFtpPut, BinaryPutArrivesByteForByte) {
    runner.passive = GetParam();
    const std::string bytes = testBytes(3 * 1024 * 1024 + 17);
    const std::string local = writeLocal("spwsvv4.sav", bytes);
    const FtpRunResult r = run(logon() + "quote rcmd CRTSAVF FILE(QGPL/SPWSV)\r\nbinary\r\nput " + local +
                               " /QSYS.LIB/QGPL.LIB/SPWSV.SAVF\r\nput spwsvv4.sav copy.bin\r\nquit\r\n");
    ASSERT_TRUE(r.ok()) << r.description.toStdString();
    EXPECT_TRUE(server.host().saveFiles.at("QGPL/SPWSV") == bytes);
    EXPECT_TRUE(server.host().storedFiles.at("copy.bin") == bytes);
    // One data connection of the chosen kind for each put.
    EXPECT_EQ(server.commandLog().filter(GetParam() ? "PASV" : "PORT").size(), 2);
}

INSTANTIATE_TEST_SUITE_P(PassiveAndActive, HostsimFtpPut, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Passive" : "Active"; });

TEST_F(HostsimFtp, RefusedRemoteCommandIsAFailureWithTheHostsReply) {
    const FtpRunResult r = run(logon() + "quote rcmd DLTF FILE(QGPL/SPWSV)\r\nquote rcmd CRTSAVF FILE(QGPL/SPWSV)\r\nquit\r\n");
    EXPECT_EQ(r.status, FtpRunStatus::CommandRefused);
    EXPECT_NE(r.code(), 0);
    EXPECT_EQ(r.failedLine, "quote rcmd DLTF FILE(QGPL/SPWSV)");
    EXPECT_TRUE(r.serverReply.startsWith("550")) << r.serverReply.toStdString();
    EXPECT_TRUE(r.serverReply.contains("CPF2105 Object SPWSV in QGPL type *FILE not found."));
    EXPECT_TRUE(r.description.contains("CPF2105"));
    // The run stops at the refusal.
    EXPECT_TRUE(server.commandLog().filter("CRTSAVF").isEmpty());
    EXPECT_EQ(server.host().saveFiles.count("QGPL/SPWSV"), 0u);
}

TEST_F(HostsimFtp, InstallScriptRunsToTheEndAndReportsEachRefusal) {
    runner.continueAfterRefusal = true;
    int ends = 0;
    server.host().endServer = [&] { ++ends; };
    const std::string local = writeLocal("spwsvv4.sav", testBytes(5000));
    const std::string script = logon() +
                               "quote rcmd DLTF FILE(QGPL/SPWSV)\r\n"
                               "quote rcmd CRTSAVF FILE(QGPL/SPWSV)\r\n"
                               "quote rcmd SPWLB/ENDSPWRT\r\n"
                               "binary\r\n"
                               "put " + local + " /QSYS.LIB/QGPL.LIB/SPWSV.SAVF\r\n"
                               "quote rcmd RSTLIB SAVLIB(SPWLB) DEV(*SAVF) SAVF(QGPL/SPWSV) MBROPT(*ALL)\r\n"
                               "quote rcmd CRTUSRPRF USRPRF(SPWRTER) PASSWORD(*NONE) USRCLS(*SECOFR)\r\n"
                               "quote rcmd CRTMSGQ MSGQ(QUSRSYS/SPWRTER)\r\n"
                               "quote rcmd SPWLB/STRSPWRT\r\n"
                               "quit\r\n"
                               "bye\r\n";
    // A fresh host: nothing to delete, no server to end.
    FtpRunResult r = run(script);
    EXPECT_EQ(r.status, FtpRunStatus::CommandRefused);
    EXPECT_EQ(r.failedLine, "quote rcmd DLTF FILE(QGPL/SPWSV)");
    EXPECT_EQ(accepted(r), (std::vector<bool>{true, true, true, false, true, false, true, true, true, true, true, true}));
    EXPECT_TRUE(server.host().libraries.count("SPWLB"));
    EXPECT_TRUE(server.host().userProfiles.count("SPWRTER"));
    EXPECT_TRUE(server.host().messageQueues.count("QUSRSYS/SPWRTER"));
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(ends, 0);

    // Again on the installed host: the profile and the queue are there already.
    r = run(script);
    EXPECT_EQ(accepted(r), (std::vector<bool>{true, true, true, true, true, true, true, true, true, false, false, true}));
    EXPECT_TRUE(r.commands[9].reply.contains("CPF2214 User profile SPWRTER already exists."));
    EXPECT_TRUE(r.commands[10].reply.contains("CPF2112"));
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(starts, 2);
}

struct LogonCase {
    const char* name;
    std::string user, password;
};

void PrintTo(const LogonCase& c, std::ostream* os) { *os << c.name; }

class HostsimFtpLogon : public HostsimFtp, public ::testing::WithParamInterface<LogonCase> {};

TEST_P(HostsimFtpLogon, RefusedLogonEndsTheRunAsAFailure) {
    server.host().installServerLibrary();
    const auto& c = GetParam();
    const FtpRunResult r =
        run("open " + addr.toStdString() + "\r\n" + c.user + "\r\n" + c.password + "\r\nquote rcmd SPWLB/STRSPWRT\r\nquit\r\n");
    EXPECT_EQ(r.status, FtpRunStatus::LogonRefused);
    EXPECT_TRUE(r.serverReply.startsWith("530")) << r.serverReply.toStdString();
    EXPECT_EQ(starts, 0);
    // Nothing after the refusal reached the server.
    EXPECT_TRUE(server.commandLog().filter("rcmd", Qt::CaseInsensitive).isEmpty());
    EXPECT_EQ(server.commandLog(), (QStringList{QString::fromStdString("USER " + c.user), "PASS ****", "QUIT"}));
}

INSTANTIATE_TEST_SUITE_P(Cases, HostsimFtpLogon,
                         ::testing::Values(LogonCase{"WrongPassword", "QPGMR", "WRONG"},
                                           LogonCase{"PasswordInOtherCase", "QPGMR", "secret"},
                                           LogonCase{"UnknownUser", "NOBODY", "SECRET"},
                                           LogonCase{"EmptyPassword", "QPGMR", ""}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(HostsimFtp, ScriptErrorsAreFailuresAndSendNothingUnsafe) {
    struct Case {
        const char* script;
        FtpRunStatus status;
        bool connects;
    };
    const std::string open = logon();
    const std::vector<std::pair<std::string, Case>> cases = {
        {open + "quote rcmd SPWLB/STRSPWRT\rDLTLIB QGPL\r\nquit\r\n", {"bare CR", FtpRunStatus::ScriptError, false}},
        {"open " + addr.toStdString() + "\r\nQPGMR\r\nSEC\x01RET\r\n", {"control in password", FtpRunStatus::ScriptError, false}},
        {"quote rcmd SPWLB/STRSPWRT\r\n", {"quote before open", FtpRunStatus::ScriptError, false}},
        {open + "mdelete *\r\n", {"unknown command", FtpRunStatus::ScriptError, true}},
        {open + "put no-such-file remote\r\n", {"missing local file", FtpRunStatus::ScriptError, true}},
        {open + "binary\r\nput " + writeLocal("x.sav", "abc") + " /QSYS.LIB/QGPL.LIB/SPWSV.SAVF\r\n",
         {"save file not created", FtpRunStatus::CommandRefused, true}},
        {open + "quote\r\n", {"empty quote", FtpRunStatus::ScriptError, true}},
        {"open " + addr.toStdString() + "\r\n", {"no user line", FtpRunStatus::LogonRefused, true}},
        {"user QPGMR SECRET\r\n", {"user before open", FtpRunStatus::ScriptError, false}},
    };
    for (const auto& [script, c] : cases) {
        SCOPED_TRACE(c.script);
        server.clearLog();
        const FtpRunResult r = run(script);
        EXPECT_EQ(r.status, c.status) << r.description.toStdString();
        EXPECT_NE(r.code(), 0);
        EXPECT_FALSE(r.description.isEmpty());
        EXPECT_FALSE(r.description.contains("SECRET")) << r.description.toStdString();
        EXPECT_EQ(!server.commandLog().isEmpty(), c.connects) << server.commandLog().join('|').toStdString();
        EXPECT_TRUE(server.commandLog().filter("DLTLIB").isEmpty());
    }
}

TEST_F(HostsimFtp, NoServerOrASilentOneIsAConnectionFailureWithinTheLimit) {
    // Nothing listens on that port of a second address.
    const QString empty = uniqueLoopbackAddress(runner.port);
    FtpRunResult r = run("open " + empty.toStdString() + "\r\nQPGMR\r\nSECRET\r\nquit\r\n");
    EXPECT_EQ(r.status, FtpRunStatus::ConnectionFailed);
    EXPECT_TRUE(r.serverReply.isEmpty());

    server.silent = true;
    const qint64 before = clock.nowMs();
    r = run(logon() + "quit\r\n");
    EXPECT_EQ(r.status, FtpRunStatus::ConnectionFailed);
    EXPECT_TRUE(r.description.contains("No reply")) << r.description.toStdString();
    EXPECT_GE(clock.nowMs() - before, runner.replyLimitMs);
    EXPECT_LT(clock.nowMs() - before, 3 * runner.replyLimitMs);
}

TEST(FtpReplyParsing, TakesWholeRepliesOnly) {
    struct Case {
        std::string buffer;
        bool complete;
        int code;
        const char* text;
        std::string rest;
    };
    const std::vector<Case> cases = {
        {"220 Ready\r\n", true, 220, "220 Ready", ""},
        {"220 Ready", false, 0, "", "220 Ready"},
        {"220-QTCP at host.\r\n220 Connection will close\r\n331 x\r\n", true, 220,
         "220-QTCP at host.\n220 Connection will close", "331 x\r\n"},
        {"550-Command X not successful.\r\n550-more\r\n", false, 0, "", "550-Command X not successful.\r\n550-more\r\n"},
        {"230-Hi\r\n 230 inner line\r\n230 done\r\n", true, 230, "230-Hi\n 230 inner line\n230 done", ""},
        {"noise\r\n226 ok\n", true, 226, "226 ok", ""},
        {"200\r\n", true, 200, "200", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.buffer);
        std::string buf = c.buffer;
        FtpClient::Reply reply;
        EXPECT_EQ(FtpClient::takeReply(buf, reply), c.complete);
        if (c.complete) {
            EXPECT_EQ(reply.code, c.code);
            EXPECT_EQ(reply.text.toStdString(), c.text);
        }
        EXPECT_EQ(buf, c.rest);
    }
}

TEST(FtpScriptLines, ArgumentsAndPassivePorts) {
    EXPECT_EQ(FtpClientRunner::splitArguments("put  \"/a b/c.sav\" /QSYS.LIB/X.SAVF"),
              (std::vector<std::string>{"put", "/a b/c.sav", "/QSYS.LIB/X.SAVF"}));
    EXPECT_EQ(FtpClientRunner::splitLines("open h\r\nU\r\n\r\nquit"), (std::vector<std::string>{"open h", "U", "", "quit"}));
    EXPECT_EQ(FtpClient::passivePort({227, "227 Entering Passive Mode (127,0,0,2,78,33)."}), 78 * 256 + 33);
    EXPECT_EQ(FtpClient::passivePort({229, "229 Entering Extended Passive Mode (|||40001|)."}), 40001);
    EXPECT_EQ(FtpClient::passivePort({227, "227 Entering Passive Mode (127,0,0,2,300,1)."}), 0);
    EXPECT_EQ(FtpClient::passivePort({500, "500 no"}), 0);
}
}  // namespace
