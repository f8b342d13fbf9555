#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>
#include <csignal>
#include <functional>

#include "Clock.h"
#include "DesktopAutomation.h"
#include "DownloadDriver.h"
#include "DownloadWindows.h"
#include "HostSimFixture.h"
#include "OfficeFiles.h"
#include "OfficeStandIns.h"
#include "ProcTxt.h"
#include "QProcessStarter.h"
#include "ScreenOptions.h"
#include "TestSupport.h"
#include "TransferTestSupport.h"

namespace {
// Three pages of a month-end report (each page starts with a skip to line 1), 80 columns.
std::string threePages() {
    std::string s =
        "name=MONTHEND\njob=MONTHEND\nuser=SWUSER\njobnumber=100001\nnumber=1\nwidth=80\nformtype=*STD\n"
        "date=2024-06-30\ntime=23:59:01\nuserdata=JUNE\n[records]\n";
    for (int p = 1; p <= 3; ++p) {
        s += "001 MONTH-END SALES               PAGE " + std::to_string(p) + "\n";
        s += "   1  NORTH REGION  " + std::to_string(1000 * p) + ".00\n";
    }
    return s;
}

class OfficeFromHostsim : public ::testing::Test {
protected:
    void SetUp() override {
        HostSimFixture::writeSpooledFile(spool.path(), "SALES", "PRT01", QStringLiteral("MONTHEND.splf"), threePages());
        AddGridRow(screen, QStringLiteral("MONTHEND"), QStringLiteral("MONTHEND/0001"));
        SplfGrid& g = screen.grdSplf();
        g.setCellValue(1, QStringLiteral("User"), QStringLiteral("SWUSER"));
        g.setCellValue(1, QStringLiteral("JobNumber"), QStringLiteral("100001"));
        g.setCellValue(1, QStringLiteral("Date"), QStringLiteral("2024/06/30 23:59:01"));
        g.setCellValue(1, QStringLiteral("UserData"), QStringLiteral("JUNE      "));
        screen.setText(ScreenText::PageLength, QStringLiteral("Variable"));
        t.ctx.services.saveSetting(QStringLiteral("Save Path"), out.path());
        t.ctx.connection.gWorkDir = work.path();
        t.ctx.targets.gExcelVersion = t.ctx.targets.gWordVersion = QStringLiteral("16");
        // The office programs of this platform, showing what they open through the recorded starter.
        auto desktop = std::make_unique<DesktopAutomation>();
        standIns = std::make_unique<OfficeStandIns>(
            StandInDesk{[this] { return t.processes; }, [this] { return work.filePath(QStringLiteral("shown")); }});
        standIns->registerWith(*desktop);
        t.ctx.services.automation = std::move(desktop);
        host = std::make_unique<HostSimFixture>(HostSimFixtureOptions{.spool = spool.path(), .clock = t.clock});
        ASSERT_TRUE(host->connectJobPort(t.ctx));
    }
    ReportOutcome::Status deliver(const char* type) {
        screen.grdSplf().setCellSelected(1, 1, true);
        screen.setText(ScreenText::ProcessType, QString::fromLatin1(type));
        const auto outcomes = RunSelectedDownloads(t.ctx);
        return outcomes.size() == 1 ? outcomes.front().status : ReportOutcome::Failed;
    }
    QStringList opened() const { return t.processes->commandLines(); }

    TestContext t;
    QTemporaryDir spool, out, work;
    PlainSplfScreen& screen = TextFileScreen(t.ctx);
    std::unique_ptr<OfficeStandIns> standIns;
    std::unique_ptr<HostSimFixture> host;
};

QStringList columnA(const QJsonObject& facts) {
    QStringList out;
    for (const QJsonValue& row : facts.value(QStringLiteral("rows")).toArray()) out << row.toArray().at(0).toString();
    return out;
}
}  // namespace

