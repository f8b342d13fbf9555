#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "HostLink.h"
#include "ListRecords.h"
#include "OpenSelection.h"

namespace {
std::string pad(const std::string& s, size_t n) { return HostWire::field(s, n); }

// A reply: parts laid end to end in the data area, then the control area.
std::string reply(const std::vector<std::string>& parts, const std::string& control) {
    std::string data;
    for (const std::string& s : parts) data += s;
    return pad(data, 1000) + pad(control, 24);
}

std::string outqSlot(const std::string& q, const std::string& lib, const std::string& text) {
    return pad(q, 10) + pad(lib, 10) + pad(text, 50);
}

struct SplfFields {
    std::string file, job, user, jobNo, outq, form, century, date, time, splfNo, pages, userData;
};
std::string splfSlot(const SplfFields& f) {
    return pad(f.file, 10) + pad(f.job, 10) + pad(f.user, 10) + pad(f.jobNo, 6) + pad(f.outq, 10) + pad(f.form, 10) +
           pad(f.century, 1) + pad(f.date, 6) + pad(f.time, 6) + "XXXXX" + pad(f.splfNo, 4) + "YYY" + pad(f.pages, 6) +
           pad(f.userData, 10);
}
SplfFields sample() {
    return {"QSYSPRT", "PAYROLL", "JSMITH", "123456", "PRT01", "*STD", "1", "040315", "142207", "0003", "000120",
            "MONTH END "};
}
}  // namespace

TEST(OutqRequest, TheListAndTheCheckOfAQueueArePaddedToTheirColumnsAndCut) {
    const std::string list = OutqListRequest("QGPL");
    EXPECT_EQ(list.size(), 124u);
    EXPECT_EQ(list, pad("*ALL      QQGPL", 124));
    // The check form pads or cuts the queue to 10 and keeps the library text as keyed.
    EXPECT_EQ(OutqQueryRequest("PRT01", "*LIBL"), pad("PRT01     Q*LIBL", 124));
    EXPECT_EQ(OutqQueryRequest("ABCDEFGHIJKL", "LIB"), pad("ABCDEFGHIJQLIB", 124));
    // A library text reaching past column 100 is cut there: 101-124 stay blank.
    const std::string longLib = OutqListRequest(std::string(120, 'L'));
    EXPECT_EQ(longLib.substr(11, 89), std::string(89, 'L'));
    EXPECT_EQ(longLib.substr(100), std::string(24, ' '));
}

TEST(OutqSlots, RowsOfABlock) {
    struct Case {
        const char* name;
        std::vector<std::string> parts;
        QStringList rows;
    };
    const std::string q1 = outqSlot("QPRINT", "QGPL", "Default printer");
    const std::string descOnly = outqSlot("", "", "Only a description");
    const std::string blank(70, ' ');
    const Case cases[] = {
        {"one slot", {q1}, {QString::fromLatin1("QPRINT     QGPL       Default printer") + QString(35, ' ')}},
        {"description only counts", {descOnly}, {QString(22, ' ') + QString::fromLatin1(pad("Only a description", 50).c_str())}},
        {"empty slot ends the block", {q1, blank, q1}, {QString::fromLatin1(OutqListSlot::row(q1).toLatin1())}},
        {"no slot", {}, {}},
        {"fourteen full parts", std::vector<std::string>(14, q1), QStringList(14, OutqListSlot::row(q1))},
    };
    for (const Case& c : cases) {
        const QStringList rows = outqListRows(reply(c.parts, "(END)"));
        EXPECT_EQ(rows, c.rows) << c.name;
        for (const QString& r : rows) EXPECT_EQ(r.size(), 72) << c.name;
    }
}

TEST(OutqSlots, CheckLibraryIsTheFirstSlotsLibrary) {
    EXPECT_EQ(outqCheckLibrary(reply({outqSlot("PRT01", "MYLIB", "x")}, "(END)")), QStringLiteral("MYLIB"));
    EXPECT_EQ(outqCheckLibrary(reply({}, "(INVALID)")), QString());
}

TEST(ListBlocks, MoreOrInvalidAnywhereInTheControlAreaAndAnythingElseEndsTheList) {
    EXPECT_EQ(listBlockEnd(reply({}, "(MORE)")), ListBlockEnd::More);
    EXPECT_EQ(listBlockEnd(reply({}, "  (MORE)  ")), ListBlockEnd::More);
    EXPECT_EQ(listBlockEnd(reply({}, "(INVALID)")), ListBlockEnd::Invalid);
    EXPECT_EQ(listBlockEnd(reply({}, "(END)")), ListBlockEnd::End);
    EXPECT_EQ(listBlockEnd(reply({}, "")), ListBlockEnd::End);
}

