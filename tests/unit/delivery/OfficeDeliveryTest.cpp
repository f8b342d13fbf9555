#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QLineEdit>

#include "DeliveryState.h"
#include "DesktopAutomation.h"
#include "DownloadWindows.h"
#include "OfficeFiles.h"
#include "OfficeStandIns.h"
#include "OfficeAutomation.h"
#include "OfficeDelivery.h"
#include "ScreenOptions.h"
#include "ScriptedHostSocket.h"
#include "TestSupport.h"
#include "TransferTestSupport.h"
#include "frmMacro.h"

using Record = SpoolReplies::Record;

namespace {
// A report of `pages` pages of two lines each.
std::vector<Record> pagesReport(int pages) {
    std::vector<Record> r;
    for (int p = 1; p <= pages; ++p) {
        r.push_back({"001", ' ', "PAGE " + std::to_string(p)});
        r.push_back({"   ", '1', "LINE OF PAGE " + std::to_string(p)});
    }
    return r;
}

class OfficeDeliveryTest : public ::testing::Test {
public:
    TestContext t;
    std::shared_ptr<ScriptedHost> host = UseScriptedHost(t.ctx);
    PlainSplfScreen& screen = TextFileScreen(t.ctx);
    RecordingAutomation& office = *t.automation;
    QString out = t.dir.path() + QStringLiteral("/out");

    void SetUp() override {
        t.ctx.connection.gWorkDir = t.dir.path() + QStringLiteral("/work");
        QDir().mkpath(t.ctx.connection.gWorkDir);
        QDir().mkpath(out);
        t.ctx.services.saveSetting(QStringLiteral("Save Path"), out);
        t.ctx.targets.gExcelVersion = t.ctx.targets.gWordVersion = QStringLiteral("16");
        screen.setText(ScreenText::PageLength, QStringLiteral("Variable"));
    }
    using Proc = ReportResult (*)(AppContext&, const DownloadOptions&, DownloadProgress&, const SpoolFileRow&);
    ReportResult deliver(Proc proc, int pages = 3, const char* width = " 80") {
        host->replies(SpoolReplies::report(pagesReport(pages), width));
        ScreenProgress progress(screen);
        SpoolFileRow::Fields row = SampleRowFields();
        row.pages = QStringLiteral("%1").arg(std::max(pages, 3), 6).toStdString();
        return proc(t.ctx, ReadScreenOptions(screen, t.ctx.download.gMinusSignApplicable), progress,
                    SpoolFileRow::fromFields(row));
    }
    // The recorded calls, without the fetches of objects that the next line
    // uses and the releases; folders shown as <work> and <out>.
    QStringList calls() const {
        const QStringList log = office.log();
        QStringList out;
        for (qsizetype i = 0; i < log.size(); ++i) {
            QString l = log.at(i);
            if (l.startsWith(u"Release ") || l.endsWith(u".ActiveCell") || (i + 1 < log.size() && log.at(i + 1).startsWith(l + QLatin1Char('.'))))
                continue;
            l.replace(t.ctx.connection.gWorkDir, QStringLiteral("<work>"));
            l.replace(this->out, QStringLiteral("<out>"));
            out << l;
        }
        return out;
    }
    QStringList callsWith(const QString& part) const { return calls().filter(part); }
    // The macro dialog: its answer, and the file it names.
    void macroDialog(const QString& file, bool ok) {
        screen.setCheck(ScreenCheck::RunMacro, 1);
        t.presenter->onModal = [file, ok](QWidget* w) {
            auto* d = dynamic_cast<MacroDialog*>(w);
            ASSERT_NE(d, nullptr);
            d->txtMacroFileBox->setText(file);
            if (ok) d->cmdOK_Click();
            else d->cmdCancel_Click();
        };
    }
    void batchName(const QString& name) {
        frmSaveAs& save = SaveDialog(t.ctx, frmSaveAs::Kind::Text);
        save.txtSave->setText(name);
        save.setTxtSaveTag(QStringLiteral("1"));
    }
    QString existing(const QString& name, const QByteArray& bytes) {
        const QString f = out + QLatin1Char('/') + name;
        WriteFileBytes(f, bytes.toStdString());
        return f;
    }
    QString lastStatus() const { return screen.statusHistory.isEmpty() ? QString() : screen.statusHistory.last(); }
};
}  // namespace


