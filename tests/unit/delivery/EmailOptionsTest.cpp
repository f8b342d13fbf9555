// The automated e-mail options and their text files.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <sys/stat.h>
#include <unistd.h>

#include "EmailCommon.h"
#include "EmailTextFiles.h"
#include "TestSupport.h"
#include "TransferTestSupport.h"
#include "frmEdit.h"

namespace {
std::string fileIn(const QString& dir, const char* name) { return ReadFileBytes(QDir(dir).filePath(QString::fromLatin1(name))); }
}  // namespace

TEST(EmailOptions, SubjectAndMessageAreSavedAsCrLfLinesAndComeBackAsTyped) {
    ensureApplication();
    const struct {
        const char* subject;
        const char* message;
        const char* subjectFile;
        const char* messageFile;
        const char* keptMessage;
    } cases[] = {
        {"Monthly sales", "Line one\nLine two", "Monthly sales\r\n", "Line one\r\nLine two\r\n", "Line one\r\nLine two"},
        {"Sales\r\n\r\n", "Text\n\n\n", "Sales\r\n", "Text\r\n", "Text"},
        {"", "", "\r\n", "\r\n", ""},
        {"100% ^ {x}", "a & b < c", "100% ^ {x}\r\n", "a & b < c\r\n", "a & b < c"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.subject);
        TestContext t;
        frmEdit dlg(t.ctx);
        dlg.Form_Load();
        dlg.txtSubject->setText(QString::fromLatin1(c.subject));
        dlg.txtEdit->setPlainText(QString::fromLatin1(c.message));
        ASSERT_TRUE(dlg.cmdOK_Click());
        EXPECT_EQ(fileIn(t.paths->configPath(), "emailsub.txt"), c.subjectFile);
        EXPECT_EQ(fileIn(t.paths->configPath(), "emailmsg.txt"), c.messageFile);
        EXPECT_EQ(Email(t.ctx).gEmailMessage, QString::fromLatin1(c.keptMessage));
        frmEdit again(t.ctx);
        again.Form_Load();
        EXPECT_EQ(again.txtSubject->text(), EmailTextFiles::stripLineEnds(QString::fromLatin1(c.subject)));
        ASSERT_TRUE(again.cmdOK_Click());  // unchanged by a second OK
        EXPECT_EQ(fileIn(t.paths->configPath(), "emailsub.txt"), c.subjectFile);
        EXPECT_EQ(fileIn(t.paths->configPath(), "emailmsg.txt"), c.messageFile);
    }
}

TEST(EmailOptions, ReadFromTheProgramFolderWhenTheUserHasNone) {
    ensureApplication();
    TestContext t;
    QDir().mkpath(t.paths->appPath());
    WriteFileBytes(QDir(t.paths->appPath()).filePath(QStringLiteral("emailsub.txt")), "Shipped subject\r\n");
    WriteFileBytes(QDir(t.paths->appPath()).filePath(QStringLiteral("emailmsg.txt")), "Shipped\r\nmessage\r\n");
    frmEdit dlg(t.ctx);
    dlg.Form_Load();
    EXPECT_EQ(dlg.txtSubject->text(), QStringLiteral("Shipped subject"));
    EXPECT_EQ(dlg.txtEdit->toPlainText(), QStringLiteral("Shipped\nmessage\n"));
    dlg.txtSubject->setText(QStringLiteral("Mine"));
    ASSERT_TRUE(dlg.cmdOK_Click());
    EXPECT_EQ(fileIn(t.paths->configPath(), "emailsub.txt"), "Mine\r\n");
    EXPECT_EQ(fileIn(t.paths->appPath(), "emailsub.txt"), "Shipped subject\r\n");  // the program's own stays
    saveScreenshot(dlg, QStringLiteral("frmEdit.png"));
}

