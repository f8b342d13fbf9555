#include <gtest/gtest.h>

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>

#include "HostLink.h"
#include "HostSimFixture.h"
#include "ConnectionWindows.h"
#include "SplfGrid.h"
#include "TestSupport.h"
#include "frmLogin.h"
#include "frmMain.h"
#include "frmOutq.h"
#include "frmSplf.h"

namespace {
std::string pad(const std::string& s, size_t n) { return HostWire::field(s, n); }

std::string cancelRequest() {
    std::string c(124, ' ');
    c[99] = 'X';
    return c;
}

std::string report(const std::string& name, const std::string& job, int number, const std::string& userData) {
    return "name=" + name + "\njob=" + job + "\nuser=SWUSER\njobnumber=200001\nnumber=" + std::to_string(number) +
           "\npages=3\nformtype=*STD\ndate=2009-03-14\ntime=08:05:09\nuserdata=" + userData + "\nwidth=80\n[records]\n" +
           "001 line\n";
}

// A host name that never resolves: the one failed connect after which the
// program goes on.
class NeverResolvingSocket : public HostSocket {
public:
    void connectToHost() override { state_ = ResolvingHost; }
    int state() const override { return state_; }
    void sendData(const std::string&) override { throw SocketError(40006, "Wrong protocol or connection state"); }
    std::string getData(qsizetype) override { return {}; }
    qsizetype bytesAvailable() const override { return 0; }
    void close() override { state_ = Closed; }
    int lastErrorNumber() const override { return 0; }
    QString lastErrorDescription() const override { return {}; }
    void clearError() override {}

private:
    int state_ = Closed;
};

using Row = std::vector<QString>;

// The grid as the screen shows it when it opens: headers and every cell.
struct GridPicture {
    QStringList headers;
    std::vector<Row> rows;
    bool firstSelected = false;
    QString caption;
};

class OpenAndBrowse : public ::testing::Test {
protected:
    void SetUp() override { start(HostSimFixture::samples()); }

    void start(const QString& spool, HostSimFaults faults = {}) {
        host.reset();
        host = std::make_unique<HostSimFixture>(
            HostSimFixtureOptions{.spool = spool, .faults = faults, .clock = t.clock, .listener = false});
        installWindows(t.ctx);
        // Every modal window needs its hook: one that no test expects fails where it comes up.
        presenter = t.presenter;
        presenter->strict = true;
        presenter->hooks.clear();
        presenter->clearShown();
        presenter->hooks[QStringLiteral("frmSplf")] = [this](QWidget* w) {
            auto* splf = static_cast<frmSplf*>(w);
            picture = {};
            // What the screen shows: the grid's model, as its view reads it.
            const QAbstractItemModel* g = splf->grdSplfTable->model();
            for (int c = 0; c < g->columnCount(); ++c)
                picture.headers << g->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
            for (int r = 0; r < g->rowCount(); ++r) {
                Row row;
                for (int c = 0; c < g->columnCount(); ++c) row.push_back(g->data(g->index(r, c), Qt::DisplayRole).toString());
                picture.rows.push_back(row);
            }
            picture.firstSelected = splf->grdSplf().rowSelected(1);
            picture.caption = splf->caption();
            splf->cmdCancel_Click();
        };
        ASSERT_TRUE(host->connectJobPort(t.ctx));
        main().lblStatus->setText(QStringLiteral("Connected to ") + host->address());
    }

    frmMain& main() { return t.ctx.mainWindow(); }
    void select(const char* outq, const char* library, const char* user) {
        main().txtOutq->setText(QString::fromLatin1(outq));
        main().cboLibrary->setEditText(QString::fromLatin1(library));
        main().txtWrkSplf->setText(QString::fromLatin1(user));
    }
    // The chooser picks the row of this queue and opens it.
    void chooseInChooser(const QString& queue) {
        presenter->hooks[QStringLiteral("frmOutq")] = [this, queue](QWidget* w) {
            auto* chooser = static_cast<frmOutq*>(w);
            for (int i = 0; i < chooser->lstOutq->count(); ++i) chooserRows << chooser->lstOutq->item(i)->text();
            const auto found = chooser->lstOutq->findItems(queue, Qt::MatchStartsWith);
            ASSERT_FALSE(found.isEmpty());
            found.first()->setSelected(true);
            chooser->cmdOpen->click();
        };
    }

    TestContext t;
    std::unique_ptr<HostSimFixture> host;
    TestPresenter* presenter = nullptr;
    GridPicture picture;
    QStringList chooserRows;
};
}  // namespace

