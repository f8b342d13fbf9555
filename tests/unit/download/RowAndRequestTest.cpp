#include <gtest/gtest.h>

#include "PlainSplfScreen.h"
#include "SpoolDownload.h"
#include "SpoolExchange.h"
#include "SpoolFileRow.h"
#include "TransferTestSupport.h"

namespace {
std::string cols(const std::string& s, int first, int last) {
    return s.substr(static_cast<size_t>(first - 1), static_cast<size_t>(last - first + 1));
}

struct Columns {
    int first, last;
    std::string text;
};
void expectColumns(const std::string& s, const std::vector<Columns>& expected) {
    for (const Columns& c : expected) EXPECT_EQ(cols(s, c.first, c.last), c.text) << c.first << "-" << c.last;
}

PlainSplfScreen& gridWith(PlainSplfScreen& s, const QString& pages, const QString& job, const QString& date) {
    AddGridRow(s, QStringLiteral("QSYSPRT"), job);
    s.grdSplf().setCellValue(1, QStringLiteral("Pages"), pages);
    s.grdSplf().setCellValue(1, QStringLiteral("Date"), date);
    return s;
}
}  // namespace

TEST(SpoolFileRow, BuiltFromAGridRowAtItsColumns) {
    PlainSplfScreen s;
    gridWith(s, QStringLiteral("    12"), QStringLiteral("QPRTJOB/0003"), QStringLiteral("2009/03/14 08:05:09"));
    const std::string row = SpoolFileRow::fromGrid(s.grdSplf(), 1, QStringLiteral("<Default>")).text();
    ASSERT_EQ(row.size(), 112u);
    expectColumns(row, {{1, 10, "QSYSPRT   "},
                        {12, 21, "JSMITH    "},
                        {23, 32, "PRT01     "},
                        {33, 37, "   12"},
                        {38, 47, "*STD      "},
                        {48, 57, "2009/03/14"},
                        {59, 66, "08:05:09"},
                        {68, 73, "004711"},
                        {75, 91, "QPRTJOB/0003     "},
                        {93, 102, "MONTHLY   "},
                        {103, 112, std::string(10, ' ')}});
    for (int c : {11, 22, 58, 67, 74, 92}) EXPECT_EQ(row[static_cast<size_t>(c - 1)], ' ') << c;
}

TEST(SpoolFileRow, TranslationNameIsTheEntrysLastTenCharacters) {
    PlainSplfScreen s;
    AddGridRow(s, QStringLiteral("QSYSPRT"), QStringLiteral("QPRTJOB/0003"));
    const std::string row = SpoolFileRow::fromGrid(s.grdSplf(), 1, QStringLiteral("From: USA/Canada    To: PC-USA   Q037337437")).text();
    EXPECT_EQ(cols(row, 103, 112), "Q037337437");
}

TEST(SpoolFileRow, JobNameAndSpooledFileNumberAsTheReadersTakeThem) {
    struct Case {
        const char* job;
        std::string jobName, number;
    } cases[] = {
        {"QPRTJOB/0003", "QPRTJOB   ", "0003"},
        {"ABCDEFGHIJ/0001", "ABCDEFGHIJ", "0001"},
        {"QPRT/12", "QPRT      ", "0012"},
        {"NOSLASH", "NOSLASH   ", ""},
    };
    for (const Case& c : cases) {
        SpoolFileRow::Fields f;
        f.job = c.job;
        const SpoolFileRow row = SpoolFileRow::fromFields(f);
        EXPECT_EQ(row.jobName(), c.jobName) << c.job;
        EXPECT_EQ(row.spooledFileNumber(), c.number) << c.job;
    }
}

// Columns 33-37 hold five digits of the pages; what a person reads holds them all.
TEST(SpoolFileRow, TheShownRowKeepsEveryDigitOfThePages) {
    // As the list gives them, right-aligned.
    for (const char* pages : {"42", "99999", "100000", "1234567"}) {
        SpoolFileRow::Fields f;
        f.file = "QSYSPRT";
        f.outq = "PRT01";
        f.pages = QString::fromLatin1(pages).rightJustified(6).toStdString();
        f.form = "*STD";
        const SpoolFileRow row = SpoolFileRow::fromFields(f);
        EXPECT_TRUE(row.shownText().simplified().split(u' ').contains(QString::fromLatin1(pages))) << row.shownText().toStdString();
        EXPECT_TRUE(row.shownText().contains(QStringLiteral("*STD")));
    }
}

TEST(PageNumber, OnlyWholePageNumbersCount) {
    const struct {
        const char* text;
        qint64 page;  // 0: not a page number
    } cases[] = {{"3", 3},        {" 7 ", 7},   {"9999999999", 9999999999LL}, {"*Start", 0}, {"*End", 0},
                 {"-5", 0},       {"1.5", 0},   {"1e3", 0},                   {"0", 0},      {"", 0},
                 {"12345678901", 0}, {"&H10", 0}, {"+4", 0}};
    for (const auto& c : cases) {
        const auto n = PageNumber(QString::fromLatin1(c.text));
        EXPECT_EQ(n.value_or(0), c.page) << c.text;
    }
}

