#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <functional>
#include <unistd.h>

#include "Codec.h"
#include "Connect.h"
#include "CoreTestSupport.h"
#include "HostLink.h"
#include "HostSimFixture.h"
#include "IniSettingsStore.h"
#include "RecordingConnectView.h"
#include "SignOn.h"
#include "TcpHostSocket.h"

namespace {
std::string pad(const std::string& s, size_t n) { return HostWire::field(s, n); }

// Virtual time that also notes every wait with the status text showing when
// it began and the time it took, so that a test can read the retry ladder back.
class LadderClock : public VirtualClock {
public:
    struct Wait {
        qint64 limitMs;
        QString panel;
        qint64 spentMs;
    };
    std::function<QString()> panel;
    std::vector<Wait> waits;
    bool waitUntil(const std::function<bool()>& cond, qint64 limitMs) override {
        const QString p = panel ? panel() : QString();
        const qint64 start = nowMs();
        const bool held = VirtualClock::waitUntil(cond, limitMs);
        waits.push_back({limitMs, p, nowMs() - start});
        return held;
    }
    int count(qint64 limitMs, const QString& panelText) const {
        int n = 0;
        for (const Wait& w : waits) n += (w.limitMs == limitMs && w.panel == panelText) ? 1 : 0;
        return n;
    }
    qint64 spent(const QString& panelText) const {
        qint64 ms = 0;
        for (const Wait& w : waits) ms += w.panel == panelText ? w.spentMs : 0;
        return ms;
    }
};

// Message boxes that also note the status text showing when each came up.
class PanelBoxes : public ScriptedMessageBoxes {
public:
    std::function<QString()> panel;
    QStringList panels;
    int show(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title, int defaultButton) override {
        panels << (panel ? panel() : QString());
        return ScriptedMessageBoxes::show(text, buttons, icon, title, defaultButton);
    }
};

// Notes the port of every connect.
class CountingSocket : public TcpHostSocket {
public:
    explicit CountingSocket(std::function<void(int)> onConnect) : onConnect_(std::move(onConnect)) {}
    void connectToHost() override {
        onConnect_(remotePort);
        TcpHostSocket::connectToHost();
    }

private:
    std::function<void(int)> onConnect_;
};

const std::string kTestMessage = std::string(1020, ' ') + "test";
const std::string kAck = std::string(1020, ' ') + "(ok)";
const std::string kJobTest = std::string(120, ' ') + "test";

struct ClientRun {
    CoreTestContext t;
    RunContext& ctx = t.ctx;
    RecordingConnectView view{ctx.connection};
    LadderClock* clock = nullptr;
    PanelBoxes* boxes = nullptr;
    struct Connect {
        int port;
        QString panel;
    };
    std::vector<Connect> connects;

    ClientRun() {
        auto c = std::make_unique<LadderClock>();
        clock = c.get();
        ctx.services.clock = std::move(c);
        t.clock = clock;
        auto b = std::make_unique<PanelBoxes>();
        boxes = b.get();
        ctx.services.msg = std::move(b);
        t.boxes = boxes;
        clock->panel = [this] { return view.lastStatus(); };
        boxes->panel = clock->panel;
        ctx.services.makeSocket = [this] {
            return std::make_unique<CountingSocket>([this](int port) { connects.push_back({port, view.lastStatus()}); });
        };
        ctx.services.saveSetting("Save Path", t.dir.path() + "/save/");
    }
    // Remembered values in an INI file of that folder, as a real run keeps them.
    void useSettingsFolder(const QString& folder) {
        ctx.services.settings = std::make_unique<IniSettingsStore>(folder);
        ctx.services.saveSetting("Save Path", t.dir.path() + "/save/");
    }
    Outcome connect() { return ConnectToHost(ctx.link, ctx.services, ctx.connection, view); }
    bool notConnected() const { return ctx.link.socketIfOpen() == nullptr; }
    int connectsTo(int port) const {
        return static_cast<int>(std::count_if(connects.begin(), connects.end(), [&](const Connect& c) { return c.port == port; }));
    }
    int connectsTo(int port, const QString& panel) const {
        return static_cast<int>(std::count_if(connects.begin(), connects.end(),
                                              [&](const Connect& c) { return c.port == port && c.panel == panel; }));
    }
    // ConnectToHost that is expected to end the program.
    int expectEnd() {
        try {
            connect();
        } catch (const ProgramEnd& e) {
            return e.exitStatus;
        }
        ADD_FAILURE() << "the program went on";
        return 0;
    }
};

struct ConnectE2E : ::testing::Test {
    ClientRun r;
    std::unique_ptr<HostSimFixture> host;
    // The host measures its delays on the clock of the run that talks to it.
    void startHost(HostSimFaults faults = {}, QString password = QStringLiteral("SWPASS"), ClientRun* run = nullptr) {
        if (!run) run = &r;
        host = std::make_unique<HostSimFixture>(
            HostSimFixtureOptions{.faults = faults, .clock = run->clock, .password = password});
        run->ctx.services.saveSetting("URL", host->address());
    }
    std::vector<std::string> signOns() const {
        std::vector<std::string> out;
        for (const std::string& f : host->listenerFrames())
            if (f.compare(0, 7, "new 128") == 0) out.push_back(f);
        return out;
    }
    void expectConnectedOn(ClientRun& run, int port) {
        EXPECT_EQ(run.view.connectionLine, QStringLiteral("Connected to %1, Job:SWR%2").arg(host->address()).arg(port));
        EXPECT_EQ(run.view.lastStatus(), "Please specify a user, an outq or both.  ");
        EXPECT_TRUE(run.view.controlsEnabled);
        EXPECT_EQ(run.ctx.connection.gJobPort, port);
    }
};
}  // namespace