TEST_F(OpenAndBrowse, BrowseChooseAndOpenListsTheQueue) {
    select("", "QGPL", "");
    chooseInChooser(QStringLiteral("QPRINT"));
    main().cmdListOutqs->click();

    EXPECT_EQ(presenter->shownNames(), (QStringList{"frmOutq", "frmSplf"}));
    EXPECT_EQ(chooserRows, (QStringList{"HOLDQ      QGPL       " +
                                            QString::fromLatin1(pad("Held output (empty)", 50).c_str()),
                                        "QPRINT     QGPL       " +
                                            QString::fromLatin1(pad("Default printer output queue", 50).c_str())}));
    const std::vector<std::string> frames = host->jobFrames();
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0], pad("*ALL      QQGPL", 124));
    EXPECT_EQ(frames[1], pad("QPRINT    QQGPL", 124));
    EXPECT_EQ(frames[2], pad("QPRINT    FQGPL      *ALL", 124));

    EXPECT_EQ(picture.headers, (QStringList{"Date and Time", "Spool File", "User", "Outq", "Pages", "Form", "Job#",
                                            "Job/Seq#", "User Data"}));
    const std::vector<Row> expected = {
        {"2004/03/15    14:22:07", "INVOICE", "SWUSER", "QPRINT", "     4", "*STD", "104211", "BILLING/0001",
         "MARCH     "},
        {"2004/03/31    19:05:44", "STATEMENT", "SWUSER", "QPRINT", "     6", "*STD", "104230", "STMTRUN/0002",
         "MAIL      "},
    };
    EXPECT_EQ(picture.rows, expected);
    EXPECT_TRUE(picture.firstSelected);
    EXPECT_EQ(picture.caption, QStringLiteral("iSeries Spool Files - QGPL/QPRINT/*ALL"));
    EXPECT_EQ(main().txtOutq->text(), QStringLiteral("QPRINT"));
    EXPECT_EQ(main().statusPanel(), QStringLiteral("Key an iSeries outq name or Browse..."));
    EXPECT_TRUE(main().cmdOK->isEnabled());
    EXPECT_FALSE(t.ctx.outqWindowLoaded());
}

// From "Not connected.": Browse connects, the user signs on in the dialog,
// chooses a queue and the spooled-file screen shows its files.
TEST_F(OpenAndBrowse, SignOnBrowseChooseAndOpen) {
    Disconnect(t.ctx.link);
    host.reset();
    host = std::make_unique<HostSimFixture>(HostSimFixtureOptions{.clock = t.clock});
    t.ctx.services.saveSetting("URL", host->address());
    t.ctx.services.saveSetting("Save Path", t.dir.path() + "/save/");
    t.ctx.services.saveSetting("Wait time", "2");
    presenter->onModeless = [](QWidget* w) {
        auto* login = qobject_cast<frmLogin*>(w);
        ASSERT_NE(login, nullptr) << w->objectName().toStdString();
        login->txtUserID->setText("swuser");
        login->txtPassword->setText("SWPASS");
        login->cmdOK->click();
    };
    ASSERT_TRUE(main().isNotConnected());
    select("", "QGPL", "");
    chooseInChooser(QStringLiteral("QPRINT"));
    main().cmdListOutqs->click();

    EXPECT_FALSE(t.ctx.services.programEnded.has_value()) << t.ctx.services.programEnded->reason.toStdString();
    EXPECT_EQ(presenter->shownNames("modeless"), QStringList{"frmLogin"});
    EXPECT_EQ(presenter->shownNames(), (QStringList{"frmOutq", "frmSplf"}));
    EXPECT_EQ(main().lblStatus->text(),
              QStringLiteral("Connected to %1, Job:SWR%2").arg(host->address()).arg(t.ctx.connection.gJobPort));
    EXPECT_EQ(t.setting("User"), "SWUSER");
    const std::vector<std::string> frames = host->jobFrames();
    ASSERT_EQ(frames.size(), 4u);
    EXPECT_EQ(frames[0], std::string(120, ' ') + "test") << "the job port's test message";
    EXPECT_EQ(frames[1], pad("*ALL      QQGPL", 124));
    EXPECT_EQ(frames[3], pad("QPRINT    FQGPL      *ALL", 124));
    ASSERT_EQ(picture.rows.size(), 2u);
    EXPECT_EQ(picture.rows[0][1], "INVOICE");
    EXPECT_EQ(picture.rows[1][1], "STATEMENT");
    EXPECT_EQ(picture.caption, QStringLiteral("iSeries Spool Files - QGPL/QPRINT/*ALL"));
}

