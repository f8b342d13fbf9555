#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTimer>

#include "HostLink.h"
#include "HostSimFixture.h"
#include "CoreTestSupport.h"

namespace {
std::string pad(const std::string& s, size_t n) { return HostWire::field(s, n); }

// A 30-record, 80-column report: three "W" blocks of 11, 11 and 8 records.
std::string invoiceReport() {
    std::string s =
        "name=INVOICE\njob=BILLING\nuser=SWUSER\njobnumber=123456\nnumber=3\nwidth=80\n"
        "formtype=*STD\ndate=2004-03-15\ntime=14:22:07\n[records]\n";
    for (int i = 1; i <= 30; ++i) s += (i == 1 ? "001 " : "   1") + std::string("Invoice line ") + std::to_string(i) + "\n";
    return s;
}

std::string downloadRequest() {
    return pad("", 10) + "W" + pad("INVOICE", 10) + pad("BILLING", 10) + pad("SWUSER", 10) + "123456" + "0003" +
           "0000000001" + "9999999999";
}

std::string cancelRequest() {
    std::string c(124, ' ');
    c[99] = 'X';
    return c;
}

const QString kLinkLost = QStringLiteral(
    "Error in SendReceive procedure.    Possible causes:  The link to the iSeries has been lost due to inactivity.  "
    "Please re-connect.  (Check the qsysopr message queue.)  If local error, code is ");

class SendReceiveTest : public ::testing::Test {
protected:
    void SetUp() override {
        HostSimFixture::writeSpooledFile(spool.path(), "QGPL", "QPRINT", "invoice.splf", invoiceReport());
        host = std::make_unique<HostSimFixture>(HostSimFixtureOptions{.spool = spool.path(), .clock = t.clock});
        ASSERT_TRUE(host->connectJobPort(t.ctx));
    }
    // The link is closed and its observers told that it was lost.
    void expectLinkTornDown() {
        EXPECT_EQ(t.ctx.link.socketIfOpen(), nullptr);
        EXPECT_EQ(status.lost, 1);
        status.lost = 0;
        EXPECT_EQ(t.ctx.connection.gJobPort, 0);
    }