TEST_F(OfficeFromHostsim, AThreePageReportBecomesAWorkbookWithItsPagesOpenedForTheUser) {
    ASSERT_EQ(deliver("Microsoft Excel"), ReportOutcome::Delivered);
    const QString book = out.filePath(QStringLiteral("Spwrt.xlsx"));
    EXPECT_EQ(opened(), QStringList({"xdg-open " + book}));
    const QJsonObject facts = XlsxFacts(book);
    const QStringList a = columnA(facts);
    ASSERT_EQ(a.size(), 6);
    EXPECT_TRUE(a.at(2).startsWith(u"MONTH-END SALES")) << a.at(2).toStdString();
    EXPECT_FALSE(a.join(QString()).contains(QChar(0x2022)));
    QList<int> breaks;
    for (const QJsonValue& b : facts.value(QStringLiteral("rowBreaks")).toArray()) breaks << b.toInt();
    EXPECT_EQ(breaks, QList<int>({2, 4}));
    EXPECT_EQ(screen.status(), QStringLiteral("Load to Excel complete as ") + book + QStringLiteral("."));
}

TEST_F(OfficeFromHostsim, AThreePageReportBecomesADocumentWithItsPagesOpenedForTheUser) {
    ASSERT_EQ(deliver("Microsoft Word"), ReportOutcome::Delivered);
    const QString doc = out.filePath(QStringLiteral("Spwrt.odt"));
    EXPECT_EQ(opened(), QStringList({"xdg-open " + doc}));
    const QJsonObject facts = OdtFacts(doc);
    EXPECT_EQ(facts.value(QStringLiteral("pageBreaks")).toArray().size(), 2);
    EXPECT_EQ(facts.value(QStringLiteral("fontSizes")).toArray(), QJsonArray({QStringLiteral("9pt")}));
    EXPECT_FALSE(facts.value(QStringLiteral("lines")).toVariant().toStringList().join(QString()).contains(QChar(0x2022)));
}

// Every character of the code page reaches the document in the column it had
// in the report; the controls, which no reader shows, as blanks.
TEST_F(OfficeFromHostsim, EveryByteOfTheCodePageReachesTheDocumentInItsColumn) {
    std::string printable, controls;
    for (int b = 0x20; b <= 0xFF; ++b)
        if (b != 0x95) printable += char(b);  // 149 is the page mark
    for (int b = 0x01; b < 0x20; ++b)
        if (b != '\t' && b != '\n' && b != '\r' && b != '\f') controls += char(b);
    HostSimFixture::writeSpooledFile(spool.path(), "SALES", "PRT01", QStringLiteral("MONTHEND.splf"),
                                     "name=MONTHEND\njob=MONTHEND\nuser=SWUSER\njobnumber=100001\n[records]\n"
                                     "001 " + printable + "\n   1" + controls + "|\n");
    ASSERT_EQ(deliver("Microsoft Word"), ReportOutcome::Delivered);
    QString expected;
    for (char16_t c = 0x20; c < 0x7F; ++c) expected += QChar(c);
    expected += QStringLiteral(u" \u20ac \u201a\u0192\u201e\u2026\u2020\u2021\u02c6\u2030\u0160\u2039\u0152 \u017d  "
                               u"\u2018\u2019\u201c\u201d\u2013\u2014\u02dc\u2122\u0161\u203a\u0153 \u017e\u0178");
    for (char16_t c = 0xA0; c <= 0xFF; ++c) expected += QChar(c);
    const QJsonObject facts = OdtFacts(out.filePath(QStringLiteral("Spwrt.odt")));
    EXPECT_EQ(facts.value(QStringLiteral("lines")).toVariant().toStringList(),
              QStringList({expected, QString(27, QLatin1Char(' ')) + QLatin1Char('|')}));
    EXPECT_TRUE(facts.value(QStringLiteral("pageBreaks")).toArray().isEmpty());
}

// The word processor here writes its own format under its own extension: a
// document of that name from an earlier run is no free name and stays.
TEST_F(OfficeFromHostsim, AnEarlierDocumentOfTheSameNameIsKept) {
    const QString earlier = out.filePath(QStringLiteral("Spwrt.odt"));
    WriteFileBytes(earlier, "EARLIER");
    ASSERT_EQ(deliver("Microsoft Word"), ReportOutcome::Delivered);
    EXPECT_EQ(ReadFileBytes(earlier), "EARLIER");
    ASSERT_EQ(opened().size(), 1);
    const QString doc = opened().at(0).mid(QStringLiteral("xdg-open ").size());
    EXPECT_NE(doc, earlier);
    EXPECT_EQ(OdtFacts(doc).value(QStringLiteral("pageBreaks")).toArray().size(), 2);
}