TEST_F(OpenAndBrowse, AllQueuesOfAUserShowEachFilesQueue) {
    select("", "", "swuser");
    main().cmdOK_Click();
    ASSERT_EQ(host->jobFrames().size(), 1u) << "no queue check for *ALL";
    EXPECT_EQ(host->jobFrames()[0], pad("*ALL      F          SWUSER", 124));
    QStringList queues;
    for (const Row& r : picture.rows) queues << r[3];
    queues.removeDuplicates();
    queues.sort();
    EXPECT_EQ(queues, (QStringList{"QPRINT", "SALESQ"})) << "PAYROLL holds only PAYADMIN's files";
    EXPECT_EQ(picture.caption, QStringLiteral("iSeries Spool Files - /*ALL/SWUSER"));
}

TEST_F(OpenAndBrowse, ANamedQueueTakesTheLibraryTheHostFoundItIn) {
    select("payroll", "*LIBL", "");
    main().cmdOK_Click();
    EXPECT_EQ(main().cboLibrary->currentText(), QStringLiteral("PAYLIB"));
    ASSERT_EQ(host->jobFrames().size(), 2u);
    EXPECT_EQ(host->jobFrames()[1], pad("PAYROLL   FPAYLIB    *ALL", 124));
    ASSERT_EQ(picture.rows.size(), 1u);
}

TEST_F(OpenAndBrowse, ARefusedCheckKeepsTheLibraryAndListsNothing) {
    select("NOSUCH", "MYLIB", "*ALL");
    t.boxes->expect(QStringLiteral("iSeries library or outq not found."));
    main().cmdOK_Click();
    EXPECT_TRUE(t.boxes->done());
    EXPECT_EQ(main().cboLibrary->currentText(), QStringLiteral("MYLIB"));
    EXPECT_EQ(host->jobFrames().size(), 1u);
    EXPECT_TRUE(presenter->shownNames().isEmpty());
    EXPECT_TRUE(main().txtOutq->isEnabled());
}

TEST_F(OpenAndBrowse, AnEmptyQueueSaysSoAndShowsNoScreen) {
    select("HOLDQ", "QGPL", "");
    t.boxes->expect(QStringLiteral("There are no spool files available. "));
    main().cmdOK_Click();
    EXPECT_TRUE(t.boxes->done());
    EXPECT_TRUE(presenter->shownNames().isEmpty());
}

TEST_F(OpenAndBrowse, AFailedConnectStopsWithoutASecondError) {
    Disconnect(t.ctx.link);
    t.ctx.services.makeSocket = [] { return std::make_unique<NeverResolvingSocket>(); };
    t.ctx.services.saveSetting(QStringLiteral("URL"), QStringLiteral("unresolvable.example"));
    t.boxes->answerAllWithDefault = true;  // the connect's own message
    select("QPRINT", "QGPL", "");
    main().cmdOK_Click();
    main().cmdListOutqs_Click();
    for (const QString& text : t.boxes->texts()) {
        EXPECT_FALSE(text.contains(QStringLiteral("SendReceive"))) << text.toStdString();
        EXPECT_FALSE(text.contains(QStringLiteral("outq"))) << text.toStdString();
    }
    EXPECT_TRUE(host->jobFrames().empty());
    EXPECT_TRUE(presenter->shownNames().isEmpty());
    EXPECT_TRUE(main().cmdOK->isEnabled());
    EXPECT_TRUE(main().mnuFile->menuAction()->isEnabled());
}

TEST_F(OpenAndBrowse, AChooserClosedFromItsFrameOpensNothing) {
    select("QPRINT", "QGPL", "");
    presenter->hooks[QStringLiteral("frmOutq")] = [](QWidget* w) {
        static_cast<frmOutq*>(w)->lstOutq->item(0)->setSelected(true);
        w->close();
    };
    main().cmdListOutqs_Click();
    EXPECT_EQ(presenter->shownNames(), QStringList{"frmOutq"});
    EXPECT_EQ(host->jobFrames().size(), 1u);
    EXPECT_EQ(main().txtOutq->text(), QStringLiteral("QPRINT"));
    EXPECT_TRUE(t.ctx.connection.gNoOutqs);
}

TEST_F(OpenAndBrowse, ChooserOpenWithoutARowAsksForOne) {
    select("", "QGPL", "");
    presenter->hooks[QStringLiteral("frmOutq")] = [this](QWidget* w) {
        auto* chooser = static_cast<frmOutq*>(w);
        t.boxes->expect(QStringLiteral("An iSeries outq name must be specified."));
        chooser->cmdOpen_Click();
        EXPECT_FALSE(chooser->unloadRequested()) << "the chooser stays open";
        chooser->cmdCancel_Click();
    };
    main().cmdListOutqs_Click();
    EXPECT_TRUE(t.boxes->done());
    EXPECT_EQ(host->jobFrames().size(), 1u);
    EXPECT_EQ(main().txtOutq->text(), QString());
}

