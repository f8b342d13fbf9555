#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QLineEdit>
#include <QPushButton>

#include "DownloadDriver.h"
#include "DownloadWindows.h"
#include "ScriptedHostSocket.h"
#include "TestSupport.h"
#include "TransferTestSupport.h"

namespace {
std::string oneRecordReport(const std::string& text) {
    return SpoolReplies::reply({SpoolReplies::slot(80, {"001", ' ', text})}, "(END)", " 80");
}

class DriverTest : public ::testing::Test {
protected:
    TestContext t;
    std::shared_ptr<ScriptedHost> host = UseScriptedHost(t.ctx);
    PlainSplfScreen& screen = TextFileScreen(t.ctx);
    TestPresenter* presenter = t.presenter;
    QString dir = t.dir.path() + QLatin1Char('/');

    void SetUp() override {
        screen.setText(ScreenText::PageLength, QStringLiteral("Variable"));
        t.ctx.services.saveSetting(QStringLiteral("FullName"), QStringLiteral("1"));
        t.ctx.services.saveSetting(QStringLiteral("Save Path"), t.dir.path());
        for (const char* file : {"REPORTA", "REPORTB", "REPORTC"}) {
            AddGridRow(screen, QString::fromLatin1(file), QStringLiteral("QPADEV0001/0003"));
            host->reply(oneRecordReport(std::string("CONTENT OF ") + file));
        }
    }
    frmSaveAs& textDialog() { return SaveDialog(t.ctx, frmSaveAs::Kind::Text); }
    QString attributeName(const char* file) {
        return dir + QString::fromLatin1(file) + QStringLiteral(" QPADEV0001 JSMITH 004711 0003 2024-01-31 14-05-09.txt");
    }
    std::vector<ReportOutcome::Status> statuses(const std::vector<ReportOutcome>& out) {
        std::vector<ReportOutcome::Status> s;
        for (const auto& o : out) s.push_back(o.status);
        return s;
    }
    std::vector<bool> selection() {
        std::vector<bool> s;
        for (int i = 1; i <= screen.grdSplf().rowCount(); ++i) s.push_back(screen.grdSplf().rowSelected(i));
        return s;
    }
};
using S = ReportOutcome::Status;
}  // namespace

TEST_F(DriverTest, ThreeTextReportsEachWithItsDialogAndName) {
    std::vector<bool> saveAllEnabled;
    QStringList proposed;
    presenter->onModal = [&](QWidget* w) {
        auto* d = static_cast<frmSaveAs*>(w);
        saveAllEnabled.push_back(d->cmdOpenAll->isEnabled());
        proposed << d->txtSave->text();
        // The screen is locked while the run goes on.
        EXPECT_FALSE(screen.controlEnabled(ScreenControl::OK));
        EXPECT_FALSE(screen.controlEnabled(ScreenControl::Grid));
        EXPECT_EQ(screen.cancelCaption(), QStringLiteral("&Cancel"));
        d->OKButton->click();
    };
    const auto out = RunSelectedDownloads(t.ctx);
    EXPECT_EQ(statuses(out), (std::vector<S>{S::Delivered, S::Delivered, S::Delivered}));
    EXPECT_EQ(saveAllEnabled, (std::vector<bool>{true, true, false}));
    EXPECT_EQ(proposed, (QStringList{attributeName("REPORTA"), attributeName("REPORTB"), attributeName("REPORTC")}));
    for (const auto& o : out) EXPECT_TRUE(QFileInfo::exists(o.target)) << o.target.toStdString();
    EXPECT_EQ(ReadFileBytes(attributeName("REPORTB")), "CONTENT OF REPORTB\r\n");
    EXPECT_EQ(selection(), (std::vector<bool>{false, false, true}));
    EXPECT_EQ(t.ctx.download.gSelectedCount, 1);
    EXPECT_TRUE(screen.controlEnabled(ScreenControl::OK));
    EXPECT_EQ(screen.cancelCaption(), QStringLiteral("&Close"));
    EXPECT_EQ(screen.processTypeClicks, 1);
}

TEST_F(DriverTest, SaveAllAtTheFirstReportAcceptsTheOthersAndEndsWithTheRun) {
    presenter->onModal = [&](QWidget* w) { static_cast<frmSaveAs*>(w)->cmdOpenAll->click(); };
    const auto out = RunSelectedDownloads(t.ctx);
    EXPECT_EQ(presenter->shownNames().size(), 1u);
    EXPECT_EQ(statuses(out), (std::vector<S>{S::Delivered, S::Delivered, S::Delivered}));
    EXPECT_EQ(ReadFileBytes(attributeName("REPORTC")), "CONTENT OF REPORTC\r\n");
    EXPECT_FALSE(t.ctx.saveDialogs.text.all);
}