TEST(SpoolDownloadRequest, ColumnsOfTheDownloadRequest) {
    SpoolDownloadRequest req;
    req.row = SampleRow();
    req.fromText = QStringLiteral("3");
    req.toText = QStringLiteral(" *End");
    req.convertMinus = true;
    req.suppressOverprint = true;
    const std::string r = req.build();
    ASSERT_EQ(r.size(), 124u);
    expectColumns(r, {{1, 10, std::string(10, ' ')},
                      {11, 11, "W"},
                      {12, 21, "QSYSPRT   "},
                      {22, 31, "QPADEV0001"},
                      {32, 41, "JSMITH    "},
                      {42, 47, "004711"},
                      {48, 51, "0003"},
                      {52, 61, "0000000003"},
                      {62, 71, "9999999999"},
                      {72, 73, "Y1"},
                      {74, 124, std::string(51, ' ')}});
}

TEST(SpoolDownloadRequest, AShortJobNameIsPaddedAndPagesThatNameNoPageAreTheWholeReport) {
    SpoolFileRow::Fields f;
    f.file = "QSYSPRT";
    f.job = "PAYROLL/0012";
    SpoolDownloadRequest req;
    req.row = SpoolFileRow::fromFields(f);
    for (const char* bad : {"*Start", "-5", "1.5", "1e3", "0"}) {
        req.fromText = QString::fromLatin1(bad);
        req.toText = QString::fromLatin1(bad);
        const std::string r = req.build();
        EXPECT_EQ(cols(r, 22, 31), "PAYROLL   ");
        EXPECT_EQ(cols(r, 48, 51), "0012");
        EXPECT_EQ(cols(r, 52, 71), "00000000019999999999") << bad;
        EXPECT_EQ(cols(r, 72, 73), "  ");
    }
}

TEST(SpoolDownloadRequest, ThePreviewCarriesTheTranslationTableInUpperCase) {
    SpoolFileRow::Fields f;
    f.file = "qsysprt";
    f.job = "qpadev0001/0003";
    f.translation = "q037337437";
    SpoolDownloadRequest req;
    req.code = 'P';
    req.row = SpoolFileRow::fromFields(f);
    req.withTranslation = true;
    req.upperCase = true;
    const std::string r = req.build();
    EXPECT_EQ(cols(r, 11, 21), "PQSYSPRT   ");
    EXPECT_EQ(cols(r, 74, 83), "Q037337437");
    EXPECT_EQ(cols(r, 84, 124), std::string(41, ' '));
}

TEST(SpoolRecordSlot, SlotsPerWidthAndBlankSlotsSkipped) {
    const struct {
        const char* code;
        int width, perBlock;
    } widths[] = {{" 80", 80, 11}, {"132", 132, 7}, {"198", 198, 4}, {"990", 990, 1}, {" 81", 0, 0}, {"   ", 0, 0}};
    for (const auto& w : widths) {
        EXPECT_EQ(RecordWidth(w.code), w.width) << w.code;
        EXPECT_EQ(SlotsPerBlock(w.width), w.perBlock) << w.code;
    }
    std::string data(1000, ' ');
    data.replace(0, 8, "001 LINE");
    data.replace(2 * 84, 8, "   1NEXT");
    std::vector<std::string> seen;
    ForEachRecord(data, 80, [&](const SpoolRecordSlot& s) {
        seen.push_back(std::string(s.skip) + "|" + std::string(s.spacing) + "|" + RightTrim(std::string(s.text)));
        EXPECT_EQ(s.text.size(), 80u);
    });
    EXPECT_EQ(seen, (std::vector<std::string>{"001| |LINE", "   |1|NEXT"}));
}

// The row keeps five columns for pages, but a report of 100,000 pages or more
// is still that long: it must not be stopped as a host that never ends.
TEST(SpoolFileRow, APageLimitHoldsEveryPageTheListNamed) {
    const struct {
        const char* pages;
        qint64 limit;
    } cases[] = {{"    12", 12}, {" 99999", 99999}, {"100001", 100001}, {"999999", 999999}, {"      ", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pages);
        PlainSplfScreen s;
        gridWith(s, QString::fromLatin1(c.pages), QStringLiteral("QPRTJOB/0003"), QStringLiteral("2009/03/14 08:05:09"));
        const SpoolFileRow row = SpoolFileRow::fromGrid(s.grdSplf(), 1, QStringLiteral("<Default>"));
        EXPECT_EQ(PageLimitOf(row), c.limit);
        EXPECT_EQ(row.text().size(), 112u);
    }
}