TEST_F(OpenAndBrowse, ALibraryWithoutQueuesOpensNothing) {
    select("", "NOLIB", "");
    t.boxes->expect(QStringLiteral("No output queues selected.  There may be none present in the library."));
    main().cmdListOutqs_Click();
    EXPECT_TRUE(t.boxes->done());
    EXPECT_TRUE(presenter->shownNames().isEmpty());
    EXPECT_EQ(host->jobFrames().size(), 1u);
}

TEST_F(OpenAndBrowse, EndlessListsAreCutAtTheLimit) {
    start(HostSimFixture::samples(), HostSimFaults{.endlessMore = true});
    t.ctx.connection.maxListBlocks = 5;

    // The spooled files of all queues: the rows so far are shown.
    select("", "", "SWUSER");
    t.boxes->expect(QStringLiteral("still sending more spool files after 5 blocks"));
    main().cmdOK_Click();
    EXPECT_TRUE(t.boxes->done());
    std::vector<std::string> frames = host->jobFrames();
    ASSERT_EQ(frames.size(), 6u);
    EXPECT_EQ(frames.back(), cancelRequest()) << "the host is told to drop the rest";
    EXPECT_EQ(picture.rows.size(), 3u);

    // A named queue whose check never ends is not listed.
    select("QPRINT", "QGPL", "");
    presenter->clearShown();
    t.boxes->expect(QStringLiteral("still sending more outqs after 5 blocks"));
    main().cmdOK_Click();
    EXPECT_TRUE(t.boxes->done());
    EXPECT_TRUE(presenter->shownNames().isEmpty());
    frames = host->jobFrames();
    EXPECT_EQ(frames.back(), cancelRequest());
    EXPECT_EQ(std::count(frames.begin(), frames.end(), pad("QPRINT    FQGPL      *ALL", 124)), 0);

    // The link is still usable afterwards.
    EXPECT_EQ(main().lblStatus->text().left(9), QStringLiteral("Connected"));
}

TEST_F(OpenAndBrowse, FilesThatCannotBeRequestedAreLeftOut) {
    QTemporaryDir spool;
    HostSimFixture::writeSpooledFile(spool.path(), "MYLIB", "PRT01", "a.splf", report("GOOD", "PAYROLL", 7, "A"));
    HostSimFixture::writeSpooledFile(spool.path(), "MYLIB", "PRT01", "b.splf", report("NONUMBER", "PAYROLL", 0, "B"));
    HostSimFixture::writeSpooledFile(spool.path(), "MYLIB", "PRT01", "c.splf", report("SLASHED", "PAY/ROLL", 2, "C"));
    start(spool.path());
    select("PRT01", "MYLIB", "");
    t.boxes->expect(QStringLiteral("2 spool file(s) cannot be downloaded and are left out of the list: NONUMBER"));
    main().cmdOK_Click();
    EXPECT_TRUE(t.boxes->done());
    ASSERT_EQ(picture.rows.size(), 1u);
    EXPECT_EQ(picture.rows[0][1], QStringLiteral("GOOD"));
    EXPECT_EQ(picture.rows[0][7], QStringLiteral("PAYROLL/0007"));
}

TEST_F(OpenAndBrowse, RefreshListsTheQueueAgain) {
    select("QPRINT", "QGPL", "");
    main().cmdOK_Click();
    auto* splf = dynamic_cast<frmSplf*>(&t.ctx.frmSplf());
    ASSERT_NE(splf, nullptr);
    splf->grdSplf().clear();
    splf->itmRefresh_Click();
    EXPECT_EQ(splf->grdSplf().rowCount(), 2);
    EXPECT_EQ(splf->caption(), QStringLiteral("iSeries Spool Files - QGPL/QPRINT/*ALL"));
    EXPECT_EQ(host->jobFrames().back(), pad("QPRINT    FQGPL      *ALL", 124));
}

TEST_F(OpenAndBrowse, AGridFailureIsReportedWithItsStep) {
    t.ctx.frmSplf().grdSplf().clear(true);  // no columns to fill
    t.boxes->expect(QStringLiteral("Error in GetSpoolFiles function.  "));
    EXPECT_FALSE(GetSpoolFiles(t.ctx, QStringLiteral("QPRINT"), QStringLiteral("QGPL"), QStringLiteral("*ALL")));
    ASSERT_TRUE(t.boxes->done());
    EXPECT_TRUE(t.boxes->shown().back().text.endsWith(QStringLiteral(" 2"))) << "while the first block is read";
    EXPECT_EQ(t.boxes->shown().back().icon, MsgIcon::Critical);
}