TEST_F(DriverTest, ANameNobodyChoseAgainGetsAFreeVariant) {
    // Short names: the dialog keeps the first report's name for the next.
    t.ctx.services.saveSetting(QStringLiteral("FullName"), QStringLiteral("0"));
    t.ctx.services.saveSetting(QStringLiteral("Text file"), dir + QStringLiteral("report.txt"));
    presenter->onModal = [&](QWidget* w) { static_cast<frmSaveAs*>(w)->cmdOpenAll->click(); };
    const auto out = RunSelectedDownloads(t.ctx);
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[0].target, dir + QStringLiteral("report.txt"));
    EXPECT_EQ(out[1].target, dir + QStringLiteral("report001.txt"));
    EXPECT_EQ(out[2].target, dir + QStringLiteral("report002.txt"));
    EXPECT_EQ(ReadFileBytes(dir + QStringLiteral("report.txt")), "CONTENT OF REPORTA\r\n");
    EXPECT_EQ(ReadFileBytes(dir + QStringLiteral("report002.txt")), "CONTENT OF REPORTC\r\n");
}

TEST_F(DriverTest, WithNoNameRememberedTheShortNumberedOneIsProposed) {
    t.ctx.services.saveSetting(QStringLiteral("FullName"), QStringLiteral("0"));
    QStringList proposed;
    presenter->onModal = [&](QWidget* w) {
        auto* d = static_cast<frmSaveAs*>(w);
        proposed << d->txtSave->text();
        d->cmdOpenAll->click();
    };
    const auto out = RunSelectedDownloads(t.ctx);
    EXPECT_EQ(proposed, QStringList{dir + QStringLiteral("Spwrt.txt")});
    ASSERT_EQ(out.size(), 3u);
    EXPECT_EQ(out[1].target, dir + QStringLiteral("Spwrt001.txt"));
    EXPECT_EQ(ReadFileBytes(dir + QStringLiteral("Spwrt.txt")), "CONTENT OF REPORTA\r\n");
    EXPECT_EQ(ReadFileBytes(dir + QStringLiteral("Spwrt002.txt")), "CONTENT OF REPORTC\r\n");
}

TEST_F(DriverTest, TheSameNameIsKeptWhenTheUserChoseItOrAddsToTheFile) {
    t.ctx.services.saveSetting(QStringLiteral("FullName"), QStringLiteral("0"));
    t.ctx.services.saveSetting(QStringLiteral("Text file"), dir + QStringLiteral("report.txt"));
    presenter->onModal = [&](QWidget* w) { static_cast<frmSaveAs*>(w)->OKButton->click(); };
    auto out = RunSelectedDownloads(t.ctx);
    for (const auto& o : out) EXPECT_EQ(o.target, dir + QStringLiteral("report.txt"));
    EXPECT_EQ(ReadFileBytes(dir + QStringLiteral("report.txt")), "CONTENT OF REPORTC\r\n");

    screen.setChosen(ScreenChoice::TextAddReplace, 0, false);
    screen.setChosen(ScreenChoice::TextAddReplace, 1, true);
    for (int i = 1; i <= 3; ++i) screen.grdSplf().setCellSelected(i, 1, true);
    for (const char* file : {"A", "B", "C"}) host->reply(oneRecordReport(file));
    presenter->onModal = [&](QWidget* w) { static_cast<frmSaveAs*>(w)->cmdOpenAll->click(); };
    out = RunSelectedDownloads(t.ctx);
    EXPECT_EQ(ReadFileBytes(dir + QStringLiteral("report.txt")), "CONTENT OF REPORTC\r\nA\r\nB\r\nC\r\n");
}

