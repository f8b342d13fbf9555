#include <gtest/gtest.h>

#include "DesktopAutomation.h"
#include "MailAutomation.h"
#include "OfficeAutomation.h"
#include "RecordingAutomation.h"

namespace {
int errorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const AutomationError& e) {
        return e.number;
    }
    return 0;
}
}  // namespace

TEST(DesktopAutomation, NoProgramIsFoundUnlessABackendIsRegistered) {
    DesktopAutomation automation;
    EXPECT_EQ(errorOf([&] { automation.getObject(QStringLiteral("excel.application")); }), 429);
    EXPECT_EQ(errorOf([&] { automation.createObject(QStringLiteral("Outlook.application")); }), 429);
    EXPECT_EQ(errorOf([&] { automation.ddeInitiate(QStringLiteral("Winword"), QStringLiteral("System")); }), 282);

    RecordingAutomation bridge;
    bridge.install(QStringLiteral("excel.application"));
    automation.registerBackend(QStringLiteral("Excel.Application"),
                               {{}, [&] { return bridge.createObject(QStringLiteral("excel.application")); }});
    EXPECT_EQ(errorOf([&] { automation.getObject(QStringLiteral("excel.application")); }), 429);
    EXPECT_NE(automation.createObject(QStringLiteral("EXCEL.APPLICATION")), nullptr);
}

TEST(RecordingAutomation, LogsEveryOperationWithItsArguments) {
    RecordingAutomation automation;
    automation.install(QStringLiteral("excel.application"));
    EXPECT_EQ(errorOf([&] { automation.getObject(QStringLiteral("excel.application")); }), 429);
    {
        auto app = automation.createObject(QStringLiteral("excel.application"));
        app->set(QStringLiteral("Visible"), true);
        app->call(QStringLiteral("Workbooks.Open"), {{QStringLiteral("FileName"), QStringLiteral("/w/say \"hi\".txt")}});
        app->object(QStringLiteral("Range"), {QStringLiteral("A1")})->call(QStringLiteral("Select"));
        app->get(QStringLiteral("ActiveCell.Value"));
        Lotus123Workbook(app).openTextDocument(QStringLiteral("/w/a.txt"));
    }
    EXPECT_EQ(automation.log(),
              QStringList({
                  "GetObject(, \"excel.application\") -> error 429",
                  "CreateObject(\"excel.application\")",
                  "excel.application.Visible = True",
                  "excel.application.Workbooks.Open(FileName:=\"/w/say \"\"hi\"\".txt\")",
                  "excel.application.Range(\"A1\")",
                  "excel.application.Range(\"A1\").Select()",
                  "Release excel.application.Range(\"A1\")",
                  "excel.application.ActiveCell.Value",
                  "excel.application.Application.OpenDocument(\"/w/a.txt\", , \"Text (TXT;PRN;CSV;DAT;OUT;ASC)\", , False, "
                  "True, True)",
                  "Release excel.application",
              }));
}

TEST(RecordingAutomation, ScriptedAnswersAndErrorsAreUsedInOrder) {
    RecordingAutomation automation;
    automation.install(QStringLiteral("WordPro.Application"), true);
    automation.answer(QStringLiteral("Find"), 0, 2).answer(QStringLiteral("Find"), 1);
    automation.fail(QStringLiteral("Type"), 438, QStringLiteral("Object doesn't support this property or method"));
    WordProApplication wp(automation.getObject(QStringLiteral("WordPro.Application")));
    int found = 0;
    while (wp.find() == 0 && found < 10) ++found;
    EXPECT_EQ(found, 2);
    try {
        wp.type(QStringLiteral("[ctrlEnter]"));
        ADD_FAILURE();
    } catch (const AutomationError& e) {
        EXPECT_EQ(e.number, 438);
        EXPECT_EQ(e.description, QStringLiteral("Object doesn't support this property or method"));
    }
    wp.type(QStringLiteral("[ctrlHome]"));  // the error was for one use
    EXPECT_EQ(automation.logged(QStringLiteral("Type(")),
              QStringList({"WordPro.Application.Type(\"[ctrlEnter]\") -> error 438",
                           "WordPro.Application.Type(\"[ctrlHome]\")"}));
}

TEST(RecordingAutomation, AConversationOpensOnceTheProgramAnswers) {
    RecordingAutomation automation;
    automation.fail(QStringLiteral("DDEInitiate"), 282);
    automation.installDde(QStringLiteral("Winword"), QStringLiteral("System"));
    EXPECT_EQ(errorOf([&] { automation.ddeInitiate(WordBasic::kApplication, WordBasic::kTopic); }), 282);
    {
        auto link = automation.ddeInitiate(WordBasic::kApplication, WordBasic::kTopic);
        link->execute(WordBasic::fileOpen(QStringLiteral("C:\\SPOOL\\QSYSPRT.TXT")));
        link->execute(WordBasic::toolsMacroRun(QStringLiteral("Macro1")));
    }
    EXPECT_EQ(automation.log().mid(1),
              QStringList({"DDEInitiate(\"Winword\", \"System\")",
                           "DDEExecute(\"[FileOpen .Name = \"\"C:\\SPOOL\\QSYSPRT.TXT\"\"]\")",
                           "DDEExecute(\"[ToolsMacro .Name = \"\"Macro1\"\", .Run, .Show = 0, .Description = \"\"\"\", "
                           ".NewName = \"\"\"\"]\")",
                           "DDETerminate(\"Winword\", \"System\")"}));
}

