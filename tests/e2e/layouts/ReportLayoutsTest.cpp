#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <memory>
#include <ostream>

#include "CoreTestSupport.h"
#include "HostSimFixture.h"
#include "ProcTxt.h"
#include "ScriptedHostSocket.h"
#include "TransferTestSupport.h"

// One report in every layout and every record width gives the same files
// whichever host sends it: the scripted socket, which answers with the
// replies it is given, or hostsim over loopback, which serves the report from
// its spool folder and reads the request's options itself.
namespace {
enum class Host { Scripted, Hostsim };
const char* hostName(Host h) { return h == Host::Scripted ? "ScriptedSocket" : "Hostsim"; }
void PrintTo(Host h, std::ostream* os) { *os << hostName(h); }

class ReportLayouts : public ::testing::TestWithParam<Host> {
protected:
    void SetUp() override {
        if (GetParam() == Host::Scripted) {
            scripted = UseScriptedHost(t.ctx);
            return;
        }
        // The report as the host holds it: overprint records kept.
        options.suppressOverprinting = false;
        hostsim = std::make_unique<HostSimFixture>(HostSimFixtureOptions{.spool = spool.path(), .clock = t.clock});
        ASSERT_TRUE(hostsim->connectJobPort(t.ctx));
    }
    void serve(const std::vector<SpoolReplies::Record>& records, int width) {
        if (scripted) {
            scripted->replies(SpoolReplies::report(records, QString::number(width).rightJustified(3).toStdString()));
        } else {
            HostSimFixture::writeSpooledFile(spool.path(), QStringLiteral("QGPL"), QStringLiteral("QPRINT"),
                                             QStringLiteral("sales.splf"), SampleSplf(records, width));
        }
    }
    ReportResult run(const QString& code) {
        const ReportResult result = ProcTxt(t.ctx, options, progress, file, code, SampleRow());
        width = result.recordWidth;
        return result;
    }

    CoreTestContext t;
    QTemporaryDir spool;
    std::shared_ptr<ScriptedHost> scripted;
    std::unique_ptr<HostSimFixture> hostsim;
    DownloadOptions options = TextFileOptions();
    StatusRecorder progress{t.ctx.link};
    QString file = t.dir.path() + QStringLiteral("/out.txt");
    QString width;
};
}  // namespace

TEST_P(ReportLayouts, OneReportInEveryLayout) {
    for (const LayoutCase& c : EveryLayout()) {
        SCOPED_TRACE(c.golden);
        serve(SalesReport(), 80);
        ApplyLayout(options, c);
        ASSERT_TRUE(run(QString::fromLatin1(c.code)));
        EXPECT_EQ(width, QStringLiteral(" 80"));
        EXPECT_EQ(progress.last(),
                  QStringLiteral("Transfer is complete to ") + file + QStringLiteral(".  21 records transferred."));
        ExpectGolden(ReadFileBytes(file), QString::fromLatin1(c.golden));
    }
    if (scripted) {
        EXPECT_TRUE(scripted->script.empty());
    }
}

TEST_P(ReportLayouts, EveryRecordWidth) {
    for (int w : {132, 198, 990}) {
        SCOPED_TRACE(w);
        serve(WideSalesReport(w), w);
        ASSERT_TRUE(run(QStringLiteral("ProcFullView")));
        EXPECT_EQ(width, QString::number(w));
        ExpectGolden(ReadFileBytes(file), QStringLiteral("transfer/full_view_%1.txt").arg(w));
    }
}

INSTANTIATE_TEST_SUITE_P(EitherHost, ReportLayouts, ::testing::Values(Host::Scripted, Host::Hostsim),
                         [](const ::testing::TestParamInfo<Host>& info) { return std::string(hostName(info.param)); });
