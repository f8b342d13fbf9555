#include <gtest/gtest.h>

#include "ScriptedHostSocket.h"
#include "SpoolExchange.h"
#include "CoreTestSupport.h"
#include "TransferTestSupport.h"

using Record = SpoolReplies::Record;

namespace {
class RecordingSink : public SpoolRecordSink {
public:
    void accepted(const std::string& widthCode) override { widths.push_back(widthCode); }
    void record(const SpoolRecordSlot& slot) override { texts.push_back(RightTrim(std::string(slot.text))); }
    std::vector<std::string> widths, texts;
};

std::vector<std::string> block(int width, int first, int count) {
    std::vector<std::string> out;
    for (int i = first; i < first + count; ++i) out.push_back(SpoolReplies::slot(width, {"   ", '1', "R" + std::to_string(i)}));
    return out;
}

class SpoolExchangeTest : public ::testing::Test {
protected:
    CoreTestContext t;
    std::shared_ptr<ScriptedHost> host = UseScriptedHost(t.ctx);
    StatusRecorder screen{t.ctx.link};
    RecordingSink sink;
    const std::string request = std::string(10, ' ') + "W" + std::string(113, ' ');

    ExchangeResult run(const ExchangeStyle& style) { return RunSpoolExchange(t.ctx, request, style, sink, screen); }
};
}  // namespace

