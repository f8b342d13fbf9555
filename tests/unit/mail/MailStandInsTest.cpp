// The mail programs' stand-ins: each takes the key strings and calls that its
// deliveries send, and refuses anything else.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "MailAutomation.h"
#include "MailStandIns.h"
#include "RecordingMailOutbox.h"
#include "MemoryMachineRegistry.h"
#include "RecordingAutomation.h"
#include "RecordingKeyboard.h"
#include "RecordingProcessStarter.h"
#include "RegistryAccess.h"
#include "SendKeys.h"

namespace {
class StandIns : public ::testing::Test {
protected:
    void SetUp() override {
        outbox = std::make_shared<RecordingMailOutbox>();
        standIns = std::make_unique<MailStandIns>(outbox);
        auto k = std::make_unique<RecordingKeyboard>();
        inner = k.get();
        keyboard = standIns->wrap(std::unique_ptr<Keyboard>(std::move(k)));
        starter = standIns->wrap(std::unique_ptr<ProcessStarter>(std::make_unique<RecordingProcessStarter>()));
        automation = standIns->wrap(std::unique_ptr<Automation>(std::make_unique<RecordingAutomation>()));
        for (const char* n : {"a (1).txt", "b+{x}.pdf", "c.txt", "body.txt"}) {
            QFile f(QDir(dir.path()).filePath(QString::fromLatin1(n)));
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("report text\n");
            files << f.fileName();
        }
    }
    // Keys as the deliveries send them: data typed literally.
    void keys(const QString& k) { keyboard->sendKeys(k, true); }
    void type(const QString& data) { keyboard->sendKeys(SendKeys::literal(data), true); }
    // The memo's attach step with two back-tabs each side (tab count 1, or the extra tab of this version).
    void notesAttach(const QString& file) {
        ASSERT_TRUE(keyboard->activate(QStringLiteral("Lotus Notes")));
        for (const char* k : {"+{TAB}", "+{TAB}", "^{END}", "{Enter}", "{Enter}", "__________", "{Enter}", "%FA"})
            keys(QString::fromLatin1(k));
        type(file);
        for (const char* k : {"%r", "+{TAB}", "+{TAB}"}) keys(QString::fromLatin1(k));
    }
    QStringList attachments(const MailMessage& m) {
        QStringList p;
        for (const auto& a : m.attachments) p << a.path;
        return p;
    }

    QTemporaryDir dir;
    QStringList files;
    std::shared_ptr<RecordingMailOutbox> outbox;
    std::unique_ptr<MailStandIns> standIns;
    RecordingKeyboard* inner = nullptr;
    std::unique_ptr<Keyboard> keyboard;
    std::unique_ptr<ProcessStarter> starter;
    std::unique_ptr<Automation> automation;
};
}  // namespace

TEST_F(StandIns, NetscapeAttachesEachFileTypedIntoItsAttachDialog) {
    const qint64 task = starter->startTask(QStringLiteral("swmail-netscape"), {QStringLiteral("-compose")},
                                           ProcessStarter::NormalFocus);
    ASSERT_NE(task, 0);
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(keyboard->activate(QStringLiteral("Composition")));
        keys(QStringLiteral("%FHF"));
        type(files[i]);
        keys(QStringLiteral("{Enter}"));
    }
    EXPECT_TRUE(outbox->entries.empty());  // the user finishes the message
    EXPECT_EQ(standIns->closeWindows(), 1);
    ASSERT_EQ(outbox->entries.size(), 1u);
    EXPECT_FALSE(outbox->entries[0].sent);
    EXPECT_EQ(attachments(outbox->entries[0].message), files.mid(0, 2));
    EXPECT_TRUE(inner->sent().empty());
}

TEST_F(StandIns, NetscapeComposeWithAFileHasItAsTheBody) {
    QFile html(QDir(dir.path()).filePath(QStringLiteral("w.txt")));
    ASSERT_TRUE(html.open(QIODevice::WriteOnly));
    html.write("<HTML>\r\n<BODY>\r\n<P>A &amp; B</P>\r\n</BODY>\r\n</HTML>\r\n");
    html.close();
    ASSERT_NE(starter->startTask(QStringLiteral("swmail-netscape"), {QStringLiteral("-compose"), html.fileName()},
                                 ProcessStarter::NormalFocus), 0);
    standIns->closeWindows();
    ASSERT_EQ(outbox->entries.size(), 1u);
    EXPECT_TRUE(outbox->entries[0].message.htmlBody);
    EXPECT_TRUE(outbox->entries[0].message.body.contains(QStringLiteral("<P>A &amp; B</P>")));
}

