#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <functional>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include "DownloadDriver.h"
#include "DownloadWindows.h"
#include "HostSimFixture.h"
#include "TestSupport.h"
#include "TransferTestSupport.h"

namespace {
// A month-end report of `records` lines, 80 columns, spooled file `number`
// of job 100001/SWUSER/MONTHEND.
std::string monthEnd(const std::string& name, int number, int records) {
    std::string s = "name=" + name + "\njob=MONTHEND\nuser=SWUSER\njobnumber=100001\nnumber=" +
                    std::to_string(number) +
                    "\nwidth=80\nformtype=*STD\ndate=2024-06-30\ntime=23:59:01\nuserdata=JUNE\n[records]\n";
    for (int i = 1; i <= records; ++i)
        s += (i == 1 ? "001 " : "   1") + name + " LINE " + std::to_string(i) + "\n";
    return s;
}

class TextDownloadTest : public ::testing::Test {
protected:
    void SetUp() override {
        const char* names[] = {"REPORTA", "REPORTB", "REPORTC"};
        for (int i = 0; i < 3; ++i) {
            HostSimFixture::writeSpooledFile(spool.path(), "SALES", "PRT01", QString::fromLatin1(names[i]) + ".splf",
                                             monthEnd(names[i], i + 1, 30));
            AddGridRow(screen, QString::fromLatin1(names[i]), QStringLiteral("MONTHEND/000%1").arg(i + 1));
            SplfGrid& g = screen.grdSplf();
            g.setCellValue(i + 1, QStringLiteral("User"), QStringLiteral("SWUSER"));
            g.setCellValue(i + 1, QStringLiteral("JobNumber"), QStringLiteral("100001"));
            g.setCellValue(i + 1, QStringLiteral("Date"), QStringLiteral("2024/06/30 23:59:01"));
            g.setCellValue(i + 1, QStringLiteral("UserData"), QStringLiteral("JUNE      "));
        }
        screen.setText(ScreenText::PageLength, QStringLiteral("Variable"));
        t.ctx.services.saveSetting(QStringLiteral("FullName"), QStringLiteral("1"));
        t.ctx.services.saveSetting(QStringLiteral("Save Path"), out.path());
        host = std::make_unique<HostSimFixture>(HostSimFixtureOptions{.spool = spool.path(), .clock = t.clock});
        ASSERT_TRUE(host->connectJobPort(t.ctx));
        presenter->onModal = [](QWidget* w) { static_cast<frmSaveAs*>(w)->cmdOpenAll->click(); };
    }
    QString nameOf(const char* report, int number) {
        return out.path() + QLatin1Char('/') + QString::fromLatin1(report) +
               QStringLiteral(" MONTHEND SWUSER 100001 000%1 2024-06-30 23-59-01.txt").arg(number);
    }
    static std::string lines(const char* report, int first, int last) {
        std::string s;
        for (int i = first; i <= last; ++i) s += std::string(report) + " LINE " + std::to_string(i) + "\r\n";
        return s;
    }
    int downloadRequests() {
        int n = 0;
        for (const std::string& f : host->jobFrames()) n += f.size() > 10 && f[10] == 'W';
        return n;
    }

    TestContext t;
    QTemporaryDir spool, out;
    PlainSplfScreen& screen = TextFileScreen(t.ctx);
    TestPresenter* presenter = t.presenter;
    std::unique_ptr<HostSimFixture> host;
};
}  // namespace

TEST_F(TextDownloadTest, ThreeReportsSavedAllUnderTheirAttributeNames) {
    const auto outcomes = RunSelectedDownloads(t.ctx);
    ASSERT_EQ(outcomes.size(), 3u);
    const char* names[] = {"REPORTA", "REPORTB", "REPORTC"};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(outcomes[static_cast<size_t>(i)].status, ReportOutcome::Delivered);
        EXPECT_EQ(outcomes[static_cast<size_t>(i)].target, nameOf(names[i], i + 1));
        EXPECT_EQ(ReadFileBytes(nameOf(names[i], i + 1)), lines(names[i], 1, 30)) << names[i];
    }
    EXPECT_EQ(presenter->shownNames().size(), 1);
    EXPECT_EQ(downloadRequests(), 9);  // 11 + 11 + 8 records each
    EXPECT_EQ(screen.status(),
              QStringLiteral("Transfer is complete to ") + nameOf("REPORTC", 3) + QStringLiteral(".  30 records transferred."));
}