TEST_F(ConnectE2E, GoodSignOnSendsExactlyTheHandshake) {
    startHost();
    // The dialog starts with the user of an earlier run and takes the password.
    r.ctx.services.saveSetting("User", "SWUSER");
    r.view.signOnAnswers.push_back({"SWUSER", "SWPASS"});
    ASSERT_TRUE(r.connect());

    // "SWUSER" and "SWPASS" scrambled by hand from the alphabet.
    const std::string user = "7$gRx*2#dW";
    const std::string password = SignOnScrambling::scrambleField(pad("SWPASS", 128));
    EXPECT_EQ(password.substr(0, 8), "7$O{8)2#");
    const std::string signOn = pad("new 128        " + user + password, 1024);
    EXPECT_EQ(host->listenerFrames(), (std::vector<std::string>{kTestMessage, kTestMessage, signOn, kAck}));
    EXPECT_EQ(host->jobFrames(), std::vector<std::string>{kJobTest});

    expectConnectedOn(r, 17851);
    EXPECT_EQ(r.view.signOnUsers, QStringList{"SWUSER"});
    EXPECT_EQ(r.view.openFocused, 1);
    EXPECT_EQ(r.t.setting("century"), "None");
    EXPECT_EQ(r.ctx.connection.gWorkDir, r.t.dir.path() + "/save/SWUSER");
    EXPECT_TRUE(QDir(r.ctx.connection.gWorkDir).exists());
    EXPECT_TRUE(r.boxes->shown().empty());
}

TEST_F(ConnectE2E, AWorkFolderThatIsNotTheUsersAloneIsRefused) {
    const QString work = r.t.dir.path() + "/save/SWUSER";
    const QString elsewhere = r.t.dir.path() + "/elsewhere";
    const auto all = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner | QFileDevice::ReadGroup |
                     QFileDevice::WriteGroup | QFileDevice::ExeGroup;
    const struct {
        const char* what;
        std::function<void()> plant;
    } cases[] = {
        {"open to all",
         [&] {
             QFile::setPermissions(work, all | QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther);
         }},
        {"writable by the group", [&] { QFile::setPermissions(work, all); }},
        // Only root can give a folder away.
        {"another user's", [&] {
             QFile::setPermissions(work, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
             EXPECT_EQ(::chown(QFile::encodeName(work).constData(), 65534, 65534), 0);
         }},
        {"a link to another folder", [&] {
             QDir().mkpath(elsewhere);
             QDir(work).removeRecursively();
             QFile::link(elsewhere, work);
         }},
    };
    startHost();
    rememberSignOn(r.ctx.services, "SWUSER", "SWPASS");
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        if (std::string(c.what) == "another user's" && ::geteuid() != 0) continue;
        QFile::remove(work);
        QDir().mkpath(work);
        c.plant();
        const QString planted = QFileInfo(work).canonicalFilePath() + "/planted.txt";
        QFile f(planted);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("SOMEONE ELSE'S\r\n");
        f.close();
        const auto mode = QFileInfo(work).permissions();
        r.boxes->expect("Directory " + work +
                        " not found.  Please specify a valid directory in the following screen and then restart the "
                        "Spoolwright.");
        EXPECT_NE(r.expectEnd(), 0);
        EXPECT_TRUE(r.ctx.connection.gWorkDir.isEmpty());
        // Nothing there is used, changed or cleared.
        EXPECT_EQ(r.ctx.connection.clearWorkDirectory(), 0);
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), QByteArray("SOMEONE ELSE'S\r\n"));
        f.close();
        EXPECT_EQ(QFileInfo(work).permissions(), mode);
    }
    EXPECT_TRUE(r.boxes->done());
}

