#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ConnectionWindows.h"
#include "HookPresenter.h"
#include "TestSupport.h"
#include "frmLogin.h"
#include "frmMain.h"
#include "frmOptions.h"

namespace {
struct MenuFixture : ::testing::Test {
    TestContext t;
    AppContext& ctx = t.ctx;
    HookPresenter& presenter = installHookPresenter(ctx);
    frmMain& m = ctx.mainWindow();
    void connectedTo(const QString& host) {
        ctx.connection.gHostAddress = host;
        m.lblStatus->setText("Connected to " + host + ", Job:SWR17851");
    }
};
}  // namespace

TEST_F(MenuFixture, ConnectWhileConnectedSaysSo) {
    connectedTo("as400");
    t.boxes->expect("Already connected.");
    m.itmConnect_Click();
    EXPECT_TRUE(t.boxes->done());
    EXPECT_EQ(t.boxes->shown().back().buttons, MsgButtons::OK);
    EXPECT_EQ(t.boxes->shown().back().title, "Tolvane");
}

TEST_F(MenuFixture, ChangePasswordForgetsSavedAndHeldPassword) {
    ctx.services.saveSetting("century", "scrambled");
    ctx.connection.gUserId = "XXXXXXXXXX";
    ctx.connection.gPassword = std::string(128, 'x');
    ctx.loginWindow().chkSavePassword->setChecked(true);
    t.boxes->expect("Any saved password has been removed.  You'll be prompted for a password the next time you connect.");
    m.itmChangePassword_Click();
    EXPECT_TRUE(t.boxes->done());
    EXPECT_EQ(t.boxes->shown().back().icon, MsgIcon::Information);
    EXPECT_EQ(t.setting("century"), "-None");
    EXPECT_FALSE(ctx.loginWindow().chkSavePassword->isChecked());
    EXPECT_EQ(ctx.connection.gUserId, std::string(10, ' '));
    EXPECT_EQ(ctx.connection.gPassword, std::string(128, ' '));
}

TEST_F(MenuFixture, ChangedAddressWhileNotConnectedIsKeptForLater) {
    ctx.services.saveSetting("URL", "old");
    presenter.onModal = [](QWidget* w) {
        auto* o = static_cast<frmOptions*>(w);
        o->cboIPAddress->setEditText("new.example.com");
        o->cmdOK_Click();
    };
    m.itmChangeAddress_Click();
    EXPECT_EQ(presenter.shownNames(), QStringList{"frmOptions"});
    EXPECT_EQ(t.setting("URL"), "new.example.com");
}

TEST_F(MenuFixture, ChangedAddressWhileConnectedEndsTheProgram) {
    ctx.services.saveSetting("URL", "old");
    connectedTo("old");
    presenter.onModal = [](QWidget* w) {
        auto* o = static_cast<frmOptions*>(w);
        o->cboIPAddress->setEditText("new");
        o->cmdOK_Click();
    };
    m.txtOutq->setText("PRT01");
    m.itmSaveSettings->setChecked(true);
    const QString work = t.dir.path() + "/work/SWUSER";
    ASSERT_TRUE(QDir().mkpath(work));
    QFile download(work + "/QSYSPRT.txt");
    ASSERT_TRUE(download.open(QIODevice::WriteOnly));
    download.close();
    ctx.connection.gWorkDir = work;
    ctx.connection.noteCreatedFile(download.fileName());
    t.boxes->expect("The selected iSeries host name or IP address has been changed while connected.  This utility will "
                    "deallocate any conversations and end.  You may then restart.");
    try {
        m.itmChangeAddress_Click();
        ADD_FAILURE() << "the program went on";
    } catch (const ProgramEnd& e) {
        EXPECT_EQ(e.exitStatus, kExitHostChanged);
    }
    EXPECT_TRUE(t.boxes->done());
    EXPECT_EQ(ctx.connection.gHostAddress, "new");
    EXPECT_TRUE(m.isNotConnected());
    // It ended through the stop sequence: nothing the user set is lost, the work files are gone.
    EXPECT_EQ(m.statusPanel(), "Bye...");
    EXPECT_EQ(t.setting("Defaults"), "True");
    EXPECT_EQ(t.setting("Outq"), "PRT01");
    EXPECT_EQ(t.setting("URL"), "new");
    EXPECT_FALSE(QFile::exists(download.fileName()));
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(MenuFixture, UnchangedAddressWhileConnectedGoesOn) {
    ctx.services.saveSetting("URL", "same");
    connectedTo("same");
    presenter.onModal = [](QWidget* w) { static_cast<frmOptions*>(w)->cmdOK_Click(); };
    m.itmChangeAddress_Click();
    EXPECT_FALSE(m.isNotConnected());
}

TEST_F(MenuFixture, WaitTimeOpensTheSameWindow) {
    presenter.onModal = [](QWidget* w) { static_cast<frmOptions*>(w)->cmdCancel_Click(); };
    m.itmWaitTime_Click();
    EXPECT_EQ(presenter.shownNames(), QStringList{"frmOptions"});
}
