#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "Codec.h"
#include "HookPresenter.h"
#include "ConnectionWindows.h"
#include "TestSupport.h"
#include "frmLogin.h"
#include "frmMain.h"

using SignOnScrambling::scrambleField;

namespace {
std::string field(const std::string& s, size_t n) {
    std::string f = s;
    f.resize(n, ' ');
    return f;
}

struct SignOnFixture : ::testing::Test {
    TestContext t;
    AppContext& ctx = t.ctx;
    HookPresenter& presenter = installHookPresenter(ctx);
    std::string user, password;
};
}  // namespace

TEST_F(SignOnFixture, SavedPasswordIsSentByteExactWithoutDialog) {
    // "0..." scrambles to a leading blank: a trimmed read would shift every character.
    const std::string saved = scrambleField(field("0pen", 128));
    ASSERT_EQ(saved[0], ' ');
    ctx.saveSetting("User", "JSMITH");
    ctx.saveSetting("century", Codec::toUnicode(saved));

    EXPECT_FALSE(SignOn(ctx, user, password));
    EXPECT_TRUE(presenter.shownNames("modeless").isEmpty());
    EXPECT_EQ(password, saved);
    EXPECT_EQ(user, ";(L=7F2#dW");
    EXPECT_EQ(ctx.gUserId, user);
    EXPECT_EQ(ctx.gPassword, password);
}

TEST_F(SignOnFixture, DamagedSavedPasswordAsksInsteadOfSendingIt) {
    ctx.saveSetting("User", "JSMITH");
    const std::string saved = scrambleField(field("secret", 128));
    for (const std::string& damaged : {saved.substr(1), saved.substr(0, 120), std::string("-None")}) {
        ctx.saveSetting("century", Codec::toUnicode(damaged));
        answerSignOn(presenter, "jsmith", "secret");
        presenter.clearShown();
        EXPECT_FALSE(SignOn(ctx, user, password));
        EXPECT_EQ(presenter.shownNames("modeless"), QStringList{"frmLogin"});
        EXPECT_EQ(password, saved);
    }
}

TEST_F(SignOnFixture, DialogAnswerIsScrambledAndUserRememberedPlain) {
    answerSignOn(presenter, "  jsmith ", "Secret");
    EXPECT_FALSE(SignOn(ctx, user, password));
    EXPECT_EQ(user, scrambleField("JSMITH    "));
    EXPECT_EQ(password, scrambleField(field("Secret", 128)));
    EXPECT_EQ(t.setting("User"), "JSMITH");
    EXPECT_FALSE(ctx.loginWindow().isVisible());
    // OK hides the dialog but keeps it, with its "Save password" state.
    EXPECT_TRUE(ctx.loginWindowLoaded());
}

TEST_F(SignOnFixture, DialogStartsWithTheRememberedUser) {
    QString shownUser = "unset";
    presenter.onModeless = [&](QWidget* w) {
        shownUser = static_cast<frmLogin*>(w)->txtUserID->text();
        static_cast<frmLogin*>(w)->cmdOK->click();
    };
    ctx.saveSetting("User", "QPGMR ");
    ctx.saveSetting("century", "-None");
    SignOn(ctx, user, password);
    EXPECT_EQ(shownUser, "QPGMR");

    ctx.saveSetting("User", "-None");
    shownUser = "unset";
    presenter.onModeless = [&](QWidget* w) {
        auto* l = static_cast<frmLogin*>(w);
        shownUser = l->txtUserID->text();
        l->txtUserID->setText("X");
        l->cmdOK->click();
    };
    SignOn(ctx, user, password);
    EXPECT_EQ(shownUser, "");
}

TEST_F(SignOnFixture, UnansweredDialogTimesOut) {
    ctx.signOnDialogTimeoutMs = 30000;
    for (int answer : {vbYes, vbNo}) {
        t.boxes->expect("Signon to the iSeries has timed out.  Would you like to retry?", answer);
        ctx.mainWindow().lblStatus->setText("Connecting...");
        if (answer == vbYes) {
            EXPECT_TRUE(SignOn(ctx, user, password));
        } else {
            EXPECT_THROW(SignOn(ctx, user, password), ProgramEnd);
        }
        EXPECT_TRUE(t.boxes->done());
        EXPECT_FALSE(ctx.loginWindowLoaded());
        EXPECT_EQ(ctx.mainWindow().lblStatus->text(), "Not connected.");
        EXPECT_GE(t.clock->waited(), ctx.signOnDialogTimeoutMs);
    }
}

TEST_F(SignOnFixture, UnattendedRunEndsInsteadOfWaitingForTheDialog) {
    presenter.unattended = true;
    t.boxes->answerAllWithDefault = true;
    EXPECT_THROW(SignOn(ctx, user, password), ProgramEnd);
    ASSERT_EQ(t.boxes->shown().size(), 1u);
    EXPECT_EQ(t.boxes->shown()[0].text, "Signon to the iSeries has timed out.  Would you like to retry?");
    EXPECT_EQ(t.boxes->shown()[0].answer, vbNo);
    EXPECT_EQ(t.clock->waited(), 0);
}

TEST_F(SignOnFixture, CancelClosesTheLinkAndEndsTheProgram) {
    presenter.onModeless = [](QWidget* w) { static_cast<frmLogin*>(w)->cmdCancel->click(); };
    ctx.mainWindow().lblStatus->setText("Connecting...");
    EXPECT_THROW(SignOn(ctx, user, password), ProgramEnd);
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
        ctx.gSignOnAccepted = false;
        login.txtUserID->setText(c.user);
        login.txtPassword->setText(c.password);
        if (*c.message) t.boxes->expect(QString::fromUtf8(c.message));
        login.cmdOK_Click();
        EXPECT_TRUE(t.boxes->done()) << c.name;
        if (*c.message) {
            EXPECT_EQ(t.boxes->shown().back().title, "iSeries Security") << c.name;
            EXPECT_FALSE(ctx.gSignOnAccepted) << c.name;
            EXPECT_TRUE(login.isVisible()) << c.name;
            EXPECT_EQ(login.focusWidget() ? login.focusWidget()->objectName() : QString(), c.focus)
                << c.name;
        } else {
            EXPECT_TRUE(ctx.gSignOnAccepted) << c.name;
            EXPECT_FALSE(login.isVisible()) << c.name;
        }
    }
    EXPECT_EQ(t.setting("User"), "JSMITH");
}

TEST_F(SignOnFixture, DialogShowsTheHostAndItsDesign) {
    ctx.gHostAddress = "as400.example.com";
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
