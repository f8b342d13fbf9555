// The settings of outgoing mail: the password is kept only scrambled.
#include <gtest/gtest.h>

#include "MailSetup.h"
#include "TestSupport.h"

TEST(MailSetup, PasswordIsStoredScrambledAndReadBackInClear) {
    TestContext t;
    t.ctx.services.saveSetting(QStringLiteral("Mail server"), QStringLiteral(" smtp://mail.example.org:587 "));
    t.ctx.services.saveSetting(QStringLiteral("Mail sender"), QStringLiteral("reports@example.org"));
    const QString longest = QString(MailSetup::kMaxPasswordLength, QLatin1Char('~'));
    for (const QString& password : {QStringLiteral("s3cr%t pass"), QStringLiteral(" lead"), longest}) {
        ASSERT_TRUE(MailSetup::savePassword(t.ctx, password));
        const QString stored = t.setting(QStringLiteral("Mail password"));
        EXPECT_NE(stored, password);
        EXPECT_EQ(MailSetup::serverSettings(t.ctx).password, password);
    }
    const SmtpConfig c = MailSetup::serverSettings(t.ctx);
    EXPECT_EQ(c.url, QStringLiteral("smtp://mail.example.org:587"));
    EXPECT_EQ(c.sender, QStringLiteral("reports@example.org"));
    EXPECT_TRUE(c.requireTls);
    EXPECT_TRUE(c.user.isEmpty());
}

TEST(MailSetup, PasswordTheScramblingCannotCarryIsRefusedAndTheStoredOneKept) {
    TestContext t;
    ASSERT_TRUE(MailSetup::savePassword(t.ctx, QStringLiteral("old")));
    const QString before = t.setting(QStringLiteral("Mail password"));
    EXPECT_FALSE(MailSetup::savePassword(t.ctx, QStringLiteral("caf\u00e9")));
    EXPECT_FALSE(MailSetup::savePassword(t.ctx, QString(MailSetup::kMaxPasswordLength + 1, QLatin1Char('a'))));
    EXPECT_EQ(t.setting(QStringLiteral("Mail password")), before);
}

TEST(MailSetup, DraftsGoToTheDataFolderUnlessChosen) {
    TestContext t;
    EXPECT_EQ(MailSetup::draftsFolder(t.ctx), t.paths->dataPath() + QStringLiteral("/Drafts"));
    t.ctx.services.saveSetting(QStringLiteral("Drafts folder"), QStringLiteral("/srv/drafts"));
    EXPECT_EQ(MailSetup::draftsFolder(t.ctx), QStringLiteral("/srv/drafts"));
    t.ctx.services.saveSetting(QStringLiteral("Mail TLS"), QStringLiteral("no"));
    EXPECT_FALSE(MailSetup::serverSettings(t.ctx).requireTls);
}

TEST(MailSetup, TimeoutBoundsTheWaitForTheServer) {
    struct Case {
        const char* value;  // null: not set
        long timeout, connect;
    };
    const Case cases[] = {{nullptr, 120, 20}, {"3", 3, 3}, {" 60 ", 60, 20}, {"0", 120, 20}, {"-5", 120, 20}, {"soon", 120, 20}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value ? c.value : "not set");
        TestContext t;
        if (c.value) t.ctx.services.saveSetting(QStringLiteral("Mail timeout"), QString::fromLatin1(c.value));
        const SmtpConfig config = MailSetup::serverSettings(t.ctx);
        EXPECT_EQ(config.timeoutSec, c.timeout);
        EXPECT_EQ(config.connectTimeoutSec, c.connect);
    }
}