TEST_F(OfficeFromHostsim, ABatchRunSavesUnderItsNamesAndOpensNothing) {
    t.ctx.mode.gBatchMode = true;
    t.ctx.mode.gBatchNoDialogs = true;
    frmSaveAs& save = SaveDialog(t.ctx, frmSaveAs::Kind::Text);
    for (const auto& [type, name] : {std::pair{"Microsoft Excel", "batch.xlsx"}, std::pair{"Microsoft Word", "batch.doc"}}) {
        save.txtSave->setText(out.filePath(QString::fromLatin1(name)));
        save.setTxtSaveTag(QStringLiteral("1"));
        ASSERT_EQ(deliver(type), ReportOutcome::Delivered) << type;
        EXPECT_TRUE(save.txtSaveTag().isEmpty());
    }
    EXPECT_EQ(XlsxFacts(out.filePath(QStringLiteral("batch.xlsx"))).value(QStringLiteral("rowBreaks")).toArray().size(), 2);
    EXPECT_EQ(OdtFacts(out.filePath(QStringLiteral("batch.odt"))).value(QStringLiteral("pageBreaks")).toArray().size(), 2);
    EXPECT_TRUE(opened().isEmpty());
}

TEST_F(OfficeFromHostsim, AHostThatStopsAnsweringLeavesTheEarlierWorkbookAndNoProgramStarted) {
    const QString earlier = out.filePath(QStringLiteral("Spwrt.xlsx"));
    WriteFileBytes(earlier, "EARLIER");
    host->faults().silentAfter = 0;
    t.boxes->expect(QStringLiteral("Error in SendReceive procedure."));
    EXPECT_NE(deliver("Microsoft Excel"), ReportOutcome::Delivered);
    EXPECT_EQ(ReadFileBytes(earlier), "EARLIER");
    EXPECT_TRUE(opened().isEmpty());
}

// A Word delivery that does not get the report (the host stops answering, the
// user cancels) leaves the document of the batch run's name as it was, and
// starts no word processor.
TEST_F(OfficeFromHostsim, AWordDeliveryThatGetsNoReportKeepsTheEarlierDocument) {
    struct Case {
        const char* name;
        std::function<void()> interrupt;
        const char* box;
    };
    const Case cases[] = {
        // The user presses Cancel while the report is on its way.
        {"cancel",
         [this] {
             host->faults().replyDelayMs = 200000;
             QTimer::singleShot(0, [this] { t.ctx.link.requestCancel(); });
         },
         "Operation has been canceled by request of the user."},
        {"host stops answering",
         [this] {
             host->faults().replyDelayMs = 0;
             host->faults().silentAfter = 0;
             ASSERT_TRUE(host->connectJobPort(t.ctx));
         },
         "Error in SendReceive procedure."},
    };
    t.ctx.mode.gBatchMode = true;
    t.ctx.mode.gBatchNoDialogs = true;
    frmSaveAs& save = SaveDialog(t.ctx, frmSaveAs::Kind::Text);
    const QString earlier = out.filePath(QStringLiteral("batch.odt"));
    WriteFileBytes(earlier, "EARLIER");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        save.txtSave->setText(out.filePath(QStringLiteral("batch.doc")));
        save.setTxtSaveTag(QStringLiteral("1"));
        c.interrupt();
        t.boxes->expect(QString::fromLatin1(c.box));
        EXPECT_NE(deliver("Microsoft Word"), ReportOutcome::Delivered);
        EXPECT_TRUE(t.boxes->done());
        EXPECT_EQ(ReadFileBytes(earlier), "EARLIER");
        EXPECT_EQ(QDir(out.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"batch.odt"}));
        EXPECT_EQ(standIns->running(QStringLiteral("word.application")), nullptr);
        EXPECT_TRUE(opened().isEmpty());
    }
}

