// Starting the host server through FTP, against hostsim's FTP server and
// spool listener.
#include <gtest/gtest.h>

#include <QDirIterator>
#include <QTcpSocket>

#include "Connect.h"
#include "CoreTestSupport.h"
#include "FtpClientRunner.h"
#include "FtpServer.h"
#include "HostSimFixture.h"
#include "RecordingConnectView.h"
#include "ServerStart.h"

namespace {
// A runner that only notes the script it was given.
class RecordingRunner : public FtpScriptRunner {
public:
    std::vector<std::string> scripts;
    FtpRunResult run(const std::string& script, Clock&) override {
        scripts.push_back(script);
        return {};
    }
};

struct ServerStartE2E : ::testing::Test {
    CoreTestContext t;
    RunContext& ctx = t.ctx;
    RecordingConnectView view{ctx.connection};
    std::unique_ptr<HostSimFixture> host;

    // The host's server is down; its FTP server knows QPGMR / SECRET.
    void startHost(bool ftp = true, bool freshHost = false) {
        host = std::make_unique<HostSimFixture>(HostSimFixtureOptions{.clock = t.clock,
                                                                      .listener = false,
                                                                      .user = "QPGMR",
                                                                      .password = "SECRET",
                                                                      .ftp = ftp,
                                                                      .ftpFreshHost = freshHost});
        ctx.connection.gHostAddress = host->address();
        ctx.services.saveSetting("URL", host->address());
        // The FTP client goes to the test server's port; the script's
        // "open host" line stays as it is. Without one, nothing listens on 21.
        auto runner = std::make_unique<FtpClientRunner>();
        if (ftp) runner->port = host->ftpPort();
        ctx.services.ftp = std::move(runner);
    }
    // The answer of the server start's sign-on dialog. What the dialog's own
    // checks would refuse still comes through here.
    void answer(const QString& user, const QString& password) {
        view.serverStartAnswers.clear();
        view.serverStartAnswers.push_back(SignOnAnswer{user, password});
    }
    Outcome startServer() { return StartHostServerViaFtp(ctx.services, ctx.connection, view); }
    bool listenerUp() {
        QTcpSocket probe;
        probe.connectToHost(host->address(), 17850);
        return ctx.services.clock->waitUntil(
            [&] {
                return probe.state() == QAbstractSocket::ConnectedState ||
                       probe.state() == QAbstractSocket::UnconnectedState;
            },
            5000) &&
               probe.state() == QAbstractSocket::ConnectedState;
    }
    QStringList ftpLog() { return host->ftp().commandLog(); }
};
}  // namespace

TEST_F(ServerStartE2E, ScriptIsTheSixLinesWithTrimmedCapitals) {
    auto runner = std::make_unique<RecordingRunner>();
    RecordingRunner& rec = *runner;
    ctx.services.ftp = std::move(runner);
    ctx.connection.gHostAddress = "as400.example.com";
    ctx.services.saveSetting("User", "QPGMR");
    answer("  qpgmr ", " secret  ");
    ASSERT_TRUE(startServer());
    ASSERT_EQ(rec.scripts.size(), 1u);
    EXPECT_EQ(rec.scripts[0],
              "open as400.example.com\r\nQPGMR\r\nSECRET\r\nquote rcmd SPWLB/STRSPWRT\r\nquit\r\nbye\r\n");
    EXPECT_EQ(view.serverStartUsers, QStringList{"QPGMR"});
    EXPECT_EQ(view.statuses, (QStringList{"Attempting to start server program...",
                                          "Attempting to run the FTP script...",
                                          "Waiting for the main server program to initialize..."}));
    // About 22 seconds for the server to come up and the removal step's 3.
    EXPECT_GE(t.clock->waited(), 25000);
    EXPECT_LT(t.clock->waited(), 26000);
    EXPECT_TRUE(t.boxes->shown().empty());
}

TEST_F(ServerStartE2E, NoRememberedUserLeavesTheBoxEmpty) {
    ctx.services.ftp = std::make_unique<RecordingRunner>();
    ctx.connection.gHostAddress = "host";
    answer("QPGMR", "SECRET");
    ASSERT_TRUE(startServer());
    EXPECT_EQ(view.serverStartUsers, QStringList{""});
}

