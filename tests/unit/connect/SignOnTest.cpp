#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "Codec.h"
#include "HookPresenter.h"
#include "HostLink.h"
#include "ConnectionWindows.h"
#include "TestSupport.h"
#include "frmLogin.h"
#include "frmMain.h"

using HostWire::field;
using SignOnScrambling::scrambleField;

namespace {
struct SignOnFixture : ::testing::Test {
    TestContext t;
    AppContext& ctx = t.ctx;
    HookPresenter& presenter = installHookPresenter(ctx);
};
}  // namespace

TEST_F(SignOnFixture, DialogAnswerIsScrambledAndUserRememberedPlain) {
    answerSignOn(presenter, "  jsmith ", "Secret");
    const SignOnResult signedOn = SignOn(ctx);
    EXPECT_TRUE(signedOn.outcome);
    EXPECT_EQ(signedOn.userId, scrambleField("JSMITH    "));
    EXPECT_EQ(signedOn.password, scrambleField(field("Secret", 128)));
    EXPECT_EQ(t.setting("User"), "JSMITH");
    EXPECT_FALSE(ctx.loginWindow().isVisible());
    // OK hides the dialog but keeps it, with its "Save password" state.
    EXPECT_TRUE(ctx.loginWindowLoaded());
}

TEST_F(SignOnFixture, CancelClosesTheLinkAndEndsTheProgram) {
    presenter.onModeless = [](QWidget* w) { static_cast<frmLogin*>(w)->cmdCancel->click(); };
    ctx.mainWindow().lblStatus->setText("Connecting...");
    EXPECT_THROW(SignOn(ctx), ProgramEnd);
    EXPECT_EQ(ctx.mainWindow().lblStatus->text(), "Not connected.");
    EXPECT_EQ(t.setting("User"), "None");
}

TEST_F(SignOnFixture, OkRefusesWhatTheHostCannotTake) {
    struct Case {
        const char* name;
        QString user, password;
        const char* message;  // empty: accepted
        const char* focus;
    } cases[] = {
        {"qsecofr, trimmed and upper-cased", "qsecofr ", "x",
         "The main server program is not allowed to submit jobs under user QSECOFR. Please specify another valid user "
         "ID and password.",
         "txtUserID"},
        {"empty user", "   ", "x", "Please specify a valid user ID and password.", "txtUserID"},
        {"quote in user", "A\"B", "x", "The user ID contains the character '\"'", "txtUserID"},
        {"accent in password", "JSMITH", QString::fromUtf8("caf\u00e9"), "The password contains the character '\u00e9'",
         "txtPassword"},
        {"empty password is accepted", "JSMITH", "", "", ""},
    };
    for (const Case& c : cases) {
        frmLogin& login = ctx.loginWindow();
        login.show();
        ctx.connection.gSignOnAccepted = false;
        login.txtUserID->setText(c.user);
        login.txtPassword->setText(c.password);
        if (*c.message) t.boxes->expect(QString::fromUtf8(c.message));
        login.cmdOK_Click();
        EXPECT_TRUE(t.boxes->done()) << c.name;
        if (*c.message) {
            EXPECT_EQ(t.boxes->shown().back().title, "iSeries Security") << c.name;
            EXPECT_FALSE(ctx.connection.gSignOnAccepted) << c.name;
            EXPECT_TRUE(login.isVisible()) << c.name;
            EXPECT_EQ(login.focusWidget() ? login.focusWidget()->objectName() : QString(), c.focus)
                << c.name;
        } else {
            EXPECT_TRUE(ctx.connection.gSignOnAccepted) << c.name;
            EXPECT_FALSE(login.isVisible()) << c.name;
        }
    }
    EXPECT_EQ(t.setting("User"), "JSMITH");
}

TEST_F(SignOnFixture, DialogShowsTheHostAndItsDesign) {
    ctx.connection.gHostAddress = "as400.example.com";
    frmLogin& login = ctx.loginWindow();
    login.show();
    EXPECT_EQ(login.windowTitle(), "iSeries Security");
    EXPECT_EQ(login.lblIPAddress->text(), "as400.example.com");
    EXPECT_EQ(login.txtUserID->maxLength(), 10);
    EXPECT_EQ(login.txtPassword->maxLength(), 50);
    EXPECT_EQ(login.txtPassword->echoMode(), QLineEdit::Password);
    EXPECT_FALSE(login.chkSavePassword->isChecked());
    EXPECT_EQ(login.Label1->text(), "Note:  Passwords are case-sensetive");
    EXPECT_EQ(login.lblLabels[1]->text(), "&User ID:");
}
