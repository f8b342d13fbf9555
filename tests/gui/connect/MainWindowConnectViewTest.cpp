// The sign-on dialog as connecting and the server start use it through the
// main window's view.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ConnectionWindows.h"
#include "HookPresenter.h"
#include "TestSupport.h"
#include "frmLogin.h"
#include "frmMain.h"

namespace {
// A runner that takes every script and starts nothing.
class SilentRunner : public FtpScriptRunner {
public:
    FtpRunResult run(const std::string&, Clock&) override { return {}; }
};

struct ServerStartDialog : ::testing::Test {
    TestContext t;
    AppContext& ctx = t.ctx;
    HookPresenter& presenter = installHookPresenter(ctx);
    QString caption, userId;
    bool savePasswordEnabled = true;
    void SetUp() override {
        ctx.services.ftp = std::make_unique<SilentRunner>();
        ctx.connection.gHostAddress = "as400.example.com";
    }
    // Notes the dialog as it comes up, then presses the button.
    void press(const char* button) {
        presenter.onModal = [this, button](QWidget* w) {
            auto* login = qobject_cast<frmLogin*>(w);
            if (!login) return;
            caption = login->windowTitle();
            userId = login->txtUserID->text();
            savePasswordEnabled = login->chkSavePassword->isEnabled();
            login->txtPassword->setText("SECRET");
            login->findChild<QPushButton*>(QString::fromLatin1(button))->click();
        };
    }
};
}  // namespace

TEST_F(ServerStartDialog, AsksWithItsOwnCaptionAndWithoutSavingThePassword) {
    ctx.services.saveSetting("User", "QPGMR");
    press("cmdOK");
    ASSERT_TRUE(StartHostServerViaFtp(ctx));
    EXPECT_EQ(caption, "Starting the iSeries Spoolwright server...");
    EXPECT_EQ(userId, "QPGMR");
    EXPECT_FALSE(savePasswordEnabled);
    // The dialog is gone; the next sign-on gets a fresh one.
    EXPECT_FALSE(ctx.loginWindowLoaded());
    EXPECT_EQ(ctx.mainWindow().statusPanel(), "Waiting for the main server program to initialize...");
}

TEST_F(ServerStartDialog, CancelEndsTheProgramAndDiscardsTheDialog) {
    press("cmdCancel");
    ctx.mainWindow().lblStatus->setText("Connecting...");
    try {
        StartHostServerViaFtp(ctx);
        ADD_FAILURE() << "the program went on";
    } catch (const ProgramEnd& e) {
        EXPECT_EQ(e.exitStatus, kExitSignOnCancelled);
    }
    EXPECT_FALSE(ctx.loginWindowLoaded());
    // The dialog's Cancel closed the link.
    EXPECT_EQ(ctx.mainWindow().lblStatus->text(), "Not connected.");
}