TEST(SpoolListRequestLayout, QueueLibraryAndUserStandInTheirColumnsCutToTheirWidths) {
    const std::string r = SpoolListRequest("PRT01", "QGPL", "*CURRENT");
    EXPECT_EQ(r, pad("PRT01     FQGPL      *CURRENT", 124));
    const std::string cut = SpoolListRequest("ABCDEFGHIJK", "LIBRARYNAME1", std::string(90, 'U'));
    EXPECT_EQ(cut.substr(0, 21), "ABCDEFGHIJFLIBRARYNAM");
    EXPECT_EQ(cut.substr(21, 79), std::string(79, 'U'));
    EXPECT_EQ(cut.substr(100), std::string(24, ' '));
}

TEST(SpoolSlots, DecodesEveryField) {
    struct Case {
        const char* name;
        SplfFields in;
        QString date, pages, job, userData;
    };
    auto with = [](auto f) {
        SplfFields s = sample();
        f(s);
        return s;
    };
    const Case cases[] = {
        {"sample", sample(), "2004/03/15    14:22:07", "   120", "PAYROLL/0003", "MONTH END "},
        {"century 0 is 19xx", with([](SplfFields& s) { s.century = "0"; s.date = "991231"; }), "1999/12/31    14:22:07",
         "   120", "PAYROLL/0003", "MONTH END "},
        {"blank century is 20xx", with([](SplfFields& s) { s.century = " "; s.date = "050101"; }),
         "2005/01/01    14:22:07", "   120", "PAYROLL/0003", "MONTH END "},
        {"no pages keeps the last 0", with([](SplfFields& s) { s.pages = "000000"; }), "2004/03/15    14:22:07",
         "     0", "PAYROLL/0003", "MONTH END "},
        {"inner zeros stay", with([](SplfFields& s) { s.pages = "012305"; }), "2004/03/15    14:22:07", " 12305",
         "PAYROLL/0003", "MONTH END "},
        {"user data keeps blanks", with([](SplfFields& s) { s.userData = "  AB"; }), "2004/03/15    14:22:07", "   120",
         "PAYROLL/0003", "  AB      "},
        {"trimmed job parts", with([](SplfFields& s) { s.job = " QPADEV01"; }), "2004/03/15    14:22:07", "   120",
         "QPADEV01/0003", "MONTH END "},
    };
    for (const Case& c : cases) {
        SpoolListEntry e;
        ASSERT_TRUE(SpoolListSlot::decode(splfSlot(c.in), e)) << c.name;
        EXPECT_EQ(e.date, c.date) << c.name;
        EXPECT_EQ(e.pages, c.pages) << c.name;
        EXPECT_EQ(e.job, c.job) << c.name;
        EXPECT_EQ(e.userData, c.userData) << c.name;
        EXPECT_EQ(e.file, QStringLiteral("QSYSPRT")) << c.name;
        EXPECT_EQ(e.user, QStringLiteral("JSMITH")) << c.name;
        EXPECT_EQ(e.jobNumber, QStringLiteral("123456")) << c.name;
        EXPECT_EQ(e.outq, QStringLiteral("PRT01")) << c.name;
        EXPECT_EQ(e.form, QStringLiteral("*STD")) << c.name;
        EXPECT_TRUE(e.refusal().isEmpty()) << c.name;
    }
}

TEST(SpoolSlots, EmptyIsJudgedOnTheFirst87Columns) {
    SpoolListEntry e;
    EXPECT_FALSE(SpoolListSlot::decode(std::string(87, ' ') + "USERDATA10", e));
    EXPECT_TRUE(SpoolListSlot::decode(std::string(86, ' ') + "1" + std::string(10, ' '), e));
}

TEST(SpoolSlots, BlocksEndAtTheFirstEmptySlot) {
    const std::string s = splfSlot(sample());
    const std::string blank(97, ' ');
    struct Case {
        const char* name;
        std::string reply;
        size_t count;
    };
    const Case cases[] = {
        {"ten full", reply(std::vector<std::string>(10, s), "(MORE)"), 10},
        {"third blank ends early", reply({s, s, blank, s, s, s, s, s, s, s}, "(MORE)"), 2},
        {"invalid block", reply({}, "(INVALID)"), 0},
        {"first blank", reply({blank, s}, "(END)"), 0},
    };
    for (const Case& c : cases) EXPECT_EQ(spoolListEntries(c.reply).size(), c.count) << c.name;
}