TEST_F(StandIns, OutlookExpressTakesTheSequencesOfAttachmentAutomaticMailAndBody) {
    // Attachment: task activation, Insert Attachment, path, Attach.
    qint64 task = starter->startTask(QStringLiteral("swmail-msimn.exe"), {QStringLiteral("/mailurl:test")},
                                     ProcessStarter::NormalFocus);
    ASSERT_TRUE(keyboard->activateTask(task));
    keys(QStringLiteral("%IA"));
    type(files[1]);
    keys(QStringLiteral("%A"));
    standIns->closeWindows();
    ASSERT_EQ(outbox->entries.size(), 1u);
    EXPECT_EQ(attachments(outbox->entries[0].message), QStringList{files[1]});

    // Automatic mail: recipients, two tabs, subject, tab, message; the window
    // is then known by its subject; attach with Enter; File Send.
    task = starter->startTask(QStringLiteral("C:\\Program Files\\Outlook Express\\MSIMN.EXE"),
                              {QStringLiteral("/mailurl:test")}, ProcessStarter::NormalFocus);
    ASSERT_TRUE(keyboard->activate(QStringLiteral("New Message")));
    keyboard->sendKeys(SendKeys::literal(QStringLiteral("ann@x.org;bob@y.org")), false);
    keys(QStringLiteral("{TAB}"));
    keys(QStringLiteral("{TAB}"));
    type(QStringLiteral("Sales (100%) ^ {east}"));
    keys(QStringLiteral("{TAB}"));
    type(QStringLiteral("Please find report(s) from ACME~ attached."));
    ASSERT_TRUE(keyboard->activate(QStringLiteral("Sales (100%) ^ {east}")));
    keys(QStringLiteral("%IA"));
    type(files[2]);
    keys(QStringLiteral("{ENTER}"));
    keys(QStringLiteral("%FE"));
    ASSERT_EQ(outbox->entries.size(), 2u);
    const MailMessage& sent = outbox->entries[1].message;
    EXPECT_TRUE(outbox->entries[1].sent);
    EXPECT_EQ(sent.to, (QStringList{QStringLiteral("ann@x.org"), QStringLiteral("bob@y.org")}));
    EXPECT_EQ(sent.subject, QStringLiteral("Sales (100%) ^ {east}"));
    EXPECT_EQ(sent.body, QStringLiteral("Please find report(s) from ACME~ attached."));
    EXPECT_EQ(attachments(sent), QStringList{files[2]});
    EXPECT_TRUE(standIns->openWindows().isEmpty());

    // Body: back into the text, Insert Text from File, path, Open.
    task = starter->startTask(QStringLiteral("swmail-msimn.exe"), {QStringLiteral("/mailurl:test")}, ProcessStarter::NormalFocus);
    ASSERT_TRUE(keyboard->activateTask(task));
    keys(QStringLiteral("+{TAB}"));
    keys(QStringLiteral("%IT"));
    type(files[3]);
    keys(QStringLiteral("%O"));
    standIns->closeWindows();
    ASSERT_EQ(outbox->entries.size(), 3u);
    EXPECT_EQ(outbox->entries[2].message.body, QStringLiteral("report text\n"));
}

