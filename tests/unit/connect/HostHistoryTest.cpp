#include <gtest/gtest.h>

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTabBar>

#include "HookPresenter.h"
#include "HostHistory.h"
#include "TestSupport.h"
#include "frmMain.h"
#include "frmOptions.h"

namespace {
class TempPaths : public Paths {
public:
    explicit TempPaths(QString root) : root_(std::move(root)) {}
    QString appPath() override { return root_; }
    QString tempPath() override { return root_ + "/tmp/"; }
    QString configPath() override { return root_; }
    QString systemPath() override { return root_; }

private:
    QString root_;
};

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

struct OptionsFixture : ::testing::Test {
    TestContext t;
    AppContext& ctx = t.ctx;
    OptionsFixture() { ctx.services.paths = std::make_unique<TempPaths>(t.dir.path()); }
    QString hostsFile() { return t.dir.path() + "/SpwHosts.ini"; }
    QStringList listOf(frmOptions& o) {
        QStringList out;
        for (int i = 0; i < o.cboIPAddress->count(); ++i) out << o.cboIPAddress->itemText(i);
        return out;
    }
    QStringList history() {
        QStringList out;
        for (int i = 0; i <= 11; ++i) out << t.setting(QStringLiteral("URL%1").arg(i));
        return out;
    }
    void connectedTo(const QString& host) {
        ctx.connection.gHostAddress = host;
        ctx.mainWindow().lblStatus->setText("Connected to " + host + ", Job:SWR17851");
    }
};
}  // namespace