namespace {
// Starts programs for real, and ends at the close of the test those it started that still run.
struct EndingStarter : QProcessStarter {
    ~EndingStarter() override {
        for (qint64 pid : pids) ::kill(static_cast<pid_t>(pid), SIGTERM);
    }
    qint64 startTask(const QString& program, const QStringList& args, WindowStyle style) override {
        const qint64 pid = QProcessStarter::startTask(program, args, style);
        if (pid > 1) pids.push_back(pid);
        return pid;
    }
    std::vector<qint64> pids;
};

// Word 6/95 on this platform: the word-processor program that the machine
// registry's open command starts, serving "Winword|System" on a socket of its own.
class Word6FromHostsim : public OfficeFromHostsim {
protected:
    void SetUp() override {
        OfficeFromHostsim::SetUp();
        auto starter = std::make_unique<EndingStarter>();
        started = starter.get();
        t.ctx.services.processes = std::move(starter);
        // The open command names a short script of this test (the registry
        // reader takes values under 100 characters) that runs the program with
        // this test's opener and folder, and its own idle end should the test
        // not get to end it.
        const QString word6 = opener.dir.filePath(QStringLiteral("w6"));
        QFile script(word6);
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(QStringLiteral("#!/bin/sh\nexec '%1' --opener '%2' --documents '%3' --idle-exit 20 \"$@\"\n")
                         .arg(QStringLiteral(SW_BINARY_DIR "/swoffice"), opener.program(), shownFolder())
                         .toUtf8());
        script.close();
        script.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        t.registry->setString(QStringLiteral("HKLM\\SOFTWARE\\Classes\\Word.Document.6\\Shell\\open\\command"), QString(),
                              QLatin1Char('"') + word6 + QStringLiteral("\" %1"));
    }
    QString shownFolder() const { return work.filePath(QStringLiteral("word6")); }
    // The program takes real time to start: the link attempts wait in real time
    // (hostsim keeps the virtual clock for its fault delays).
    void useRealTime() {
        virtualTime = std::move(t.ctx.services.clock);
        t.ctx.services.clock = std::make_unique<RealClock>();
    }

    PrivateRuntimeDir runtime;
    RecordingOpener opener;
    EndingStarter* started = nullptr;
    std::unique_ptr<Clock> virtualTime;
};
}  // namespace

TEST_F(Word6FromHostsim, WordIsStartedFromItsOpenCommandAndShowsTheDocumentWithItsPages) {
    useRealTime();
    ASSERT_EQ(deliver("Microsoft Word 6/95"), ReportOutcome::Delivered);
    EXPECT_EQ(started->pids.size(), 1u);  // not answering, started once, then answering
    EXPECT_EQ(screen.status(), QStringLiteral("File has been loaded to Word."));
    const QStringList shown = opener.shown(20000);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown.first().startsWith(shownFolder() + QLatin1Char('/')));
    EXPECT_TRUE(shown.first().endsWith(u".odt"));
    const QJsonObject facts = OdtFacts(shown.first());
    const QStringList lines = facts.value(QStringLiteral("lines")).toVariant().toStringList();
    ASSERT_EQ(lines.size(), 6);
    EXPECT_TRUE(lines.at(2).startsWith(u"MONTH-END SALES")) << lines.at(2).toStdString();
    EXPECT_FALSE(lines.join(QString()).contains(QChar(0x2022)));
    EXPECT_EQ(facts.value(QStringLiteral("pageBreaks")).toArray(), QJsonArray({2, 4}));

    // Word keeps running: the next report goes to the same program.
    ASSERT_EQ(deliver("Microsoft Word 6/95"), ReportOutcome::Delivered);
    EXPECT_EQ(started->pids.size(), 1u);
}