// Rows of a block that repeat most of the row before (its user, queue,
// date): each row shows its own slot, whichever one field differs.
TEST(SpoolSlots, EachRowOfABlockIsItsOwnSlot) {
    std::vector<SplfFields> rows(10, sample());
    rows[1].file = "QPRTSPLF";
    rows[2].job = "INVOICES";
    rows[3].user = "AJONES";
    rows[4].jobNo = "123457";
    rows[5].outq = "PRT02";
    rows[6].form = "*INV";
    rows[7].century = "0";
    rows[8].time = "142208";
    rows[9].splfNo = "0004";
    rows[9].pages = "000121";
    rows[9].userData = "YEAR END  ";
    std::vector<std::string> slotTexts;
    for (const SplfFields& f : rows) slotTexts.push_back(splfSlot(f));
    const std::vector<SpoolListEntry> entries = spoolListEntries(reply(slotTexts, "(MORE)"));
    ASSERT_EQ(entries.size(), rows.size());
    for (size_t i = 0; i < rows.size(); ++i) {
        SpoolListEntry alone;
        ASSERT_TRUE(SpoolListSlot::decode(slotTexts[i], alone));
        const SpoolListEntry& e = entries[i];
        EXPECT_EQ(QStringList({e.date, e.file, e.user, e.outq, e.pages, e.form, e.jobNumber, e.job, e.userData,
                               e.jobName, e.splfNumber}),
                  QStringList({alone.date, alone.file, alone.user, alone.outq, alone.pages, alone.form, alone.jobNumber,
                               alone.job, alone.userData, alone.jobName, alone.splfNumber}))
            << "row " << i;
    }
    EXPECT_EQ(entries[2].job, QStringLiteral("INVOICES/0003"));
    EXPECT_EQ(entries[9].job, QStringLiteral("PAYROLL/0004"));
    EXPECT_EQ(entries[7].date.left(2), QStringLiteral("19"));
}

TEST(SpoolSlots, RefusesWhatADownloadCouldNotName) {
    struct Case {
        const char* job;
        const char* number;
        bool refused;
    };
    const Case cases[] = {
        {"PAYROLL", "0001", false}, {"PAYROLL", "9999", false}, {"PAYROLL", "12", false},
        {"PAYROLL", "0000", true},  {"PAYROLL", "", true},      {"PAYROLL", "12A4", true},
        {"PAYROLL", "-001", true},  {"PAY/ROLL", "0001", true}, {"", "0001", true},
    };
    for (const Case& c : cases) {
        SplfFields f = sample();
        f.job = c.job;
        f.splfNo = c.number;
        SpoolListEntry e;
        ASSERT_TRUE(SpoolListSlot::decode(splfSlot(f), e));
        EXPECT_EQ(!e.refusal().isEmpty(), c.refused) << c.job << " " << c.number;
    }
}

TEST(Selection, NormalisesAndFillsIn) {
    struct Case {
        SpoolSelection in;
        bool valid;
        SpoolSelection out;
    };
    const Case cases[] = {
        {{"", "", "jsmith"}, true, {"*ALL", "", "JSMITH"}},
        {{"prt01", "", ""}, false, {"PRT01", "", "*ALL"}},
        {{" all ", "qgpl", "current"}, true, {"*ALL", "", "*CURRENT"}},
        {{"prt01", " mylib ", "all"}, true, {"PRT01", "MYLIB", "*ALL"}},
        {{"prt01", "*libl", ""}, true, {"PRT01", "*LIBL", "*ALL"}},
        {{"", "QGPL", ""}, false, {"", "QGPL", ""}},
        {{"", "", ""}, false, {"", "", ""}},
    };
    for (const Case& c : cases) {
        SpoolSelection s = c.in;
        EXPECT_EQ(normaliseSelection(s), c.valid) << c.in.outq.toStdString();
        EXPECT_EQ(s.outq, c.out.outq);
        EXPECT_EQ(s.library, c.out.library);
        EXPECT_EQ(s.user, c.out.user);
    }
    EXPECT_EQ(splfScreenCaption("", "*ALL", "JSMITH"), QStringLiteral("iSeries Spool Files - /*ALL/JSMITH"));
}