TEST_F(DriverTest, ACancelStopsTheRunAndDeliversNoFurtherReport) {
    presenter->onModal = [&](QWidget* w) { static_cast<frmSaveAs*>(w)->cmdOpenAll->click(); };
    host->script.clear();
    host->replies(SpoolReplies::report({{"001", ' ', "A1"}, {"   ", '1', "A2"}, {"   ", '1', "A3"}, {"   ", '1', "A4"},
                                        {"   ", '1', "A5"}, {"   ", '1', "A6"}, {"   ", '1', "A7"}, {"   ", '1', "A8"},
                                        {"   ", '1', "A9"}, {"   ", '1', "A10"}, {"   ", '1', "A11"}, {"   ", '1', "A12"}},
                                       " 80"));
    // "&Cancel" pressed while the second block is on its way.
    host->afterReply = [&](int n) {
        if (n == 1) CancelSelectedDownloads(t.ctx);
    };
    t.boxes->expect(QStringLiteral("Operation has been canceled by request of the user.  "));
    const auto out = RunSelectedDownloads(t.ctx);
    EXPECT_EQ(statuses(out), (std::vector<S>{S::Canceled, S::Canceled, S::Canceled}));
    EXPECT_TRUE(screen.statusHistory.contains(QStringLiteral("Cancel in progress...  Please wait.")));
    EXPECT_EQ(screen.status(), QStringLiteral("Last operation was canceled by user request."));
    EXPECT_EQ(host->downloadRequests(), 2);
    EXPECT_FALSE(QFileInfo::exists(attributeName("REPORTB")));
    EXPECT_EQ(selection(), (std::vector<bool>{false, true, true}));
    EXPECT_EQ(t.ctx.download.gSelectedCount, 2);
    EXPECT_FALSE(t.ctx.link.cancelRequested());
    EXPECT_EQ(screen.cancelCaption(), QStringLiteral("&Close"));
    EXPECT_TRUE(screen.controlEnabled(ScreenControl::Cancel));
    EXPECT_TRUE(t.boxes->done());
}

TEST_F(DriverTest, ACancelledDialogSkipsOnlyItsReport) {
    int shown = 0;
    presenter->onModal = [&](QWidget* w) {
        auto* d = static_cast<frmSaveAs*>(w);
        (++shown == 2 ? d->CancelButton : d->OKButton)->click();
    };
    host->script.pop_back();
    const auto out = RunSelectedDownloads(t.ctx);
    EXPECT_EQ(statuses(out), (std::vector<S>{S::Delivered, S::Skipped, S::Delivered}));
    EXPECT_EQ(selection(), (std::vector<bool>{false, false, true}));
    EXPECT_EQ(ReadFileBytes(attributeName("REPORTC")), "CONTENT OF REPORTB\r\n");
}

TEST_F(DriverTest, AReversedPageRangeIsRefusedAndNonNumbersReadAsTheEnds) {
    screen.setText(ScreenText::FromPage, QStringLiteral("5"));
    screen.setText(ScreenText::ToPage, QStringLiteral("3"));
    t.boxes->expect(QStringLiteral("The 'From' page number must be less than or equal to the 'To' page number."));
    EXPECT_TRUE(RunSelectedDownloads(t.ctx).empty());
    EXPECT_TRUE(host->requests.empty());
    EXPECT_EQ(screen.status(), QString());

    presenter->onModal = [](QWidget* w) { static_cast<frmSaveAs*>(w)->OKButton->click(); };
    for (const PageRangeCase& c : kNonNumberPageRanges) {
        host->requests.clear();
        host->reply(oneRecordReport("X"));
        screen.grdSplf().setCellSelected(1, 1, true);
        for (int i = 2; i <= 3; ++i) screen.grdSplf().setCellSelected(i, 1, false);
        screen.setText(ScreenText::FromPage, QString::fromLatin1(c.from));
        screen.setText(ScreenText::ToPage, QString::fromLatin1(c.to));
        ASSERT_EQ(RunSelectedDownloads(t.ctx).size(), 1u) << c.from;
        ASSERT_FALSE(host->requests.empty());
        EXPECT_EQ(host->requests[0].substr(51, 20), c.pages) << c.from;
    }
    EXPECT_EQ(screen.text(ScreenText::FromPage), QStringLiteral("3"));
    EXPECT_EQ(screen.text(ScreenText::ToPage), QStringLiteral("*End"));
}

TEST_F(DriverTest, NothingSelected) {
    for (int i = 1; i <= 3; ++i) screen.grdSplf().setCellSelected(i, 1, false);
    t.boxes->expect(QStringLiteral("Please select a spool file or click 'Close'"));
    EXPECT_TRUE(RunSelectedDownloads(t.ctx).empty());
    EXPECT_EQ(screen.cancelCaption(), QStringLiteral("&Close"));
}

TEST_F(DriverTest, DestinationsThatAreNotThereAreNotDelivered) {
    screen.setText(ScreenText::ProcessType, QStringLiteral("Please select a destination..."));
    for (int i = 0; i < 3; ++i) t.boxes->expect(QStringLiteral("Please select a valid application or format to download the spool file to."));
    auto out = RunSelectedDownloads(t.ctx);
    EXPECT_EQ(statuses(out), (std::vector<S>{S::Failed, S::Failed, S::Failed}));
    EXPECT_EQ(selection(), (std::vector<bool>{false, false, true}));
    EXPECT_EQ(presenter->shownNames().size(), 0u);
    EXPECT_TRUE(host->requests.empty());
}

