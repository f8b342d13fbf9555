// The output-queue and spooled-file lists against hostsim, into a recorded
// chooser and a widgetless grid.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "CoreTestSupport.h"
#include "HostLink.h"
#include "HostSimFixture.h"
#include "Lists.h"
#include "OpenSelection.h"
#include "PlainSplfScreen.h"
#include "RecordingConnectView.h"

namespace {
std::string report(const std::string& name, int number) {
    return "name=" + name + "\njob=PAYROLL\nuser=SWUSER\njobnumber=200001\nnumber=" + std::to_string(number) +
           "\npages=3\nformtype=*STD\ndate=2009-03-14\ntime=08:05:09\nuserdata=\nwidth=80\n[records]\n001 line\n";
}

struct HostLists : ::testing::Test {
    CoreTestContext t;
    RunContext& ctx = t.ctx;
    RecordingConnectView view{ctx.connection};
    StatusRecorder linkNews{ctx.link};
    PlainSplfGrid grid;
    QTemporaryDir spool;
    std::unique_ptr<HostSimFixture> host;

    void start(HostSimFaults faults = {}) {
        host = std::make_unique<HostSimFixture>(
            HostSimFixtureOptions{.spool = spool.path(), .faults = faults, .clock = t.clock, .listener = false});
        ASSERT_TRUE(host->connectJobPort(ctx));
        defineSplfGridColumns(grid);
    }
    Outcome listQueues(const QString& library) { return ListOutputQueues(ctx.link, ctx.services, ctx.connection, library, view); }
    Outcome listFiles(const QString& outq, const QString& library, const QString& shown) {
        return GetSpoolFiles(ctx.link, ctx.services, ctx.connection, grid, outq, library, QStringLiteral("*ALL"), shown);
    }
};
}  // namespace

TEST_F(HostLists, QueuesArriveBlockByBlockInHostOrder) {
    // More queues than one block holds.
    QStringList names;
    for (int i = 1; i <= 20; ++i) {
        names << QStringLiteral("Q%1").arg(i, 2, 10, QLatin1Char('0'));
        HostSimFixture::writeSpooledFile(spool.path(), "MYLIB", names.last(), "a.splf", report("R", i));
    }
    start();
    EXPECT_TRUE(listQueues("MYLIB"));
    ASSERT_EQ(view.outqs.size(), names.size());
    for (int i = 0; i < names.size(); ++i)
        EXPECT_TRUE(view.outqs[i].startsWith(names[i])) << view.outqs[i].toStdString();
    EXPECT_EQ(host->jobFrames().size(), 2u);
    EXPECT_EQ(view.statuses,
              (QStringList{"Retrieving a list of outqs.  ", "Please specify a user, an outq or both.  "}));
    EXPECT_FALSE(ctx.connection.gNoOutqs);
    EXPECT_TRUE(t.boxes->shown().empty());
}

TEST_F(HostLists, ALibraryWithoutQueuesSaysSo) {
    start();
    t.boxes->expect("No output queues selected.  There may be none present in the library.");
    EXPECT_FALSE(listQueues("NOLIB"));
    EXPECT_TRUE(t.boxes->done());
    EXPECT_TRUE(view.outqs.isEmpty());
    EXPECT_TRUE(ctx.connection.gNoOutqs);
}

TEST_F(HostLists, EachRowNamesTheQueueTheMainWindowShowsUnlessItIsAll) {
    HostSimFixture::writeSpooledFile(spool.path(), "MYLIB", "PRT01", "a.splf", report("FIRST", 1));
    HostSimFixture::writeSpooledFile(spool.path(), "MYLIB", "PRT02", "b.splf", report("SECOND", 2));
    start();
    const struct {
        const char* outq;
        const char* shown;
        QStringList queues;
    } cases[] = {
        {"PRT01", "PRT01", {"PRT01"}},
        {"*ALL", "*ALL", {"PRT01", "PRT02"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.outq);
        EXPECT_TRUE(listFiles(c.outq, QString::fromLatin1(*c.outq == '*' ? "" : "MYLIB"), c.shown));
        QStringList queues;
        for (int row = 1; row <= grid.rowCount(); ++row) queues << grid.cellValue(row, "Outq");
        EXPECT_EQ(queues, c.queues);
        EXPECT_TRUE(grid.rowSelected(1));
    }
}

TEST_F(HostLists, AHostThatStopsAnsweringEndsTheListAndTheLink) {
    for (int i = 1; i <= 20; ++i)
        HostSimFixture::writeSpooledFile(spool.path(), "MYLIB", "PRT01", QString("%1.splf").arg(i), report("R", i));
    // The first block comes, the second never does.
    start(HostSimFaults{.silentAfter = 1});
    t.boxes->expect("Error in SendReceive procedure.");
    EXPECT_FALSE(listFiles("PRT01", "MYLIB", "PRT01"));
    EXPECT_TRUE(t.boxes->done());
    EXPECT_EQ(linkNews.lost, 1);
    EXPECT_EQ(ctx.link.socketIfOpen(), nullptr);
    EXPECT_EQ(host->jobFrames().size(), 2u);
}

// A host that sends its list a byte every 200 ms (205 s a block) is given up
// when the block is not whole within the reply limit.
TEST_F(HostLists, AHostThatSendsAByteNowAndThenEndsTheListAtTheReplyLimit) {
    for (int i = 1; i <= 20; ++i)
        HostSimFixture::writeSpooledFile(spool.path(), "MYLIB", "PRT01", QString("%1.splf").arg(i), report("R", i));
    start(HostSimFaults{.byteEveryMs = 200});
    t.boxes->expect("Error in SendReceive procedure.");
    const qint64 before = t.clock->nowMs();
    listFiles("PRT01", "MYLIB", "PRT01");
    EXPECT_GE(t.clock->nowMs() - before, ctx.link.wholeReplyMs);
    EXPECT_LT(t.clock->nowMs() - before, ctx.link.wholeReplyMs + 1000);
    EXPECT_TRUE(t.boxes->done());
    EXPECT_EQ(linkNews.lost, 1);
    EXPECT_EQ(ctx.link.socketIfOpen(), nullptr);
    EXPECT_EQ(grid.rowCount(), 0);
}

TEST_F(HostLists, AQueueCheckThatGetsNoAnswerStopsWithoutASecondMessage) {
    HostSimFixture::writeSpooledFile(spool.path(), "MYLIB", "PRT01", "a.splf", report("FIRST", 1));
    start(HostSimFaults{.silentAfter = 0});
    t.boxes->expect("Error in SendReceive procedure.");
    const OutqCheck check = checkOutq(ctx.link, ctx.services, ctx.connection, "PRT01", "*LIBL");
    EXPECT_FALSE(check.outcome);
    EXPECT_FALSE(check.notFound);
    EXPECT_TRUE(t.boxes->done());
    EXPECT_TRUE(check.library.isEmpty());
    EXPECT_EQ(linkNews.lost, 1);
}