TEST(HostSyntax, AddressesAndNames) {
    struct Case {
        const char* text;
        bool valid;
    } cases[] = {
        {"192.168.1.20", true},   {"10.0.0.1", true},           {"myiseries", true},
        {"MYISERIES", true},      {"as400.example.com", true},  {"as400.example.com.", true},
        {"sys_a", true},          {"host-1", true},             {"::1", true},
        {"fe80::1", true},        {"", false},                  {"192.168.1", false},
        {"192.168.1.256", false}, {"1.2.3.4.5", false},         {"my host", false},
        {"-host", false},         {"host-", false},             {"a..b", false},
        {"host/x", false},        {"http://as400", false},      {"::zz", false},
        {"h\u00f6st", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HostHistory::isValidHostSyntax(QString::fromUtf8(c.text)), c.valid) << c.text;
    EXPECT_FALSE(HostHistory::isValidHostSyntax(QString(64, 'a') + ".com"));
    EXPECT_TRUE(HostHistory::isValidHostSyntax(QString(63, 'a') + ".com"));
}

TEST_F(OptionsFixture, HostsFileKeysInOrderWithGapsAndNoneSkipped) {
    writeFile(hostsFile(),
              "[Other]\r\nHost0=wrong\r\n"
              "[Spoolwright Hosts]\r\n"
              "Host7 = seven.example.com\r\n"
              "host2=\"two\"\r\n"
              "Host3=None\r\n"
              "Host4=\r\n"
              "Host10=ignored\r\n"
              "[Later]\r\nHost5=wrong\r\n");
    EXPECT_EQ(HostHistory::readHostsListFile(hostsFile()), (QStringList{"two", "seven.example.com"}));
    EXPECT_TRUE(HostHistory::readHostsListFile(t.dir.path() + "/missing.ini").isEmpty());
}

TEST_F(OptionsFixture, LoadTakesHostsFileBeforeHistory) {
    ctx.services.saveSetting("URL0", "hist");
    writeFile(hostsFile(), "[Spoolwright Hosts]\nHost2=b\nHost7=c\n");
    EXPECT_EQ(listOf(ctx.optionsWindow()), (QStringList{"b", "c"}));
}

TEST_F(OptionsFixture, LoadWithoutHostsFileStopsHistoryAtGap) {
    ctx.services.saveSetting("URL", " as400 ");
    ctx.services.saveSetting("URL0", "a");
    ctx.services.saveSetting("URL1", " ");
    ctx.services.saveSetting("URL2", "c");
    frmOptions& o = ctx.optionsWindow();
    EXPECT_EQ(listOf(o), QStringList{"a"});
    EXPECT_EQ(o.cboIPAddress->currentText(), "as400");
    EXPECT_EQ(o.tbsOptions->currentIndex(), 0);
    EXPECT_FALSE(o.fraIPAddress[0]->isHidden());
    EXPECT_TRUE(o.fraIPAddress[1]->isHidden());
}

TEST_F(OptionsFixture, WaitTimeSliderFromSetting) {
    struct Case {
        const char* stored;
        int value;
    } cases[] = {{nullptr, 6}, {"12", 12}, {"2", 2}, {"30", 30}, {"45", 6}, {"1", 6}, {"soon", 6}};
    for (const Case& c : cases) {
        if (c.stored) ctx.services.saveSetting("Wait time", c.stored);
        frmOptions& o = ctx.optionsWindow();
        EXPECT_EQ(o.sliWaitTime->value(), c.value) << (c.stored ? c.stored : "missing");
        EXPECT_EQ(o.lblWaitTime->text(), QString::number(c.value));
        ctx.unloadOptionsWindow();
    }
}

TEST_F(OptionsFixture, TabsShowOneFrame) {
    frmOptions& o = ctx.optionsWindow();
    o.show();
    o.tbsOptions->setCurrentIndex(1);
    EXPECT_FALSE(o.fraIPAddress[0]->isVisible());
    EXPECT_TRUE(o.fraIPAddress[1]->isVisible());
    o.sliWaitTime->setValue(17);
    EXPECT_EQ(o.lblWaitTime->text(), "17");
    o.tbsOptions->setCurrentIndex(0);
    EXPECT_TRUE(o.fraIPAddress[0]->isVisible());
    EXPECT_FALSE(o.fraIPAddress[1]->isVisible());
}

TEST_F(OptionsFixture, ApplyStoresAValidEntry) {
    frmOptions& o = ctx.optionsWindow();
    o.cboIPAddress->setEditText("  as400.example.com ");
    o.sliWaitTime->setValue(9);
    o.show();
    o.cmdOK_Click();
    EXPECT_EQ(t.setting("URL"), "as400.example.com");
    EXPECT_EQ(t.setting("Wait time"), "9");
    EXPECT_FALSE(o.isVisible());
    EXPECT_TRUE(ctx.optionsWindowLoaded());
}

TEST_F(OptionsFixture, ApplyRefusesABadEntryAndKeepsTheWindow) {
    ctx.services.saveSetting("URL", "old");
    frmOptions& o = ctx.optionsWindow();
    o.cboIPAddress->setEditText("my iseries");
    o.show();
    t.boxes->expect("'my iseries' is not a valid IP address or host name.");
    o.cmdOK_Click();
    EXPECT_TRUE(t.boxes->done());
    EXPECT_EQ(t.setting("URL"), "old");
    EXPECT_EQ(t.setting("Wait time"), "None");
    EXPECT_TRUE(o.isVisible());
}

TEST_F(OptionsFixture, EmptyEntryOkHidesCancelUnloads) {
    ctx.services.saveSetting("URL", "old");
    frmOptions& o = ctx.optionsWindow();
    o.cboIPAddress->setEditText("   ");
    o.show();
    t.boxes->expect("Please specify a valid IP address or host name entry.", vbOK);
    o.cmdApply_Click();
    EXPECT_TRUE(o.isVisible());
    t.boxes->expect("Please specify a valid IP address or host name entry.", vbOK);
    o.cmdOK_Click();
    EXPECT_FALSE(o.isVisible());
    EXPECT_TRUE(ctx.optionsWindowLoaded());
    t.boxes->expect("Please specify a valid IP address or host name entry.", vbCancel);
    o.cmdApply_Click();
    EXPECT_FALSE(ctx.optionsWindowLoaded());
    EXPECT_TRUE(t.boxes->done());
    EXPECT_EQ(t.setting("URL"), "old");
    EXPECT_EQ(t.boxes->shown().front().buttons, MsgButtons::OKCancel);
}

TEST_F(OptionsFixture, CancelKeepsEditsUnsaved) {
    ctx.services.saveSetting("URL", "old");
    frmOptions& o = ctx.optionsWindow();
    o.show();
    o.cboIPAddress->setEditText("new");
    o.cmdCancel_Click();
    EXPECT_FALSE(o.isVisible());
    EXPECT_EQ(t.setting("URL"), "old");
    EXPECT_EQ(ctx.optionsWindow().cboIPAddress->currentText(), "new");
}

TEST_F(OptionsFixture, CloseWhileConnectedPutsTheCurrentHostFirst) {
    ctx.services.saveSetting("URL0", "b");
    ctx.services.saveSetting("URL1", "a");
    ctx.services.saveSetting("URL2", "c");
    frmOptions& o = ctx.optionsWindow();
    connectedTo("a");
    o.show();
    o.close();
    EXPECT_FALSE(ctx.optionsWindowLoaded());
    EXPECT_EQ(history().mid(0, 4), (QStringList{"a", "b", "c", "None"}));
}

TEST_F(OptionsFixture, CloseWhileNotConnectedLeavesHistory) {
    ctx.services.saveSetting("URL0", "b");
    ctx.services.saveSetting("URL1", "a");
    frmOptions& o = ctx.optionsWindow();
    ctx.connection.gHostAddress = "a";
    o.show();
    o.close();
    EXPECT_EQ(history().mid(0, 3), (QStringList{"b", "a", "None"}));
}

TEST_F(OptionsFixture, HistoryIsRewrittenWholeDistinctAndAtMostTen) {
    for (int i = 0; i <= 11; ++i) ctx.services.saveSetting(QStringLiteral("URL%1").arg(i), "stale");
    connectedTo("cur");
    HostHistory::rewriteHistory(ctx.services, "cur", {"h1", "cur", "h1", " h2 ", "", "h3"});
    EXPECT_EQ(history().mid(0, 10),
              (QStringList{"cur", "h1", "h2", "h3", "None", "None", "None", "None", "None", "None"}));
    // Beyond URL9 nothing is read; nothing is written there either.
    QStringList many;
    for (int i = 0; i < 14; ++i) many << QStringLiteral("m%1").arg(i);
    HostHistory::rewriteHistory(ctx.services, "cur", many);
    const QStringList h = history();
    EXPECT_EQ(h[0], "cur");
    EXPECT_EQ(h[9], "m8");
    EXPECT_EQ(h[10], "stale");
    EXPECT_EQ(HostHistory::readHistory(ctx.services).size(), 10);
    // A host that was never set heads nothing.
    HostHistory::rewriteHistory(ctx.services, "None", {"x"});
    EXPECT_EQ(t.setting("URL0"), "cur");
}
