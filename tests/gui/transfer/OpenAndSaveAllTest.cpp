#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>

#include "DownloadWindows.h"
#include "HostSimFixture.h"
#include "TestPresenter.h"
#include "SplfGrid.h"
#include "TestSupport.h"
#include "TransferTestSupport.h"
#include "frmMain.h"
#include "frmSplf.h"

namespace {
std::string monthEnd(const std::string& name, int number) {
    std::string s = "name=" + name + "\njob=MONTHEND\nuser=SWUSER\njobnumber=100001\nnumber=" +
                    std::to_string(number) +
                    "\nwidth=80\nformtype=*STD\ndate=2024-06-30\ntime=23:59:01\nuserdata=JUNE\n[records]\n";
    for (int i = 1; i <= 30; ++i) s += (i == 1 ? "001 " : "   1") + name + " LINE " + std::to_string(i) + "\n";
    return s;
}
}  // namespace

// Three reports of queue SALES/PRT01 in hostsim, the client connected, names
// from the reports' attributes in the folder "Save Path".
struct ListedQueue {
    TestContext t;
    QTemporaryDir spool, out;
    std::unique_ptr<HostSimFixture> host;
    TestPresenter* presenter = nullptr;
    static constexpr const char* names[] = {"REPORTA", "REPORTB", "REPORTC"};

    ListedQueue() {
        for (int i = 0; i < 3; ++i)
            HostSimFixture::writeSpooledFile(spool.path(), QStringLiteral("SALES"), QStringLiteral("PRT01"),
                                             QString::fromLatin1(names[i]) + QStringLiteral(".splf"),
                                             monthEnd(names[i], i + 1));
        host = std::make_unique<HostSimFixture>(
            HostSimFixtureOptions{.spool = spool.path(), .clock = t.clock, .listener = false});
        installWindows(t.ctx);
        installDownloadWindows(t.ctx);
        auto hooks = std::make_unique<TestPresenter>();
        presenter = hooks.get();
        presenter->strict = true;
        t.ctx.services.presenter = std::move(hooks);
        t.ctx.services.saveSetting(QStringLiteral("FullName"), QStringLiteral("1"));
        t.ctx.services.saveSetting(QStringLiteral("Save Path"), out.path());
        EXPECT_TRUE(host->connectJobPort(t.ctx));
        t.ctx.mainWindow().lblStatus->setText(QStringLiteral("Connected to ") + host->address());
    }
    // The name a report gets in a folder.
    static QString nameIn(const QString& folder, int i) {
        return folder + QLatin1Char('/') + QString::fromLatin1(names[i]) +
               QStringLiteral(" MONTHEND SWUSER 100001 000%1 2024-06-30 23-59-01.txt").arg(i + 1);
    }
    // "&Open" on the main window; the screen's hook selects and downloads.
    void open() {
        frmMain& main = t.ctx.mainWindow();
        main.txtOutq->setText(QStringLiteral("PRT01"));
        main.cboLibrary->setEditText(QStringLiteral("SALES"));
        main.txtWrkSplf->setText(QStringLiteral("*ALL"));
        main.cmdOK_Click();
    }
    // Selects every report, chooses "Text file" and presses "&Open".
    static void downloadAll(frmSplf* splf) {
        ASSERT_EQ(splf->grdSplf().rowCount(), 3);
        for (int r = 1; r <= 3; ++r) splf->grdSplf().setCellSelected(r, 1, true);
        splf->cboProcessType->setCurrentText(QStringLiteral("Text file"));
        splf->cboProcessType_Click();
        splf->cboPageLength->setEditText(QStringLiteral("66"));
        splf->cmdOK->click();
    }
};

// As a user does it: "&Open" on the main window lists the queue from hostsim
// into the spooled-file screen; three reports are selected, "Text file"
// chosen, "&Open" pressed and "Save &All" taken in the first save-as window.
TEST(OpenAndSaveAll, ThreeReportsFromTheListedQueueUnderTheirAttributeNames) {
    ListedQueue q;
    TestPresenter& presenter = *q.presenter;
    const char* const* names = ListedQueue::names;
    QStringList proposed;
    QString finalStatus;
    std::vector<bool> selectedAfter;
    presenter.hooks[QStringLiteral("frmSave")] = [&](QWidget* w) {
        auto* d = static_cast<frmSaveAs*>(w);
        proposed << d->txtSave->text();
        EXPECT_TRUE(d->cmdOpenAll->isEnabled());
        d->cmdOpenAll->click();
    };
    presenter.hooks[QStringLiteral("frmSplf")] = [&](QWidget* w) {
        auto* splf = static_cast<frmSplf*>(w);
        ListedQueue::downloadAll(splf);
        finalStatus = splf->status();
        for (int r = 1; r <= 3; ++r) selectedAfter.push_back(splf->grdSplf().rowSelected(r));
        EXPECT_EQ(splf->cmdCancel->text(), QStringLiteral("&Close"));
        splf->cmdCancel->click();  // "&Close" hides the screen
    };
    q.open();

    EXPECT_EQ(presenter.shownNames(), (QStringList{"frmSplf", "frmSave"}));
    auto nameOf = [&](int i) { return ListedQueue::nameIn(q.out.path(), i); };
    EXPECT_EQ(proposed, QStringList{nameOf(0)});
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(names[i]);
        std::string expected;
        for (int n = 1; n <= 30; ++n) expected += std::string(names[i]) + " LINE " + std::to_string(n) + "\r\n";
        for (int n = 31; n <= 66; ++n) expected += "\r\n";  // the page filled to "Lines per page"
        EXPECT_EQ(ReadFileBytes(nameOf(i)), expected);
    }
    EXPECT_EQ(QDir(q.out.path()).entryList(QDir::Files).size(), 3);
    EXPECT_EQ(finalStatus, QStringLiteral("Transfer is complete to ") + nameOf(2) + QStringLiteral(".  30 records transferred."));
    EXPECT_EQ(selectedAfter, (std::vector<bool>{false, false, true}));
    EXPECT_FALSE(q.t.ctx.saveDialogs.text.all);
}

// The user saves the first report in another folder: the second is proposed
// there, not in "Save Path" again, and "Save &All" then sends the third there too.
TEST(OpenAndSaveAll, AReportSavedElsewhereTakesTheNextOnesThere) {
    ListedQueue q;
    QTemporaryDir elsewhere;
    QStringList proposed;
    q.presenter->hooks[QStringLiteral("frmSave")] = [&](QWidget* w) {
        auto* d = static_cast<frmSaveAs*>(w);
        proposed << d->txtSave->text();
        if (proposed.size() == 1) {
            d->txtSave->setText(ListedQueue::nameIn(elsewhere.path(), 0));
            d->OKButton->click();
        } else {
            d->cmdOpenAll->click();
        }
    };
    q.presenter->hooks[QStringLiteral("frmSplf")] = [&](QWidget* w) {
        auto* splf = static_cast<frmSplf*>(w);
        ListedQueue::downloadAll(splf);
        splf->cmdCancel->click();
    };
    q.open();
    EXPECT_EQ(proposed, (QStringList{ListedQueue::nameIn(q.out.path(), 0), ListedQueue::nameIn(elsewhere.path(), 1)}));
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(QFile::exists(ListedQueue::nameIn(elsewhere.path(), i))) << i;
    EXPECT_TRUE(QDir(q.out.path()).entryList(QDir::Files).isEmpty());
}
