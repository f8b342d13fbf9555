#include <gtest/gtest.h>

#include "HostLink.h"
#include "CoreTestSupport.h"

namespace {
// A socket whose peer answered and closed before a data-arrival count was seen.
class ClosedWithReplySocket : public HostSocket {
public:
    explicit ClosedWithReplySocket(qsizetype waiting) : waiting_(waiting) {}
    void connectToHost() override {}
    int state() const override { return sent_ ? Closed : Connected; }
    void sendData(const std::string&) override { sent_ = true; }
    std::string getData(qsizetype maxBytes) override {
        const qsizetype n = qMin(maxBytes, sent_ ? waiting_ : 0);
        waiting_ -= n;
        return std::string(static_cast<size_t>(n), 'r');
    }
    qsizetype bytesAvailable() const override { return sent_ ? waiting_ : 0; }
    void close() override {}
    int lastErrorNumber() const override { return 0; }
    QString lastErrorDescription() const override { return {}; }
    void clearError() override {}

private:
    qsizetype waiting_;
    bool sent_ = false;
};

TEST(AwaitReply, ClosedLinkEndsTheWaitWithWhatCame) {
    struct Case {
        qsizetype waiting;
        LinkResult result;
    };
    for (const Case c : {Case{1024, LinkResult::Reply}, Case{1023, LinkResult::LinkLost}}) {
        CoreTestContext t;
        t.ctx.services.makeSocket = [&] { return std::make_unique<ClosedWithReplySocket>(c.waiting); };
        if (c.result != LinkResult::Reply) t.boxes->expect(QStringLiteral("If local error, code is 10053 "));
        std::string reply;
        EXPECT_EQ(SendReceive(t.ctx.link, "QPRINT    Q*LIBL", reply), c.result) << c.waiting;
        EXPECT_EQ(reply, c.result == LinkResult::Reply ? std::string(1024, 'r') : std::string()) << c.waiting;
        EXPECT_TRUE(t.boxes->done());
    }
}
}  // namespace