TEST_F(ConnectE2E, TheHostJobIsReachedAsSoonAsItListens) {
    // The waits for the host's job end soon after the job port accepts, not
    // after the 6 + 3 seconds they allow; the connection that ended the wait is
    // the link. (The host notices virtual time a few quarter seconds late.)
    const QString waiting = QStringLiteral("Waiting for iSeries to start submitted job SW17851. (Waiting 6 seconds.)");
    for (const int lateMs : {0, 2000}) {
        ClientRun run;
        HostSimFaults f;
        f.lateJobPortMs = lateMs;
        startHost(f, QStringLiteral("SWPASS"), &run);
        run.ctx.services.saveSetting("Wait time", "6");
        rememberSignOn(run.ctx.services, "SWUSER", "SWPASS");
        ASSERT_TRUE(run.connect()) << lateMs;
        expectConnectedOn(run, 17851);
        EXPECT_GE(run.clock->waited(), lateMs) << lateMs;
        EXPECT_LT(run.clock->waited(), lateMs + 1000) << lateMs;
        EXPECT_EQ(run.clock->spent(waiting), run.clock->waited()) << lateMs;
        EXPECT_EQ(run.connectsTo(17851, "Attempting to connect to port 17851..."), 0) << lateMs;
        EXPECT_EQ(host->jobFrames(), std::vector<std::string>{kJobTest}) << lateMs;
        EXPECT_TRUE(run.view.signOnUsers.isEmpty());
        host.reset();
    }
}

TEST_F(ConnectE2E, SavedPasswordIsScrambledAndSignsOnAfterARestart) {
    // "0pen" scrambles to a form that begins with a blank.
    for (const QString& pw : {QStringLiteral("SWPASS"), QStringLiteral("0pen")}) {
        QTemporaryDir settings;
        ClientRun first;
        first.useSettingsFolder(settings.path());
        startHost({}, pw, &first);
        // The sign-on dialog remembers the user; "Save password" is ticked.
        first.ctx.services.saveSetting("User", "SWUSER");
        first.view.signOnAnswers.push_back({"SWUSER", pw});
        first.view.savePassword = true;
        ASSERT_TRUE(first.connect()) << pw.toStdString();
        const std::string scrambled = SignOnScrambling::scrambleField(pad(Codec::fromUnicode(pw), 128));
        EXPECT_EQ(first.t.setting("century"), Codec::toUnicode(scrambled));
        EXPECT_FALSE(first.t.setting("century").contains(pw));

        // The next start reads them back from the file.
        ClientRun second;
        second.useSettingsFolder(settings.path());
        ASSERT_TRUE(second.connect()) << pw.toStdString();
        EXPECT_TRUE(second.view.signOnUsers.isEmpty());
        const std::vector<std::string> s = signOns();
        ASSERT_EQ(s.size(), 2u);
        EXPECT_EQ(s[1], s[0]);
        host.reset();
    }
}

TEST_F(ConnectE2E, SecondConnectionOfTheRunAsksNoCredentials) {
    startHost();
    r.view.signOnAnswers.push_back({"SWUSER", "SWPASS"});
    ASSERT_TRUE(r.connect());
    Disconnect(r.ctx.link);
    r.ctx.connection.gJobPort = 0;
    EXPECT_TRUE(r.notConnected());
    ASSERT_TRUE(r.connect());
    expectConnectedOn(r, 17851);
    EXPECT_EQ(r.view.signOnUsers.size(), 1);
    const std::vector<std::string> s = signOns();
    ASSERT_EQ(s.size(), 2u);
    EXPECT_EQ(s[1], s[0]);
    EXPECT_EQ(host->jobFrames().size(), 2u);
}