TEST_F(DriverTest, ANearMissIsNoDestination) {
    // The type is compared whole.
    for (int i = 1; i <= 3; ++i) screen.grdSplf().setCellSelected(i, 1, i == 1);
    for (const char* type : {"Text file ", "microsoft word", "Microsoft Word 6"}) {
        screen.setText(ScreenText::ProcessType, QString::fromLatin1(type));
        t.boxes->expect(QStringLiteral("Please select a valid application or format to download the spool file to."));
        EXPECT_EQ(statuses(RunSelectedDownloads(t.ctx)), std::vector<S>{S::Failed}) << type;
    }
    EXPECT_TRUE(presenter->shownNames().isEmpty());
    EXPECT_TRUE(host->requests.empty());
}

TEST_F(DriverTest, OfficeTypesTransferTheReportAndLookForTheirProgram) {
    // No office program in this test's automation: each says so after the transfer.
    const struct {
        const char* type;
        const char* message;
    } cases[] = {
        {"Microsoft Excel", "Excel could not be started."},
        {"Microsoft Word", "Word could not be started."},
        {"Lotus 123", "Lotus 123 could not be started."},
        {"Lotus WordPro", "WordPro could not be started."},
    };
    t.ctx.connection.gWorkDir = t.dir.path();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.type);
        host->reply(oneRecordReport("OFFICE"));
        for (int i = 1; i <= 3; ++i) screen.grdSplf().setCellSelected(i, 1, i == 1);
        screen.setText(ScreenText::ProcessType, QString::fromLatin1(c.type));
        t.boxes->expect(QString::fromLatin1(c.message));
        EXPECT_EQ(statuses(RunSelectedDownloads(t.ctx)), std::vector<S>{S::Failed});
        EXPECT_TRUE(t.boxes->done());
    }
}

// With no work folder (none fit was ever chosen) a destination that writes
// its file there stops before the host is asked; nothing is written into the
// folder the program runs in.
TEST_F(DriverTest, DestinationsOfTheWorkFolderStopWhenThereIsNone) {
    QTemporaryDir runningIn;
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(runningIn.path()));
    WriteFileBytes(runningIn.filePath(QStringLiteral("Spwrt.txt")), "EARLIER REPORT\r\n");
    t.ctx.connection.gWorkDir.clear();
    for (const char* type : {"Microsoft Excel", "Microsoft Word", "Lotus 123", "Microsoft Word 6/95", "Lotus WordPro",
                             "Outlook e-mail", "Netscape e-mail", "View entire report"}) {
        SCOPED_TRACE(type);
        for (int i = 1; i <= 3; ++i) screen.grdSplf().setCellSelected(i, 1, i == 1);
        screen.setText(ScreenText::ProcessType, QString::fromLatin1(type));
        t.boxes->expect(QStringLiteral("There is no work directory for \"") + QString::fromLatin1(type) +
                        QStringLiteral("\", so the report was not delivered.  Please specify a valid directory in "
                                       "Naming Options."));
        EXPECT_EQ(statuses(RunSelectedDownloads(t.ctx)), std::vector<S>{S::Failed});
        EXPECT_TRUE(t.boxes->done());
    }
    EXPECT_TRUE(host->requests.empty());
    EXPECT_EQ(QDir(runningIn.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("Spwrt.txt")});
    EXPECT_EQ(ReadFileBytes(runningIn.filePath(QStringLiteral("Spwrt.txt"))), "EARLIER REPORT\r\n");
    QDir::setCurrent(before);
}

TEST_F(DriverTest, AFailureInsideTheRunUnlocksTheScreen) {
    presenter->onModal = [](QWidget*) { throw std::runtime_error("dialog failed"); };
    EXPECT_THROW(RunSelectedDownloads(t.ctx), std::runtime_error);
    EXPECT_EQ(screen.cancelCaption(), QStringLiteral("&Close"));
    EXPECT_TRUE(screen.controlEnabled(ScreenControl::OK));
}

TEST_F(DriverTest, CloseHidesTheScreenWhenNoRunGoesOn) {
    CancelSelectedDownloads(t.ctx);
    EXPECT_EQ(screen.hides, 1);
    EXPECT_FALSE(t.ctx.link.cancelRequested());
}