    CoreTestContext t;
    StatusRecorder status{t.ctx.link};
    QTemporaryDir spool;
    std::unique_ptr<HostSimFixture> host;
};

TEST_F(SendReceiveTest, SendsTheRequestPaddedOrCutTo124Bytes) {
    const std::string check = "QPRINT    QQGPL";
    const std::string cases[] = {check, pad(check, 124), pad(check, 124) + "beyond column 124"};
    for (const std::string& request : cases) {
        std::string reply;
        ASSERT_EQ(SendReceive(t.ctx.link, request, reply), LinkResult::Reply);
        EXPECT_EQ(host->jobFrames().back(), pad(check, 124));
        ASSERT_EQ(reply.size(), 1024u);
        EXPECT_EQ(reply.substr(0, 20), "QPRINT    QGPL      ");
        EXPECT_EQ(HostWire::controlArea(reply), pad("(END)", 24));
    }
}

TEST_F(SendReceiveTest, RepeatedRequestWalksTheBlocksToTheEnd) {
    std::vector<std::string> controls;
    std::string firstRecord;
    int records = 0;
    std::string reply;
    do {
        ASSERT_EQ(SendReceive(t.ctx.link, downloadRequest(), reply), LinkResult::Reply);
        if (controls.empty()) firstRecord = reply.substr(0, 84);
        for (size_t slot = 0; slot < 11; ++slot)
            if (reply.substr(slot * 84, 84).find_first_not_of(' ') != std::string::npos) ++records;
        controls.push_back(HostWire::controlArea(reply));
    } while (controls.back().compare(0, 5, "(END)") != 0 && controls.size() < 10);
    const std::vector<std::string> expected = {pad("(MORE)", 21) + " 80", pad("(MORE)", 21) + " 80",
                                               pad("(END)", 21) + " 80"};
    EXPECT_EQ(controls, expected);
    EXPECT_EQ(records, 30);
    EXPECT_EQ(firstRecord, pad("001 Invoice line 1", 84));
    EXPECT_EQ(host->jobFrames(), std::vector<std::string>(3, pad(downloadRequest(), 124)));
}

TEST_F(SendReceiveTest, BlankRequestSendsNothingAndKeepsTheReply) {
    std::string reply = "untouched";
    for (const std::string& request : {std::string(), std::string(124, ' ')}) {
        EXPECT_EQ(SendReceive(t.ctx.link, request, reply), LinkResult::Reply);
        EXPECT_EQ(reply, "untouched");
    }
    t.clock->waitMs(500);
    EXPECT_TRUE(host->jobFrames().empty());
}

TEST_F(SendReceiveTest, ReplyInManyPiecesIsTakenWhole) {
    const std::string check = "QPRINT    QQGPL";
    std::string whole;
    ASSERT_EQ(SendReceive(t.ctx.link, check, whole), LinkResult::Reply);
    for (int piece : {1000, 100, 7}) {
        host->faults().pieceBytes = piece;
        std::string reply;
        ASSERT_EQ(SendReceive(t.ctx.link, check, reply), LinkResult::Reply) << piece;
        EXPECT_EQ(reply, whole) << piece;
        EXPECT_EQ(t.ctx.link.socket()->bytesAvailable(), 0) << piece;
    }
}

TEST_F(SendReceiveTest, CancelSendsTheRequestThenTheCancelAndReadsAsTheEnd) {
    t.ctx.link.requestCancel();
    t.boxes->expect(QStringLiteral("Operation has been canceled by request of the user.  ")).expect(
        QStringLiteral("Operation has been canceled by request of the user.  "));
    for (int round = 1; round <= 2; ++round) {
        std::string reply;
        EXPECT_EQ(SendReceive(t.ctx.link, downloadRequest(), reply), LinkResult::Cancelled);
        EXPECT_EQ(reply, HostWire::endOfDataReply());
        EXPECT_TRUE(t.ctx.link.cancelRequested());
        const std::vector<std::string> frames = host->jobFrames();
        ASSERT_EQ(frames.size(), static_cast<size_t>(2 * round));
        EXPECT_EQ(frames[frames.size() - 2], pad(downloadRequest(), 124));
        EXPECT_EQ(frames.back(), cancelRequest());
    }
    EXPECT_TRUE(t.boxes->done());
    const auto& box = t.boxes->shown().front();
    EXPECT_EQ(box.text, "Operation has been canceled by request of the user.  ");
    EXPECT_EQ(box.icon, MsgIcon::Information);
    EXPECT_EQ(box.title, "Tolvane");
    EXPECT_EQ(status.history,
              QStringList({"Canceling...", "Last operation was canceled by user request.", "Canceling...",
                           "Last operation was canceled by user request."}));
    // The link stays up, and after the cancel the host starts the download afresh.
    t.ctx.link.clearCancel();
    std::string reply;
    ASSERT_EQ(SendReceive(t.ctx.link, downloadRequest(), reply), LinkResult::Reply);
    EXPECT_EQ(reply.substr(0, 84), pad("001 Invoice line 1", 84));
}

TEST_F(SendReceiveTest, ConnectionClosedDuringTheWaitIsABrokenLink) {
    struct Case {
        int answered;      // requests answered before the close
        int partialBytes;  // bytes of the last reply that still arrive
    };
    for (const Case c : {Case{0, 0}, Case{0, 500}, Case{1, 1023}}) {
        SCOPED_TRACE(testing::Message() << c.answered << "/" << c.partialBytes);
        host->faults().dropAfter = c.answered;
        host->faults().dropPartialBytes = c.partialBytes;
        ASSERT_TRUE(host->connectJobPort(t.ctx));
        std::string reply;
        for (int i = 0; i < c.answered; ++i) ASSERT_EQ(SendReceive(t.ctx.link, downloadRequest(), reply), LinkResult::Reply);
        t.boxes->expect(kLinkLost + "10053 ");
        EXPECT_EQ(SendReceive(t.ctx.link, downloadRequest(), reply), LinkResult::LinkLost);
        EXPECT_EQ(reply, "");
        EXPECT_TRUE(t.boxes->done());
        EXPECT_EQ(t.boxes->shown().back().icon, MsgIcon::Critical);
        EXPECT_EQ(t.boxes->shown().back().title, "Tolvane");
        expectLinkTornDown();
    }
}

TEST_F(SendReceiveTest, SilentOrLateHostEndsInTheErrorPathAtTheReplyLimit) {
    struct Case {
        int delayMs;   // -1: no reply at all
        LinkResult result;
    };
    t.ctx.link.replyTimeoutMs = 120000;
    for (const Case c : {Case{60000, LinkResult::Reply}, Case{200000, LinkResult::LinkLost}, Case{-1, LinkResult::LinkLost}}) {
        SCOPED_TRACE(c.delayMs);
        host->faults().replyDelayMs = qMax(0, c.delayMs);
        host->faults().silentAfter = c.delayMs < 0 ? 0 : -1;
        ASSERT_TRUE(host->connectJobPort(t.ctx));
        const qint64 before = t.clock->nowMs();
        std::string reply;
        if (c.result != LinkResult::Reply) t.boxes->expect(kLinkLost + "10060 ");
        EXPECT_EQ(SendReceive(t.ctx.link, downloadRequest(), reply), c.result);
        const qint64 waited = t.clock->nowMs() - before;
        if (c.result == LinkResult::Reply) {
            EXPECT_EQ(reply.size(), 1024u);
            EXPECT_GE(waited, 60000);
            EXPECT_LT(waited, 120000);
        } else {
            EXPECT_EQ(reply, "");
            EXPECT_GE(waited, 120000);
            EXPECT_LT(waited, 125000);
            expectLinkTornDown();
        }
        EXPECT_TRUE(t.boxes->done());
    }
}

// A host that never falls silent but sends a byte every 200 ms would take
// 205 s for one reply: the reply's own limit ends it, as a lost link.
TEST_F(SendReceiveTest, AHostThatSendsAByteNowAndThenEndsAtTheWholeReplyLimit) {
    const std::string check = "QPRINT    QQGPL";
    std::string earlier;
    ASSERT_EQ(SendReceive(t.ctx.link, check, earlier), LinkResult::Reply);
    host->faults().byteEveryMs = 200;
    const qint64 before = t.clock->nowMs();
    t.boxes->expect(kLinkLost + "10060 The host did not send its whole reply in time");
    std::string reply = "old";
    EXPECT_EQ(SendReceive(t.ctx.link, downloadRequest(), reply), LinkResult::LinkLost);
    const qint64 waited = t.clock->nowMs() - before;
    EXPECT_GE(waited, t.ctx.link.wholeReplyMs);
    EXPECT_LT(waited, t.ctx.link.wholeReplyMs + 1000);
    EXPECT_EQ(reply, "");
    EXPECT_TRUE(t.boxes->done());
    expectLinkTornDown();
}

TEST_F(SendReceiveTest, SurplusBytesBeforeASendAreABrokenLinkAndNothingIsSent) {
    host->sim().sendRaw(t.ctx.connection.gJobPort, "stray bytes");
    t.clock->waitUntil([&] { return t.ctx.link.socket()->bytesAvailable() > 0; }, 5000);
    t.boxes->expect(kLinkLost + "10054 ");
    std::string reply = "old";
    EXPECT_EQ(SendReceive(t.ctx.link, downloadRequest(), reply), LinkResult::LinkLost);
    EXPECT_EQ(reply, "");
    t.clock->waitMs(500);
    EXPECT_TRUE(host->jobFrames().empty());
    expectLinkTornDown();
}

TEST_F(SendReceiveTest, SendAfterDisconnectFailsIntoTheErrorPath) {
    Disconnect(t.ctx.link);
    t.boxes->expect(kLinkLost + "40006 ");
    std::string reply;
    EXPECT_EQ(SendReceive(t.ctx.link, downloadRequest(), reply), LinkResult::LinkLost);
    expectLinkTornDown();
}
}  // namespace