TEST_F(TextDownloadTest, ACancelAfterTheFirstBlockDeliversNoFurtherReport) {
    // "&Cancel" is pressed while the second block arrives.
    qint64 arrived = 0;
    bool pressed = false;
    QObject::connect(t.ctx.link.socketIfOpen(), &HostSocket::dataArrival, [&](qint64 n) {
        arrived += n;
        if (arrived > 1024 && !pressed) {
            pressed = true;
            CancelSelectedDownloads(t.ctx);
        }
    });
    t.boxes->expect(QStringLiteral("Operation has been canceled by request of the user.  "));
    const auto outcomes = RunSelectedDownloads(t.ctx);
    ASSERT_EQ(outcomes.size(), 3u);
    for (const auto& o : outcomes) EXPECT_EQ(o.status, ReportOutcome::Canceled);
    EXPECT_EQ(ReadFileBytes(nameOf("REPORTA", 1)), lines("REPORTA", 1, 11));
    EXPECT_FALSE(QFileInfo::exists(nameOf("REPORTB", 2)));
    EXPECT_FALSE(QFileInfo::exists(nameOf("REPORTC", 3)));
    EXPECT_EQ(downloadRequests(), 2);
    const std::vector<std::string> frames = host->jobFrames();
    ASSERT_FALSE(frames.empty());
    EXPECT_EQ(frames.back().find_first_not_of(' '), 99u);  // the cancel request
    EXPECT_EQ(frames.back()[99], 'X');
    EXPECT_TRUE(screen.statusHistory.contains(QStringLiteral("Cancel in progress...  Please wait.")));
    EXPECT_TRUE(screen.statusHistory.contains(QStringLiteral("Canceling...")));
    EXPECT_EQ(screen.status(), QStringLiteral("Last operation was canceled by user request."));
    EXPECT_EQ(screen.cancelCaption(), QStringLiteral("&Close"));
    EXPECT_TRUE(t.boxes->done());
}

TEST_F(TextDownloadTest, AHostThatRefusesLaterBlocksLeavesTheReportIncomplete) {
    host->faults().invalidAfterBlocks = 1;
    for (int i = 2; i <= 3; ++i) screen.grdSplf().setCellSelected(i, 1, false);
    t.boxes->expect(QStringLiteral("Access denied.  Possible authority problem."));
    const auto outcomes = RunSelectedDownloads(t.ctx);
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_EQ(outcomes[0].status, ReportOutcome::Failed);
    EXPECT_EQ(ReadFileBytes(nameOf("REPORTA", 1)), lines("REPORTA", 1, 11));
    EXPECT_EQ(screen.status(), QStringLiteral("Transfer to file ") + nameOf("REPORTA", 1) +
                                   QStringLiteral(" is incomplete.  11 records transferred."));
}