// What ends a report, by the style's rules for the control area.
TEST_F(SpoolExchangeTest, TheControlAreaEndsTheReportAsTheStyleSays) {
    ExchangeStyle everyBlock;  // anything but "(END)" and "(INVALID)" asks for more
    ExchangeStyle onlyOnMore;
    onlyOnMore.next = ExchangeStyle::Continue::OnlyOnMore;
    ExchangeStyle invalidEnds;
    invalidEnds.laterInvalidDenied = false;
    const struct {
        const char* what;
        const ExchangeStyle* style;
        std::vector<std::string> controls;  // of the replies, in order
        ExchangeEnd end;
        int requests;
        bool deniedBox;
    } cases[] = {
        {"(MORE) then (END)", &everyBlock, {"(MORE)", "(END)"}, ExchangeEnd::Complete, 2, false},
        {"an unknown text asks for more", &everyBlock, {"(MORE)", "??", "(END)"}, ExchangeEnd::Complete, 3, false},
        {"an unknown text ends the report", &onlyOnMore, {"(MORE)", "??"}, ExchangeEnd::Complete, 2, false},
        {"a later refusal is denied", &everyBlock, {"(MORE)", "(INVALID)"}, ExchangeEnd::Denied, 2, true},
        {"a later refusal ends it", &invalidEnds, {"(MORE)", "(INVALID)"}, ExchangeEnd::Complete, 2, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        host->requests.clear();
        sink = RecordingSink();
        int first = 1;
        for (const std::string& control : c.controls) {
            host->reply(SpoolReplies::reply(block(80, first, 2), control, first == 1 ? " 80" : "132"));
            first += 2;
        }
        if (c.deniedBox) t.boxes->expect(QStringLiteral("Access denied.  Possible authority problem."));
        const ExchangeResult r = run(*c.style);
        EXPECT_EQ(r.end, c.end);
        EXPECT_EQ(host->downloadRequests(), c.requests);
        EXPECT_EQ(r.records, 2 * c.requests);
        // Every block is read with the first reply's width.
        EXPECT_EQ(sink.widths, std::vector<std::string>{" 80"});
        EXPECT_EQ(static_cast<int>(sink.texts.size()), 2 * c.requests);
        EXPECT_TRUE(host->script.empty());
        EXPECT_TRUE(t.boxes->done());
    }
}

TEST_F(SpoolExchangeTest, ARefusedFirstBlockOpensNothing) {
    ExchangeStyle style;
    style.refusedText = QStringLiteral("Not available.");
    host->reply(SpoolReplies::reply({}, "(INVALID)", " 80"));
    t.boxes->expect(QStringLiteral("Not available."));
    EXPECT_EQ(run(style).end, ExchangeEnd::Refused);
    EXPECT_EQ(t.boxes->shown().back().title, QStringLiteral("Tolvane"));
    EXPECT_EQ(t.boxes->shown().back().icon, MsgIcon::Critical);
    EXPECT_TRUE(sink.widths.empty());

    // A whole-queue batch run shows no box.
    t.ctx.mode.gBatchNoDialogs = true;
    host->reply(SpoolReplies::reply({}, "(INVALID)", " 80"));
    EXPECT_EQ(run(style).end, ExchangeEnd::Refused);
    EXPECT_TRUE(t.boxes->done());
}

TEST_F(SpoolExchangeTest, ProgressFromTheThresholdOrFromTheCount) {
    // 7 records of 132 columns a block, 25 blocks: 175 records.
    const struct {
        bool fromCount;
        QStringList texts;
    } cases[] = {
        {false, {"Records transferred: 56   ", "Records transferred: 105   ", "Records transferred: 154   "}},
        {true, {"Records transferred: 56   ", "Records transferred: 112   ", "Records transferred: 168   "}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.fromCount);
        screen.history.clear();
        for (int b = 0; b < 25; ++b)
            host->reply(SpoolReplies::reply(block(132, 7 * b + 1, 7), b == 24 ? "(END)" : "(MORE)", "132"));
        ExchangeStyle style;
        style.thresholdFromCount = c.fromCount;
        const ExchangeResult r = run(style);
        EXPECT_EQ(r.records, 175);
        EXPECT_EQ(screen.history, c.texts);  // the exchange writes only its progress
    }
}

namespace {
// A sink that notes how many requests the host had when each record came,
// and fails on one record.
class WatchingSink : public RecordingSink {
public:
    WatchingSink(const ScriptedHost& h, std::string failOn = {}) : host(h), failOn_(std::move(failOn)) {}
    void record(const SpoolRecordSlot& slot) override {
        RecordingSink::record(slot);
        asked.push_back(host.downloadRequests());
        if (texts.back() == failOn_) throw std::runtime_error("disk full");
    }
    const ScriptedHost& host;
    std::vector<int> asked;

private:
    std::string failOn_;
};
}  // namespace

// The next block is asked for before a block goes to the writer, so that the
// host works while the writer does; the last block asks for nothing.
TEST_F(SpoolExchangeTest, TheNextBlockIsAskedForBeforeABlockIsWritten) {
    host->reply(SpoolReplies::reply(block(80, 1, 1), "(MORE)", " 80"));
    host->reply(SpoolReplies::reply(block(80, 2, 1), "(MORE)", " 80"));
    host->reply(SpoolReplies::reply(block(80, 3, 1), "(END)", " 80"));
    WatchingSink watching(*host);
    const ExchangeResult r = RunSpoolExchange(t.ctx, request, ExchangeStyle{}, watching, screen);
    EXPECT_EQ(r.end, ExchangeEnd::Complete);
    EXPECT_EQ(watching.asked, (std::vector<int>{2, 3, 3}));
    EXPECT_EQ(host->downloadRequests(), 3);
    EXPECT_EQ(host->cancelRequests, 0);
}

// A writer that fails with a request outstanding: its reply is read and
// dropped, the host is told to stop only when it still holds blocks, and the
// link stays in step for the next exchange.
TEST_F(SpoolExchangeTest, AWriterFailureWithARequestOutstandingKeepsTheLinkInStep) {
    for (const bool moreBehind : {true, false}) {
        SCOPED_TRACE(moreBehind ? "the host holds more" : "the reply ahead is the last");
        host->requests.clear();
        host->cancelRequests = 0;
        host->reply(SpoolReplies::reply(block(80, 1, 2), "(MORE)", " 80"));
        host->reply(SpoolReplies::reply(block(80, 3, 2), moreBehind ? "(MORE)" : "(END)", " 80"));
        if (moreBehind) host->reply(SpoolReplies::reply(block(80, 5, 2), "(END)", " 80"));
        WatchingSink failing(*host, "R2");
        EXPECT_THROW(RunSpoolExchange(t.ctx, request, ExchangeStyle{}, failing, screen), std::runtime_error);
        EXPECT_EQ(host->downloadRequests(), 2);
        EXPECT_EQ(host->cancelRequests, moreBehind ? 1 : 0);
        EXPECT_FALSE(t.ctx.link.replyOwed());
        // The next exchange gets its own reply.
        host->script.clear();
        host->reply(SpoolReplies::reply(block(80, 9, 1), "(END)", " 80"));
        sink = RecordingSink();
        EXPECT_EQ(run(ExchangeStyle{}).end, ExchangeEnd::Complete);
        EXPECT_EQ(sink.texts, std::vector<std::string>{"R9"});
    }
}
