#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
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

// As a user does it: "&Open" on the main window lists the queue from hostsim
// into the spooled-file screen; three reports are selected, "Text file"
// chosen, "&Open" pressed and "Save &All" taken in the first save-as window.
TEST(OpenAndSaveAll, ThreeReportsFromTheListedQueueUnderTheirAttributeNames) {
    TestContext t;
    QTemporaryDir spool, out;
    const char* names[] = {"REPORTA", "REPORTB", "REPORTC"};
    for (int i = 0; i < 3; ++i)
        HostSimFixture::writeSpooledFile(spool.path(), QStringLiteral("SALES"), QStringLiteral("PRT01"),
                                         QString::fromLatin1(names[i]) + QStringLiteral(".splf"), monthEnd(names[i], i + 1));
    HostSimFixture host({.spool = spool.path(), .clock = t.clock, .listener = false});
    installSplfScreen(t.ctx);
    installDownloadWindows(t.ctx);
    auto hooks = std::make_unique<TestPresenter>();
    TestPresenter& presenter = *hooks;
    presenter.strict = true;
    t.ctx.presenter = std::move(hooks);
    t.ctx.saveSetting(QStringLiteral("FullName"), QStringLiteral("1"));
    t.ctx.saveSetting(QStringLiteral("Save Path"), out.path());
    ASSERT_TRUE(host.connectJobPort(t.ctx));
    frmMain& main = t.ctx.mainWindow();
    main.lblStatus->setText(QStringLiteral("Connected to ") + host.address());

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
        ASSERT_EQ(splf->grdSplfTable->rowCount(), 3);
        for (int r = 1; r <= 3; ++r) splf->grdSplf().setCellSelected(r, 1, true);
        splf->cboProcessType->setCurrentText(QStringLiteral("Text file"));
        splf->cboProcessType_Click();
        splf->cboPageLength->setEditText(QStringLiteral("66"));
        splf->cmdOK->click();
        finalStatus = splf->status();
        for (int r = 1; r <= 3; ++r) selectedAfter.push_back(splf->grdSplf().rowSelected(r));
        EXPECT_EQ(splf->cmdCancel->text(), QStringLiteral("&Close"));
        splf->cmdCancel->click();  // "&Close" hides the screen
    };
    main.txtOutq->setText(QStringLiteral("PRT01"));
    main.cboLibrary->setEditText(QStringLiteral("SALES"));
    main.txtWrkSplf->setText(QStringLiteral("*ALL"));
    main.cmdOK_Click();

    EXPECT_EQ(presenter.shownNames(), (QStringList{"frmSplf", "frmSave"}));
    auto nameOf = [&](int i) {
        return out.path() + QLatin1Char('/') + QString::fromLatin1(names[i]) +
               QStringLiteral(" MONTHEND SWUSER 100001 000%1 2024-06-30 23-59-01.txt").arg(i + 1);
    };
    EXPECT_EQ(proposed, QStringList{nameOf(0)});
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(names[i]);
        std::string expected;
        for (int n = 1; n <= 30; ++n) expected += std::string(names[i]) + " LINE " + std::to_string(n) + "\r\n";
        for (int n = 31; n <= 66; ++n) expected += "\r\n";  // the page filled to "Lines per page"
        EXPECT_EQ(ReadFileBytes(nameOf(i)), expected);
    }
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files).size(), 3);
    EXPECT_EQ(finalStatus, QStringLiteral("Transfer is complete to ") + nameOf(2) + QStringLiteral(".  30 records transferred."));
    EXPECT_EQ(selectedAfter, (std::vector<bool>{false, false, true}));
    EXPECT_FALSE(t.ctx.gTextSaveAll);
}
