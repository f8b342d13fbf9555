#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QTemporaryDir>

#include "OfficeAutomation.h"
#include "OfficeFiles.h"
#include "OfficeStandIns.h"
#include "RecordingProcessStarter.h"
#include "StandInTesting.h"

namespace {
// The page-break loop and fitting of the Excel delivery, as calls.
void pagesAndFit(ExcelApplication& xl) {
    xl.selectRange(QStringLiteral("A1"));
    try {
        xl.findAndActivate(kMark);
        for (int guard = 0; guard < 1000; ++guard) {
            xl.deleteSelectedRows();
            xl.addPageBreakBeforeActiveCell();
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
};
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
        xl.saveActiveWorkbookAs(d.path(QStringLiteral("report.xlsx")));
        xl.closeActiveWorkbook();
    }
    const QJsonObject facts = XlsxFacts(d.path(QStringLiteral("report.xlsx")));
    ASSERT_FALSE(facts.isEmpty());
    const QStringList lines = LinesOf(c.pages);
    EXPECT_EQ(column(facts, 0), lines);
    EXPECT_FALSE(column(facts, 0).join(QString()).contains(kMark));
    EXPECT_EQ(ints(facts.value(QStringLiteral("rowBreaks"))), c.rowBreaks);
    qsizetype longest = 0;
    for (const QString& l : lines) longest = std::max(longest, l.size());
    const double width = facts.value(QStringLiteral("widths")).toObject().value(QStringLiteral("A")).toDouble();
    EXPECT_GE(width, static_cast<double>(longest));
    EXPECT_LE(width, static_cast<double>(longest) + 2.5);
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
        SheetCase{"BlankLinesKept", {{"", "after a blank"}, {"", "last"}}, {2}}),
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
    EXPECT_EQ(column(facts, 2), QStringList({"PRICE", "0.40", "1.10"}));
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
    EXPECT_EQ(column(XlsxFacts(shown), 0), c.columnA);
}

INSTANTIATE_TEST_SUITE_P(Options, LotusParse,
                         ::testing::Values(LotusCase{"Text", "$Text", {"ID  NAME", "7   Axe", kMark, "9   Saw"}},
                                           LotusCase{"AutoParse", "$AutoParse", {"ID", "7", kMark, "9"}},
                                           LotusCase{"LeftAsItIs", "", {"ID  NAME", "7   Axe", kMark, "9   Saw"}}),
                         [](const auto& info) { return std::string(info.param.name); });
