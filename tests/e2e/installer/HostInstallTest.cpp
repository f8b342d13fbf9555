// Hostprep's install against hostsim's FTP server, driven through its window
// as a security officer would: Install, the sign-on dialog, the messages.
#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTcpSocket>

#include "ConnectionWindows.h"
#include "FtpServer.h"
#include "HookPresenter.h"
#include "HostInstall.h"
#include "HostSimFixture.h"
#include "HostprepTestSupport.h"
#include "TestSupport.h"
#include "frmMain.h"
#include "installer/frmMain.h"

namespace {
struct HostInstallE2E : ::testing::Test {
    std::unique_ptr<HostprepTest> t = std::make_unique<HostprepTest>();
    std::unique_ptr<HostSimFixture> host;

    // A host before the install: no server library, the spool listener down,
    // QSECOFR / SECRET may use FTP and SWUSER / SWPASS may sign on to the
    // spool server once it runs.
    void startHost(bool fresh = true) {
        host = std::make_unique<HostSimFixture>(HostSimFixtureOptions{
            .clock = t->clock, .listener = false, .ftp = true, .ftpFreshHost = fresh});
        host->ftp().addUser("QSECOFR", "SECRET");
    }
    FtpHostState& hostObjects() { return host->ftp().host(); }

    // Enters the address, presses Install and answers the confirmation; the
    // completion message is expected to contain `messagePart`. Returns the
    // exit status the installer ended with.
    int install(const QString& address, const QString& user, const QString& password, const QString& messagePart,
                bool byName = false) {
        // The runner goes to the test server's FTP port when the script names none.
        if (host) t->runner->port = host->ftpPort();
        hostprep::frmMain& w = t->ctx.mainWindow();
        (byName ? w.txtHostName : w.txtIPAddress)->setText(address);
        t->answerSignOn(user, password);
        t->boxes->expect("The FTP (File Transfer Protocol) job will now run the FTP script.", vbOK);
        t->boxes->expect(messagePart);
        w.Command2->click();
        EXPECT_TRUE(t->boxes->done());
        EXPECT_TRUE(t->ctx.programEnded.has_value()) << "the installer went on";
        return t->ctx.programEnded ? t->ctx.programEnded->exitStatus : -1;
    }
    QString completion() const { return t->boxes->shown().back().text; }
    bool listenerUp() {
        QTcpSocket probe;
        probe.connectToHost(host->address(), 17850);
        t->clock->waitUntil([&] { return probe.state() == QAbstractSocket::ConnectedState ||
                                         probe.state() == QAbstractSocket::UnconnectedState; },
                            5000);
        return probe.state() == QAbstractSocket::ConnectedState;
    }
    // No file under the test's folders holds the password.
    void expectPasswordNowhere(const QByteArray& password) {
        for (QDirIterator it(t->dir.path(), QDir::Files, QDirIterator::Subdirectories); it.hasNext();) {
            QFile f(it.next());
            ASSERT_TRUE(f.open(QIODevice::ReadOnly));
            EXPECT_FALSE(f.readAll().contains(password)) << f.fileName().toStdString();
        }
    }
};
}  // namespace

TEST_F(HostInstallE2E, FirstInstallRestoresAndStartsTheServerSoThatSwdeskCanSignOn) {
    startHost();
    ASSERT_FALSE(listenerUp());
    EXPECT_EQ(install(host->address(), "qsecofr ", " secret", "iSeries install is complete"), hostprep::kExitOk);
    const std::string bytes = HostprepTest::saveFileBytes();
    ASSERT_GT(bytes.size(), 1000u);
    EXPECT_TRUE(hostObjects().saveFiles.at("QGPL/SPWSV") == bytes);
    EXPECT_TRUE(hostObjects().restoredFrom.at("SPWLB") == bytes);
    EXPECT_TRUE(hostObjects().userProfiles.count("SPWRTER"));
    EXPECT_TRUE(hostObjects().messageQueues.count("QUSRSYS/SPWRTER"));
    EXPECT_TRUE(hostObjects().serverActive);
    EXPECT_EQ(t->url(), host->address());
    EXPECT_EQ(t->boxes->shown().back().title, "Tolvane");
    EXPECT_EQ(host->ftp().commandLog().first(), "USER QSECOFR");
    expectPasswordNowhere("SECRET");
    // No script file beside the program either.
    EXPECT_FALSE(QFileInfo::exists(QDir(t->paths->appPath()).filePath("u110149.dat")));

    // Swdesk signs on to the server the install started.
    ASSERT_TRUE(listenerUp());
    TestContext client;
    HookPresenter& presenter = installHookPresenter(client.ctx);
    client.ctx.services.saveSetting("URL", host->address());
    client.ctx.services.saveSetting("Save Path", client.dir.path() + "/save/");
    answerSignOn(presenter, "SWUSER", "SWPASS");
    ASSERT_TRUE(ConnectToHost(client.ctx));
    EXPECT_EQ(client.ctx.mainWindow().lblStatus->text(),
              QStringLiteral("Connected to %1, Job:SWR17851").arg(host->address()));
}

