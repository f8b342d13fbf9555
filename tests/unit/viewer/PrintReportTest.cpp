#include <gtest/gtest.h>

#include <QRegularExpression>
#include <map>

#include "PrintReport.h"
#include "ScreenOptions.h"
#include "ScriptedHostSocket.h"
#include "SpoolDownload.h"
#include "TestSupport.h"
#include "TransferTestSupport.h"

using Record = SpoolReplies::Record;

namespace {
// What the printer was told for one width code, from the stored values.
QStringList setUp(const std::string& widthCode, const std::map<QString, QString>& stored, int printerOrientation) {
    RecordingPrinter p;
    p.setInitialOrientation(printerOrientation);
    DownloadOptions o;
    ReadDialogOptions(o, [&](const QString& key) {
        const auto it = stored.find(key);
        return it == stored.end() ? QStringLiteral("None") : it->second;
    });
    SetUpPrinterForWidth(p, widthCode, o.printer);
    return p.log();
}

// The pages a layout prints for these records.
RecordingPrinter::Document printed(const std::vector<Record>& records, bool layout, int width = 80) {
    RecordingPrinter p;
    PrintLayout sink(p, layout);
    sink.accepted(width == 80 ? " 80" : std::to_string(width));
    for (const std::string& r : SpoolReplies::report(records, width == 80 ? " 80" : std::to_string(width)))
        ForEachRecord(std::string_view(r).substr(0, 1000), width, [&](const SpoolRecordSlot& s) { sink.record(s); });
    p.endDoc();
    return p.documents().empty() ? RecordingPrinter::Document{} : p.documents()[0];
}
QStringList trimmed(const QStringList& lines) {
    QStringList out;
    for (const QString& l : lines) {
        QString t = l;
        while (t.endsWith(QLatin1Char(' '))) t.chop(1);
        out << t;
    }
    return out;
}
}  // namespace

