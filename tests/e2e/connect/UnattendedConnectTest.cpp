#include <gtest/gtest.h>

#include "Connect.h"
#include "CoreTestSupport.h"
#include "HostSimFixture.h"
#include "UnattendedConnectView.h"

// The connect of a run nobody watches: it signs on with what was saved or
// given, shows nothing and asks nothing, and says on its error stream why it
// ends.
namespace {
struct UnattendedRun {
    CoreTestContext t;
    RunContext& ctx = t.ctx;
    QStringList told;
    std::unique_ptr<HostSimFixture> host;

    void startHost(HostSimFaults faults = {}) {
        host = std::make_unique<HostSimFixture>(HostSimFixtureOptions{.faults = faults, .clock = t.clock});
        ctx.services.saveSetting("URL", host->address());
        ctx.services.saveSetting("Save Path", t.dir.path() + "/save/");
        ctx.mode.gBatchMode = true;
    }
    std::unique_ptr<UnattendedConnectView> view(std::optional<SignOnAnswer> given = std::nullopt) {
        auto v = std::make_unique<UnattendedConnectView>(ctx.connection, ctx.link, std::move(given));
        v->tell = [this](const QString& text) { told << text; };
        return v;
    }
    // The status a connect that ends the run ends it with; 0 when it went on.
    int connectEnds(UnattendedConnectView& v) {
        try {
            ConnectToHost(ctx.link, ctx.services, ctx.connection, v);
        } catch (const ProgramEnd& e) {
            return e.exitStatus;
        }
        return 0;
    }
    int signOnsSent() const {
        int n = 0;
        for (const std::string& f : host->listenerFrames()) n += f.compare(0, 7, "new 128") == 0;
        return n;
    }
};
struct UnattendedConnectRun : ::testing::Test, UnattendedRun {};
}  // namespace

TEST(UnattendedConnect, SavedOrGivenCredentialsSignOnWithNothingShown) {
    for (const bool saved : {true, false}) {
        SCOPED_TRACE(saved ? "saved password" : "given credentials");
        UnattendedRun r;
        r.startHost();
        if (saved) rememberSignOn(r.ctx.services, "SWUSER", "SWPASS");
        auto v = saved ? r.view() : r.view(SignOnAnswer{"SWUSER", "SWPASS"});
        ASSERT_TRUE(ConnectToHost(r.ctx.link, r.ctx.services, r.ctx.connection, *v));
        EXPECT_EQ(v->connectionLine(), QStringLiteral("Connected to %1, Job:SWR17851").arg(r.host->address()));
        EXPECT_TRUE(r.t.boxes->shown().empty());
        EXPECT_TRUE(r.told.isEmpty()) << r.told.join('\n').toStdString();
        // Given credentials are used, never saved.
        EXPECT_EQ(saved, r.t.setting("century") != "None");
        EXPECT_EQ(r.signOnsSent(), 1);
    }
}

TEST_F(UnattendedConnectRun, NoSavedPasswordEndsTheRunWithoutASignOn) {
    startHost();
    ctx.services.saveSetting("User", "SWUSER");
    auto v = view();
    EXPECT_EQ(connectEnds(*v), kExitSignOnCancelled);
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].startsWith("There is no saved password for user SWUSER, and an unattended run cannot ask"));
    EXPECT_EQ(signOnsSent(), 0);
    EXPECT_EQ(t.setting("User"), "SWUSER");
    EXPECT_EQ(ctx.link.socketIfOpen(), nullptr);
}

TEST_F(UnattendedConnectRun, SilentHostEndsTheRunAndTheOptionsAreNotOffered) {
    HostSimFaults f;
    f.silentSignOn = true;
    startHost(f);
    rememberSignOn(ctx.services, "SWUSER", "SWPASS");
    t.boxes->expect("Could not attach to the server program on the iSeries.");
    // Even a "Yes" to changing the address opens no window: the run says so and ends.
    t.boxes->expect("Would you like to modify the URL name?", vbYes);
    auto v = view();
    EXPECT_EQ(connectEnds(*v), kExitConnectFailed);
    EXPECT_TRUE(t.boxes->done());
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].startsWith("The connection options (host name, wait time) cannot be changed"));
    EXPECT_EQ(t.setting("URL"), host->address());
    EXPECT_EQ(ctx.link.socketIfOpen(), nullptr);
    EXPECT_TRUE(v->connectionLine().isEmpty());
}