namespace {
// Presses the user's Cancel as soon as the wait lets window events run.
void cancelDuringTheWait(RunContext& ctx) {
    QTimer::singleShot(0, [&ctx] { ctx.link.requestCancel(); });
}

TEST_F(SendReceiveTest, CancelDuringAStalledReplyEndsTheWaitAndClosesTheLink) {
    struct Case {
        int delayMs;            // how late the host answers
        bool linkKept;          // the reply came within the second after Cancel
    };
    const QString stalled = QStringLiteral(
        "Operation has been canceled by request of the user.  The iSeries had not answered yet, so the link to it has "
        "been closed.  Please re-connect.");
    for (const Case c : {Case{100, true}, Case{200000, false}}) {
        SCOPED_TRACE(c.delayMs);
        host->faults().replyDelayMs = c.delayMs;
        ASSERT_TRUE(host->connectJobPort(t.ctx));
        t.ctx.link.clearCancel();
        t.boxes->expect(c.linkKept ? QStringLiteral("Operation has been canceled by request of the user.  ") : stalled);
        cancelDuringTheWait(t.ctx);
        const qint64 before = t.clock->nowMs();
        std::string reply;
        EXPECT_EQ(SendReceive(t.ctx.link, downloadRequest(), reply), LinkResult::Cancelled);
        // Within about a second of the Cancel (slack for a busy machine), not at the reply limit.
        EXPECT_LT(t.clock->nowMs() - before, 5000);
        EXPECT_EQ(reply, HostWire::endOfDataReply());
        EXPECT_TRUE(t.boxes->done());
        EXPECT_EQ(status.last(), QStringLiteral("Last operation was canceled by user request."));
        if (c.linkKept) {
            EXPECT_EQ(host->jobFrames().back(), cancelRequest());
            EXPECT_NE(t.ctx.link.socketIfOpen(), nullptr);
        } else {
            EXPECT_EQ(t.ctx.link.socketIfOpen(), nullptr);
            expectLinkTornDown();
        }
    }
}

// The host takes the cancel request and never answers it; the user presses
// Cancel again. The wait ends, and the cancel's reply is still owed, so the
// link is closed rather than left to take that reply for the next one.
TEST_F(SendReceiveTest, CancelAgainWhileTheCancelIsUnansweredClosesTheLink) {
    struct CancelAgainWhenCanceling : LinkObserver {
        HostLink& link;
        explicit CancelAgainWhenCanceling(HostLink& l) : link(l) { link.addObserver(this); }
        ~CancelAgainWhenCanceling() override { link.removeObserver(this); }
        void linkStatus(const QString& text) override {
            if (text == QLatin1String("Canceling...")) QTimer::singleShot(0, [this] { link.requestCancel(); });
        }
    } again{t.ctx.link};
    host->faults().silentAfter = 1;
    t.ctx.link.requestCancel();
    t.boxes->expect(QStringLiteral(
        "Operation has been canceled by request of the user.  The iSeries had not answered yet, so the link to it "
        "has been closed.  Please re-connect."));
    const qint64 before = t.clock->nowMs();
    std::string reply;
    EXPECT_EQ(SendReceive(t.ctx.link, downloadRequest(), reply), LinkResult::Cancelled);
    EXPECT_LT(t.clock->nowMs() - before, 5000);
    EXPECT_EQ(reply, HostWire::endOfDataReply());
    EXPECT_EQ(host->jobFrames().back(), cancelRequest());
    EXPECT_TRUE(t.boxes->done());
    EXPECT_EQ(status.last(), QStringLiteral("Last operation was canceled by user request."));
    expectLinkTornDown();
}

// The host answers the request and never the cancel request that follows it.
// One Cancel is enough: the wait for that reply ends within about a second and
// the link, out of step, is closed; so it is when the program itself tells the
// host to drop the rest of a transfer.
TEST_F(SendReceiveTest, AHostThatNeverAnswersTheCancelRequestHoldsNobody) {
    for (const bool byTheUser : {true, false}) {
        SCOPED_TRACE(byTheUser ? "the user's Cancel" : "the program drops the rest");
        ASSERT_TRUE(host->connectJobPort(t.ctx));
        host->faults().silentAfter = 1;
        t.ctx.link.clearCancel();
        std::string reply;
        const qint64 before = t.clock->nowMs();
        if (byTheUser) {
            t.ctx.link.requestCancel();
            t.boxes->expect(QStringLiteral("Operation has been canceled by request of the user.  The iSeries had not "
                                           "answered yet, so the link to it has been closed.  Please re-connect."));
            EXPECT_EQ(SendReceive(t.ctx.link, downloadRequest(), reply), LinkResult::Cancelled);
            EXPECT_EQ(reply, HostWire::endOfDataReply());
            EXPECT_EQ(status.last(), QStringLiteral("Last operation was canceled by user request."));
        } else {
            ASSERT_EQ(SendReceive(t.ctx.link, downloadRequest(), reply), LinkResult::Reply);
            ASSERT_EQ(HostWire::controlArea(reply).substr(0, 6), "(MORE)");
            EXPECT_NE(t.ctx.link.abandonTransfer(), LinkResult::Reply);
        }
        // Within about a second (slack for a busy machine), not at the reply limit.
        EXPECT_LT(t.clock->nowMs() - before, 5000);
        EXPECT_EQ(host->jobFrames().back(), cancelRequest());
        EXPECT_TRUE(t.boxes->done());
        expectLinkTornDown();
    }
}

// A window event during the wait that asks for another exchange: the request
// is refused and reported, nothing is sent, and the owed reply is still read.
TEST_F(SendReceiveTest, ASecondRequestWhileAReplyIsOwedIsRefusedAndNotSent) {
    host->faults().replyDelayMs = 2000;
    std::string nested = "untouched";
    LinkResult nestedResult = LinkResult::Reply;
    bool busyDuringTheWait = false;
    QTimer::singleShot(0, [&] {
        busyDuringTheWait = t.ctx.link.busy();
        nestedResult = SendReceive(t.ctx.link, pad("QPRINT    QQGPL", 124), nested);
    });
    t.boxes->expect(QStringLiteral("Error in SendReceive procedure.  The iSeries is still busy"));
    std::string reply;
    EXPECT_EQ(SendReceive(t.ctx.link, downloadRequest(), reply), LinkResult::Reply);
    EXPECT_TRUE(busyDuringTheWait);
    EXPECT_EQ(nestedResult, LinkResult::Refused);
    EXPECT_EQ(nested, "untouched");
    EXPECT_EQ(host->jobFrames(), std::vector<std::string>{pad(downloadRequest(), 124)});
    EXPECT_EQ(reply.substr(0, 84), pad("001 Invoice line 1", 84));
    EXPECT_TRUE(t.boxes->done());
    EXPECT_FALSE(t.ctx.link.busy());
    // The link is in step: the next request is answered as usual.
    EXPECT_EQ(SendReceive(t.ctx.link, downloadRequest(), reply), LinkResult::Reply);
    EXPECT_EQ(host->jobFrames().size(), 2u);
    EXPECT_EQ(reply.substr(4, 15), "Invoice line 12");
}
// What the link reports of itself at each point of its life: idle once
// connected, waiting while a reply is owed, waiting on the cancel request's
// reply after a cancel (and idle again after it), and not connected once the
// host has gone.
TEST_F(SendReceiveTest, TheLinkSaysWhereItStandsThroughAnExchangeACancelAndALostLink) {
    EXPECT_EQ(t.ctx.link.state(), SessionState::Connected);
    // What the link says whenever bytes of a reply arrive, before it reads them.
    std::vector<SessionState> seen;
    QObject::connect(t.ctx.link.socket(), &HostSocket::dataArrival, [&] {
        if (seen.empty() || seen.back() != t.ctx.link.state()) seen.push_back(t.ctx.link.state());
    });
    std::string reply;
    ASSERT_EQ(SendReceive(t.ctx.link, downloadRequest(), reply), LinkResult::Reply);
    EXPECT_EQ(seen, std::vector<SessionState>{SessionState::AwaitingReply});
    EXPECT_EQ(t.ctx.link.state(), SessionState::Connected);

    seen.clear();
    t.ctx.link.requestCancel();
    t.boxes->expect(QStringLiteral("Operation has been canceled by request of the user.  "));
    ASSERT_EQ(SendReceive(t.ctx.link, downloadRequest(), reply), LinkResult::Cancelled);
    EXPECT_EQ(seen, (std::vector<SessionState>{SessionState::AwaitingReply, SessionState::CancelPending}));
    EXPECT_EQ(t.ctx.link.state(), SessionState::Connected);
    t.ctx.link.clearCancel();

    host->faults().dropAfter = 0;
    ASSERT_TRUE(host->connectJobPort(t.ctx));
    t.boxes->expect(kLinkLost + "10053 ");
    EXPECT_EQ(SendReceive(t.ctx.link, downloadRequest(), reply), LinkResult::LinkLost);
    EXPECT_EQ(t.ctx.link.state(), SessionState::NotConnected);
    EXPECT_TRUE(t.boxes->done());
    expectLinkTornDown();
}
}  // namespace