// Every line where the text file has it, the empty lines a page begins with
// too, in the size the Word delivery gives 80 columns, named after the report.
TEST_F(Word6FromHostsim, TheDocumentHoldsEveryLineOfTheTextFile) {
    HostSimFixture::writeSpooledFile(
        spool.path(), "SALES", "PRT01", QStringLiteral("MONTHEND.splf"),
        "name=MONTHEND\njob=MONTHEND\nuser=SWUSER\njobnumber=100001\nnumber=1\nwidth=80\nformtype=*STD\n"
        "date=2024-06-30\ntime=23:59:01\nuserdata=JUNE\n[records]\n"
        "001 PAGE 1 HEAD\n   2  NORTH  1000.00\n"
        "003 PAGE 2 BELOW TWO EMPTY LINES\n   1  SOUTH  2000.00\n"
        "001 PAGE 3 HEAD\n   3  AFTER TWO EMPTY LINES\n");
    // The text file of the same report: its pages, line by line.
    const QString textFile = work.filePath(QStringLiteral("reference.txt"));
    DownloadOptions options = TextFileOptions();
    options.pageLength = QStringLiteral("Variable");
    StatusRecorder progress{t.ctx.link};
    ASSERT_TRUE(ProcTxt(t.ctx, options, progress, textFile, QStringLiteral("Text"),
                        SpoolFileRow::fromGrid(screen.grdSplf(), 1, QString())));
    QList<QStringList> textPages{{}};
    for (const QString& l : QString::fromLatin1(ReadFileBytes(textFile)).split(QStringLiteral("\r\n"))) {
        if (l == QStringLiteral("\f")) textPages.append(QStringList{});
        else textPages.last() << l;
    }
    if (textPages.last().endsWith(QString())) textPages.last().removeLast();  // the file's last line end
    ASSERT_EQ(textPages.size(), 3);
    ASSERT_EQ(textPages[1].value(0), QString());

    // Long names: the document is named as the other office programs name theirs.
    t.ctx.services.saveSetting(QStringLiteral("FullName"), QStringLiteral("1"));
    useRealTime();
    ASSERT_EQ(deliver("Microsoft Word 6/95"), ReportOutcome::Delivered);
    const QStringList shown = opener.shown(20000);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(QFileInfo(shown.first()).fileName().startsWith(u"MONTHEND MONTHEND SWUSER 100001")) << shown.first().toStdString();
    const QJsonObject facts = OdtFacts(shown.first());
    const QStringList lines = facts.value(QStringLiteral("lines")).toVariant().toStringList();
    QList<QStringList> wordPages;
    QList<int> breaks;
    for (const QJsonValue& b : facts.value(QStringLiteral("pageBreaks")).toArray()) breaks << b.toInt();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i == 0 || breaks.contains(int(i))) wordPages.append(QStringList{});
        wordPages.last() << lines.at(i);
    }
    EXPECT_EQ(wordPages, textPages);
    EXPECT_EQ(facts.value(QStringLiteral("fontSizes")).toArray(), QJsonArray({QStringLiteral("9pt")}));
}

TEST_F(Word6FromHostsim, AHostThatStopsAnsweringStartsNoWordAndShowsNothing) {
    host->faults().silentAfter = 0;
    t.boxes->expect(QStringLiteral("Error in SendReceive procedure."));
    EXPECT_NE(deliver("Microsoft Word 6/95"), ReportOutcome::Delivered);
    EXPECT_TRUE(started->pids.empty());
    EXPECT_TRUE(opener.shown().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(shownFolder()));
}

namespace {
// Records of the host's print control and of characters that must stay text,
// each with the page and line the text file gives it.
struct PlacedRecord {
    const char* record;  // skip (3), spacing (1), text
    int page, line;
    const char* shown;   // what a reader must see on that line
};
const std::vector<PlacedRecord>& placedRecords() {
    static const std::vector<PlacedRecord> r = {
        {"001 HEAD", 1, 1, "HEAD"},
        {"   1SECOND", 1, 2, "SECOND"},
        {"005 SKIP BELOW", 1, 5, "SKIP BELOW"},
        {"005 SKIP TO THE SAME", 2, 5, "SKIP TO THE SAME"},
        {"003 SKIP ABOVE", 3, 3, "SKIP ABOVE"},
        {"   2SPACING 2", 3, 5, "SPACING 2"},
        {"   0OVERPRINT", 3, 6, "OVERPRINT"},
        {"   1\x95", 3, 7, "\u2022"},
        {"   1A \x95 INSIDE", 3, 8, "A \u2022 INSIDE"},
        {"   1FORM\fFEED", 3, 9, "FORM FEED"},
        {"   1CONTROL[\x01\x1b]", 3, 10, "CONTROL[  ]"},
        {"001 LAST", 4, 1, "LAST"},
    };
    return r;
}

// (page, line, text) of every line that shows something, from a list of
// lines and the indexes (0-based) of the lines that start a page.
QStringList placed(const QStringList& lines, const QList<int>& pageStarts) {
    QStringList out;
    int page = 1, first = 0;
    for (int i = 0; i < lines.size(); ++i) {
        if (pageStarts.contains(i)) {
            ++page;
            first = i;
        }
        QString text = lines[i];
        while (text.endsWith(QLatin1Char(' '))) text.chop(1);
        if (!text.isEmpty()) out << QStringLiteral("%1/%2 %3").arg(page).arg(i - first + 1).arg(text);
    }
    return out;
}
}  // namespace

