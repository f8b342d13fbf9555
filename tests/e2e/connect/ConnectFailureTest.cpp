#include <gtest/gtest.h>

#include "Connect.h"
#include "CoreTestSupport.h"
#include "FtpClientRunner.h"
#include "MousePointer.h"
#include "RecordingConnectView.h"

// Connection failures that need no host: nothing listens on the address.
namespace {
struct NoHostFixture : ::testing::Test {
    CoreTestContext t;
    RunContext& ctx = t.ctx;
    RecordingConnectView view{ctx.connection};
    int endStatus = 0;
    void expectEnd() {
        try {
            ConnectToHost(ctx.link, ctx.services, ctx.connection, view);
            ADD_FAILURE() << "the program went on";
        } catch (const ProgramEnd& e) {
            endStatus = e.exitStatus;
        }
        EXPECT_EQ(mousePointer(), MousePointer::Normal) << "the busy pointer outlived the end";
    }
};
}  // namespace

TEST_F(NoHostFixture, NoAddressDeclinedEndsTheProgram) {
    t.boxes->expect("Please note:  No iSeries TCP/IP host name or IP address has been specified.  Would you like to "
                    "enter a host name or IP address now?",
                    vbNo);
    expectEnd();
    EXPECT_NE(endStatus, 0);
    EXPECT_EQ(t.boxes->shown().front().icon, MsgIcon::Information);
    EXPECT_EQ(t.setting("Auto connect"), "False");
}

TEST_F(NoHostFixture, NoAddressIsAskedUntilOneIsEntered) {
    const QString addr = uniqueLoopbackAddress();
    // The first showing of the options is left without an address; the second enters one.
    view.onConnectionOptions = [&] {
        if (view.connectionOptionsShown == 2) ctx.services.saveSetting("URL", addr);
    };
    t.boxes->expect("No iSeries TCP/IP host name", vbYes);
    t.boxes->expect("No iSeries TCP/IP host name", vbYes);
    // Nothing listens there: the offer to start the server follows.
    t.boxes->expect("may not be active.", vbNo);
    t.boxes->expect("Please key 'SPWLB/STRSPWRT' from an iSeries command line to start the server.");
    expectEnd();
    EXPECT_TRUE(t.boxes->done());
    EXPECT_EQ(view.connectionOptionsShown, 2);
    EXPECT_EQ(ctx.connection.gHostAddress, addr);
}

TEST_F(NoHostFixture, ListenerNotAnsweringOffersTheServerStart) {
    const QString addr = uniqueLoopbackAddress();
    ctx.services.saveSetting("URL", addr);
    t.boxes->expect("Please note:  The Spoolwright server program on the iSeries may not be active. Would you like to "
                    "attempt to start the server from this program?  (FTP must be active on the iSeries and you'll be "
                    "asked for your password.)  (Connection refused.) ",
                    vbNo);
    t.boxes->expect("Please key 'SPWLB/STRSPWRT' from an iSeries command line to start the server.");
    expectEnd();
    EXPECT_TRUE(t.boxes->done());
    EXPECT_EQ(t.boxes->shown().front().buttons, MsgButtons::YesNo);
    EXPECT_EQ(t.setting("Auto connect"), "False");
    EXPECT_EQ(ctx.link.socketIfOpen(), nullptr);
    // The connect failed at once: the 20 seconds of waiting for it were not spent.
    EXPECT_LT(t.clock->waited(), 5000);
}

TEST_F(NoHostFixture, ServerStartThatFailsEndsTheProgram) {
    ctx.services.saveSetting("URL", uniqueLoopbackAddress());
    t.boxes->expect("may not be active.", vbYes);
    view.serverStartAnswers.push_back(SignOnAnswer{"QPGMR", "SECRET"});
    ctx.services.ftp = std::make_unique<FtpClientRunner>();
    // Nothing serves FTP there either.
    t.boxes->expect("Could not reach the FTP server on");
    expectEnd();
    EXPECT_TRUE(t.boxes->done());
    EXPECT_EQ(t.setting("Auto connect"), "False");
}

TEST_F(NoHostFixture, UnattendedRunAnswersTheOfferWithNo) {
    ctx.services.saveSetting("URL", uniqueLoopbackAddress());
    ctx.mode.gBatchMode = true;
    t.boxes->answerAllWithDefault = true;
    expectEnd();
    ASSERT_EQ(t.boxes->shown().size(), 2u);
    EXPECT_EQ(t.boxes->shown()[0].answer, vbNo);
}
