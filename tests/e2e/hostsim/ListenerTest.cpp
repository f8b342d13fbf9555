#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "HostSimFixture.h"
#include "SignOnScramble.h"
#include "TcpHostSocket.h"
#include "CoreTestSupport.h"

namespace {
std::string pad(const std::string& s, size_t n) {
    std::string f = s.substr(0, n);
    f.resize(n, ' ');
    return f;
}
const std::string kTest = std::string(1020, ' ') + "test";
const std::string kAck = std::string(1020, ' ') + "(ok)";
const std::string kJobTest = std::string(120, ' ') + "test";

std::string signOn(const std::string& user, const std::string& password) {
    return pad("new 128        " + SignOnScramble::scrambledField(user, 10) +
                   SignOnScramble::scrambledField(password, 128),
               1024);
}

// A bare client on the wire, waiting through the test's clock.
struct WireClient {
    WireClient(Clock& clock, const QString& host, int port) : clock(clock) {
        sock.remoteHost = host;
        sock.remotePort = port;
        sock.connectToHost();
        clock.waitUntil([&] { return sock.state() == HostSocket::Connected || sock.state() == HostSocket::Error; },
                        5000);
    }
    bool connected() const { return sock.state() == HostSocket::Connected; }
    void send(const std::string& bytes) { sock.sendData(bytes); }
    // The next n bytes, or what came within the limit.
    std::string read(qsizetype n, qint64 limitMs = 60000) {
        clock.waitUntil([&] { return sock.bytesAvailable() >= n; }, limitMs);
        return sock.getData(n);
    }
    Clock& clock;
    TcpHostSocket sock;
};

class ListenerTest : public ::testing::Test {
protected:
    HostSimFixture& host(HostSimFaults faults = {}, bool anyUser = false) {
        host_ = std::make_unique<HostSimFixture>(
            HostSimFixtureOptions{.faults = faults, .clock = t.clock, .acceptAnyUser = anyUser});
        return *host_;
    }
    std::string signOnReply(const std::string& message) {
        WireClient c(*t.clock, host_->address(), 17850);
        EXPECT_TRUE(c.connected());
        c.send(kTest);
        c.send(kTest);
        c.send(message);
        return c.read(1024);
    }