TEST_F(ServerStartE2E, StartsTheListenerThroughTheHostsFtpServer) {
    startHost();
    ASSERT_FALSE(listenerUp());
    answer("qpgmr", "secret");
    ASSERT_TRUE(startServer());
    EXPECT_EQ(ftpLog(), (QStringList{"USER QPGMR", "PASS ****", "rcmd SPWLB/STRSPWRT", "QUIT"}));
    EXPECT_TRUE(host->ftp().host().serverActive);
    EXPECT_TRUE(listenerUp());
    EXPECT_TRUE(t.boxes->shown().empty());
    // The script held the password in plain text: no file anywhere under the
    // test's folders holds it.
    for (QDirIterator it(t.dir.path(), QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
        QFile f(it.next());
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_FALSE(f.readAll().contains("SECRET")) << f.fileName().toStdString();
    }
}

TEST_F(ServerStartE2E, ConnectToHostStartsTheServerAndSignsOn) {
    startHost();
    ctx.services.saveSetting("Save Path", t.dir.path() + "/save/");
    answer("QPGMR", "SECRET");
    view.signOnAnswers.push_back({"QPGMR", "SECRET"});
    t.boxes->expect("Please note:  The Spoolwright server program on the iSeries may not be active.", vbYes);
    ASSERT_TRUE(ConnectToHost(ctx.link, ctx.services, ctx.connection, view));
    EXPECT_TRUE(t.boxes->done());
    EXPECT_EQ(view.serverStartUsers.size(), 1);
    EXPECT_TRUE(ftpLog().contains("rcmd SPWLB/STRSPWRT"));
    EXPECT_EQ(view.connectionLine, QStringLiteral("Connected to %1, Job:SWR17851").arg(host->address()));
}

TEST_F(ServerStartE2E, HostThatDoesNotStartTheServerIsAFailureWithItsReply) {
    struct Case {
        const char* name;
        bool ftp, freshHost;
        QString password;
        QStringList messageParts;
    };
    const std::vector<Case> cases = {
        {"wrong password", true, false, "wrong",
         {"The FTP server on", "refused the logon of user QPGMR", "530 Log on attempt by user QPGMR rejected."}},
        {"no server library", true, true, "SECRET",
         {"(quote rcmd SPWLB/STRSPWRT)", "550", "CPD0030 Command STRSPWRT in library SPWLB not found."}},
        {"no FTP server", false, false, "SECRET", {"Could not reach the FTP server on"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        startHost(c.ftp, c.freshHost);
        answer("QPGMR", c.password);
        t.boxes->expect(c.messageParts.front());
        EXPECT_FALSE(startServer());
        ASSERT_TRUE(t.boxes->done());
        const auto& box = t.boxes->shown().back();
        for (const QString& part : c.messageParts) EXPECT_TRUE(box.text.contains(part)) << box.text.toStdString();
        EXPECT_EQ(box.icon, MsgIcon::Critical);
        EXPECT_EQ(box.title, "Tolvane");
        EXPECT_FALSE(listenerUp());
        host.reset();
    }
}

TEST_F(ServerStartE2E, ControlCharactersAreRefusedBeforeAnythingIsSent) {
    struct Case {
        const char* name;
        QString hostSuffix, user, password, what;
    };
    const std::vector<Case> cases = {
        {"LF in password", "", "QPGMR", "SECRET\nRCMD DLTLIB SPWLB", "password"},
        {"CR in user", "", "QP\rGMR", "SECRET", "user ID"},
        {"tab in password", "", "QPGMR", "SEC\tRET", "password"},
        {"DEL in password", "", "QPGMR", QString("SEC") + QChar(0x7f), "password"},
        {"C1 control in user", "", QString("QP") + QChar(0x85) + "GMR", "SECRET", "user ID"},
        {"LF in host", "\nRCMD DLTLIB SPWLB", "QPGMR", "SECRET", "host address"},
    };
    startHost();
    auto runner = std::make_unique<RecordingRunner>();
    RecordingRunner& rec = *runner;
    ctx.services.ftp = std::move(runner);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ctx.connection.gHostAddress = host->address() + c.hostSuffix;
        answer(c.user, c.password);
        t.boxes->expect(QStringLiteral("The %1 contains a control character and cannot be sent to the iSeries FTP server.")
                            .arg(c.what));
        EXPECT_FALSE(startServer());
        EXPECT_TRUE(t.boxes->done());
    }
    answer("QPGMR", "SECRET");
    t.boxes->expect("is not valid for FTP.");
    ctx.connection.gHostAddress = host->address() + " 2121";
    EXPECT_FALSE(startServer());
    EXPECT_TRUE(rec.scripts.empty());
    EXPECT_TRUE(ftpLog().isEmpty());
}

TEST_F(ServerStartE2E, CancelInTheDialogEndsTheProgramAndSendsNothing) {
    startHost();
    view.serverStartAnswers.push_back(std::nullopt);
    try {
        startServer();
        ADD_FAILURE() << "the program went on";
    } catch (const ProgramEnd& e) {
        EXPECT_EQ(e.exitStatus, kExitSignOnCancelled);
    }
    EXPECT_TRUE(ftpLog().isEmpty());
}