TEST_F(ConnectE2E, RefusedSignOnForgetsTheCredentialsAndAsksAgain) {
    startHost();
    r.ctx.services.saveSetting("century", "stale");
    r.ctx.services.saveSetting("User", "SWUSER");
    r.view.signOnAnswers = {{"SWUSER", "WRONG"}, {"SWUSER", "SWPASS"}};
    r.boxes->expect("User ID validation failed. Note that unsuccessful signon attempts are counted - too many and you "
                    "can disable your user profile.",
                    vbOK);
    ASSERT_TRUE(r.connect());
    EXPECT_TRUE(r.boxes->done());
    EXPECT_EQ(r.boxes->shown()[0].buttons, MsgButtons::OKCancel);
    EXPECT_EQ(r.boxes->panels[0], "Getting response...");
    EXPECT_EQ(r.view.signOnUsers, (QStringList{"SWUSER", "SWUSER"}));
    EXPECT_EQ(r.t.setting("century"), "-None");
    EXPECT_EQ(r.t.setting("Auto connect"), "False");
    EXPECT_EQ(signOns().size(), 2u);
    expectConnectedOn(r, 17851);
}

TEST_F(ConnectE2E, RefusedSignOnCancelledEndsTheProgram) {
    HostSimFaults f;
    f.refuseSignOn = true;
    startHost(f);
    rememberSignOn(r.ctx.services, "SWUSER", "SWPASS");
    r.boxes->expect("User ID validation failed.", vbCancel);
    EXPECT_NE(r.expectEnd(), 0);
    EXPECT_EQ(r.ctx.connection.gUserId, std::string(10, ' '));
    EXPECT_EQ(r.ctx.connection.gPassword, std::string(128, ' '));
    EXPECT_EQ(r.t.setting("century"), "-None");
    EXPECT_TRUE(r.notConnected());
}

TEST_F(ConnectE2E, JobPortRange) {
    struct Case {
        int port;
        bool accepted;
    } cases[] = {{17850, false}, {18051, false}, {17851, true}, {18050, true}};
    for (const Case& c : cases) {
        ClientRun run;
        HostSimFaults f;
        f.jobPortReply = c.port;
        startHost(f, QStringLiteral("SWPASS"), &run);
        if (c.port == 18050) {
            ASSERT_EQ(host->openJobPort(18050), 18050);
        }
        rememberSignOn(run.ctx.services, "SWUSER", "SWPASS");
        if (c.accepted) {
            ASSERT_TRUE(run.connect()) << c.port;
            expectConnectedOn(run, c.port);
        } else {
            run.boxes->expect(QStringLiteral("Invalid socket number returned: %1.  Error number: 0 ").arg(c.port));
            EXPECT_EQ(run.expectEnd(), kExitConnectFailed) << c.port;
            EXPECT_TRUE(run.boxes->done()) << c.port;
            EXPECT_EQ(run.t.setting("Auto connect"), "False");
            EXPECT_TRUE(run.notConnected());
            // The acknowledgement is never sent for a refused reply.
            EXPECT_EQ(host->listenerFrames().size(), 3u);
        }
        host.reset();
    }
}

TEST_F(ConnectE2E, LowerCaseVersionLetterIsAMismatch) {
    HostSimFaults f;
    f.versionLetter = 'e';
    startHost(f);
    rememberSignOn(r.ctx.services, "SWUSER", "SWPASS");
    r.boxes->expect("Please note: There is a version mismatch between this program and the iSeries server program.  "
                    "Install the matching version of the iSeries portion of the Spoolwright.");
    EXPECT_EQ(r.expectEnd(), kExitConnectFailed);
    EXPECT_TRUE(r.boxes->done());
    EXPECT_TRUE(host->jobFrames().empty());
}

TEST_F(ConnectE2E, UnresolvableHostLeavesTheProgramRunning) {
    r.ctx.services.saveSetting("URL", "no-such-host.invalid");
    r.boxes->expect("Invalid socket state (4).  The specified host name 'no-such-host.invalid' may not be valid.");
    EXPECT_FALSE(r.connect());
    EXPECT_TRUE(r.boxes->done());
    EXPECT_EQ(r.boxes->shown()[0].icon, MsgIcon::Critical);
    EXPECT_TRUE(r.notConnected());
    EXPECT_EQ(r.view.connectionLine, "Connecting...");
    EXPECT_TRUE(r.view.controlsEnabled);
    EXPECT_EQ(r.view.openFocused, 1);
    EXPECT_EQ(r.t.setting("Auto connect"), "None");
}

