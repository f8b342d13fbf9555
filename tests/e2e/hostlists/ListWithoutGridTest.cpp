// The spooled-file list filled with no grid to show it (a run nobody
// watches): the same entries as a grid gets, and a host that stops answering.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "CoreTestSupport.h"
#include "HostSimFixture.h"
#include "ListSplfGrid.h"
#include "Lists.h"
#include "OpenSelection.h"
#include "PlainSplfScreen.h"

namespace {
std::string report(int number) {
    return "name=R" + std::to_string(number) + "\njob=PAYROLL\nuser=SWUSER\njobnumber=200001\nnumber=" +
           std::to_string(number) +
           "\npages=3\nformtype=*STD\ndate=2009-03-14\ntime=08:05:09\nuserdata=MONTHLY\nwidth=80\n[records]\n001 line\n";
}

struct ListWithoutGrid : ::testing::Test {
    CoreTestContext t;
    RunContext& ctx = t.ctx;
    QTemporaryDir spool;
    std::unique_ptr<HostSimFixture> host;

    void start(int reports, HostSimFaults faults = {}) {
        for (int i = 1; i <= reports; ++i)
            HostSimFixture::writeSpooledFile(spool.path(), "MYLIB", "PRT01", QString("%1.splf").arg(i), report(i));
        host = std::make_unique<HostSimFixture>(
            HostSimFixtureOptions{.spool = spool.path(), .faults = faults, .clock = t.clock, .listener = false});
        ASSERT_TRUE(host->connectJobPort(ctx));
    }
    Outcome list(SplfGrid& grid) {
        defineSplfGridColumns(grid);
        return GetSpoolFiles(ctx.link, ctx.services, ctx.connection, grid, "PRT01", "MYLIB", QStringLiteral("*ALL"), "PRT01");
    }
};
}  // namespace

TEST_F(ListWithoutGrid, TheEntriesAreTheRowsAGridGets) {
    // More reports than one list block holds.
    start(45);
    PlainSplfGrid shown;
    ASSERT_TRUE(list(shown));
    ListSplfGrid entries;
    ASSERT_TRUE(list(entries));
    ASSERT_EQ(entries.rowCount(), 45);
    ASSERT_EQ(entries.columnCount(), shown.columnCount());
    for (int row = 1; row <= shown.rowCount(); ++row)
        for (const QString& key : shown.keys())
            ASSERT_EQ(entries.cellValue(row, key), shown.cellValue(row, key)) << row << " " << key.toStdString();
    EXPECT_EQ(entries.list().rows(), 45);
    // The list selects its first report, as on the screen; a batch run takes them all.
    EXPECT_TRUE(entries.rowSelected(1));
    EXPECT_FALSE(entries.rowSelected(2));
    entries.selectAllRows();
    EXPECT_TRUE(entries.rowSelected(45));
    EXPECT_THROW(entries.cellValue(46, "File"), std::out_of_range);
    EXPECT_THROW(entries.cellValue(1, "NoSuchColumn"), std::out_of_range);
}

TEST_F(ListWithoutGrid, AHostThatStopsAnsweringEndsTheList) {
    start(45, HostSimFaults{.silentAfter = 1});
    t.boxes->expect("Error in SendReceive procedure.");
    ListSplfGrid entries;
    EXPECT_FALSE(list(entries));
    EXPECT_TRUE(t.boxes->done());
    EXPECT_EQ(ctx.link.socketIfOpen(), nullptr);
    // The block that came is kept; the status and the closed link say the list did not end.
    EXPECT_EQ(entries.rowCount(), 10);
}