TEST_F(StandIns, NotesMemoTakesAttachmentsWithTheDefaultTabsAndSendsTheAutomaticMail) {
    NotesUIWorkspace ws(automation->createObject(QString::fromLatin1(NotesUIWorkspace::kProgId)));
    NotesSession session(automation->createObject(QString::fromLatin1(NotesSession::kProgId)));
    const QString server = session.environmentString(QStringLiteral("MailServer"));
    const QString file = session.environmentString(QStringLiteral("MailFile"));
    EXPECT_TRUE(session.version().startsWith(QStringLiteral("Release 6")));
    ws.openMailDatabase(server, file);
    {
        NotesUIDocument memo = ws.composeMemo(server, file);
        for (int i = 0; i < 2; ++i) {  // two reports, tab counts 1 and 1
            notesAttach(files[i]);
            keys(QStringLiteral("{RIGHT}"));
        }
    }  // released: left to the user
    ASSERT_EQ(outbox->entries.size(), 1u);
    EXPECT_FALSE(outbox->entries[0].sent);
    EXPECT_EQ(outbox->entries[0].message.body, QStringLiteral("\n\n__________\n\n\n__________\n"));
    EXPECT_EQ(attachments(outbox->entries[0].message), files.mid(0, 2));

    // The automatic mail's attach step (with the extra tab of this version), then its send step.
    NotesUIDocument memo = ws.composeMemo(server, file);
    notesAttach(files[2]);
    type(QStringLiteral("ann@x.org;bob@y.org"));
    for (const char* k : {"{TAB}", "{TAB}", "{TAB}"}) keys(QString::fromLatin1(k));
    type(QStringLiteral("ACME"));
    keys(QStringLiteral("{TAB}"));
    keys(QStringLiteral("^{HOME}"));
    type(QStringLiteral("Please find report(s) from ACME attached."));
    keys(QStringLiteral("%AS"));
    keys(QStringLiteral("{Enter}"));
    ASSERT_EQ(outbox->entries.size(), 2u);
    const MailMessage& sent = outbox->entries[1].message;
    EXPECT_TRUE(outbox->entries[1].sent);
    EXPECT_EQ(sent.to, (QStringList{QStringLiteral("ann@x.org"), QStringLiteral("bob@y.org")}));
    EXPECT_EQ(sent.subject, QStringLiteral("ACME"));
    EXPECT_EQ(sent.body, QStringLiteral("Please find report(s) from ACME attached.\n\n__________\n"));
    EXPECT_EQ(attachments(sent), QStringList{files[2]});
}

TEST_F(StandIns, NotesBodyByFieldAppendTextIsLeftToTheUser) {
    NotesUIWorkspace ws(automation->createObject(QStringLiteral("Notes.NotesUIWorkspace")));
    ws.openMailDatabase(QString(), QStringLiteral("mail/user.nsf"));
    ws.composeMemo(QString(), QStringLiteral("mail/user.nsf")).fieldAppendText(QStringLiteral("Body"), QStringLiteral("l1\r\nl2"));
    ASSERT_EQ(outbox->entries.size(), 1u);
    EXPECT_EQ(outbox->entries[0].message.body, QStringLiteral("l1\r\nl2"));
}

TEST_F(StandIns, OutlookItemIsDraftedWhenDisplayedAndSentWhenSent) {
    EXPECT_THROW(automation->getObject(QStringLiteral("Outlook.application")), AutomationError);  // none running
    OutlookApplication app(automation->createObject(QStringLiteral("Outlook.application")));
    {
        OutlookMailItem item = app.createMailItem();
        item.display();
        item.attach(files[0]);
        item.attach(files[1]);
    }
    ASSERT_EQ(outbox->entries.size(), 1u);
    EXPECT_EQ(attachments(outbox->entries[0].message), files.mid(0, 2));
    OutlookApplication again(automation->getObject(QStringLiteral("Outlook.application")));  // now running
    OutlookMailItem item = again.createMailItem();
    item.display();
    item.attach(files[2]);
    item.addRecipient(QStringLiteral("ann@x.org"));
    item.setSubject(QStringLiteral("Attached reports"));
    item.setBody(QStringLiteral("Please find reports attached."));
    item.send();
    ASSERT_EQ(outbox->entries.size(), 2u);
    EXPECT_TRUE(outbox->entries[1].sent);
    EXPECT_EQ(outbox->entries[1].message.to, QStringList{QStringLiteral("ann@x.org")});
    EXPECT_EQ(outbox->entries[1].message.subject, QStringLiteral("Attached reports"));
}

