#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <stdexcept>

#include "AppContext.h"
#include "MailSetup.h"
#include "QtMessageBoxes.h"
#include "ScriptedMessageBoxes.h"
#include "SmtpSender.h"
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

TEST(AppContextServices, ATestContextUsesDoublesOnly) {
    TestContext t;
    EXPECT_TRUE(t.ctx.services.paths->configPath().startsWith(t.dir.path()));
    EXPECT_FALSE(t.ctx.services.machineRegistry->keyExists(QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE")));
    EXPECT_THROW(t.ctx.services.automation->createObject(QStringLiteral("excel.application")), AutomationError);
    EXPECT_GT(t.ctx.services.processes->startTask(QStringLiteral("mailer"), {}, ProcessStarter::NormalFocus), 0);
    EXPECT_EQ(t.processes->commandLines(), QStringList({"mailer"}));
    EXPECT_EQ(t.ctx.services.printer->deviceName(), QStringLiteral("Test Printer"));
}

// Whatever a window's handler lets escape is told to the user and the program
// goes on; the end of the program is kept for the stop sequence.
TEST(AppContextServices, AHandlerThatThrowsIsReportedAndTheProgramGoesOn) {
    ensureApplication();
    TestContext t;
    const struct {
        const char* name;
        std::function<void()> handler;
        const char* told;
    } cases[] = {
        {"a standard exception", [] { throw std::runtime_error("the disk went away"); }, "Error 5 the disk went away"},
        {"anything else", [] { throw 42; }, "Error 5 An unexpected error ended this command."},
    };
    t.boxes->answerAllWithDefault = true;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const qsizetype before = t.boxes->texts().size();
        EXPECT_NO_THROW(t.ctx.services.runHandler(c.handler));
        EXPECT_EQ(t.boxes->texts().mid(before), QStringList{QString::fromLatin1(c.told)});
        EXPECT_FALSE(t.ctx.services.programEnded.has_value());
    }
    EXPECT_NO_THROW(t.ctx.services.runHandler([&] { t.ctx.services.endProgram(4, QStringLiteral("signed off")); }));
    ASSERT_TRUE(t.ctx.services.programEnded.has_value());
    EXPECT_EQ(t.ctx.services.programEnded->exitStatus, 4);
}

// What a mail message asks to be set is asked of the settings file in use,
// wherever XDG_CONFIG_HOME puts it.
TEST(AppContextServices, TheMailMessagesNameTheSettingsFileInUse) {
    ensureApplication();
    ConfigHome home;
    AppContext ctx;
    ctx.services.saveSetting(QStringLiteral("Mail server"), QString());
    const QString noServer =
        SmtpSender::send(MailSetup::serverSettings(ctx), {QStringLiteral("ann@example.org")}, "Subject: x\r\n\r\n").error;
    ctx.services.saveSetting(QStringLiteral("Mail server"), QStringLiteral("smtp://127.0.0.1:1"));
    ctx.services.saveSetting(QStringLiteral("Mail sender"), QString());
    const QString noSender =
        SmtpSender::send(MailSetup::serverSettings(ctx), {QStringLiteral("ann@example.org")}, "Subject: x\r\n\r\n").error;
    for (const QString& message : {noServer, noSender}) {
        EXPECT_TRUE(message.contains(QStringLiteral("(") + home.settingsFile() + QStringLiteral("; README")))
            << message.toStdString();
        EXPECT_FALSE(message.contains(QStringLiteral("~/.config"))) << message.toStdString();
    }
    EXPECT_TRUE(noServer.startsWith(QStringLiteral("No mail server is set")));
    EXPECT_TRUE(noSender.startsWith(QStringLiteral("No sender address is set")));
}
