#include <gtest/gtest.h>

#include "BatchRun.h"

using namespace BatchRun;

TEST(BatchCommandLine, OneLineIsSplitAtCommasAndTabsAndEmptyPartsAreDropped) {
    struct Case {
        const char* line;
        QStringList args;
    };
    const Case cases[] = {
        {"", {}},
        {",,\t,\t", {}},
        {"A,,B", {"A", "B"}},
        {"A, B", {"A", " B"}},
        {"\tSETS:x.spw\t,FILE:*ALL,", {"SETS:x.spw", "FILE:*ALL"}},
        {"a b c", {"a b c"}},
    };
    for (const Case& c : cases) EXPECT_EQ(GetCommandLineArgs(QString::fromLatin1(c.line)), c.args) << c.line;
    QStringList many;
    for (int i = 1; i <= 20; ++i) many << QString::number(i);
    EXPECT_EQ(GetCommandLineArgs(many.join(QLatin1Char(','))), many.mid(0, 17));
    EXPECT_EQ(GetCommandLineArgs(many.join(QLatin1Char(',')), 18), many.mid(0, 18));
}

// The program's own arguments: several are parameters each, commas and tabs
// included; one is the whole command line of the older, comma-separated form.
TEST(BatchCommandLine, SeveralArgumentsAreAParameterEachAndASingleOneIsTheWholeLine) {
    struct Case {
        const char* name;
        QStringList given;
        QStringList args;
    };
    const Case cases[] = {
        {"several keep their commas", {"SETS:/x/with,comma.spw", "NAME:Smith, Ann", "FILE:INV,OICE"},
         {"SETS:/x/with,comma.spw", "NAME:Smith, Ann", "FILE:INV,OICE"}},
        {"several keep their tabs and blanks", {"NAME:\ta b ", " FILE:A"}, {"NAME:\ta b ", " FILE:A"}},
        {"one is the whole line", {"SETS:a.spw,FILE:*ALL"}, {"SETS:a.spw", "FILE:*ALL"}},
        {"one of separators only", {",\t,"}, {}},
        {"none", {}, {}},
    };
    for (const Case& c : cases) EXPECT_EQ(BatchArguments(c.given), c.args) << c.name;
    QStringList twenty;
    for (int i = 1; i <= 20; ++i) twenty << QString::number(i);
    EXPECT_EQ(BatchArguments(twenty).size(), 18) << "an 18th is kept to be refused";
}

