#include <gtest/gtest.h>

#include <QJsonDocument>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>

#include "OfficeAutomation.h"
#include "OfficeFiles.h"
#include "OfficeStandIns.h"
#include "RecordingProcessStarter.h"
#include "SheetModel.h"
#include "StandInTesting.h"

namespace {
// The page-break loop and fitting of the Excel delivery, as calls: a break
// the sheet has no room for is passed over, its mark still goes.
void pagesAndFit(ExcelApplication& xl) {
    xl.selectRange(QStringLiteral("A1"));
    try {
        xl.findAndActivate(kMark);
        for (int guard = 0; guard < 100000; ++guard) {
            xl.deleteSelectedRows();
            try {
                xl.addPageBreakBeforeActiveCell();
            } catch (const AutomationError&) {
            }
            xl.findNextAndActivate();
        }
    } catch (const AutomationError&) {
    }
    xl.selectAllCells();
    xl.autoFitSelectedColumns();
    xl.selectRange(QStringLiteral("A1"));
}

QStringList column(const QJsonObject& facts, int c) {
    QStringList out;
    for (const QJsonValue& row : facts.value(QStringLiteral("rows")).toArray())
        out << row.toArray().at(c).toString();
    return out;
}

struct SheetCase {
    const char* name;
    QList<QStringList> pages;
    QList<int> rowBreaks;  // as a reader sees them: the row after which a page ends (1-based)
    int topRowsDeleted = 0;  // after the marks, as "Wizard parsing" deletes the blank top rows
};
void PrintTo(const SheetCase& c, std::ostream* os) { *os << c.name; }
}  // namespace

class SpreadsheetPages : public ::testing::TestWithParam<SheetCase> {};