TEST_F(TextDownloadTest, NoFailureOfTheHostCostsAnEarlierFile) {
    for (int i = 2; i <= 3; ++i) screen.grdSplf().setCellSelected(i, 1, false);
    const QString file = nameOf("REPORTA", 1);
    // The user names the earlier file in the save-as window.
    presenter->onModal = [&](QWidget* w) {
        auto* d = static_cast<frmSaveAs*>(w);
        d->txtSave->setText(file);
        d->OKButton->click();
    };
    const struct {
        const char* what;
        std::function<void(HostSimFaults&)> fault;
        const char* box;
        ReportOutcome::Status status;
    } cases[] = {
        {"a refusal after the first block", [](HostSimFaults& f) { f.invalidAfterBlocks = 1; },
         "Access denied.  Possible authority problem.", ReportOutcome::Failed},
        {"the link dropped", [](HostSimFaults& f) { f.dropAfter = 1; }, "Error in SendReceive procedure.",
         ReportOutcome::Failed},
        {"the link dropped within a reply",
         [](HostSimFaults& f) {
             f.dropAfter = 1;
             f.dropPartialBytes = 500;
         },
         "Error in SendReceive procedure.", ReportOutcome::Failed},
        {"a host that stops answering", [](HostSimFaults& f) { f.silentAfter = 1; }, "Error in SendReceive procedure.",
         ReportOutcome::Failed},
        {"a host that sends a byte every 200 ms", [](HostSimFaults& f) { f.byteEveryMs = 200; },
         "Error in SendReceive procedure.", ReportOutcome::Failed},
        {"\"(MORE)\" for ever", [](HostSimFaults& f) { f.endlessMore = true; },
         "The host keeps saying that more of the report follows, but sends nothing more.", ReportOutcome::Failed},
        {"a cancel", [](HostSimFaults&) {}, "Operation has been canceled by request of the user.  ",
         ReportOutcome::Canceled},
    };
    for (const auto& c : cases) {
        for (const bool replace : {true, false}) {
            SCOPED_TRACE(std::string(c.what) + (replace ? ", replace" : ", add"));
            screen.setChosen(ScreenChoice::TextAddReplace, 0, replace);
            screen.setChosen(ScreenChoice::TextAddReplace, 1, !replace);
            screen.grdSplf().setCellSelected(1, 1, true);
            WriteFileBytes(file, "EARLIER REPORT\r\n");
            host->faults() = HostSimFaults{};
            ASSERT_TRUE(host->connectJobPort(t.ctx));
            c.fault(host->faults());
            QMetaObject::Connection pressCancel;
            if (c.status == ReportOutcome::Canceled) {
                pressCancel = QObject::connect(t.ctx.link.socketIfOpen(), &HostSocket::dataArrival, [&](qint64) {
                    if (t.ctx.link.receivedBytes() >= 1024) CancelSelectedDownloads(t.ctx);
                });
            }
            t.boxes->expect(QString::fromLatin1(c.box));
            const auto outcomes = RunSelectedDownloads(t.ctx);
            QObject::disconnect(pressCancel);
            ASSERT_EQ(outcomes.size(), 1u);
            EXPECT_EQ(outcomes[0].status, c.status);
            EXPECT_EQ(ReadFileBytes(file), "EARLIER REPORT\r\n");
            EXPECT_EQ(QDir(out.path()).entryList(QDir::Files), QStringList{QFileInfo(file).fileName()});
            EXPECT_TRUE(t.boxes->done());
        }
    }
}