    CoreTestContext t;
    std::unique_ptr<HostSimFixture> host_;
};

TEST_F(ListenerTest, SignOnHandsOutAJobPortThatServesTheSignedOnUser) {
    host();
    std::string reply;
    {
        WireClient c(*t.clock, host_->address(), 17850);
        ASSERT_TRUE(c.connected());
        c.send(kTest);
        c.send(kTest);
        c.send(signOn("SWUSER", "SWPASS"));
        reply = c.read(1024);
        c.send(kAck);
        t.clock->waitUntil([&] { return host_->listenerFrames().size() == 4; }, 5000);
    }
    EXPECT_EQ(reply, pad("17851 E", 1024));
    EXPECT_EQ(host_->listenerFrames(),
              std::vector<std::string>({kTest, kTest, signOn("SWUSER", "SWPASS"), kAck}));

    WireClient job(*t.clock, host_->address(), 17851);
    ASSERT_TRUE(job.connected());
    job.send(kJobTest);
    job.send(pad("QPRINT    FQGPL      *CURRENT", 124));
    const std::string list = job.read(1024);
    EXPECT_EQ(list.substr(0, 10), "INVOICE   ");
    EXPECT_EQ(list.substr(97, 10), "STATEMENT ");
    EXPECT_EQ(list.substr(194, 97), std::string(97, ' '));
    EXPECT_EQ(list.substr(1000), pad("(END)", 24));
    EXPECT_EQ(host_->jobFrames(), std::vector<std::string>({kJobTest, pad("QPRINT    FQGPL      *CURRENT", 124)}));

    // The job ends with its client: the port closes.
    job.sock.close();
    EXPECT_TRUE(t.clock->waitUntil([&] { return host_->sim().jobPorts().empty(); }, 5000));
}

TEST_F(ListenerTest, SignOnIsRefusedWithInvalid) {
    struct Case {
        const char* name;
        std::string message;
        bool refuseKnob;
    };
    const Case cases[] = {
        {"wrong password", signOn("SWUSER", "swpass"), false},
        {"wrong user", signOn("QPGMR", "SWPASS"), false},
        {"plain credentials", pad("new 128        SWUSER    SWPASS", 1024), false},
        {"knob", signOn("SWUSER", "SWPASS"), true},
    };
    for (const Case& c : cases) {
        HostSimFaults f;
        f.refuseSignOn = c.refuseKnob;
        host(f);
        EXPECT_EQ(signOnReply(c.message), pad("(INVALID)", 1024)) << c.name;
        EXPECT_TRUE(host_->sim().jobPorts().empty()) << c.name;
    }
}

TEST_F(ListenerTest, AnyUserSignsOnAsItself) {
    host({}, true);
    EXPECT_EQ(signOnReply(signOn("PAYADMIN", "whatever")).substr(0, 7), "17851 E");
    WireClient job(*t.clock, host_->address(), 17851);
    job.send(pad("*ALL      F*ALL      *CURRENT", 124));
    const std::string list = job.read(1024);
    EXPECT_EQ(list.substr(0, 10), "PAYREG    ");
    EXPECT_EQ(list.substr(97, 97), std::string(97, ' '));
}

TEST_F(ListenerTest, SignOnReplyKnobs) {
    struct Case {
        const char* name;
        std::optional<int> port;
        char letter;
        std::string expected;
    };
    const Case cases[] = {
        {"version letter", std::nullopt, 'e', "17851 e"},
        {"port above the range", 18051, 'E', "18051 E"},
        {"short number", 5, 'E', "5     E"},
    };
    for (const Case& c : cases) {
        HostSimFaults f;
        f.jobPortReply = c.port;
        f.versionLetter = c.letter;
        host(f);
        EXPECT_EQ(signOnReply(signOn("SWUSER", "SWPASS")), pad(c.expected, 1024)) << c.name;
    }
}

TEST_F(ListenerTest, SilentSignOnAndDelayedReplyFollowTheClock) {
    HostSimFaults f;
    f.silentSignOn = true;
    host(f);
    EXPECT_EQ(signOnReply(signOn("SWUSER", "SWPASS")), "");  // nothing within the read limit

    f = {};
    f.replyDelayMs = 30000;
    host(f);
    const qint64 before = t.clock->nowMs();
    EXPECT_EQ(signOnReply(signOn("SWUSER", "SWPASS")).substr(0, 7), "17851 E");
    EXPECT_GE(t.clock->nowMs() - before, 30000);
}

TEST_F(ListenerTest, LateJobPortListensOnlyAfterItsDelay) {
    HostSimFaults f;
    f.lateJobPortMs = 20000;
    host(f);
    const qint64 replied = t.clock->nowMs();
    ASSERT_EQ(signOnReply(signOn("SWUSER", "SWPASS")).substr(0, 7), "17851 E");
    {
        WireClient early(*t.clock, host_->address(), 17851);
        EXPECT_FALSE(early.connected());
    }
    t.clock->waitUntil([&] { return !host_->sim().jobPorts().empty(); }, 60000);
    EXPECT_GE(t.clock->nowMs() - replied, 20000);
    WireClient late(*t.clock, host_->address(), 17851);
    EXPECT_TRUE(late.connected());
}

TEST_F(ListenerTest, FrameLogFileHoldsEveryFrameByteForByte) {
    QTemporaryDir dir;
    const QString logPath = dir.filePath("frames.log");
    HostSimOptions o;
    o.address = uniqueLoopbackAddress();
    o.spoolRoot = HostSimFixture::samples();
    o.frameLogFile = logPath;
    HostSim sim(o);
    sim.setClock(t.clock);
    ASSERT_TRUE(sim.start());
    const quint16 port = sim.openJobPort();
    {
        WireClient c(*t.clock, o.address, 17850);
        c.send(kTest);
        t.clock->waitUntil([&] { return sim.frameLog().size() == 1; }, 5000);
    }
    {
        WireClient c(*t.clock, o.address, port);
        c.send(pad("*ALL      QQGPL", 124));
        c.read(1024);
        c.send("half a frame");
        t.clock->waitMs(200);
    }
    t.clock->waitUntil([&] { return sim.frameLog().size() == 3; }, 5000);
    QFile f(logPath);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const std::string expected = "listener 17850 #1 1024\n" + kTest + "\n" + "job " + std::to_string(port) +
                                 " #2 124\n" + pad("*ALL      QQGPL", 124) + "\n" + "job " + std::to_string(port) +
                                 " #2 12 partial\nhalf a frame\n";
    EXPECT_EQ(f.readAll().toStdString(), expected);
    const auto entries = sim.frameLog().entries();
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_TRUE(entries[2].partial);
    EXPECT_EQ(entries[2].bytes, "half a frame");
}

TEST(HostSimProgram, HelpDocumentsTheOptionsAndListShowsTheSpool) {
    const QString program = QStringLiteral(SW_BINARY_DIR "/hostsim");
    QProcess p;
    p.start(program, {"--help"});
    ASSERT_TRUE(p.waitForFinished(10000));
    EXPECT_EQ(p.exitCode(), 0);
    const QString help = QString::fromLocal8Bit(p.readAllStandardOutput());
    for (const char* option : {"--address", "--spool", "--user", "--password", "--open-job-port", "--frame-log",
                               "--refuse-signon", "--bad-job-port", "--version-letter", "--late-job-port", "--delay",
                               "--split", "--silent-after", "--drop-after", "--endless-more", "--width-code",
                               "--invalid-after", "--silent-signon", "--split-gap", "--drop-partial", "--any-user",
                               "--no-listener", "--ftp", "[records]", "(MORE)"})
        EXPECT_TRUE(help.contains(QLatin1String(option))) << option;

    p.start(program, {"--list", "--spool", HostSimFixture::samples()});
    ASSERT_TRUE(p.waitForFinished(10000));
    const QString list = QString::fromLocal8Bit(p.readAllStandardOutput());
    EXPECT_TRUE(list.contains("QGPL/QPRINT")) << qPrintable(list);
    EXPECT_TRUE(list.contains("PAYREG")) << qPrintable(list);

    for (const QStringList& bad : {QStringList{"--no-such-option"}, QStringList{"--split", "zero"},
                                   QStringList{"--job-ports", "18000-17900"}}) {
        p.start(program, bad);
        ASSERT_TRUE(p.waitForFinished(10000));
        EXPECT_EQ(p.exitCode(), 2) << qPrintable(bad.join(' '));
        EXPECT_FALSE(p.readAllStandardError().isEmpty());
    }
}
}  // namespace