TEST_P(SpreadsheetPages, MarksBecomeRowBreaksInTheSavedWorkbook) {
    const SheetCase& c = GetParam();
    Desk d;
    const QString text = d.report(QStringLiteral("report.txt"), c.pages);
    {
        ExcelApplication xl(d.standIns.create(QString::fromLatin1(ExcelApplication::kProgId)));
        xl.openText(text, false);
        pagesAndFit(xl);
        for (int i = 0; i < c.topRowsDeleted; ++i) xl.deleteSelectedRows();
        xl.saveActiveWorkbookAs(d.path(QStringLiteral("report.xlsx")));
        xl.closeActiveWorkbook();
    }
    const QJsonObject facts = XlsxFacts(d.path(QStringLiteral("report.xlsx")));
    ASSERT_FALSE(facts.isEmpty());
    const QStringList lines = LinesOf(c.pages).mid(c.topRowsDeleted);
    EXPECT_EQ(column(facts, 0), lines);
    EXPECT_FALSE(column(facts, 0).join(QString()).contains(kMark));
    EXPECT_EQ(ints(facts.value(QStringLiteral("rowBreaks"))), c.rowBreaks);
    qsizetype longest = 0;
    for (const QString& l : lines) longest = std::max(longest, l.size());
    const double width = facts.value(QStringLiteral("widths")).toObject().value(QStringLiteral("A")).toDouble();
    // In widths of the default face's digit: a Courier New 10 character is 8/7 of one.
    EXPECT_GE(width, static_cast<double>(longest) * 8 / 7);
    EXPECT_LE(width, static_cast<double>(longest) * 8 / 7 + 2.5);
    // Invisible all along: nothing was shown to the user.
    EXPECT_TRUE(d.starter.started().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Reports, SpreadsheetPages,
    ::testing::Values(
        SheetCase{"ThreePages",
                  {{"ACME PAYROLL REPORT      PAGE 1", "  Smith    1200.00"},
                   {"ACME PAYROLL REPORT      PAGE 2", "  Jones     310.50", "  Brown       7.25"},
                   {"ACME PAYROLL REPORT      PAGE 3", "  TOTAL    1517.75"}},
                  {2, 5}},
        SheetCase{"NoMarks", {{"one page only", "second line"}}, {}},
        // The second mark moves up into the row the first one left: one break there.
        SheetCase{"ConsecutiveMarks", {{"first page"}, {}, {"third page", "end"}}, {1}},
        SheetCase{"BlankLinesKept", {{"", "after a blank"}, {"", "last"}}, {2}},
        // The break below the deleted rows goes to the top, where there is none to make.
        SheetCase{"TopRowsDeletedBelowABreak", {{"", ""}, {"CODE  NAME", "A1    Bolt"}, {"TOTAL"}}, {2}, 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SpreadsheetStandIn, DefaultParsingPlacesTheColumnsAtTheBlanks) {
    Desk d;
    const QString text = d.report(QStringLiteral("cols.txt"), {{"ITEM      QTY   PRICE", "apple       3    0.40", "pear       12    1.10"}});
    ExcelApplication xl(d.standIns.create(QStringLiteral("excel.application")));
    xl.openText(text, true);
    xl.saveActiveWorkbookAs(d.path(QStringLiteral("cols.xlsx")));
    const QJsonObject facts = XlsxFacts(d.path(QStringLiteral("cols.xlsx")));
    EXPECT_EQ(column(facts, 0), QStringList({"ITEM", "apple", "pear"}));
    EXPECT_EQ(column(facts, 1), QStringList({"QTY", "3", "12"}));
    EXPECT_EQ(column(facts, 2), QStringList({"PRICE", "0.4", "1.1"}));  // numbers now
}

// A report's title, headings and amounts as a fixed-width import reads them:
// a field ends only at a gap of two blanks or more that runs through the page
// (a title that crosses one is cut there, not at its own blanks), and an
// amount is a number.
TEST(SpreadsheetStandIn, DefaultParsingKeepsTitlesWholeAndStoresAmountsAsNumbers) {
    Desk d;
    QStringList page = {"        I N V O I C E", "QTY  ITEM            AMOUNT", ""};
    for (int i = 0; i < 60; ++i) page << QStringLiteral("%1   WIDGET %2   %3").arg(i + 1, 3).arg(i % 10).arg(QStringLiteral("1,234.50"), 10);
    page << "TOTAL FOR THE MONTH OF JUNE  74,070.00";
    const QString text = d.report(QStringLiteral("inv.txt"), {page});
    ExcelApplication xl(d.standIns.create(QStringLiteral("excel.application")));
    xl.openText(text, true);
    xl.saveActiveWorkbookAs(d.path(QStringLiteral("inv.xlsx")));
    const QJsonObject facts = XlsxFacts(d.path(QStringLiteral("inv.xlsx")));
    const QJsonArray values = facts.value(QStringLiteral("values")).toArray();
    ASSERT_GE(values.size(), 64);
    const auto row = [&](int r) { return values.at(r).toArray(); };
    // The spaced title is not a letter a cell.
    QStringList title;
    for (const QJsonValue& v : row(0))
        if (!v.toString().isEmpty()) title << v.toString();
    EXPECT_TRUE(title.join(QLatin1Char(' ')) == QLatin1String("I N V O I C E") && title.size() <= 2)
        << title.join(QLatin1Char('|')).toStdString();
    for (const QString& t : title) EXPECT_GT(t.size(), 1) << t.toStdString();
    // Quantity, item and amount each in its own cell; the numbers can be summed.
    const QJsonArray first = row(3);
    ASSERT_GE(first.size(), 3) << QJsonDocument(values).toJson(QJsonDocument::Compact).left(600).toStdString();
    EXPECT_EQ(first.at(0).toDouble(), 1.0);
    EXPECT_TRUE(first.at(0).isDouble());
    EXPECT_EQ(first.at(1).toString(), QStringLiteral("WIDGET 0"));
    EXPECT_TRUE(first.last().isDouble());
    EXPECT_EQ(first.last().toDouble(), 1234.5);
    // The report's columns in a fixed-pitch face.
    EXPECT_EQ(strings(facts.value(QStringLiteral("fonts"))), QStringList{QStringLiteral("Courier New")});
}

TEST(SpreadsheetStandIn, AFieldIsANumberOnlyWhenItReadsAsOne) {
    struct Case {
        const char* field;
        bool number;
        double value;
    };
    const Case cases[] = {
        {"1,234.56", true, 1234.56}, {"12.50-", true, -12.5}, {"12.50CR", true, -12.5}, {"12.50 CR", true, -12.5},
        {"-7", true, -7},           {"0.40", true, 0.4},      {".5", true, 0.5},         {"42", true, 42},
        {"00123", false, 0},        {"1,23", false, 0},       {"12-34", false, 0},       {"-12-", false, 0},
        {"1.2.3", false, 0},        {"WIDGET", false, 0},     {"12.50 DR", false, 0},    {"1234567890123456", false, 0},
        {"", false, 0},             {"-", false, 0},
    };
    for (const Case& c : cases) {
        double v = 0;
        int decimals = 0;
        bool grouped = false;
        EXPECT_EQ(ReportNumber(QString::fromLatin1(c.field), &v, &decimals, &grouped), c.number) << c.field;
        if (c.number) {
            EXPECT_DOUBLE_EQ(v, c.value) << c.field;
        }
    }
}

// Printing from the sheet gives the host's pages: one page across, turned for a wide report.
TEST(SpreadsheetStandIn, TheSheetIsPrintedOnePageAcrossInTheReportsOrientation) {
    for (const int width : {80, 198}) {
        SCOPED_TRACE(width);
        Desk d;
        const QString text = d.report(QStringLiteral("w.txt"), {{QString(width, QLatin1Char('X')), "short"}});
        ExcelApplication xl(d.standIns.create(QStringLiteral("excel.application")));
        xl.openText(text, false);
        xl.saveActiveWorkbookAs(d.path(QStringLiteral("w.xlsx")));
        const QJsonObject facts = XlsxFacts(d.path(QStringLiteral("w.xlsx")));
        const QJsonObject page = facts.value(QStringLiteral("page")).toObject();
        EXPECT_EQ(page.value(QStringLiteral("orientation")).toString(), width > 100 ? "landscape" : "portrait");
        // The widest line (6 points a character in Courier New 10) fits between the margins at the print scale.
        const QJsonArray margins = page.value(QStringLiteral("margins")).toArray();
        const double room = (width > 100 ? 842.0 : 595.0) - 72 * (margins.at(0).toDouble() + margins.at(1).toDouble());
        const int scale = page.value(QStringLiteral("scale")).isNull() ? 100 : page.value(QStringLiteral("scale")).toInt();
        EXPECT_LE(width * 6.0 * scale / 100, room);
        EXPECT_GE(scale, 50);
        EXPECT_EQ(strings(facts.value(QStringLiteral("fonts"))), QStringList{QStringLiteral("Courier New")});
    }
}

// Report lines may carry bytes no cell can hold: the text after them stays.
TEST(SpreadsheetStandIn, ALineWithANulByteKeepsItsTextAfterIt) {
    Desk d;
    const QString text = d.path(QStringLiteral("odd.txt"));
    static const char bytes[] = "TOTAL\x00  12\r\n\x00lead\r\ncaf\xe9\x01" "end\r\n";
    writeBytes(text, QByteArray(bytes, sizeof bytes - 1));
    ExcelApplication xl(d.standIns.create(QStringLiteral("excel.application")));
    xl.openText(text, false);
    xl.saveActiveWorkbookAs(d.path(QStringLiteral("odd.xlsx")));
    const QJsonObject facts = XlsxFacts(d.path(QStringLiteral("odd.xlsx")));
    ASSERT_FALSE(facts.isEmpty());
    // openpyxl shows a control character as Excel stores it (_x0001_).
    EXPECT_EQ(column(facts, 0), QStringList({"TOTAL  12", "lead", QStringLiteral("caf\u00e9_x0001_end")}));
}

// The sheet is named after the report; names a sheet may not carry still give a workbook.
TEST(SpreadsheetStandIn, AReportOfAnyNameGivesAWorkbook) {
    for (const QString& name : {QStringLiteral("'Sales'"), QStringLiteral("'"), QStringLiteral("Q1 [north]: *all*"),
                               QStringLiteral("a'") + QString(40, QLatin1Char('x')) + QStringLiteral("'")}) {
        Desk d;
        const QString text = d.report(name + QStringLiteral(".txt"), {{"line"}});
        ExcelApplication xl(d.standIns.create(QStringLiteral("excel.application")));
        xl.openText(text, false);
        xl.saveActiveWorkbookAs(d.path(name + QStringLiteral(".xlsx")));
        const QJsonObject facts = XlsxFacts(d.path(name + QStringLiteral(".xlsx")));
        EXPECT_EQ(column(facts, 0), QStringList({"line"})) << name.toStdString();
    }
}

TEST(SpreadsheetStandIn, TextToColumnsSplitsColumnAAfterBlankTopRowsWentAway) {
    Desk d;
    const QString text = d.report(QStringLiteral("wiz.txt"), {{"", "   ", "CODE  NAME", "A1    Bolt"}});
    ExcelApplication xl(d.standIns.create(QStringLiteral("excel.application")));
    xl.openText(text, false);
    xl.selectRange(QStringLiteral("A1"));
    int deleted = 0;
    while (xl.activeCellValue().toString().trimmed().isEmpty() && deleted < 10) {
        xl.deleteSelectedRows();
        ++deleted;
    }
    EXPECT_EQ(deleted, 2);
    xl.selectColumns(QStringLiteral("A:A"));
    xl.showDialog(422);
    xl.saveActiveWorkbookAs(d.path(QStringLiteral("wiz.xlsx")));
    const QJsonObject facts = XlsxFacts(d.path(QStringLiteral("wiz.xlsx")));
    EXPECT_EQ(column(facts, 0), QStringList({"CODE", "A1"}));
    EXPECT_EQ(column(facts, 1), QStringList({"NAME", "Bolt"}));
}

TEST(SpreadsheetStandIn, AVisibleExcelShowsTheReopenedWorkbookWhenReleased) {
    Desk d;
    const QString text = d.report(QStringLiteral("r.txt"), {{"a"}, {"b"}});
    const QString saved = d.path(QStringLiteral("r.xlsx"));
    {
        ExcelApplication xl(d.standIns.create(QStringLiteral("excel.application")));
        xl.setVisible(true);
        xl.openText(text, false);
        xl.saveActiveWorkbookAs(saved);
        xl.closeActiveWorkbook();
        xl.reopenWorkbook(saved);
        EXPECT_TRUE(d.starter.started().empty());  // not before the delivery lets go
    }
    EXPECT_EQ(d.starter.commandLines(), QStringList({"xdg-open " + saved}));
    // Excel keeps running: the next delivery finds it, nothing is shown twice.
    { ExcelApplication again(d.standIns.running(QStringLiteral("excel.application"))); }
    EXPECT_EQ(d.starter.started().size(), 1u);
}

TEST(SpreadsheetStandIn, MacrosAndMissingFilesAreErrorsTheDeliveryCanTell) {
    Desk d;
    ExcelApplication xl(d.standIns.create(QStringLiteral("excel.application")));
    try {
        xl.run(QStringLiteral("'macros.xlsm'!Macro1"));
        ADD_FAILURE();
    } catch (const AutomationError& e) {
        EXPECT_EQ(e.number, OfficeMacros::kUnavailable);
        EXPECT_EQ(e.description, QStringLiteral("macros are not available on this platform"));
    }
    try {
        xl.openWorkbook(d.path(QStringLiteral("none.xlsm")));
        ADD_FAILURE();
    } catch (const AutomationError& e) {
        EXPECT_EQ(e.number, 1004);
    }
    EXPECT_EQ(d.standIns.running(QStringLiteral("Lotus123.Workbook")), nullptr);
}

TEST(SpreadsheetStandIn, AFailedSaveLeavesTheExistingWorkbookAndSaysSo) {
    Desk d;
    ExcelApplication xl(d.standIns.create(QStringLiteral("excel.application")));
    xl.openText(d.report(QStringLiteral("r.txt"), {{"new"}}), false);
    ExpectRefusedSaveKeepsTheFile(d, QStringLiteral("old.xlsx"), 1004,
                                  [&](const QString& target) { xl.saveActiveWorkbookAs(target + QStringLiteral(".xlsx")); });
}

// A sheet longer than a workbook may be is no workbook with its end cut off:
// the save fails and the earlier file of that name stays.
TEST(SpreadsheetStandIn, MoreRowsThanAWorkbookHoldsIsAFailedSave) {
    Desk d;
    const QString existing = d.path(QStringLiteral("big.xlsx"));
    writeBytes(existing, "the user's earlier file");
    const QString text = d.path(QStringLiteral("big.txt"));
    writeBytes(text, QByteArray("\r\n").repeated(1048576) + "LAST LINE\r\n");
    ExcelApplication xl(d.standIns.create(QStringLiteral("excel.application")));
    xl.openText(text, false);
    try {
        xl.saveActiveWorkbookAs(existing);
        ADD_FAILURE() << "saved";
    } catch (const AutomationError& e) {
        EXPECT_EQ(e.number, 1004);
        EXPECT_TRUE(e.description.contains(QStringLiteral("1048577 rows"))) << e.description.toStdString();
    }
    EXPECT_EQ(readBytes(existing), QByteArray("the user's earlier file"));
}

namespace {
// `pages` host pages of `length` lines, `width` characters wide: a title and
// lines of fixed-width fields.
QList<QStringList> longReport(int pages, int length, int width) {
    QList<QStringList> out;
    for (int p = 1; p <= pages; ++p) {
        QStringList page{QStringLiteral("STOCK VALUATION").leftJustified(width - 10) + QStringLiteral("PAGE %1").arg(p, 5)};
        for (int l = 2; l <= length; ++l) {
            QString line = QStringLiteral("%1  BOLT M8 X %2").arg(p * 100 + l, 7).arg(l, 3);
            for (int field = 0; line.size() + 12 <= width; ++field) line += QStringLiteral("%1").arg((l * 13 + field) % 5000 + 0.25, 12, 'f', 2);
            page << line;
        }
        out << page;
    }
    return out;
}

QJsonObject savedAfterTheDelivery(Desk& d, const QList<QStringList>& pages, bool parsed, const QString& name) {
    ExcelApplication xl(d.standIns.create(QStringLiteral("excel.application")));
    xl.openText(d.report(name + QStringLiteral(".txt"), pages), parsed);
    pagesAndFit(xl);
    xl.saveActiveWorkbookAs(d.path(name + QStringLiteral(".xlsx")));
    xl.closeActiveWorkbook();
    return XlsxFacts(d.path(name + QStringLiteral(".xlsx")));
}
}  // namespace

// A long report prints as a short one of its width does: at the same scale,
// one page across, each host page on a page of its own, past the manual
// breaks a sheet holds too.
TEST(SpreadsheetStandIn, EveryHostPageIsAPrintedPageAtTheScaleOfAShortReport) {
    struct Case {
        int width;
        bool parsed;
    };
    for (const Case c : {Case{80, false}, Case{132, true}}) {
        SCOPED_TRACE(c.width);
        Desk d;
        const QJsonObject shortOne = savedAfterTheDelivery(d, longReport(30, 66, c.width), c.parsed, QStringLiteral("short"));
        const QJsonObject longOne = savedAfterTheDelivery(d, longReport(1030, 66, c.width), c.parsed, QStringLiteral("long"));
        ASSERT_FALSE(shortOne.isEmpty());
        ASSERT_FALSE(longOne.isEmpty());
        const QJsonObject shortPage = shortOne.value(QStringLiteral("page")).toObject();
        const QJsonObject longPage = longOne.value(QStringLiteral("page")).toObject();
        EXPECT_EQ(longPage.value(QStringLiteral("scale")), shortPage.value(QStringLiteral("scale")));
        EXPECT_GT(shortPage.value(QStringLiteral("scale")).toInt(), 40);
        EXPECT_EQ(longPage.value(QStringLiteral("orientation")).toString(), c.width > 100 ? "landscape" : "portrait");
        const QJsonObject shortPrinted = shortOne.value(QStringLiteral("printed")).toObject();
        const QJsonObject longPrinted = longOne.value(QStringLiteral("printed")).toObject();
        EXPECT_EQ(shortPrinted.value(QStringLiteral("down")).toInt(), 30);
        EXPECT_EQ(shortPrinted.value(QStringLiteral("across")).toInt(), 1);
        EXPECT_EQ(longPrinted.value(QStringLiteral("down")).toInt(), 1030);
        EXPECT_EQ(longPrinted.value(QStringLiteral("across")).toInt(), 1);
        EXPECT_EQ(longOne.value(QStringLiteral("rowBreaks")).toArray().size(), 1023);
    }
}

// A record that is the mark's character alone is the report's text, not a page's end.
TEST(SpreadsheetStandIn, ARecordOfTheMarkAloneIsACellOfItsOwnText) {
    for (const bool parsed : {false, true}) {
        SCOPED_TRACE(parsed);
        Desk d;
        const QJsonObject facts =
            savedAfterTheDelivery(d, {{"TOTAL  12", kMark + QLatin1Char(' ')}, {"next page"}}, parsed, QStringLiteral("r"));
        EXPECT_EQ(column(facts, 0), QStringList({parsed ? "TOTAL" : "TOTAL  12", kMark, "next page"}));
        EXPECT_EQ(ints(facts.value(QStringLiteral("rowBreaks"))), QList<int>({2}));
    }
}

struct LotusCase {
    const char* name;
    const char* parseOption;
    QStringList columnA;
};
class LotusParse : public ::testing::TestWithParam<LotusCase> {};

TEST_P(LotusParse, OpensTheTextAsAskedAndShowsItKeepingTheMarks) {
    const LotusCase& c = GetParam();
    Desk d;
    const QString text = d.report(QStringLiteral("SPW00001.txt"), {{"ID  NAME", "7   Axe"}, {"9   Saw"}});
    {
        Lotus123Workbook wb(d.standIns.create(QStringLiteral("Lotus123.Workbook")));
        wb.setVisible(true);
        wb.setTextImport(QString::fromLatin1(c.parseOption));
        wb.activate();
        wb.openTextDocument(text);
    }
    const QString shown = d.path(QStringLiteral("shown/SPW00001.xlsx"));
    ASSERT_EQ(d.starter.commandLines(), QStringList({"xdg-open " + shown}));
    const QJsonObject facts = XlsxFacts(shown);
    EXPECT_EQ(column(facts, 0), c.columnA);
    // The mark's row stays, hidden, and starts the second page: two pages print.
    EXPECT_EQ(ints(facts.value(QStringLiteral("rowBreaks"))), QList<int>({2}));
    const QJsonObject printed = facts.value(QStringLiteral("printed")).toObject();
    EXPECT_EQ(ints(printed.value(QStringLiteral("hiddenRows"))), QList<int>({3}));
    EXPECT_EQ(printed.value(QStringLiteral("down")).toInt(), 2);
}

INSTANTIATE_TEST_SUITE_P(Options, LotusParse,
                         ::testing::Values(LotusCase{"Text", "$Text", {"ID  NAME", "7   Axe", kMark, "9   Saw"}},
                                           LotusCase{"AutoParse", "$AutoParse", {"ID", "7", kMark, "9"}},
                                           LotusCase{"LeftAsItIs", "", {"ID  NAME", "7   Axe", kMark, "9   Saw"}}),
                         [](const auto& info) { return std::string(info.param.name); });