// One message for a lost link: the reports after it are not tried on the
// closed link, and their earlier files stay as they were.
TEST_F(TextDownloadTest, ALinkLostDuringOneReportFailsTheRestWithoutAnotherMessage) {
    const struct {
        const char* what;
        std::function<void(HostSimFaults&)> fault;
    } cases[] = {
        {"the link dropped", [](HostSimFaults& f) { f.dropAfter = 4; }},
        {"a host that stops answering", [](HostSimFaults& f) { f.silentAfter = 4; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        for (int i = 1; i <= 3; ++i) screen.grdSplf().setCellSelected(i, 1, true);
        WriteFileBytes(nameOf("REPORTB", 2), "EARLIER B\r\n");
        WriteFileBytes(nameOf("REPORTC", 3), "EARLIER C\r\n");
        host->faults() = HostSimFaults{};
        ASSERT_TRUE(host->connectJobPort(t.ctx));
        c.fault(host->faults());
        t.boxes->expect(QStringLiteral("Error in SendReceive procedure."));
        const size_t boxesBefore = t.boxes->shown().size();
        const auto outcomes = RunSelectedDownloads(t.ctx);
        ASSERT_EQ(outcomes.size(), 3u);
        EXPECT_EQ(outcomes[0].status, ReportOutcome::Delivered);
        EXPECT_EQ(outcomes[1].status, ReportOutcome::Failed);
        EXPECT_EQ(outcomes[2].status, ReportOutcome::Failed);
        EXPECT_EQ(t.boxes->shown().size() - boxesBefore, 1u) << t.boxes->texts().join(QLatin1Char('\n')).toStdString();
        EXPECT_TRUE(t.boxes->done());
        EXPECT_EQ(ReadFileBytes(nameOf("REPORTA", 1)), lines("REPORTA", 1, 30));
        EXPECT_EQ(ReadFileBytes(nameOf("REPORTB", 2)), "EARLIER B\r\n");
        EXPECT_EQ(ReadFileBytes(nameOf("REPORTC", 3)), "EARLIER C\r\n");
        EXPECT_TRUE(screen.grdSplf().rowSelected(3));  // to try again once connected
        // The screen is the user's again, and says what became of the run.
        EXPECT_TRUE(screen.controlEnabled(ScreenControl::OK));
        EXPECT_EQ(screen.cancelCaption(), QStringLiteral("&Close"));
    }
}

// A link lost in an earlier run, and the user presses Open again without
// connecting: the first report finds it lost and says so once; the others
// fail without another message and their earlier files stay.
TEST_F(TextDownloadTest, ALinkLostInAnEarlierRunIsReportedOnceForTheNextRun) {
    host->faults().dropAfter = 0;
    for (int i = 1; i <= 3; ++i) screen.grdSplf().setCellSelected(i, 1, i == 1);
    t.boxes->expect(QStringLiteral("Error in SendReceive procedure."));
    ASSERT_EQ(RunSelectedDownloads(t.ctx).size(), 1u);
    ASSERT_EQ(t.ctx.link.socketIfOpen(), nullptr);

    for (int i = 1; i <= 3; ++i) screen.grdSplf().setCellSelected(i, 1, true);
    WriteFileBytes(nameOf("REPORTB", 2), "EARLIER B\r\n");
    WriteFileBytes(nameOf("REPORTC", 3), "EARLIER C\r\n");
    t.boxes->expect(QStringLiteral("Error in SendReceive procedure."));
    const size_t boxesBefore = t.boxes->shown().size();
    const auto outcomes = RunSelectedDownloads(t.ctx);
    ASSERT_EQ(outcomes.size(), 3u);
    for (const ReportOutcome& o : outcomes) EXPECT_EQ(o.status, ReportOutcome::Failed);
    EXPECT_EQ(t.boxes->shown().size() - boxesBefore, 1u) << t.boxes->texts().join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(t.boxes->done());
    EXPECT_EQ(ReadFileBytes(nameOf("REPORTB", 2)), "EARLIER B\r\n");
    EXPECT_EQ(ReadFileBytes(nameOf("REPORTC", 3)), "EARLIER C\r\n");
    EXPECT_TRUE(screen.grdSplf().rowSelected(3));
}

TEST_F(TextDownloadTest, AReportWithoutRecordsIsDeliveredAsAnEmptyFile) {
    HostSimFixture::writeSpooledFile(spool.path(), "SALES", "PRT01", QStringLiteral("REPORTA.splf"),
                                     monthEnd("REPORTA", 1, 0));
    for (int i = 2; i <= 3; ++i) screen.grdSplf().setCellSelected(i, 1, false);
    WriteFileBytes(nameOf("REPORTA", 1), "EARLIER REPORT\r\n");
    presenter->onModal = [&](QWidget* w) {
        auto* d = static_cast<frmSaveAs*>(w);
        d->txtSave->setText(nameOf("REPORTA", 1));
        d->OKButton->click();
    };
    const auto outcomes = RunSelectedDownloads(t.ctx);
    ASSERT_EQ(outcomes.size(), 1u);
    EXPECT_EQ(outcomes[0].status, ReportOutcome::Delivered);
    EXPECT_EQ(ReadFileBytes(nameOf("REPORTA", 1)), "");
    EXPECT_EQ(screen.status(),
              QStringLiteral("Transfer is complete to ") + nameOf("REPORTA", 1) + QStringLiteral(".  0 records transferred."));
}
