#include <gtest/gtest.h>

#include <QFileInfo>
#include <QTemporaryDir>

#include "HostSimFixture.h"
#include "ProcTxt.h"
#include "ScreenOptions.h"
#include "SpoolDownload.h"
#include "TestSupport.h"
#include "TransferTestSupport.h"

namespace {
// The sales report served by hostsim, fetched by ProcTxt over loopback.
class LayoutsFromHostsim : public ::testing::Test {
protected:
    void SetUp() override {
        // The report as the host holds it: overprint records and minus signs kept.
        screen.setCheck(ScreenCheck::SuppressOverprinting, 0);
        t.ctx.download.gMinusSignApplicable = false;
        serve(SalesReport(), 80);
        host = std::make_unique<HostSimFixture>(HostSimFixtureOptions{.spool = spool.path(), .clock = t.clock});
        ASSERT_TRUE(host->connectJobPort(t.ctx));
    }
    void serve(const std::vector<SpoolReplies::Record>& records, int width) {
        HostSimFixture::writeSpooledFile(spool.path(), QStringLiteral("QGPL"), QStringLiteral("QPRINT"),
                                         QStringLiteral("sales.splf"), SampleSplf(records, width));
    }
    ReportResult run(const QString& code) {
        ScreenProgress progress(screen);
        const ReportResult result =
            ProcTxt(t.ctx, ReadScreenOptions(screen, t.ctx.download.gMinusSignApplicable), progress, file, code, SampleRow());
        width = result.recordWidth;
        return result;
    }

    TestContext t;
    QTemporaryDir spool;
    PlainSplfScreen& screen = TextFileScreen(t.ctx);
    std::unique_ptr<HostSimFixture> host;
    QString file = t.dir.path() + QStringLiteral("/out.txt");
    QString width;
};
}  // namespace

TEST_F(LayoutsFromHostsim, AnUnknownWidthCodeIsARefusedDownload) {
    host->faults().widthCode = " 81";
    WriteFileBytes(file, "EARLIER REPORT\r\n");
    t.boxes->expect(QStringLiteral("The host sent the report with the record width code \" 81\""));
    EXPECT_FALSE(run(QStringLiteral("Text")));
    EXPECT_TRUE(width.isEmpty());
    EXPECT_EQ(ReadFileBytes(file), "EARLIER REPORT\r\n");
    // The first block was asked for; the host was then told to drop the rest.
    const std::vector<std::string> frames = host->jobFrames();
    int downloads = 0;
    for (const std::string& f : frames) downloads += f.size() > 10 && f[10] == 'W';
    EXPECT_EQ(downloads, 1);
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames.back()[99], 'X');
    EXPECT_TRUE(t.boxes->done());
}

// Bold and underlined lines are printed over themselves: a full page of them
// holds far more records than lines, and is still a whole report.
TEST_F(LayoutsFromHostsim, AReportDenseWithOverprintingIsDeliveredWhole) {
    std::vector<SpoolReplies::Record> records;
    for (int page = 1; page <= 3; ++page) {
        records.push_back({"001", ' ', "PAGE " + std::to_string(page)});
        for (int line = 2; line <= 70; ++line) {
            const std::string text = "LINE " + std::to_string(line);
            records.push_back({"   ", '1', text});
            for (int over = 0; over < 3; ++over) records.push_back({"   ", '0', text});
        }
    }
    serve(records, 80);
    WriteFileBytes(file, "EARLIER REPORT\r\n");
    EXPECT_TRUE(run(QStringLiteral("Text")));
    EXPECT_EQ(screen.status(), QStringLiteral("Transfer is complete to ") + file +
                                   QStringLiteral(".  ") + QString::number(records.size()) +
                                   QStringLiteral(" records transferred."));
    EXPECT_TRUE(t.boxes->done());
}