TEST_F(OfficeDeliveryTest, ExcelThreePagesInteractive) {
    office.install(QStringLiteral("excel.application"), true);
    office.fail(QStringLiteral("Cells.FindNext"), 91, QStringLiteral("none"), 1);
    ASSERT_TRUE(deliver(ProcExcel));
    EXPECT_EQ(calls().join(QLatin1Char('\n')).toStdString(), QStringList({
        "GetObject(, \"excel.application\")",
        "excel.application.Visible = True",
        "excel.application.Workbooks.OpenText(FileName:=\"<work>/Spwrt.txt\", Origin:=2, StartRow:=1, DataType:=1, FieldInfo:=Array(0, 1))",
        "excel.application.Range(\"A1\").Select()",
        QStringLiteral("excel.application.Cells.Find(What:=\"") + QChar(0x2022) + QStringLiteral("\", After:=excel.application.ActiveCell, LookAt:=1).Activate()"),
        "excel.application.Selection.EntireRow.Delete()",
        "excel.application.ActiveWindow.SelectedSheets.HPageBreaks.Add(Before:=excel.application.ActiveCell)",
        "excel.application.Cells.FindNext(After:=excel.application.ActiveCell) -> error 91",
        "excel.application.Range(\"A1\").Select()",
        "excel.application.Cells.Select()",
        "excel.application.Selection.Columns.AutoFit()",
        "excel.application.Range(\"A1\").Select()",
        "excel.application.ActiveWorkbook.SaveAs(FileName:=\"<out>/Spwrt.xlsx\", FileFormat:=51, Password:=\"\", WriteResPassword:=\"\", ReadOnlyRecommended:=False, CreateBackup:=False)",
        "excel.application.ActiveWorkbook.Close()",
        "excel.application.Workbooks.Open(FileName:=\"<out>/Spwrt.xlsx\", AddToMru:=True)",
    }).join(QLatin1Char('\n')).toStdString());
    EXPECT_EQ(lastStatus(), QStringLiteral("Load to Excel complete as ") + out + QStringLiteral("/Spwrt.xlsx."));
}