TEST(BatchCommandLine, EachParameterIsTypedByNameOrPlaceAndTheFirstBadOneIsNamed) {
    const QString start = QStringLiteral("2026/12/10 13:00:00");
    struct Case {
        const char* name;
        QStringList args;
        bool ok;
        QString badType;  // when not ok
        std::function<bool(const Parameters&)> holds;
    };
    const auto any = [](const Parameters&) { return true; };
    const Case cases[] = {
        {"named, lower-case type", {"sets:x.spw", "file:QSYSPRT"}, true, {},
         [](const Parameters& p) { return p.settings == QStringList{"x.spw"} && p.file == "QSYSPRT   "; }},
        {"positional", {"x.spw", "QSYSPRT", "QPADEV0001", "SWUSER", "123456", "3"}, true, {},
         [](const Parameters& p) {
             return p.job == "QPADEV0001" && p.user == "SWUSER    " && p.nbr == "123456" && p.seq == "0003 ";
         }},
        {"a blank before a positional value stays", {"x.spw", " QSYSPRT"}, true, {},
         [](const Parameters& p) { return p.file == " QSYSPRT  "; }},
        {"DATE with colons is one value", {"FILE:A", "DATE:2026/01/02 10:11:12"}, true, {},
         [](const Parameters& p) { return p.date == "2026/01/02 10:11:12"; }},
        {"DATE by position", {"x.spw", "A", "J", "U", "1", "2", "2026/01/02 10:11:12"}, true, {},
         [](const Parameters& p) { return p.date == "2026/01/02 10:11:12"; }},
        {"an empty positional value", {"x.spw", "A", " "}, false, "3", any},
        {"a path with a colon by position", {"/srv/a:b.spw", "FILE:A"}, true, {},
         [](const Parameters& p) { return p.settings == QStringList{"/srv/a:b.spw"}; }},
        {"a drive letter is a named type", {"D:\\x.spw", "FILE:A"}, false, "D", any},
        {"no DATE: the start time", {"FILE:A"}, true, {},
         [start](const Parameters& p) { return p.date == start; }},
        {"*ALL", {"SETS:a.spw", "FILE:*ALL"}, true, {}, [](const Parameters& p) { return p.wholeQueue(); }},
        {"*all is a file name", {"FILE:*all"}, true, {}, [](const Parameters& p) { return !p.wholeQueue(); }},
        {"NAME any length", {"FILE:A", "NAME:a very long base name"}, true, {},
         [](const Parameters& p) { return p.name == "a very long base name"; }},
        {"unknown type", {"FILE:A", "COLOUR:blue"}, false, "COLOUR", any},
        {"empty value", {"FILE:"}, false, "FILE", any},
        {"FILE too long is never cut", {"FILE:QSYSPRTXXXX"}, false, "FILE", any},
        {"JOB too long", {"FILE:A", "JOB:ABCDEFGHIJK"}, false, "JOB", any},
        {"SEQ 0", {"FILE:A", "SEQ:0"}, false, "SEQ", any},
        {"SEQ 10000", {"FILE:A", "SEQ:10000"}, false, "SEQ", any},
        {"SEQ not a number", {"FILE:A", "SEQ:x"}, false, "SEQ", any},
        {"DATE in another form", {"FILE:A", "DATE:10.12.2026 13:00"}, false, "DATE", any},
        {"DATE that is no date", {"FILE:A", "DATE:2026/02/30 10:00:00"}, false, "DATE", any},
        {"tenth positional", {"a", "b", "c", "d", "e", "1", "2026/01/02 10:11:12", "h", "i", "j"}, false, "10", any},
        {"no FILE", {"SETS:a.spw"}, false, "FILE", any},
        // Parts of PC file names in "Save Path": no folder of their own.
        {"NAME leading up", {"FILE:A", "NAME:../x"}, false, "NAME", any},
        {"NAME with a folder", {"FILE:A", "NAME:sub/x"}, false, "NAME", any},
        {"NAME with a backslash", {"FILE:A", "NAME:..\\x"}, false, "NAME", any},
        {"DATA with a folder", {"FILE:A", "DATA:../etc"}, false, "DATA", any},
        {"NAME with an escape sequence", {"FILE:A", "NAME:a\x1b[31mb"}, false, "NAME", any},
        {"DATA with a tab", {"FILE:A", "DATA:a\tb"}, false, "DATA", any},
        {"NAME with dots but no folder", {"FILE:A", "NAME:v1..2"}, true, {},
         [](const Parameters& p) { return p.name == "v1..2"; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Parameters p;
        BadParameter bad;
        const bool ok = ReadParameters(c.args, start, p, bad);
        EXPECT_EQ(ok, c.ok);
        if (!c.ok) {
            EXPECT_EQ(bad.type, c.badType);
        } else if (ok) {
            EXPECT_TRUE(c.holds(p));
        }
    }
    QStringList eighteen{"FILE:A"};
    for (int i = 0; i < 17; ++i) eighteen << QStringLiteral("DATA:x");
    Parameters p;
    BadParameter bad;
    EXPECT_FALSE(ReadParameters(eighteen, start, p, bad)) << "an 18th argument is never dropped";
    EXPECT_EQ(bad.type, "18");
}

TEST(BatchCommandLine, TheSpooledFileRowHoldsEachParameterInItsColumns) {
    Parameters p;
    BadParameter bad;
    ASSERT_TRUE(ReadParameters({"FILE:QSYSPRT", "JOB:PAYROLL", "USER:SWUSER", "NBR:123456", "SEQ:12",
                                "DATE:2026/01/02 10:11:12", "DATA:MONTHLY"},
                               QString(), p, bad));
    const std::string row = BatchRow(p);
    ASSERT_EQ(row.size(), 102u) << "never trimmed";
    EXPECT_EQ(row.substr(0, 10), "QSYSPRT   ");
    EXPECT_EQ(row.substr(11, 10), "SWUSER    ");
    EXPECT_EQ(row.substr(22, 25), std::string(25, ' '));
    EXPECT_EQ(row.substr(47, 19), "2026/01/02 10:11:12");
    EXPECT_EQ(row.substr(67, 6), "123456");
    EXPECT_EQ(row.substr(74, 13), "PAYROLL/0012 ");
    EXPECT_EQ(row.substr(92, 10), "MONTHLY   ");

    // A missing FILE or USER leaves every other field in its columns.
    Parameters q;
    ASSERT_TRUE(ReadParameters({"FILE:A", "NBR:000001", "JOB:ABCDEFGHIJ", "SEQ:9999", "DATA:D"}, QString(), q, bad));
    const std::string r = BatchRow(q);
    EXPECT_EQ(r.substr(67, 6), "000001");
    EXPECT_EQ(r.substr(74, 16), "ABCDEFGHIJ/9999 ");
    EXPECT_EQ(r.substr(92, 10), "D         ");
}