TEST(OfficeAutomation, ExcelParsingChoosesDataTypeAndFieldInfo) {
    RecordingAutomation automation;
    automation.install(ExcelApplication::kProgId);
    ExcelApplication excel(automation.createObject(ExcelApplication::kProgId));
    excel.openText(QStringLiteral("/w/r.txt"), false);
    excel.openText(QStringLiteral("/w/r.txt"), true);
    EXPECT_EQ(automation.logged(QStringLiteral("OpenText")),
              QStringList({"excel.application.Workbooks.OpenText(FileName:=\"/w/r.txt\", Origin:=2, StartRow:=1, "
                           "DataType:=1, FieldInfo:=Array(0, 1))",
                           "excel.application.Workbooks.OpenText(FileName:=\"/w/r.txt\", Origin:=2, StartRow:=1, "
                           "DataType:=2)"}));
}

TEST(OfficeAutomation, ExcelPageBreakSearchEndsAtTheFirstError) {
    RecordingAutomation automation;
    automation.install(ExcelApplication::kProgId);
    automation.fail(QStringLiteral("Cells.FindNext"), 91, QStringLiteral("Object variable not set"));
    ExcelApplication excel(automation.createObject(ExcelApplication::kProgId));
    const QString marker(QChar(0x2022));
    int breaks = 0;
    try {
        excel.findAndActivate(marker);
        for (;;) {
            excel.deleteSelectedRows();
            excel.addPageBreakBeforeActiveCell();
            ++breaks;
            excel.findNextAndActivate();
        }
    } catch (const AutomationError& e) {
        EXPECT_EQ(e.number, 91);
    }
    EXPECT_EQ(breaks, 1);
    EXPECT_EQ(automation.logged(QStringLiteral("HPageBreaks")),
              QStringList({"excel.application.ActiveWindow.SelectedSheets.HPageBreaks.Add(Before:=excel.application."
                           "ActiveCell)"}));
    EXPECT_EQ(automation.logged(QStringLiteral("Cells.Find(")).first(),
              QStringLiteral("excel.application.Cells.Find(What:=\"") + marker + QStringLiteral("\", After:=excel.application.ActiveCell, LookAt:=1)"));
}

TEST(MailAutomation, EachStepOfAnOutlookMessageAndANotesMemoIsOneCall) {
    RecordingAutomation automation;
    automation.install(OutlookApplication::kProgId, true).install(NotesSession::kProgId).install(NotesUIWorkspace::kProgId);
    automation.name(QStringLiteral("CreateItem"), QStringLiteral("mailItem"));
    automation.answer(QStringLiteral("GETENVIRONMENTSTRING"), QStringLiteral("Mail01/Acme"));
    automation.answer(QStringLiteral("NOTESVERSION"), QStringLiteral("Release 5.0.8"));
    {
        OutlookApplication outlook(automation.getObject(OutlookApplication::kProgId));
        OutlookMailItem item = outlook.createMailItem();
        item.display();
        item.attach(QStringLiteral("/w/QSYSPRT.txt"));
        item.addRecipient(QStringLiteral("ann@example.com"));
        item.setSubject(QStringLiteral("Reports"));
        item.send();
    }
    NotesSession session(automation.createObject(NotesSession::kProgId));
    NotesUIWorkspace ws(automation.createObject(NotesUIWorkspace::kProgId));
    const QString server = session.environmentString(QStringLiteral("MailServer"));
    EXPECT_EQ(server, QStringLiteral("Mail01/Acme"));
    EXPECT_EQ(session.version(), QStringLiteral("Release 5.0.8"));
    ws.openMailDatabase(server, QStringLiteral("mail/ann.nsf"));
    ws.composeMemo(server, QStringLiteral("mail/ann.nsf")).fieldAppendText(QStringLiteral("Body"), QStringLiteral("text"));

    const QStringList log = automation.log();
    for (const char* line : {
             "Outlook.application.CreateItem(0)",
             "mailItem.Display()",
             "mailItem.Attachments.Add(\"/w/QSYSPRT.txt\")",
             "mailItem.Recipients.Add(\"ann@example.com\")",
             "mailItem.Subject = \"Reports\"",
             "mailItem.Send()",
             "Release mailItem",
             "Notes.NotesSession.GETENVIRONMENTSTRING(\"MailServer\", True)",
             "Notes.NotesUIWorkspace.OpenDatabase(\"Mail01/Acme\", \"mail/ann.nsf\", \"($Inbox)\", \"\", False, False)",
             "Notes.NotesUIWorkspace.ComposeDocument(\"Mail01/Acme\", \"mail/ann.nsf\", \"Memo\").FieldAppendText(\"Body\", "
             "\"text\")",
         })
        EXPECT_TRUE(log.contains(QString::fromLatin1(line))) << line;
    EXPECT_LT(log.indexOf(QStringLiteral("Release mailItem")), log.indexOf(QStringLiteral("Release Outlook.application")));
}