// A text file of the user's that is no plain file (a pipe would wait for a
// writer, a device never ends) is passed over like a missing one: the
// dialog opens at once with the program's own texts, and it stays as it was.
TEST(EmailOptions, AUsersTextFileThatIsNoPlainFileIsPassedOver) {
    ensureApplication();
    const struct {
        const char* what;
        const char* linkTo;  // nullptr: a pipe at the name itself
    } cases[] = {{"a pipe", nullptr}, {"a link to a device", "/dev/zero"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        TestContext t;
        QDir().mkpath(t.paths->appPath());
        QDir().mkpath(t.paths->configPath());
        WriteFileBytes(QDir(t.paths->appPath()).filePath(QStringLiteral("emailsub.txt")), "Shipped subject\r\n");
        WriteFileBytes(QDir(t.paths->appPath()).filePath(QStringLiteral("emailmsg.txt")), "Shipped\r\n");
        for (const char* name : {"emailsub.txt", "emailmsg.txt"}) {
            const QByteArray p = QFile::encodeName(QDir(t.paths->configPath()).filePath(QString::fromLatin1(name)));
            ASSERT_EQ(c.linkTo ? ::symlink(c.linkTo, p.constData()) : ::mkfifo(p.constData(), 0600), 0);
        }
        frmEdit dlg(t.ctx);
        dlg.Form_Load();
        EXPECT_EQ(dlg.txtSubject->text(), QStringLiteral("Shipped subject"));
        EXPECT_EQ(dlg.txtEdit->toPlainText(), QStringLiteral("Shipped\n"));
        struct stat st {};
        ASSERT_EQ(::lstat(QFile::encodeName(EmailTextFiles::subjectFile(t.ctx)).constData(), &st), 0);
        EXPECT_EQ(st.st_mode & S_IFMT, c.linkTo ? S_IFLNK : S_IFIFO);
    }
}

TEST(EmailOptions, CancelAfterOkKeepsTheFilesButNotTheRunsTexts) {
    ensureApplication();
    TestContext t;
    frmEdit dlg(t.ctx);
    dlg.Form_Load();
    dlg.txtSubject->setText(QStringLiteral("Kept"));
    dlg.txtCompanyName->setText(QString());
    ASSERT_TRUE(dlg.cmdOK_Click());
    EXPECT_EQ(t.setting(QStringLiteral("Company name")), QString());  // empty, not "None"
    frmEdit again(t.ctx);
    again.Form_Load();
    EXPECT_TRUE(again.txtCompanyName->text().isEmpty());
    again.cmdCancel_Click();
    EXPECT_TRUE(Email(t.ctx).gEmailSubject.isEmpty());
    EXPECT_TRUE(Email(t.ctx).gEmailMessage.isEmpty());
    EXPECT_EQ(fileIn(t.paths->configPath(), "emailsub.txt"), "Kept\r\n");
}

TEST(EmailOptions, FailedWriteIsReportedTheDialogStaysAndEarlierFilesSurvive) {
    ensureApplication();
    TestContext t;
    QDir().mkpath(t.paths->configPath());
    WriteFileBytes(QDir(t.paths->configPath()).filePath(QStringLiteral("emailmsg.txt")), "old message\r\n");
    // A folder in the subject file's place: no file can be written there.
    QDir().mkpath(QDir(t.paths->configPath()).filePath(QStringLiteral("emailsub.txt")));
    frmEdit dlg(t.ctx);
    dlg.Form_Load();
    dlg.txtSubject->setText(QStringLiteral("New"));
    dlg.txtEdit->setPlainText(QStringLiteral("new message"));
    t.boxes->expect(QStringLiteral("The automated email options were not saved:"));
    EXPECT_FALSE(dlg.cmdOK_Click());
    EXPECT_TRUE(t.boxes->done());
    EXPECT_EQ(dlg.result(), 0);  // still open, nothing accepted
    EXPECT_TRUE(Email(t.ctx).gEmailSubject.isEmpty());
    EXPECT_EQ(fileIn(t.paths->configPath(), "emailmsg.txt"), "old message\r\n");
}
