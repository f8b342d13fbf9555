// Where the credentials of a sign-on come from, and what becomes of them,
// with the sign-on dialog as a recorded view.
#include <gtest/gtest.h>

#include "Codec.h"
#include "Connect.h"
#include "CoreTestSupport.h"
#include "HostLink.h"
#include "RecordingConnectView.h"
#include "SignOn.h"

using HostWire::field;
using SignOnScrambling::scrambleField;

namespace {
// The presenter of an unattended run: nothing is shown, nobody answers.
class NobodyPresenter : public Presenter {
public:
    NobodyPresenter() { unattended = true; }
    void showModal(QWidget*) override {}
    void showModeless(QWidget*) override {}
    QString openFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
    QString saveFileName(QWidget*, const QString&, const QString&, const QString&) override { return {}; }
};

struct SignOnRules : ::testing::Test {
    CoreTestContext t;
    RunContext& ctx = t.ctx;
    RecordingConnectView view{ctx.connection};
    StatusRecorder linkNews{ctx.link};
    std::string user, password;
    Outcome signOn() {
        SignOnResult r = SignOn(ctx.services, ctx.connection, ctx.link, view);
        user = r.userId;
        password = r.password;
        return r.outcome;
    }
};
}  // namespace

TEST_F(SignOnRules, SavedPasswordIsSentByteExactWithoutDialog) {
    // "0..." scrambles to a leading blank: a trimmed read would shift every character.
    const std::string saved = scrambleField(field("0pen", 128));
    ASSERT_EQ(saved[0], ' ');
    ctx.services.saveSetting("User", "JSMITH");
    ctx.services.saveSetting("century", Codec::toUnicode(saved));

    EXPECT_TRUE(signOn());
    EXPECT_TRUE(view.signOnUsers.isEmpty());
    EXPECT_EQ(password, saved);
    EXPECT_EQ(user, ";(L=7F2#dW");
    EXPECT_EQ(ctx.connection.gUserId, user);
    EXPECT_EQ(ctx.connection.gPassword, password);
}

TEST_F(SignOnRules, DamagedSavedPasswordAsksInsteadOfSendingIt) {
    ctx.services.saveSetting("User", "JSMITH");
    const std::string saved = scrambleField(field("secret", 128));
    for (const std::string& damaged : {saved.substr(1), saved.substr(0, 120), std::string("-None")}) {
        ctx.services.saveSetting("century", Codec::toUnicode(damaged));
        view.signOnUsers.clear();
        view.signOnAnswers.push_back({"JSMITH", "secret"});
        EXPECT_TRUE(signOn());
        EXPECT_EQ(view.signOnUsers, QStringList{"JSMITH"});
        EXPECT_EQ(password, saved);
    }
}

TEST_F(SignOnRules, TheDialogsAnswerIsScrambledInItsFields) {
    view.signOnAnswers.push_back({"JSMITH", "Secret"});
    EXPECT_TRUE(signOn());
    EXPECT_EQ(user, scrambleField("JSMITH    "));
    EXPECT_EQ(password, scrambleField(field("Secret", 128)));
    EXPECT_EQ(ctx.connection.gUserId, user);
    EXPECT_EQ(ctx.connection.gPassword, password);
}

TEST_F(SignOnRules, DialogStartsWithTheRememberedUser) {
    const struct {
        const char* remembered;
        const char* shown;
    } cases[] = {{"QPGMR ", "QPGMR"}, {"-None", ""}};
    for (const auto& c : cases) {
        ctx.services.saveSetting("User", c.remembered);
        ctx.services.saveSetting("century", "-None");
        view.signOnUsers.clear();
        view.signOnAnswers.push_back({"X", ""});
        signOn();
        EXPECT_EQ(view.signOnUsers, QStringList{c.shown}) << c.remembered;
    }
}

TEST_F(SignOnRules, UnansweredDialogTimesOutClosingTheLink) {
    ctx.connection.signOnDialogTimeoutMs = 30000;
    for (int answer : {vbYes, vbNo}) {
        const int closedBefore = linkNews.closed;
        t.boxes->expect("Signon to the iSeries has timed out.  Would you like to retry?", answer);
        if (answer == vbYes) {
            EXPECT_FALSE(signOn());
        } else {
            EXPECT_THROW(signOn(), ProgramEnd);
        }
        EXPECT_TRUE(t.boxes->done());
        EXPECT_EQ(view.signOnDiscarded, answer == vbYes ? 1 : 2);
        EXPECT_EQ(linkNews.closed, closedBefore + 1);
        EXPECT_GE(t.clock->waited(), ctx.connection.signOnDialogTimeoutMs);
    }
}

TEST_F(SignOnRules, UnattendedRunWithoutSavedPasswordSaysSoAndEnds) {
    ctx.services.presenter = std::make_unique<NobodyPresenter>();
    ctx.services.saveSetting("User", "JSMITH");
    t.boxes->answerAllWithDefault = true;
    try {
        signOn();
        ADD_FAILURE() << "the program went on";
    } catch (const ProgramEnd& e) {
        EXPECT_EQ(e.exitStatus, kExitSignOnCancelled);
    }
    ASSERT_EQ(t.boxes->shown().size(), 1u);
    EXPECT_EQ(t.boxes->shown()[0].text.toStdString(),
              "There is no saved password for user JSMITH, and an unattended run cannot ask for one.  Sign on once "
              "in the program's window with \"Save password\" ticked.");
    EXPECT_TRUE(view.signOnUsers.isEmpty()) << "no dialog for nobody";
    EXPECT_EQ(t.clock->waited(), 0);
}

TEST_F(SignOnRules, CancelEndsTheProgramWithItsStatus) {
    view.cancelSignOn = true;
    try {
        signOn();
        ADD_FAILURE() << "the program went on";
    } catch (const ProgramEnd& e) {
        EXPECT_EQ(e.exitStatus, kExitSignOnCancelled);
    }
    EXPECT_EQ(ctx.connection.gPassword, std::string(128, ' '));
}