TEST(PrintSetUp, FontAndOrientationByWidthFromTheStoredValuesOrTheAutomaticRule) {
    const QString font = QStringLiteral("font Courier New");
    const int P = Printer::Portrait, L = Printer::Landscape;
    const struct Case {
        const char* name;
        std::string code;
        std::map<QString, QString> stored;
        int printer;
        QStringList log;
    } cases[] = {
        {"80, nothing stored: the printer's orientation, size 9", " 80", {}, L, {font, "size 9"}},
        {"80 in landscape", " 80", {{"Orientation 1", "False"}}, P, {font, "orientation 2", "size 9"}},
        {"132 Auto, Orientation 2 False: portrait, 6", "132", {{"132 Fontsize", "Auto"}, {"Orientation 2", "False"}}, L,
         {font, "orientation 1", "size 6"}},
        {"132 Auto, Orientation 2 True: landscape, 9", "132", {{"132 Fontsize", "Auto"}, {"Orientation 2", "True"}}, P,
         {font, "orientation 2", "size 9"}},
        {"198 Auto on a landscape printer: 6", "198", {{"198 Fontsize", "Auto"}}, L, {font, "size 6"}},
        {"198 Auto on a portrait printer: 4", "198", {}, P, {font, "size 4"}},
        {"198 stored 8", "198", {{"198 Fontsize", "8"}}, L, {font, "size 8"}},
        {"a stored size with blanks", "132", {{"132 Fontsize", " 14 "}}, L, {font, "size 14"}},
        {"990: landscape 6 whatever is stored", "990", {{"80 Fontsize", "12"}}, P, {font, "orientation 2", "size 6"}},
        {"an unknown width: landscape 6", " 81", {}, P, {font, "orientation 2", "size 6"}},
        // Values that cannot print count as not set.
        {"a size that is no number is Auto", "132", {{"132 Fontsize", "big"}, {"Orientation 2", "True"}}, P,
         {font, "orientation 2", "size 9"}},
        {"sizes 0 and 73 are Auto", " 80", {{"80 Fontsize", "0"}}, P, {font, "size 9"}},
        {"size 73 is Auto", "198", {{"198 Fontsize", "73"}}, L, {font, "size 6"}},
        {"an orientation that is no truth value leaves the printer", "132", {{"Orientation 2", "sideways"}}, P,
         {font, "size 6"}},
        {"an orientation as a number", "198", {{"Orientation 3", "0"}}, L, {font, "orientation 1", "size 4"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(setUp(c.code, c.stored, c.printer), c.log);
    }
}

TEST(PrintLayout, TheHostsPrintControlBecomesEmptyLinesAndPages) {
    std::vector<Record> forty{{"001", ' ', "TOP"}};
    for (int i = 2; i <= 40; ++i) forty.push_back({"   ", '1', "L" + std::to_string(i)});
    forty.push_back({"001", ' ', "NEXT PAGE"});
    const struct Case {
        const char* name;
        std::vector<Record> records;
        bool layout;
        std::vector<QStringList> pages;
    } cases[] = {
        {"skip 5 on line 1: four empty lines, the record on line 5", {{"005", ' ', "FIVE"}}, true,
         {{"", "", "", "", "FIVE"}}},
        {"a second skip to line 1 starts a page", {{"001", ' ', "ONE"}, {"001", ' ', "AGAIN"}}, true,
         {{"ONE"}, {"AGAIN"}}},
        {"spacing 3: two empty lines before", {{"001", ' ', "A"}, {"   ", '3', "B"}}, true, {{"A", "", "", "B"}}},
        {"spacing 0 and 1: no empty line", {{"001", ' ', "A"}, {"   ", '0', "B"}, {"   ", '1', "C"}}, true,
         {{"A", "B", "C"}}},
        {"blank skip and spacing: the next line; a skip back to it starts a page",
         {{"001", ' ', "A"}, {"   ", ' ', "B"}, {"002", ' ', "C"}}, true, {{"A", "B"}, {"", "C"}}},
        {"remove blank lines: every record on the next line",
         {{"005", ' ', "A"}, {"   ", '3', "B"}, {"001", ' ', "C"}}, false, {{"A", "B", "C"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const RecordingPrinter::Document doc = printed(c.records, c.layout);
        ASSERT_EQ(doc.size(), c.pages.size());
        for (size_t i = 0; i < doc.size(); ++i) EXPECT_EQ(trimmed(doc[i].lines), c.pages[i]) << i;
    }
    // Skip 1 while on line 40: a new page, the record on its first line.
    const RecordingPrinter::Document doc = printed(forty, true);
    ASSERT_EQ(doc.size(), 2u);
    EXPECT_EQ(doc[0].lines.size(), 40);
    EXPECT_EQ(trimmed(doc[1].lines), QStringList{"NEXT PAGE"});
}

TEST(PrintLayout, EveryRecordPrintsWithItsWholeWidth) {
    for (int width : {80, 132, 198, 990}) {
        SCOPED_TRACE(width);
        const RecordingPrinter::Document doc = printed(WideSalesReport(width), false, width);
        ASSERT_EQ(doc.size(), 1u);
        ASSERT_EQ(doc[0].lines.size(), 21);
        for (const QString& l : doc[0].lines) EXPECT_EQ(l.size(), width);
        EXPECT_TRUE(doc[0].lines[1].endsWith(QStringLiteral("RIGHT EDGE")));
    }
}

namespace {
class PrintTest : public ::testing::Test {
protected:
    TestContext t;
    std::shared_ptr<ScriptedHost> host = UseScriptedHost(t.ctx);
    PlainSplfScreen& screen = TextFileScreen(t.ctx);
    RecordingPrinter& printer = *t.printer;
    Outcome run() {
        DownloadOptions options = ReadScreenOptions(screen, t.ctx.download.gMinusSignApplicable);
        ReadDialogOptions(options, [&](const QString& key) { return t.ctx.services.getSetting(key); });
        ScreenProgress progress(screen);
        return PrintSpoolFileToPrinter(t.ctx, options, progress, SampleRow());
    }
    QString lastStatus() const { return screen.statusHistory.isEmpty() ? QString() : screen.statusHistory.last(); }
};
}  // namespace

TEST_F(PrintTest, AReportPrintsWithItsPagesAndTheStatusTexts) {
    host->replies(SpoolReplies::report(SalesReport(), " 80"));
    EXPECT_TRUE(run());
    ASSERT_EQ(printer.documents().size(), 1u);
    const auto& doc = printer.documents()[0];
    ASSERT_EQ(doc.size(), 3u);  // the host's three pages
    EXPECT_TRUE(doc[0].lines[0].startsWith(QStringLiteral("ACME CORP")));
    EXPECT_TRUE(doc[1].lines[0].contains(QStringLiteral("PAGE     2")));
    EXPECT_EQ(printer.log().first(), QStringLiteral("dialog"));
    EXPECT_EQ(printer.log().last(), QStringLiteral("enddoc"));
    EXPECT_TRUE(screen.statusHistory.contains(QStringLiteral("Printing spool records to Test Printer...")));
    EXPECT_EQ(lastStatus(), QStringLiteral("Print is complete to Test Printer.  21 records printed."));
    // The download request of a text file: "W", overprinting suppressed.
    ASSERT_FALSE(host->requests.empty());
    EXPECT_EQ(host->requests[0].substr(10, 1), "W");
    EXPECT_TRUE(t.boxes->shown().empty());
}

// In a queue that several users share, each job is known by its report.
TEST_F(PrintTest, EachPrintJobIsTitledAfterItsReport) {
    SpoolFileRow::Fields second = SampleRowFields();
    second.file = "PAYROLL";
    second.job = "NIGHTLY/0012";
    second.jobNumber = "100001";
    const std::pair<SpoolFileRow, QString> reports[] = {
        {SampleRow(), QStringLiteral("title QSYSPRT QPADEV0001 004711 0003")},
        {SpoolFileRow::fromFields(second), QStringLiteral("title PAYROLL NIGHTLY 100001 0012")},
    };
    for (const auto& [row, title] : reports) {
        SCOPED_TRACE(title.toStdString());
        host->replies(SpoolReplies::report(SalesReport(), " 80"));
        DownloadOptions options = ReadScreenOptions(screen, t.ctx.download.gMinusSignApplicable);
        ScreenProgress progress(screen);
        const qsizetype from = printer.log().size();
        EXPECT_TRUE(PrintSpoolFileToPrinter(t.ctx, options, progress, row));
        const QStringList log = printer.log().mid(from);
        const qsizetype named = log.indexOf(title), printed = log.indexOf(QRegularExpression(QStringLiteral("^(print|newpage)")));
        EXPECT_GE(named, 0) << log.join(QLatin1Char('|')).toStdString();
        EXPECT_LT(named, printed) << "the job is named before it starts";
    }
    EXPECT_EQ(printer.documents().size(), 2u);
}

TEST_F(PrintTest, ACancelledPrintDialogPrintsAndShowsNothing) {
    t.presenter->printAnswers = {false};
    host->replies(SpoolReplies::report(SalesReport(), " 80"));
    EXPECT_FALSE(run());
    EXPECT_TRUE(host->requests.empty());
    EXPECT_EQ(printer.log(), QStringList{"dialog"});
    EXPECT_TRUE(t.boxes->shown().empty());
}

TEST_F(PrintTest, ABatchRunPrintsOnTheDefaultPrinterWithoutADialogOrFailsClearlyWithoutOne) {
    t.ctx.mode.gBatchMode = true;
    host->replies(SpoolReplies::report(SalesReport(), " 80"));
    EXPECT_TRUE(run());
    EXPECT_FALSE(printer.log().contains(QStringLiteral("dialog")));
    EXPECT_EQ(printer.documents().size(), 1u);

    printer.present = false;
    host->replies(SpoolReplies::report(SalesReport(), " 80"));
    const size_t asked = host->requests.size();
    t.boxes->expect(QStringLiteral("No printer is set up on this computer.  The spool file was not printed."));
    EXPECT_FALSE(run());
    EXPECT_EQ(host->requests.size(), asked);
    EXPECT_EQ(printer.documents().size(), 1u);
    EXPECT_TRUE(t.boxes->done());
}

TEST_F(PrintTest, APrinterErrorDropsTheJobAndStopsTheHost) {
    // Four blocks: the host still holds one when the second fails.
    host->replies(SpoolReplies::report(NumberedRecords(40), " 80"));
    printer.failOn(QStringLiteral("print RECORD 15"), 482);
    t.boxes->expect(QStringLiteral("PC printer error 482"));
    EXPECT_FALSE(run());
    EXPECT_TRUE(t.boxes->done());
    EXPECT_TRUE(printer.documents().empty());
    EXPECT_EQ(printer.abortedDocuments(), 1);
    EXPECT_FALSE(printer.started());
    EXPECT_EQ(host->cancelRequests, 1);
}

TEST_F(PrintTest, AHostThatStopsAnsweringEndsTheJobWithWhatCame) {
    host->reply(SpoolReplies::report(NumberedRecords(30), " 80")[0]);
    host->drop();
    t.boxes->expect(QStringLiteral("Error in SendReceive procedure."));
    EXPECT_FALSE(run());
    ASSERT_EQ(printer.documents().size(), 1u);
    EXPECT_EQ(printer.documents()[0][0].lines.size(), 11);
    EXPECT_FALSE(printer.started());
    EXPECT_FALSE(lastStatus().startsWith(QStringLiteral("Print is complete")));
}

TEST_F(PrintTest, RefusalsFirstAndLater) {
    // First reply refused in a whole-queue batch: no box, nothing printed.
    t.ctx.mode.gBatchMode = t.ctx.mode.gBatchNoDialogs = true;
    host->reply(SpoolReplies::reply({}, "(INVALID)", " 80"));
    EXPECT_FALSE(run());
    EXPECT_TRUE(t.boxes->shown().empty());
    EXPECT_FALSE(printer.started());
    EXPECT_TRUE(printer.documents().empty());
    t.ctx.mode.gBatchMode = t.ctx.mode.gBatchNoDialogs = false;
    // A later refusal: "Access denied", the records so far printed and completed.
    std::vector<std::string> replies = SpoolReplies::report(NumberedRecords(15), " 80");
    replies[1] = SpoolReplies::reply({}, "(INVALID)", " 80");
    host->replies(replies);
    t.boxes->expect(QStringLiteral("Access denied.  Possible authority problem."));
    EXPECT_FALSE(run());
    ASSERT_EQ(printer.documents().size(), 1u);
    EXPECT_EQ(lastStatus(), QStringLiteral("Print is complete to Test Printer.  11 records printed."));
}

TEST_F(PrintTest, ProgressEveryFiftyRecordsAndAnUnknownWidthIsRefused) {
    host->replies(SpoolReplies::report(NumberedRecords(120), " 80"));
    EXPECT_TRUE(run());
    EXPECT_TRUE(screen.statusHistory.contains(QStringLiteral("Records printed: 55   ")));
    EXPECT_TRUE(screen.statusHistory.contains(QStringLiteral("Records printed: 110   ")));
    EXPECT_EQ(lastStatus(), QStringLiteral("Print is complete to Test Printer.  120 records printed."));

    // A width this program cannot read: refused before anything is printed.
    host->reply(SpoolReplies::reply({SpoolReplies::slot(80, {"001", ' ', "LOST"})}, "(END)", " 81"));
    t.boxes->expect(QStringLiteral("record width code \" 81\", which this program cannot read."));
    EXPECT_FALSE(run());
    EXPECT_TRUE(t.boxes->done());
    EXPECT_EQ(printer.documents().size(), 1u);
    EXPECT_FALSE(printer.started());
    EXPECT_FALSE(printer.log().mid(printer.log().lastIndexOf(QStringLiteral("dialog"))).contains(QStringLiteral("font Courier New")));
}

// A font size at which the report's width does not fit across the page is
// taken down to the largest that fits, and the status says so; a report that
// fits keeps its size.
TEST_F(PrintTest, NothingRunsOffTheRightEdgeOfThePage) {
    printer.pageWidthPoints = 540;  // Letter, 0.25 in margins
    t.ctx.services.saveSetting(QStringLiteral("132 Fontsize"), QStringLiteral("9"));
    host->replies(SpoolReplies::report(WideSalesReport(132), "132"));
    EXPECT_TRUE(run());
    // 132 columns of 0.6 x 9 points are 712.8 points: 6.8 points fit.
    EXPECT_TRUE(printer.log().contains(QStringLiteral("size 6.8"))) << printer.log().join('|').toStdString();
    EXPECT_EQ(printer.fontSize, 6.8);
    EXPECT_EQ(lastStatus(), QStringLiteral("Print is complete to Test Printer.  21 records printed.  The lines are "
                                           "printed in 6.8 points instead of 9, so that all 132 columns fit across "
                                           "the page."));
    host->replies(SpoolReplies::report(SalesReport(), " 80"));
    EXPECT_TRUE(run());
    EXPECT_EQ(printer.fontSize, 9);  // 80 columns at the automatic 9 points fit
    EXPECT_EQ(lastStatus(), QStringLiteral("Print is complete to Test Printer.  21 records printed."));
}