TEST_F(OfficeFromHostsim, TheWorkbookAndTheDocumentHaveTheTextFilesPagesAndLines) {
    std::string splf = "name=MONTHEND\njob=MONTHEND\nuser=SWUSER\njobnumber=100001\n[records]\n";
    QStringList expected;
    for (const PlacedRecord& r : placedRecords()) {
        splf += std::string(r.record) + "\n";
        expected << QStringLiteral("%1/%2 %3").arg(r.page).arg(r.line).arg(QString::fromUtf8(r.shown));
    }
    HostSimFixture::writeSpooledFile(spool.path(), "SALES", "PRT01", QStringLiteral("MONTHEND.splf"), splf);
    // A remembered print-control tick is the text file's: the work files do not take it.
    screen.setCheck(ScreenCheck::PrintControl, 1);
    screen.setChosen(ScreenChoice::PrintControlFormat, 1, true);
    screen.setCheck(ScreenCheck::SuppressOverprinting, 0);

    ASSERT_EQ(deliver("Microsoft Excel"), ReportOutcome::Delivered);
    const QJsonObject book = XlsxFacts(out.filePath(QStringLiteral("Spwrt.xlsx")));
    QList<int> rowStarts;  // a break after row n: row n + 1 starts a page
    for (const QJsonValue& b : book.value(QStringLiteral("rowBreaks")).toArray()) rowStarts << b.toInt();
    EXPECT_EQ(placed(columnA(book), rowStarts), expected);

    ASSERT_EQ(deliver("Microsoft Word"), ReportOutcome::Delivered);
    const QJsonObject doc = OdtFacts(out.filePath(QStringLiteral("Spwrt.odt")));
    QList<int> lineStarts;
    for (const QJsonValue& b : doc.value(QStringLiteral("pageBreaks")).toArray()) lineStarts << b.toInt();
    EXPECT_EQ(placed(doc.value(QStringLiteral("lines")).toVariant().toStringList(), lineStarts), expected);

    // WordPro turns the marks into page breaks itself; what it shows is its document.
    ASSERT_EQ(deliver("Lotus WordPro"), ReportOutcome::Delivered);
    const QDir shown(work.filePath(QStringLiteral("shown")));
    const QStringList shownDocs = shown.entryList({QStringLiteral("*.odt")}, QDir::Files);
    ASSERT_EQ(shownDocs.size(), 1);
    const QJsonObject pro = OdtFacts(shown.filePath(shownDocs.first()));
    lineStarts.clear();
    for (const QJsonValue& b : pro.value(QStringLiteral("pageBreaks")).toArray()) lineStarts << b.toInt();
    EXPECT_EQ(placed(pro.value(QStringLiteral("lines")).toVariant().toStringList(), lineStarts), expected);
}

// The copies 1-2-3 and WordPro show are named from the report, as the
// workbook and the document of Excel and Word are, never after the counter
// of a work file; 1-2-3 fits its columns.
TEST_F(OfficeFromHostsim, TheCopiesOfLotusAndWordProAreNamedFromTheReport) {
    t.ctx.services.saveSetting(QStringLiteral("FullName"), QStringLiteral("1"));
    const QString name = QStringLiteral("MONTHEND MONTHEND SWUSER 100001 0001 2024-06-30 23-59-01");
    for (const char* type : {"Lotus 123", "Lotus WordPro"}) {
        SCOPED_TRACE(type);
        const QString ext = std::string(type) == "Lotus 123" ? QStringLiteral("xlsx") : QStringLiteral("odt");
        // Twice: the second work file takes a counter; its copy does not.
        ASSERT_EQ(deliver(type), ReportOutcome::Delivered);
        ASSERT_EQ(deliver(type), ReportOutcome::Delivered);
        standIns.reset();  // the programs end: what they hold is shown
        const QDir shown(work.filePath(QStringLiteral("shown")));
        EXPECT_EQ(shown.entryList({QStringLiteral("*.") + ext}, QDir::Files, QDir::Name),
                  (QStringList{name + QStringLiteral(" (2).") + ext, name + QLatin1Char('.') + ext}));
        if (ext == QLatin1String("xlsx")) {
            const QJsonObject widths = XlsxFacts(shown.filePath(name + QStringLiteral(".xlsx"))).value(QStringLiteral("widths")).toObject();
            EXPECT_FALSE(widths.isEmpty());
        }
        for (const QString& f : shown.entryList(QDir::Files)) QFile::remove(shown.filePath(f));
        auto desktop = std::make_unique<DesktopAutomation>();
        standIns = std::make_unique<OfficeStandIns>(
            StandInDesk{[this] { return t.processes; }, [this] { return work.filePath(QStringLiteral("shown")); }});
        standIns->registerWith(*desktop);
        t.ctx.services.automation = std::move(desktop);
    }
}