// What the stand-ins do not know is an error, never ignored.
TEST_F(StandIns, UnknownKeysCallsAndArgumentsAreErrors) {
    const qint64 ns = starter->startTask(QStringLiteral("swmail-netscape"), {QStringLiteral("-compose")}, ProcessStarter::NormalFocus);
    ASSERT_TRUE(keyboard->activateTask(ns));
    for (const char* k : {"%E", "hello", "%F{TAB}", "{Enter}"}) {
        SCOPED_TRACE(k);
        ASSERT_TRUE(keyboard->activateTask(starter->startTask(QStringLiteral("swmail-netscape"), {QStringLiteral("-compose")},
                                                              ProcessStarter::NormalFocus)));
        EXPECT_THROW(keys(QString::fromLatin1(k)), KeysError);
    }
    ASSERT_TRUE(keyboard->activateTask(ns));
    keys(QStringLiteral("%FHF"));
    type(QDir(dir.path()).filePath(QStringLiteral("missing.txt")));
    EXPECT_THROW(keys(QStringLiteral("{Enter}")), KeysError);

    EXPECT_EQ(starter->startTask(QStringLiteral("swmail-netscape"), {QStringLiteral("-mail")}, ProcessStarter::NormalFocus), 0);
    EXPECT_EQ(starter->startTask(QStringLiteral("swmail-msimn.exe"), {}, ProcessStarter::NormalFocus), 0);

    OutlookApplication app(automation->createObject(QStringLiteral("Outlook.application")));
    OutlookMailItem item = app.createMailItem();
    try {
        item.object().call(QStringLiteral("Save"));
        ADD_FAILURE() << "Save was taken";
    } catch (const AutomationError& e) {
        EXPECT_EQ(e.number, 438);
    }
    EXPECT_THROW(item.attach(QDir(dir.path()).filePath(QStringLiteral("missing.pdf"))), AutomationError);
    NotesSession session(automation->createObject(QStringLiteral("Notes.NotesSession")));
    EXPECT_THROW(session.environmentString(QStringLiteral("Location")), AutomationError);
    NotesUIWorkspace ws(automation->createObject(QStringLiteral("Notes.NotesUIWorkspace")));
    EXPECT_THROW(ws.composeMemo(QString(), QStringLiteral("mail/user.nsf")), AutomationError);  // database not opened
}

TEST_F(StandIns, KeysReachOtherWindowsOnlyThroughTheInnerKeyboard) {
    inner->canActivate = [](const QString& t) { return t == QLatin1String("Notepad"); };
    starter->startTask(QStringLiteral("swmail-netscape"), {QStringLiteral("-compose")}, ProcessStarter::NormalFocus);
    EXPECT_TRUE(keyboard->activate(QStringLiteral("Notepad")));
    keys(QStringLiteral("abc"));
    EXPECT_EQ(inner->keys(), QStringList{QStringLiteral("abc")});
    EXPECT_FALSE(keyboard->activate(QStringLiteral("Lotus Notes")));  // no memo open
}

TEST_F(StandIns, DiscoveryFindsTheFourProgramsWithUsableCommands) {
    auto registry = standIns->wrap(std::unique_ptr<MachineRegistry>(std::make_unique<MemoryMachineRegistry>()));
    const QString mail = QStringLiteral("Software\\Clients\\Mail\\");
    qint32 n = 0;
    const QString ns = ReadMachineRegistryValue(*registry, mail + QStringLiteral("Netscape Messenger\\Protocols\\mailto\\shell\\open\\command"), n);
    EXPECT_EQ(ns.left(n - 6), QStringLiteral("swmail-netscape"));
    const QString oe = ReadMachineRegistryValue(*registry, mail + QStringLiteral("Outlook Express\\shell\\open\\command"), n);
    EXPECT_EQ(oe.mid(1, oe.indexOf(QLatin1Char('.')) + 3), QStringLiteral("swmail-msimn.exe"));
    for (const char* k : {"Microsoft Outlook\\shell\\open\\command", "Lotus Notes\\shell\\open\\command"})
        EXPECT_FALSE(ReadMachineRegistryValue(*registry, mail + QString::fromLatin1(k), n).isEmpty()) << k;
    EXPECT_TRUE(ReadMachineRegistryValue(*registry, QStringLiteral("SOFTWARE\\Classes\\Excel.Application\\CurVer"), n).isEmpty());
}