TEST_F(OfficeDeliveryTest, ExcelEdgeCases) {
    struct Case {
        const char* name;
        std::function<void(OfficeDeliveryTest&)> setup;
        int pages;
        QStringList present, absent;
    };
    const Case cases[] = {
        {"NoMarks", [](auto&) {}, 1, {}, {"Delete", "HPageBreaks", "FindNext"}},
        {"DefaultParsing", [](auto& f) { f.screen.setChosen(ScreenChoice::Parse, 1, true); }, 1,
         {"DataType:=2)"}, {"FieldInfo"}},
        {"WizardDropsBlankTopRowsThenTextToColumns",
         [](auto& f) {
             f.screen.setChosen(ScreenChoice::Parse, 2, true);
             f.office.answer(QStringLiteral("ActiveCell.Value"), QString(), 1).answer(QStringLiteral("ActiveCell.Value"), QStringLiteral("PAGE 1"));
         }, 1, {"Columns(\"A:A\").Select()", "Dialogs(422).Show()", "DataType:=1, FieldInfo:=Array(0, 1)"}, {}},
        {"RunSilent", [](auto& f) { f.screen.setCheck(ScreenCheck::RunSilent, 1); }, 1, {"SaveAs"},
         {"Visible", "AddToMru"}},
        {"BatchName", [](auto& f) { f.batchName(f.out + QStringLiteral("/batch.xlsx")); }, 1,
         {"SaveAs(FileName:=\"<out>/batch.xlsx\""}, {"Visible", "AddToMru"}},
        {"MacroCancelled", [](auto& f) { f.macroDialog(f.out + QStringLiteral("/m.xlsm"), false); }, 1, {"SaveAs"},
         {"Run(", "Workbooks.Open(FileName:=\"<out>/m.xlsm\")"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OfficeDeliveryTest& f = *this;
        office.clearLog();
        screen.setChosen(ScreenChoice::Parse, 0, true);
        screen.setCheck(ScreenCheck::RunSilent, 0);
        screen.setCheck(ScreenCheck::RunMacro, 0);
        office.install(QStringLiteral("excel.application"), true);
        office.fail(QStringLiteral("Cells.Find"), 91, QStringLiteral("none"), 1);
        c.setup(f);
        ASSERT_TRUE(deliver(ProcExcel, c.pages));
        const QString all = calls().join(QLatin1Char('\n'));
        for (const QString& p : c.present) EXPECT_TRUE(all.contains(p)) << p.toStdString() << "\n" << all.toStdString();
        for (const QString& a : c.absent) EXPECT_FALSE(all.contains(a)) << a.toStdString() << "\n" << all.toStdString();
        EXPECT_TRUE(SaveDialog(t.ctx, frmSaveAs::Kind::Text).txtSaveTag().isEmpty());
    }
}

TEST_F(OfficeDeliveryTest, ExcelMacroIsQuotedAndReportedUnavailableThenTheWorkbookIsSaved) {
    office.install(QStringLiteral("excel.application"), true);
    const QString book = existing(QStringLiteral("my macros.xlsm"), "macros");
    macroDialog(book, true);
    office.fail(QStringLiteral("Run"), OfficeMacros::kUnavailable, OfficeMacros::unavailableText());
    t.boxes->expect(QStringLiteral("macros are not available on this platform"));
    ASSERT_TRUE(deliver(ProcExcel));
    EXPECT_EQ(callsWith(QStringLiteral("Workbooks.Open(FileName:=\"<out>/my macros.xlsm\")")).size(), 1);
    EXPECT_EQ(callsWith(QStringLiteral("Run(")),
              QStringList({"excel.application.Run(\"'my macros.xlsm'!Macro1\") -> error 32810"}));
    EXPECT_EQ(callsWith(QStringLiteral("SaveAs")).size(), 1);
    EXPECT_TRUE(t.boxes->done());
}

TEST_F(OfficeDeliveryTest, ExcelFailuresKeepTheEarlierWorkbook) {
    const QString earlier = existing(QStringLiteral("Spwrt.xlsx"), "EARLIER");
    // Not installed: told once, nothing else.
    t.boxes->expect(QStringLiteral("Excel could not be started."));
    EXPECT_FALSE(deliver(ProcExcel));
    // The save itself fails: its error, no completion status.
    office.install(QStringLiteral("excel.application"), true);
    office.fail(QStringLiteral("SaveAs"), 1004, QStringLiteral("Cannot access the file"));
    t.boxes->expect(QStringLiteral("Error 1004 Cannot access the file"));
    EXPECT_FALSE(deliver(ProcExcel));
    EXPECT_FALSE(lastStatus().startsWith(u"Load to Excel complete"));
    // The host stops answering: Excel is not contacted.
    office.clearLog();
    host->reply(SpoolReplies::reply({SpoolReplies::slot(80, {"001", ' ', "PART"})}, "(MORE)", " 80"));
    host->script.push_back({ScriptedHost::Step::Silence, {}});
    t.boxes->expect(QStringLiteral("Error in SendReceive procedure."));
    ScreenProgress progress(screen);
    EXPECT_FALSE(ProcExcel(t.ctx, ReadScreenOptions(screen, false), progress, SampleRow()));
    EXPECT_TRUE(office.log().isEmpty());
    EXPECT_EQ(ReadFileBytes(earlier), "EARLIER");
}

TEST_F(OfficeDeliveryTest, WordEdgeCases) {
    struct Case {
        const char* name;
        std::function<void(OfficeDeliveryTest&)> setup;
        const char* width;
        QStringList present, absent;
    };
    const QString replace = QStringLiteral("Selection.Find.Execute(Replace:=2)");
    const Case cases[] = {
        {"Eighty", [](auto&) {}, " 80",
         {"Visible = True", "WindowState = 0", "Selection.Font.Size = 9", replace, "Selection.HomeKey(Unit:=6)",
          "Documents.Open(FileName:=\"<work>/Spwrt.txt\"", "ActiveDocument.SaveAs(FileName:=\"<out>/Spwrt.doc\"",
          "AddToRecentFiles:=True"},
         {"Run("}},
        {"Wide", [](auto&) {}, "132", {"Selection.Font.Size = 6"}, {"Size = 9"}},
        {"RemoveBlankLines", [](auto& f) { f.screen.setCheck(ScreenCheck::RemoveBlankLines, 1); }, " 80", {"SaveAs"},
         {"Font.Size", "Execute"}},
        {"RunSilent", [](auto& f) { f.screen.setCheck(ScreenCheck::RunSilent, 1); }, " 80", {"SaveAs"},
         {"Visible", "Documents.Open(FileName:=\"<out>"}},
        {"MacroCheckedIsNotSaved",
         [](auto& f) {
             f.macroDialog(QString(), false);
             f.office.fail(QStringLiteral("Run"), OfficeMacros::kUnavailable, OfficeMacros::unavailableText());
             f.t.boxes->expect(QStringLiteral("macros are not available on this platform"));
         },
         " 80", {"Run(MacroName:=\"Macro1\") -> error 32810"}, {"SaveAs", "AddIns"}},
        {"AddInAlreadyLoaded",
         [](auto& f) {
             f.macroDialog(f.existing(QStringLiteral("t.dot"), "dot"), true);
             f.office.fail(QStringLiteral("AddIns.Add"), WordApplication::kAddInAlreadyLoaded);
         },
         " 80", {"AddIns.Add(FileName:=\"<out>/t.dot\", Install:=True) -> error 5681", "Run(MacroName:=\"'t.dot'!Macro1\")"}, {"SaveAs"}},
        {"Autoformat", [](auto& f) { f.screen.setCheck(ScreenCheck::Autoformat, 1); }, " 80",
         {"Selection.Document.Kind = 0", "Selection.Range.AutoFormat()"}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        office.clearLog();
        for (const ScreenCheck box :
             {ScreenCheck::RemoveBlankLines, ScreenCheck::RunSilent, ScreenCheck::RunMacro, ScreenCheck::Autoformat})
            screen.setCheck(box, 0);
        office.install(QStringLiteral("word.application"), true);
        c.setup(*this);
        ASSERT_TRUE(deliver(ProcWord_8, 2, c.width));
        const QString all = calls().join(QLatin1Char('\n'));
        for (const QString& p : c.present) EXPECT_TRUE(all.contains(p)) << p.toStdString() << "\n" << all.toStdString();
        for (const QString& a : c.absent) EXPECT_FALSE(all.contains(a)) << a.toStdString() << "\n" << all.toStdString();
        EXPECT_TRUE(t.boxes->done());
    }
}

TEST_F(OfficeDeliveryTest, WordTemplateThatCannotLoadStopsAndAFailedSaveIsNoSuccess) {
    const QString earlier = existing(QStringLiteral("Spwrt.doc"), "EARLIER");
    office.install(QStringLiteral("word.application"), true);
    macroDialog(existing(QStringLiteral("t.dot"), "dot"), true);
    office.fail(QStringLiteral("AddIns.Add"), 5096, QStringLiteral("bad template"));
    t.boxes->expect(QStringLiteral("). Error:  5096 Description: bad template"));
    EXPECT_FALSE(deliver(ProcWord_8));
    EXPECT_TRUE(callsWith(QStringLiteral("Documents.Open")).isEmpty());
    screen.setCheck(ScreenCheck::RunMacro, 0);
    office.fail(QStringLiteral("SaveAs"), 5152, QStringLiteral("cannot save"));
    t.boxes->expect(QStringLiteral("Error 5152 Description: cannot save"));
    EXPECT_FALSE(deliver(ProcWord_8));
    EXPECT_FALSE(lastStatus().startsWith(u"Load to Word complete"));
    EXPECT_EQ(ReadFileBytes(earlier), "EARLIER");
}

TEST_F(OfficeDeliveryTest, TheParseChoiceGivesLotusItsTextOrAutoParseOption) {
    const struct {
        int parse;
        const char* option;
    } cases[] = {{0, "$Text"}, {1, "$AutoParse"}, {2, nullptr}};
    for (const auto& c : cases) {
        office.clearLog();
        office.install(QStringLiteral("Lotus123.Workbook"), true);
        screen.setChosen(ScreenChoice::Parse, c.parse, true);
        ASSERT_TRUE(deliver(ProcLotus123));
        QStringList expected{"GetObject(, \"Lotus123.Workbook\")", "Lotus123.Workbook.Application.Visible = True",
                             "Lotus123.Workbook.Application.TextCodepage = \"$Windows\""};
        if (c.option)
            expected << QStringLiteral("Lotus123.Workbook.Application.TextColumnParseOption = \"%1\"").arg(QLatin1String(c.option));
        expected << "Lotus123.Workbook.Application.TextColumnParseUserDefined = \"\"" << "Lotus123.Workbook.Activate()"
                 << QStringLiteral("Lotus123.Workbook.Application.OpenDocument(\"<work>/Spwrt%1.txt\", , \"Text (TXT;PRN;CSV;DAT;OUT;ASC)\", , False, True, True)")
                        .arg(c.parse == 0 ? QString() : QStringLiteral("%1").arg(c.parse, 3, 10, QLatin1Char('0')));
        EXPECT_EQ(calls().join(QLatin1Char('\n')).toStdString(), expected.join(QLatin1Char('\n')).toStdString());
        EXPECT_TRUE(lastStatus().startsWith(u"Load to Lotus 123 complete under temporary file name "));
        EXPECT_TRUE(lastStatus().endsWith(u"(removed when iSeries Spoolwright ends)."));
    }
}

TEST_F(OfficeDeliveryTest, WordProIsKeptFoundAgainAndCreatedOnceMoreWhenClosed) {
    office.install(QStringLiteral("WordPro.Application"));
    office.answer(QStringLiteral("Find"), 0, 2).answer(QStringLiteral("Find"), 1, 1);
    ASSERT_TRUE(deliver(ProcWordPro, 3, "132"));
    EXPECT_EQ(callsWith(QStringLiteral("Type(\"[ctrlEnter]\")")).size(), 2);
    EXPECT_EQ(callsWith(QStringLiteral("Text.Font.Size = 6.2")).size(), 1);
    EXPECT_EQ(callsWith(QStringLiteral("CreateObject")).size(), 1);
    EXPECT_TRUE(DeliveryOf(t.ctx).gWordProAppHeld);
    // Second delivery: the same object; then the user closed it: created again, once.
    screen.statusHistory.clear();
    office.clearLog();
    office.answer(QStringLiteral("Find"), 1, 1);
    ASSERT_TRUE(deliver(ProcWordPro, 1));
    EXPECT_FALSE(screen.statusHistory.contains(QStringLiteral("Starting a new instance of WordPro.")));
    EXPECT_TRUE(callsWith(QStringLiteral("CreateObject")).isEmpty());
    office.clearLog();
    office.fail(QStringLiteral("SetLastUsedFilter"), 462, QStringLiteral("gone"));
    office.answer(QStringLiteral("Find"), 1, 1);
    ASSERT_TRUE(deliver(ProcWordPro, 1));
    EXPECT_EQ(callsWith(QStringLiteral("CreateObject")).size(), 1);
    EXPECT_EQ(callsWith(QStringLiteral("OpenDocument")).size(), 1);
}

TEST_F(OfficeDeliveryTest, Word6StartsWordOnceWhenItDoesNotAnswerThenSendsTheCommands) {
    office.installDde(QStringLiteral("Winword"), QStringLiteral("System"));
    office.fail(QStringLiteral("DDEInitiate"), 282, QStringLiteral("no answer"), 2);
    t.registry->setString(QStringLiteral("HKLM\\SOFTWARE\\Classes\\Word.Document.6\\Shell\\open\\command"), QString(),
                          QStringLiteral("/opt/word6/winword /w %1"));
    t.processes->checkPathsExist = false;
    macroDialog(QString(), false);
    ASSERT_TRUE(deliver(ProcWord_6));
    EXPECT_EQ(t.processes->commandLines(), QStringList({"/opt/word6/winword /w"}));
    EXPECT_EQ(calls().join(QLatin1Char('\n')).toStdString(),
              QStringList({"DDEInitiate(\"Winword\", \"System\") -> error 282", "DDEInitiate(\"Winword\", \"System\") -> error 282",
                           "DDEInitiate(\"Winword\", \"System\")", "DDEExecute(\"[FileOpen .Name = \"\"<work>/Spwrt.txt\"\"]\")",
                           "DDEExecute(\"[ToolsMacro .Name = \"\"Macro1\"\", .Run, .Show = 0, .Description = \"\"\"\", .NewName = \"\"\"\"]\")",
                           "DDETerminate(\"Winword\", \"System\")"})
                  .join(QLatin1Char('\n')).toStdString());
    // A Word that never answers: bounded, and said.
    office.clearLog();
    office.fail(QStringLiteral("DDEInitiate"), 282, QStringLiteral("no answer"), -1);
    screen.setCheck(ScreenCheck::RunMacro, 0);
    t.boxes->expect(QStringLiteral("MS Word does not answer."));
    EXPECT_FALSE(deliver(ProcWord_6));
    EXPECT_EQ(callsWith(QStringLiteral("DDEInitiate")).size(), Office(t.ctx).ddeRetryLimit + 1);
}

TEST_F(OfficeDeliveryTest, AWorksheetTakesItsLimitOfPageBreaksAndEveryMarkRowStillGoes) {
    // The spreadsheet of this platform, saving a real workbook.
    auto desktop = std::make_unique<DesktopAutomation>();
    OfficeStandIns standIns(StandInDesk{[this] { return t.processes; }, [this] { return t.dir.filePath("shown"); }});
    standIns.registerWith(*desktop);
    t.ctx.services.automation = std::move(desktop);
    screen.setCheck(ScreenCheck::RunSilent, 1);
    constexpr int kPages = 1030;
    ASSERT_TRUE(deliver(ProcExcel, kPages));
    const QString book = out + QStringLiteral("/Spwrt.xlsx");
    const QJsonObject facts = XlsxFacts(book);
    const QJsonArray rows = facts.value(QStringLiteral("rows")).toArray();
    ASSERT_EQ(rows.size(), 2 * kPages);
    EXPECT_EQ(rows.at(2 * kPages - 2).toArray().at(0).toString(), QStringLiteral("PAGE %1").arg(kPages));
    for (const QJsonValue& r : rows) ASSERT_NE(r.toArray().at(0).toString(), QString(QChar(0x2022)));
    const QJsonArray breaks = facts.value(QStringLiteral("rowBreaks")).toArray();
    ASSERT_EQ(breaks.size(), 1023);
    EXPECT_EQ(breaks.first().toInt(), 2);
    EXPECT_EQ(breaks.last().toInt(), 2 * 1023);
    EXPECT_EQ(lastStatus(), QStringLiteral("Load to Excel complete as ") + book +
                                QStringLiteral(".  6 page breaks were not placed: the worksheet holds no more than 1023."));
    EXPECT_TRUE(t.processes->commandLines().isEmpty());
}