namespace {
// One of the project's sample reports, served as the fixture's MONTHEND: its records under MONTHEND's attributes.
std::string sampleAsMonthend(const char* splf) {
    const std::string bytes = ReadFileBytes(QStringLiteral(SW_SOURCE_DIR "/samples/") + QLatin1String(splf));
    return "name=MONTHEND\njob=MONTHEND\nuser=SWUSER\njobnumber=100001\nwidth=80\n" + bytes.substr(bytes.find("[records]\n"));
}
QString textOf(const QJsonArray& cells, int c) { return c >= 0 && c < cells.size() ? cells.at(c).toVariant().toString() : QString(); }
int columnOf(const QJsonArray& cells, const QString& heading) {
    for (int c = 0; c < cells.size(); ++c)
        if (textOf(cells, c) == heading) return c;
    return -1;
}
}  // namespace

// "Default parsing" puts the amounts of the project's sample statements and
// invoices in their columns as numbers, credits ("CR") and totals too: each
// statement's amounts add up to its balance due, and each invoice line's
// quantity times its unit price is its amount.
TEST_F(OfficeFromHostsim, DefaultParsingPutsEveryAmountOfTheSamplesInItsColumnAsANumber) {
    screen.setChosen(ScreenChoice::Parse, 1, true);
    HostSimFixture::writeSpooledFile(spool.path(), "SALES", "PRT01", QStringLiteral("MONTHEND.splf"),
                                     sampleAsMonthend("QGPL/QPRINT/02-statements.splf"));
    ASSERT_EQ(deliver("Microsoft Excel"), ReportOutcome::Delivered);
    static const QRegularExpression date(QStringLiteral("^2004-03-\\d\\d$"));
    int amount = -1, balances = 0, credits = 0, details = 0;
    double sum = 0;
    for (const QJsonValue& row : XlsxFacts(out.filePath(QStringLiteral("Spwrt.xlsx"))).value(QStringLiteral("values")).toArray()) {
        const QJsonArray cells = row.toArray();
        if (columnOf(cells, QStringLiteral("Amount")) >= 0) {
            amount = columnOf(cells, QStringLiteral("Amount"));
            sum = 0;
        } else if (date.match(textOf(cells, 0)).hasMatch()) {
            ASSERT_TRUE(amount >= 0 && amount < cells.size() && cells.at(amount).isDouble()) << textOf(cells, 2).toStdString();
            sum += cells.at(amount).toDouble();
            credits += cells.at(amount).toDouble() < 0;
            ++details;
        } else if (columnOf(cells, QStringLiteral("Balance due:")) >= 0) {
            ASSERT_TRUE(amount < cells.size() && cells.at(amount).isDouble());
            EXPECT_NEAR(cells.at(amount).toDouble(), sum, 0.005);
            ++balances;
        }
    }
    EXPECT_EQ(balances, 6);
    EXPECT_GT(details, 30);
    EXPECT_GT(credits, 3);

    ASSERT_TRUE(QFile::remove(out.filePath(QStringLiteral("Spwrt.xlsx"))));
    HostSimFixture::writeSpooledFile(spool.path(), "SALES", "PRT01", QStringLiteral("MONTHEND.splf"),
                                     sampleAsMonthend("QGPL/QPRINT/01-invoice.splf"));
    ASSERT_EQ(deliver("Microsoft Excel"), ReportOutcome::Delivered);
    int qty = -1, price = -1, lines = 0, subtotals = 0;
    sum = 0;
    for (const QJsonValue& row : XlsxFacts(out.filePath(QStringLiteral("Spwrt.xlsx"))).value(QStringLiteral("values")).toArray()) {
        const QJsonArray cells = row.toArray();
        if (columnOf(cells, QStringLiteral("Amount")) >= 0) {
            qty = columnOf(cells, QStringLiteral("Qty"));
            price = columnOf(cells, QStringLiteral("Unit price"));
            amount = columnOf(cells, QStringLiteral("Amount"));
            ASSERT_TRUE(qty >= 0 && price > qty && amount > price) << QJsonDocument(cells).toJson().toStdString();
            sum = 0;
        } else if (qty >= 0 && qty < cells.size() && cells.at(qty).isDouble()) {
            ASSERT_TRUE(amount < cells.size() && cells.at(price).isDouble() && cells.at(amount).isDouble())
                << textOf(cells, 1).toStdString();
            EXPECT_NEAR(cells.at(qty).toDouble() * cells.at(price).toDouble(), cells.at(amount).toDouble(), 0.0051);
            sum += cells.at(amount).toDouble();
            ++lines;
        } else if (columnOf(cells, QStringLiteral("Subtotal")) >= 0) {
            ASSERT_TRUE(amount >= 0 && amount < cells.size() && cells.at(amount).isDouble());
            EXPECT_NEAR(cells.at(amount).toDouble(), sum, 0.15);
            ++subtotals;
        }
    }
    EXPECT_EQ(subtotals, 4);
    EXPECT_GT(lines, 30);
}

