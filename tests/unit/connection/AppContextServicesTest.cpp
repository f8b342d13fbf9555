#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "AppContext.h"
#include "QtMessageBoxes.h"
#include "ScriptedMessageBoxes.h"
#include "TestSupport.h"

namespace {
// Points the user's config folder at a temporary one for the life of the object.
struct ConfigHome {
    ConfigHome() : old(qgetenv("XDG_CONFIG_HOME")) { qputenv("XDG_CONFIG_HOME", dir.path().toLocal8Bit()); }
    ~ConfigHome() {
        if (old.isEmpty())
            qunsetenv("XDG_CONFIG_HOME");
        else
            qputenv("XDG_CONFIG_HOME", old);
    }
    QString settingsFile() const { return dir.filePath(QStringLiteral("Tolvane/iSeries Spoolwright.ini")); }
    QTemporaryDir dir;
    QByteArray old;
};
}  // namespace

TEST(AppContextServices, RememberedValuesGoToTheUsersConfigFolder) {
    ensureApplication();
    ConfigHome home;
    {
        AppContext ctx;
        ctx.services.saveSetting(QStringLiteral("Save Path"), QStringLiteral(" /spool/ "));
    }
    EXPECT_TRUE(QFile::exists(home.settingsFile()));
    AppContext again;
    EXPECT_EQ(again.services.getSetting(QStringLiteral("save path")), QStringLiteral(" /spool/ "));
    EXPECT_EQ(again.services.getSetting(QStringLiteral("User")), QStringLiteral("None"));
}

TEST(AppContextServices, ADamagedSettingsFileIsShownInOneMessageBox) {
    ensureApplication();
    ConfigHome home;
    QDir().mkpath(QFileInfo(home.settingsFile()).path());
    QFile f(home.settingsFile());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Settings]\nUser=\"unterminated\n");
    f.close();
    AppContext ctx;
    auto boxes = std::make_unique<ScriptedMessageBoxes>();
    boxes->expect(QStringLiteral("is damaged"));
    ScriptedMessageBoxes* shown = boxes.get();
    ctx.services.msg = std::move(boxes);
    EXPECT_EQ(ctx.services.getSetting(QStringLiteral("User")), QStringLiteral("None"));
    EXPECT_EQ(ctx.services.getSetting(QStringLiteral("Host")), QStringLiteral("None"));
    ASSERT_EQ(shown->shown().size(), 1u);
    EXPECT_EQ(shown->shown()[0].title, QStringLiteral("iSeries Spoolwright"));
    EXPECT_EQ(shown->shown()[0].icon, MsgIcon::Exclamation);
    EXPECT_TRUE(QFile::exists(home.settingsFile() + QStringLiteral(".damaged")));
}

TEST(AppContextServices, ABatchRunAnswersBoxesAndShowsNoDialogs) {
    ensureApplication();
    AppContext ctx;
    EXPECT_NE(dynamic_cast<QtMessageBoxes*>(ctx.services.msg.get()), nullptr);
    ctx.useBatchServices();
    EXPECT_NE(dynamic_cast<BatchMessageBoxes*>(ctx.services.msg.get()), nullptr);
    EXPECT_TRUE(ctx.services.presenter->unattended);
    EXPECT_EQ(ctx.services.msgBox(QStringLiteral("Replace?"), MsgButtons::OKCancel, MsgIcon::Exclamation, QStringLiteral("Save"), 2),
              vbCancel);
}

TEST(AppContextServices, ATestContextUsesDoublesOnly) {
    TestContext t;
    EXPECT_TRUE(t.ctx.services.paths->configPath().startsWith(t.dir.path()));
    EXPECT_FALSE(t.ctx.services.machineRegistry->keyExists(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE")));
    EXPECT_THROW(t.ctx.services.automation->createObject(QStringLiteral("excel.application")), AutomationError);
    EXPECT_GT(t.ctx.services.processes->startTask(QStringLiteral("mailer"), {}, ProcessStarter::NormalFocus), 0);
    EXPECT_EQ(t.processes->commandLines(), QStringList({"mailer"}));
    EXPECT_EQ(t.ctx.services.printer->deviceName(), QStringLiteral("Test Printer"));
}
