// A connection as the main window and the sign-on dialog show it, against
// hostsim on loopback.
#include <gtest/gtest.h>

#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>

#include "Codec.h"
#include "ConnectionWindows.h"
#include "HookPresenter.h"
#include "HostSimFixture.h"
#include "TestSupport.h"
#include "frmMain.h"
#include "frmOptions.h"

namespace {
struct ConnectOnTheWindows : ::testing::Test {
    TestContext t;
    AppContext& ctx = t.ctx;
    HookPresenter& presenter = installHookPresenter(ctx);
    HostSimFixture host{HostSimFixtureOptions{.clock = t.clock}};
    void SetUp() override {
        ctx.services.saveSetting("URL", host.address());
        ctx.services.saveSetting("Save Path", t.dir.path() + "/save/");
    }
};
}  // namespace

TEST_F(ConnectOnTheWindows, TheMainWindowShowsTheConnection) {
    answerSignOn(presenter, "swuser", "SWPASS");
    ASSERT_TRUE(ConnectToHost(ctx));
    frmMain& m = ctx.mainWindow();
    EXPECT_EQ(m.lblStatus->text(), QStringLiteral("Connected to %1, Job:SWR17851").arg(host.address()));
    EXPECT_EQ(m.statusPanel(), "Please specify a user, an outq or both.  ");
    EXPECT_FALSE(m.itmConnect->isEnabled());
    EXPECT_TRUE(m.itmConnect->isChecked());
    EXPECT_TRUE(m.itmDisconnect->isEnabled());
    EXPECT_FALSE(m.itmChangeAddress->isEnabled());
    EXPECT_FALSE(m.itmWaitTime->isEnabled());
    EXPECT_TRUE(m.picDisConnect->isHidden());
    EXPECT_FALSE(m.picConnect->isHidden());
    EXPECT_TRUE(m.cmdOK->isEnabled());
    EXPECT_TRUE(m.mnuConnect->isEnabled());
    EXPECT_TRUE(m.mnuOptions->isEnabled());
    EXPECT_TRUE(ctx.optionsWindow().fraIPAddress[0]->isHidden());
    // The dialog's OK remembered the user plain, and the work folder is named after it.
    EXPECT_EQ(t.setting("User"), "SWUSER");
    EXPECT_EQ(ctx.connection.gWorkDir, t.dir.path() + "/save/SWUSER");
    EXPECT_EQ(t.setting("century"), "None");
    EXPECT_TRUE(t.boxes->shown().empty());
}

TEST_F(ConnectOnTheWindows, SavePasswordInTheDialogKeepsOnlyTheScrambledForm) {
    answerSignOn(presenter, "SWUSER", "SWPASS", true);
    ASSERT_TRUE(ConnectToHost(ctx));
    const std::string field = HostWire::field("SWPASS", SignOnScrambling::kPasswordLength);
    EXPECT_EQ(t.setting("century"), Codec::toUnicode(SignOnScrambling::scrambleField(field)));
}

TEST_F(ConnectOnTheWindows, DisconnectAndConnectAgainFromTheMenu) {
    answerSignOn(presenter, "SWUSER", "SWPASS");
    ASSERT_TRUE(ConnectToHost(ctx));
    frmMain& m = ctx.mainWindow();
    m.itmDisconnect_Click();
    EXPECT_TRUE(m.isNotConnected());
    EXPECT_EQ(ctx.connection.gJobPort, 0);
    m.itmConnect_Click();
    EXPECT_EQ(m.lblStatus->text(), QStringLiteral("Connected to %1, Job:SWR17851").arg(host.address()));
    EXPECT_EQ(presenter.shownNames("modeless"), QStringList{"frmLogin"});
}
