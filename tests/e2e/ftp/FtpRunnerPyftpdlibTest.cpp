// The FTP script runner against a real FTP server: Debian's pyftpdlib.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTcpSocket>
#include <QTemporaryDir>

#include "Clock.h"
#include "FtpClientRunner.h"
#include "TestSupport.h"

namespace {
// Debian's own interpreter, which has the python3-pyftpdlib package.
constexpr auto kPython = "/usr/bin/python3";
constexpr quint16 kPort = 2121;

class PyFtpd : public ::testing::Test {
protected:
    void SetUp() override {
        ensureApplication();
        ASSERT_TRUE(root.isValid() && local.isValid());
        addr = uniqueLoopbackAddress(kPort);
        server.setProcessChannelMode(QProcess::MergedChannels);
        server.start(QString::fromLatin1(kPython),
                     {"-m", "pyftpdlib", "-i", addr, "-p", QString::number(kPort), "-w", "-d", root.path(), "-u",
                      "swuser", "-P", "swpass"});
        ASSERT_TRUE(server.waitForStarted(10000)) << "cannot start " << kPython;
        // Ready once it accepts a connection; bounded.
        bool up = false;
        for (int i = 0; i < 100 && !up; ++i) {
            QTcpSocket probe;
            probe.connectToHost(addr, kPort);
            up = probe.waitForConnected(100);
            if (!up) clock.waitMs(100);
            ASSERT_NE(server.state(), QProcess::NotRunning)
                << "pyftpdlib ended (is python3-pyftpdlib installed?): " << server.readAll().toStdString();
        }
        ASSERT_TRUE(up) << server.readAll().toStdString();
        runner.localDir = local.path();
    }
    void TearDown() override {
        server.kill();
        server.waitForFinished(5000);
    }
    std::string logon(const char* password = "swpass") {
        return "open " + addr.toStdString() + " " + std::to_string(kPort) + "\r\nswuser\r\n" + password + "\r\n";
    }

    RealClock clock;
    QTemporaryDir root, local;
    QProcess server;
    QString addr;
    FtpClientRunner runner;
};

TEST_F(PyFtpd, BinaryPutArrivesByteForByteInBothModes) {
    std::string bytes;
    for (int round = 0; round < 4096; ++round)
        for (int i = 0; i < 256; ++i) bytes += static_cast<char>((i * 7 + round) & 255);
    bytes += "\r\n\n\r";
    QFile f(QDir(local.path()).filePath("spwsvv4.sav"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes.data(), static_cast<qint64>(bytes.size()));
    f.close();

    for (bool passive : {true, false}) {
        SCOPED_TRACE(passive ? "passive" : "active");
        runner.passive = passive;
        const std::string remote = passive ? "passive.savf" : "active.savf";
        const FtpRunResult r = runner.run(logon() + "binary\r\nput spwsvv4.sav " + remote + "\r\nquit\r\nbye\r\n", clock);
        ASSERT_TRUE(r.ok()) << r.description.toStdString() << "\n" << r.transcript.join('\n').toStdString();
        QFile got(QDir(root.path()).filePath(QString::fromStdString(remote)));
        ASSERT_TRUE(got.open(QIODevice::ReadOnly));
        EXPECT_TRUE(got.readAll().toStdString() == bytes);
        EXPECT_FALSE(r.transcript.join('\n').contains("swpass"));
        EXPECT_FALSE(r.transcript.filter(passive ? "> PASV" : "> PORT").isEmpty());
    }
}

TEST_F(PyFtpd, QuotedCommandsReachTheServerAndTakeEffect) {
    const FtpRunResult r = runner.run(logon() + "quote MKD quoted\r\nquote NOOP\r\nquit\r\nbye\r\n", clock);
    ASSERT_TRUE(r.ok()) << r.description.toStdString() << "\n" << r.transcript.join('\n').toStdString();
    EXPECT_TRUE(QDir(QDir(root.path()).filePath("quoted")).exists());
    EXPECT_FALSE(r.transcript.filter("> MKD quoted").isEmpty()) << r.transcript.join('\n').toStdString();
    EXPECT_FALSE(r.transcript.filter("> NOOP").isEmpty());
}

TEST_F(PyFtpd, RemoteCommandUnknownToTheServerIsAFailure) {
    const FtpRunResult r = runner.run(logon() + "quote rcmd SPWLB/STRSPWRT\r\nquit\r\nbye\r\n", clock);
    EXPECT_EQ(r.status, FtpRunStatus::CommandRefused);
    EXPECT_NE(r.code(), 0);
    EXPECT_EQ(r.failedLine, "quote rcmd SPWLB/STRSPWRT");
    EXPECT_TRUE(r.serverReply.startsWith("500")) << r.serverReply.toStdString();
    // The logon itself was accepted.
    ASSERT_GE(r.commands.size(), 3u);
    EXPECT_EQ(r.commands[2].replyCode, 230);
}

TEST_F(PyFtpd, RefusedLogonIsAFailure) {
    const FtpRunResult r = runner.run(logon("wrong") + "binary\r\nquit\r\n", clock);
    EXPECT_EQ(r.status, FtpRunStatus::LogonRefused);
    EXPECT_TRUE(r.serverReply.startsWith("530")) << r.serverReply.toStdString();
    // Nothing after the refusal was sent.
    EXPECT_TRUE(r.transcript.filter("TYPE").isEmpty());
}
}  // namespace