// A host page longer than the page length goes on to a page of its own in
// the workbook where the text file has it.
TEST_F(OfficeFromHostsim, AHostPageLongerThanThePageLengthBreaksWhereTheTextFileDoes) {
    std::string splf = "name=MONTHEND\njob=MONTHEND\nuser=SWUSER\njobnumber=100001\n[records]\n001 FIRST PAGE\n";
    for (int l = 2; l <= 70; ++l) splf += "   1LINE " + std::to_string(l) + "\n";
    splf += "001 SECOND PAGE\n   2LAST\n";
    HostSimFixture::writeSpooledFile(spool.path(), "SALES", "PRT01", QStringLiteral("MONTHEND.splf"), splf);
    screen.setText(ScreenText::PageLength, QStringLiteral("66"));
    const QString text = out.filePath(QStringLiteral("MONTHEND.txt"));
    screen.setText(ScreenText::ProcessType, QStringLiteral("Text file"));
    const DownloadOptions options = ReadScreenOptions(screen, false);
    ScreenProgress progress(screen);
    ASSERT_TRUE(ProcTxt(t.ctx, options, progress, text, QStringLiteral("Text"),
                        SpoolFileRow::fromGrid(screen.grdSplf(), 1, options.translation)));
    const QStringList textLines = QString::fromLatin1(QByteArray::fromStdString(ReadFileBytes(text))).split(QStringLiteral("\r\n"));
    QList<int> textPages;  // a text file of 66-line pages
    for (int i = 66; i < textLines.size() - 1; i += 66) textPages << i;
    ASSERT_EQ(textPages, QList<int>({66, 132}));

    ASSERT_EQ(deliver("Microsoft Excel"), ReportOutcome::Delivered);
    const QJsonObject book = XlsxFacts(out.filePath(QStringLiteral("Spwrt.xlsx")));
    QList<int> rowStarts;
    for (const QJsonValue& b : book.value(QStringLiteral("rowBreaks")).toArray()) rowStarts << b.toInt();
    EXPECT_EQ(placed(columnA(book), rowStarts), placed(textLines, textPages));
    EXPECT_EQ(rowStarts.size(), 2);
}

// A report of more rows than a worksheet holds is told as such before the
// spreadsheet is asked for anything: no workbook is built, the earlier one
// stays, and no program starts.
TEST_F(OfficeFromHostsim, AReportLongerThanAWorksheetIsRefusedBeforeTheSpreadsheetIsAsked) {
    // Pages of 255 lines, two records each: 4,113 of them are 1,048,815 rows.
    std::string splf = "name=MONTHEND\njob=MONTHEND\nuser=SWUSER\njobnumber=100001\n[records]\n";
    for (int p = 0; p < 4113; ++p) splf += "001 TOP\n255 BOTTOM\n";
    HostSimFixture::writeSpooledFile(spool.path(), "SALES", "PRT01", QStringLiteral("MONTHEND.splf"), splf);
    screen.grdSplf().setCellValue(1, QStringLiteral("Pages"), QStringLiteral("4113"));
    const QString earlier = out.filePath(QStringLiteral("Spwrt.xlsx"));
    WriteFileBytes(earlier, "EARLIER");
    t.boxes->expect(QStringLiteral("The report has 1,048,815 lines, more than the 1,048,576 rows a worksheet holds: it was "
                                   "not loaded into Excel."));
    EXPECT_NE(deliver("Microsoft Excel"), ReportOutcome::Delivered);
    EXPECT_EQ(ReadFileBytes(earlier), "EARLIER");
    EXPECT_EQ(standIns->running(QStringLiteral("excel.application")), nullptr);
    EXPECT_TRUE(opened().isEmpty());
}