// A listener that never answers the sign-on, and one that sends its reply a
// byte every 200 ms (it would take 205 s): both end at the sign-on limit.
TEST_F(ConnectE2E, SilentOrTricklingListenerRunsIntoTheReplyLimit) {
    for (const bool trickle : {false, true}) {
        SCOPED_TRACE(trickle ? "a byte every 200 ms" : "silent");
        ClientRun run;
        HostSimFaults f;
        f.silentSignOn = !trickle;
        f.byteEveryMs = trickle ? 200 : 0;
        startHost(f, QStringLiteral("SWPASS"), &run);
        rememberSignOn(run.ctx.services, "SWUSER", "SWPASS");
        run.boxes->expect("Could not attach to the server program on the iSeries.  Possible causes: (1)Spoolwright "
                          "server is not started");
        run.boxes->expect("Would you like to modify the URL name?", vbNo);
        EXPECT_EQ(run.expectEnd(), kExitConnectFailed);
        EXPECT_TRUE(run.boxes->done());
        EXPECT_EQ(run.clock->count(run.ctx.connection.signOnReplyTimeoutMs,
                                   "Server contacted - requesting a unique socket connection. Please wait..."),
                  1);
        EXPECT_GE(run.clock->waited(), run.ctx.connection.signOnReplyTimeoutMs);
        EXPECT_LT(run.clock->spent("Server contacted - requesting a unique socket connection. Please wait..."),
                  run.ctx.connection.signOnReplyTimeoutMs + 1000);
        EXPECT_EQ(run.t.setting("Auto connect"), "False");
    }
}

TEST_F(ConnectE2E, JobPortThatNeverListensEndsAfterTheLadder) {
    HostSimFaults f;
    f.jobPortReply = 18040;
    startHost(f);
    r.ctx.services.saveSetting("Wait time", "8");
    rememberSignOn(r.ctx.services, "SWUSER", "SWPASS");
    r.boxes->expect("Test transmission failed.40006 Wrong protocol or connection state");
    EXPECT_EQ(r.expectEnd(), kExitConnectFailed);
    EXPECT_TRUE(r.boxes->done());
    EXPECT_EQ(r.boxes->shown()[0].title, "TLV");
    EXPECT_EQ(r.boxes->panels[0], "Sending test message...");

    // Three passes (two start-overs after 20 refused attempts each), then
    // attempts 21 to 50 with a test message after each.
    EXPECT_EQ(signOns().size(), 3u);
    EXPECT_EQ(r.connectsTo(17850), 3);
    const QString attempting = QStringLiteral("Attempting to connect to port 18040...");
    EXPECT_EQ(r.connectsTo(18040, attempting), 20 + 20 + 50);
    // Each pass spends the whole "Wait time" looking for the job, four times a second.
    const QString waiting = QStringLiteral("Waiting for iSeries to start submitted job SW18040. (Waiting 8 seconds.)");
    EXPECT_EQ(r.clock->spent(waiting), 3 * 8000);
    EXPECT_EQ(r.connectsTo(18040, waiting), 3 * 8000 / 250);
    EXPECT_EQ(r.clock->count(4000, attempting), 3 * 19);
    EXPECT_EQ(r.clock->count(3000, attempting), 31);
    EXPECT_EQ(r.clock->count(2000, "Sending test message..."), 30);
    EXPECT_EQ(r.t.setting("Auto connect"), "False");
    EXPECT_TRUE(r.notConnected());
}

TEST_F(ConnectE2E, LateJobPortIsRetriedWithHalfTheWaitTime) {
    struct Case {
        const char* waitTime;
        qint64 pauseMs;
    } cases[] = {{"5", 2000}, {"6", 3000}, {"7", 4000}};
    for (const Case& c : cases) {
        ClientRun run;
        HostSimFaults f;
        f.lateJobPortMs = 20000;
        startHost(f, QStringLiteral("SWPASS"), &run);
        run.ctx.services.saveSetting("Wait time", c.waitTime);
        rememberSignOn(run.ctx.services, "SWUSER", "SWPASS");
        ASSERT_TRUE(run.connect()) << c.waitTime;
        expectConnectedOn(run, 17851);
        const int pauses = run.clock->count(c.pauseMs, "Attempting to connect to port 17851...");
        // Pauses after the refused attempts, and the 3 seconds before the test message.
        EXPECT_GE(pauses, 2) << c.waitTime;
        EXPECT_EQ(run.connectsTo(17851, "Attempting to connect to port 17851..."),
                  (c.pauseMs == 3000 ? pauses : pauses + 1))
            << c.waitTime;
        host.reset();
    }
}