TEST_F(HostInstallE2E, ReinstallOverAnInstalledHostSucceeds) {
    startHost();
    ASSERT_EQ(install(host->address(), "QSECOFR", "SECRET", "iSeries install is complete"), hostprep::kExitOk);
    ASSERT_TRUE(listenerUp());
    host->ftp().clearLog();

    // The next start of the installer, by host name with the FTP port this time.
    t = std::make_unique<HostprepTest>();
    const QString withPort = QStringLiteral("%1:%2").arg(host->address()).arg(host->ftpPort());
    EXPECT_EQ(install(withPort, "QSECOFR", "SECRET", "iSeries install is complete", true),
              hostprep::kExitOk)
        << completion().toStdString();
    const QStringList log = host->ftp().commandLog();
    // The old save file was replaced, the running server ended and started again.
    EXPECT_TRUE(log.contains("rcmd DLTF FILE(QGPL/SPWSV)"));
    EXPECT_TRUE(log.contains("rcmd SPWLB/ENDSPWRT"));
    EXPECT_TRUE(hostObjects().serverActive);
    EXPECT_TRUE(listenerUp());
    EXPECT_EQ(t->url(), withPort);
}

TEST_F(HostInstallE2E, FailureNamesTheStepAndTheReplyAndStoresNoUrl) {
    struct Case {
        const char* name;
        QString password;
        bool restoreFails;
        QStringList messageParts;
    };
    const std::vector<Case> cases = {
        {"wrong password", "WRONG", false,
         {"signing on failed", "530 Log on attempt by user QSECOFR rejected.", "the password is sent in capitals"}},
        {"restore fails", "SECRET", true,
         {"restoring library SPWLB failed", "CPF3743 File cannot be restored, displayed, or listed."}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        t = std::make_unique<HostprepTest>();
        startHost();
        hostObjects().restoreFails = c.restoreFails;
        EXPECT_EQ(install(host->address(), "QSECOFR", c.password, c.messageParts.front()), hostprep::kExitInstallFailed);
        for (const QString& part : c.messageParts) EXPECT_TRUE(completion().contains(part)) << completion().toStdString();
        EXPECT_FALSE(completion().contains(c.password)) << completion().toStdString();
        EXPECT_EQ(t->boxes->shown().back().icon, MsgIcon::Critical);
        EXPECT_EQ(t->url(), "None");
        EXPECT_FALSE(hostObjects().libraries.count("SPWLB"));
        EXPECT_FALSE(listenerUp());
        host.reset();
    }
}

// A restore that fails, refused or never answered, ends the install there:
// no profile, message queue or server start is tried on a host without the
// library, and the message says what was done and what failed.
TEST_F(HostInstallE2E, AFailedRestoreStopsTheInstallAtThatStep) {
    for (const bool answers : {true, false}) {
        SCOPED_TRACE(answers ? "the restore refused" : "the host stops answering at the restore");
        t = std::make_unique<HostprepTest>();
        startHost();
        hostObjects().restoreFails = answers;
        if (!answers)
            host->ftp().onLog = [this](const QString& line) {
                if (line.startsWith(QLatin1String("rcmd RSTLIB "))) host->ftp().silent = true;
            };
        EXPECT_EQ(install(host->address(), "QSECOFR", "SECRET", "restoring library SPWLB failed"),
                  hostprep::kExitInstallFailed);
        const QStringList log = host->ftp().commandLog();
        const qsizetype restore = log.indexOf(QRegularExpression(QStringLiteral("rcmd RSTLIB .*")));
        ASSERT_GE(restore, 0) << log.join(" | ").toStdString();
        EXPECT_TRUE(log.mid(restore + 1).filter(QRegularExpression(QStringLiteral("^(?!QUIT$)"))).isEmpty())
            << "nothing after the failed step but the goodbye: " << log.join(" | ").toStdString();
        EXPECT_FALSE(hostObjects().userProfiles.count("SPWRTER"));
        EXPECT_FALSE(hostObjects().messageQueues.count("QUSRSYS/SPWRTER"));
        EXPECT_FALSE(hostObjects().serverActive);
        EXPECT_TRUE(completion().contains(
            "Done before it: connecting to the FTP server, signing on, sending the save file spwsvv4.sav."))
            << completion().toStdString();
        EXPECT_TRUE(completion().contains("Nothing after it was run on the iSeries.")) << completion().toStdString();
        EXPECT_EQ(t->ctx.mainWindow().lblInfo->text(), "Install failed: restoring library SPWLB.");
        EXPECT_EQ(t->url(), "None");
        host.reset();
    }
}

TEST_F(HostInstallE2E, HostThatDoesNotAnswerEndsWithinTheLimitWithAMessage) {
    struct Case {
        const char* name;
        bool listening;
    };
    for (const Case c : {Case{"FTP server silent", true}, Case{"nothing listens", false}}) {
        SCOPED_TRACE(c.name);
        t = std::make_unique<HostprepTest>();
        QString address = uniqueLoopbackAddress(21);  // nothing listens on its port 21
        if (c.listening) {
            startHost();
            host->ftp().silent = true;
            address = host->address();
        }
        const qint64 before = t->clock->nowMs();
        EXPECT_EQ(install(address, "QSECOFR", "SECRET", "connecting to the FTP server failed"),
                  hostprep::kExitInstallFailed);
        EXPECT_TRUE(completion().contains("STRTCPSVR")) << completion().toStdString();
        EXPECT_LE(t->clock->nowMs() - before, t->runner->connectLimitMs + t->runner->replyLimitMs);
        EXPECT_EQ(t->url(), "None");
        host.reset();
    }
}
