#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <functional>
#include <QTemporaryDir>

#include "HostSimCommandLine.h"
#include "HostSimFixture.h"
#include "JobSession.h"
#include "SpoolStore.h"

namespace {
std::string pad(const std::string& s, size_t n) { return HostReply::field(s, n); }
std::string request(const std::string& body) { return pad(body, 124); }
std::string rtrim(std::string s) { return s.erase(s.find_last_not_of(' ') + 1); }
std::string control(const std::string& reply) { return reply.substr(1000, 24); }
std::string slot(const std::string& reply, size_t length, size_t n) { return reply.substr(length * (n - 1), length); }

std::string splf(const std::string& attributes, const std::vector<std::string>& records) {
    std::string s = attributes + "[records]\n";
    for (const std::string& r : records) s += r + "\n";
    return s;
}

std::string downloadBody(char code, const std::string& file, const std::string& job, const std::string& user,
                         const std::string& number, const std::string& splfNumber, const std::string& from = "0000000001",
                         const std::string& to = "9999999999", const std::string& flags = "  ") {
    return pad("", 10) + code + pad(file, 10) + pad(job, 10) + pad(user, 10) + number + splfNumber + from + to + flags;
}

class JobSessionTest : public ::testing::Test {
protected:
    void write(const QString& lib, const QString& outq, const QString& file, const std::string& content) {
        HostSimFixture::writeSpooledFile(dir.path(), lib, outq, file, content);
    }
    std::string ask(const std::string& body) { return *session.answer(request(body)); }

    QTemporaryDir dir;
    SpoolStore store{dir.path()};
    HostSimFaults faults;
    JobSession session{store, "swuser", 2, faults};
};

TEST(HostReplyLayout, SpoolListSlotColumns) {
    SpooledFileInfo f;
    f.name = "PAYROLL";
    f.job = "PAYJOB";
    f.user = "JSMITH";
    f.jobNumber = "123456";
    f.outq = "QPRINT";
    f.formType = "*STD";
    f.date = "20040315";
    f.time = "142207";
    f.number = 3;
    f.pages = 120;
    f.userData = "MONTH  ";
    const std::string s = HostReply::spoolListSlot(f);
    ASSERT_EQ(s.size(), 97u);
    EXPECT_EQ(s.substr(0, 10), "PAYROLL   ");
    EXPECT_EQ(s.substr(10, 10), "PAYJOB    ");
    EXPECT_EQ(s.substr(20, 10), "JSMITH    ");
    EXPECT_EQ(s.substr(30, 6), "123456");
    EXPECT_EQ(s.substr(36, 10), "QPRINT    ");
    EXPECT_EQ(s.substr(46, 10), "*STD      ");
    EXPECT_EQ(s.substr(56, 13), "1040315142207");
    EXPECT_EQ(s.substr(69, 5), "     ");
    EXPECT_EQ(s.substr(74, 4), "0003");
    EXPECT_EQ(s.substr(81, 6), "000120");
    EXPECT_EQ(s.substr(87, 10), "MONTH     ");
    f.date = "19991231";
    EXPECT_EQ(HostReply::spoolListSlot(f).substr(56, 7), "0991231");
}

TEST(HostReplyLayout, ControlAreaCarriesTheWidthCodeInItsLastColumns) {
    const std::string r = HostReply::make("data", "(MORE)", HostReply::widthCode(80));
    ASSERT_EQ(r.size(), 1024u);
    EXPECT_EQ(r.substr(0, 4), "data");
    EXPECT_EQ(control(r), pad("(MORE)", 21) + " 80");
    EXPECT_EQ(HostReply::widthCode(990), "990");
    EXPECT_EQ(control(HostReply::make({}, "(INVALID)")), pad("(INVALID)", 24));
}

TEST(HostReplyLayout, RightSideMinusMovesToTheFront) {
    const std::pair<std::string, std::string> cases[] = {
        {"Total   1,234.56-  ok", "Total   -1,234.56  ok"},
        {"  125.00CR", "   -125.00"},
        {"12-", "-12"},
        {"no sign 45.00 here", "no sign 45.00 here"},
        {"PART-12- A12-", "PART-12- A12-"},  // a part number, not an amount
        {"1-2", "1-2"},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(HostReply::convertRightMinus(in), out) << in;
}

TEST(SpoolStoreRules, PagesStartWhereASkipGoesUpThePage) {
    struct Case {
        std::vector<std::string> records;
        std::vector<int> pages;
    };
    const Case cases[] = {
        {{"001 a", "   1b", "006 c", "001 d", "   2e"}, {1, 1, 1, 2, 2}},
        {{"   1a", "   1b", "002 c"}, {1, 1, 2}},                 // line 3 then a skip to 2
        {{"005 a", "005 b", "003 c"}, {1, 1, 2}},                 // a skip to the same line stays
        {{"060 a", "", "001 b"}, {1, 1, 2}},                      // an empty slot keeps its page
    };
    for (const Case& c : cases) {
        std::vector<SpoolRecord> recs;
        for (const std::string& r : c.records) {
            SpoolRecord rec;
            if (r.empty()) rec.empty = true;
            else {
                rec.skip = r.substr(0, 3);
                rec.space = r[3];
                rec.text = r.substr(4);
            }
            recs.push_back(rec);
        }
        SpoolStore::numberPages(recs);
        std::vector<int> pages;
        for (const SpoolRecord& r : recs) pages.push_back(r.page);
        EXPECT_EQ(pages, c.pages);
    }
}

TEST_F(JobSessionTest, AttributesDefaultsAndUserDataKeepsItsBlanks) {
    write("qgpl", "qprint", "daily.splf", splf("user=jsmith\nuserdata=  AB  \n", {"001 " + std::string(120, 'x')}));
    const auto files = store.spooledFiles(store.outputQueues("QGPL").at(0));
    ASSERT_EQ(files.size(), 1u);
    const SpooledFileInfo& f = files[0];
    EXPECT_EQ(f.name, "DAILY");
    EXPECT_EQ(f.user, "JSMITH");
    EXPECT_EQ(f.userData, "  AB  ");
    EXPECT_EQ(f.width, 132);  // from the longest record
    EXPECT_EQ(f.pages, 1);
    EXPECT_EQ(f.outq, "QPRINT");
    EXPECT_EQ(f.library, "QGPL");
}

// A value that its wire field cannot hold is never cut to fit: the file is left
// out with the reason, and the host goes on serving the others.
TEST_F(JobSessionTest, ValuesTooLargeForTheirFieldsLeaveTheFileOut) {
    struct Case {
        std::string attributes;
        bool served;
        const char* reason;
    } cases[] = {
        {"number=99999999999\n", false, "number 99999999999 does not fit its 4-digit field"},
        {"number=10000\n", false, "number 10000 does not fit its 4-digit field"},
        {"pages=1000000\n", false, "pages 1000000 does not fit its 6-digit field"},
        {"pages=99999999999999999999\n", false, "pages 99999999999999999999 does not fit its 6-digit field"},
        {"jobnumber=1234567\n", false, "jobnumber 1234567 does not fit its 6 columns"},
        {"width=991\n", false, "width 991 is more than the widest record, 990"},
        {"width=99999999999\n", false, "width 99999999999 does not fit its 3-digit field"},
        {"number=0009999\npages=999999\njobnumber=123456\nwidth=990\n", true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.attributes);
        QTemporaryDir spool;
        HostSimFixture::writeSpooledFile(spool.path(), "QGPL", "QPRINT", "big.splf", splf(c.attributes, {"001 x"}));
        HostSimFixture::writeSpooledFile(spool.path(), "QGPL", "QPRINT", "plain.splf", splf("", {"001 y"}));
        SpoolStore s(spool.path());
        QStringList heard;
        s.onProblem = [&](const QString& what) { heard << what; };
        std::vector<std::string> names;
        for (const SpooledFileInfo& f : s.spooledFiles(s.outputQueues("QGPL").at(0))) names.push_back(f.name);
        const QStringList heardInList = heard;
        // Its download is refused like any file the host does not have.
        heard.clear();
        JobSession js{s, "swuser", 2, faults};
        const std::string reply = *js.answer(request(downloadBody(
            'W', "BIG", "QPRTJOB", "QUSER", c.served ? "123456" : "000001", c.served ? "9999" : "0001")));
        EXPECT_EQ(control(reply).substr(0, 9) == "(INVALID)", !c.served);
        if (c.served) {
            EXPECT_EQ(names, (std::vector<std::string>{"BIG", "PLAIN"}));
            EXPECT_TRUE(heardInList.isEmpty());
            continue;
        }
        EXPECT_EQ(names, std::vector<std::string>{"PLAIN"});
        ASSERT_EQ(heardInList.size(), 1);
        EXPECT_TRUE(heardInList[0].endsWith("big.splf: " + QString::fromLatin1(c.reason))) << heardInList[0].toStdString();
        int leftOut = 0;
        EXPECT_TRUE(HostSimCommandLine::listing(spool.path(), &leftOut).contains("big.splf left out: " + QString::fromLatin1(c.reason)));
        EXPECT_EQ(leftOut, 1);
    }
}

TEST_F(JobSessionTest, OutputQueueListAndCheck) {
    for (int i = 0; i < 16; ++i) QDir().mkpath(dir.filePath(QStringLiteral("MYLIB/Q%1").arg(i, 2, 10, QLatin1Char('0'))));
    QDir().mkpath(dir.filePath("OTHER/Q05"));
    QDir().mkpath(dir.filePath("OTHER/ONLYHERE"));
    {
        QFile libl(dir.filePath("libl"));
        ASSERT_TRUE(libl.open(QIODevice::WriteOnly));
        libl.write("OTHER\nMYLIB\n");
    }
    // List form: 14 slots, then the identical request gives the other 2.
    const std::string list = "*ALL      QMYLIB";
    std::string r = ask(list);
    EXPECT_EQ(control(r), pad("(MORE)", 24));
    EXPECT_EQ(slot(r, 70, 1), pad("Q00       MYLIB", 70));
    EXPECT_EQ(slot(r, 70, 14).substr(0, 3), "Q13");
    r = ask(list);
    EXPECT_EQ(control(r), pad("(END)", 24));
    EXPECT_EQ(slot(r, 70, 2).substr(0, 3), "Q15");
    EXPECT_EQ(slot(r, 70, 3), std::string(70, ' '));
    // Check form: the library where the library list finds the queue first.
    const std::pair<std::string, std::string> checks[] = {
        {"Q05       Q*LIBL", "Q05       OTHER     "},
        {"Q05       QMYLIB", "Q05       MYLIB     "},
        {"ONLYHERE  Q*LIBL", "ONLYHERE  OTHER     "},
        {"Q05       QQUSRLIBL", "Q05       OTHER     "},
    };
    for (const auto& [body, expected] : checks) {
        r = ask(body);
        EXPECT_EQ(r.substr(0, 20), expected) << body;
        EXPECT_EQ(control(r), pad("(END)", 24)) << body;
    }
    for (const std::string body : {"NOSUCH    Q*LIBL", "*ALL      QNOSUCHLIB", "Q05       QNOSUCHLIB"})
        EXPECT_EQ(control(ask(body)), pad("(INVALID)", 24)) << body;
}

TEST_F(JobSessionTest, SpooledFileListFiltersByUserAndContinues) {
    for (int i = 1; i <= 13; ++i)
        write("QGPL", "QPRINT", QStringLiteral("f%1.splf").arg(i, 2, 10, QLatin1Char('0')),
              splf("name=R" + std::to_string(i) + "\nuser=" + (i % 2 ? "SWUSER" : "OTHER") + "\npages=2\n", {}));
    write("QGPL", "PRT2", "x.splf", splf("name=X\nuser=SWUSER\n", {"001 x"}));
    struct Case {
        std::string body;
        std::vector<int> blockSizes;
        std::string firstName;
    };
    const Case cases[] = {
        {"QPRINT    FQGPL      *ALL", {10, 3}, "R1"},
        {"QPRINT    FQGPL      *CURRENT", {7}, "R1"},
        {"QPRINT    FQGPL      other", {6}, "R2"},
        {"*ALL      FQGPL      *CURRENT", {8}, "X"},  // PRT2 comes before QPRINT
        {"QPRINT    FQGPL      NOBODY", {0}, ""},
    };
    for (const Case& c : cases) {
        std::vector<int> sizes;
        std::string first;
        for (int block = 0; block < 5; ++block) {
            const std::string r = ask(c.body);
            int n = 0;
            while (n < 10 && slot(r, 97, n + 1).substr(0, 87).find_first_not_of(' ') != std::string::npos) ++n;
            if (block == 0) first = HostText::trimmed(slot(r, 97, 1).substr(0, 10));
            sizes.push_back(n);
            if (control(r).compare(0, 5, "(END)") == 0) break;
            EXPECT_EQ(control(r), pad("(MORE)", 24));
        }
        EXPECT_EQ(sizes, c.blockSizes) << c.body;
        EXPECT_EQ(first, c.firstName) << c.body;
    }
    EXPECT_EQ(control(ask("NOSUCHQ   FQGPL      *ALL")), pad("(INVALID)", 24));
}

TEST_F(JobSessionTest, DownloadSlotsForEachWidth) {
    struct Case {
        int width;
        size_t perBlock;
        std::string code;
    };
    for (const Case& c : {Case{80, 11, " 80"}, Case{132, 7, "132"}, Case{198, 4, "198"}, Case{990, 1, "990"}}) {
        std::vector<std::string> recs;
        for (size_t i = 0; i < c.perBlock + 1; ++i) recs.push_back((i == 0 ? "001 " : "   1") + std::string("line ") + std::to_string(i));
        const std::string name = "W" + std::to_string(c.width);
        write("QGPL", "QPRINT", QString::fromStdString(name) + ".splf",
              splf("name=" + name + "\njob=J\nuser=U\njobnumber=000042\nnumber=7\nwidth=" + std::to_string(c.width) + "\n", recs));
        const std::string body = downloadBody('W', name, "J", "U", "000042", "0007");
        std::string r = ask(body);
        const size_t len = static_cast<size_t>(c.width) + 4;
        EXPECT_EQ(control(r), pad("(MORE)", 21) + c.code);
        EXPECT_EQ(slot(r, len, 1), pad("001 line 0", len));
        EXPECT_EQ(slot(r, len, c.perBlock), pad(recs[c.perBlock - 1], len));
        EXPECT_EQ(r.substr(len * c.perBlock, 1000 - len * c.perBlock), std::string(1000 - len * c.perBlock, ' '));
        r = ask(body);
        EXPECT_EQ(control(r), pad("(END)", 21) + c.code);
        EXPECT_EQ(slot(r, len, 1), pad("   1line " + std::to_string(c.perBlock), len));
    }
}

TEST_F(JobSessionTest, DownloadPagesAndOptions) {
    write("QGPL", "QPRINT", "r.splf",
          splf("name=REP\njob=JOB1\nuser=ANN\njobnumber=000007\nnumber=2\nwidth=80\n",
               {"001 page one", "   1   12.50-", "   0overprint", "001 page two", "", "   1x", "001 page three"}));
    struct Case {
        std::string from, to, flags;
        std::vector<std::string> texts;  // slot texts of the first block, blank slots included
    };
    const Case cases[] = {
        {"0000000001", "9999999999", "  ", {"page one", "   12.50-", "overprint", "page two", "", "x", "page three"}},
        {"0000000002", "0000000002", "  ", {"page two", "", "x"}},
        {"0000000003", "9999999999", "  ", {"page three"}},
        {"0000000001", "0000000001", "Y ", {"page one", "   -12.50", "overprint"}},
        {"0000000001", "0000000001", " 1", {"page one", "   12.50-"}},
        {"0000000009", "9999999999", "  ", {}},
    };
    for (const Case& c : cases) {
        const std::string r = ask(downloadBody('W', "rep", "job1", "ann", "000007", "0002", c.from, c.to, c.flags));
        std::vector<std::string> texts;
        for (size_t i = 0; i < c.texts.size(); ++i) texts.push_back(rtrim(slot(r, 84, i + 1).substr(4)));
        EXPECT_EQ(texts, c.texts) << c.from << c.to << c.flags;
        EXPECT_EQ(slot(r, 84, c.texts.size() + 1), std::string(84, ' '));
        EXPECT_EQ(control(r), pad("(END)", 21) + " 80");
    }
    // What the host cannot find or will not give is refused.
    write("QGPL", "QPRINT", "afp.splf", splf("name=AFP\njob=JOB1\nuser=ANN\njobnumber=000007\nnumber=3\nrefuse=yes\n", {"001 x"}));
    for (const std::string& body : {downloadBody('W', "REP", "JOB1", "ANN", "000007", "0009"),
                                    downloadBody('W', "AFP", "JOB1", "ANN", "000007", "0003")})
        EXPECT_EQ(control(ask(body)), pad("(INVALID)", 24));
}

// A spool folder edited while hostsim runs: each download serves the file as
// it is now, wherever it now lies, and refuses one that is gone.
TEST_F(JobSessionTest, ADownloadFollowsTheSpoolFolderAsItIsNow) {
    const std::string attrs = "name=REP\njob=JOB1\nuser=ANN\njobnumber=000007\nnumber=2\n";
    const std::string body = downloadBody('W', "REP", "JOB1", "ANN", "000007", "0002");
    const QString first = dir.filePath(QStringLiteral("QGPL/QPRINT/r.splf"));
    struct Case {
        const char* change;
        std::function<void()> apply;
        std::string firstText;  // empty: refused
    };
    const Case cases[] = {
        {"rewritten", [&] { write("QGPL", "QPRINT", "r.splf", splf(attrs, {"001 second edition, longer"})); },
         "second edition, longer"},
        {"moved to another queue",
         [&] {
             QFile::remove(first);
             write("QGPL", "OTHERQ", "moved.splf", splf(attrs, {"001 moved"}));
         },
         "moved"},
        {"renumbered", [&] { write("QGPL", "QPRINT", "r.splf", splf("name=REP\njob=JOB1\nuser=ANN\njobnumber=000007\nnumber=3\n", {"001 x"})); },
         ""},
        {"removed", [&] { QFile::remove(first); }, ""},
    };
    for (const Case& c : cases) {
        QDir(dir.path()).removeRecursively();
        write("QGPL", "QPRINT", "r.splf", splf(attrs, {"001 first edition"}));
        EXPECT_EQ(rtrim(slot(ask(body), 84, 1).substr(4)), "first edition") << c.change;
        c.apply();
        const std::string r = ask(body);
        if (c.firstText.empty()) EXPECT_EQ(control(r), pad("(INVALID)", 24)) << c.change;
        else EXPECT_EQ(rtrim(slot(r, 84, 1).substr(4)), c.firstText) << c.change;
    }
}

TEST_F(JobSessionTest, PreviewIsUpperCasedAndLimitedToAFewPages) {
    std::vector<std::string> recs;
    for (int p = 1; p <= 5; ++p) {
        recs.push_back("001 page " + std::to_string(p));
        recs.push_back("   1body");
    }
    write("QGPL", "QPRINT", "p.splf", splf("name=Rep\njob=Job1\nuser=Ann\njobnumber=000007\nnumber=2\n", recs));
    const std::string r = ask(downloadBody('P', "REP", "JOB1", "ANN", "000007", "0002", "0000000002") + " QSYSTRNTBL");
    EXPECT_EQ(slot(r, 84, 1), pad("001 page 2", 84));
    EXPECT_EQ(slot(r, 84, 3), pad("001 page 3", 84));
    EXPECT_EQ(slot(r, 84, 5), std::string(84, ' '));
    EXPECT_EQ(control(r), pad("(END)", 21) + " 80");
}

TEST_F(JobSessionTest, PositionIsKeptOnlyForTheIdenticalRequest) {
    std::vector<std::string> recs;
    for (int i = 0; i < 30; ++i) recs.push_back("   1r" + std::to_string(i));
    write("QGPL", "QPRINT", "r.splf", splf("name=R\njob=J\nuser=U\njobnumber=000001\nnumber=1\n", recs));
    const std::string body = downloadBody('W', "R", "J", "U", "000001", "0001");
    const std::string other = downloadBody('W', "R", "J", "U", "000001", "0001", "0000000001", "0000000001");
    const auto first = [&](const std::string& b) { return HostText::trimmed(slot(ask(b), 84, 1)); };
    EXPECT_EQ(first(body), "1r0");
    EXPECT_EQ(first(body), "1r11");
    EXPECT_EQ(first(other), "1r0");   // another request starts afresh
    EXPECT_EQ(first(body), "1r0");
    std::string cancel(124, ' ');
    cancel[99] = 'X';
    EXPECT_EQ(*session.answer(cancel), HostReply::make({}, "(END)"));
    EXPECT_EQ(first(body), "1r0");    // the cancel ends the download
    EXPECT_EQ(first(body), "1r11");
    EXPECT_EQ(first(body), "1r22");   // the last block: "(END)"
    EXPECT_EQ(first(body), "1r0");    // so the same request starts over
    EXPECT_FALSE(session.answer(pad("", 120) + "test").has_value());
    EXPECT_EQ(control(ask(pad("", 10) + "Z")), pad("(INVALID)", 24));
}

TEST_F(JobSessionTest, DownloadFaultKnobs) {
    std::vector<std::string> recs;
    for (int i = 0; i < 30; ++i) recs.push_back("   1r" + std::to_string(i));
    write("QGPL", "QPRINT", "r.splf", splf("name=R\njob=J\nuser=U\njobnumber=000001\nnumber=1\n", recs));
    const std::string body = downloadBody('W', "R", "J", "U", "000001", "0001");
    const auto controls = [&](int n) {
        std::vector<std::string> out;
        for (int i = 0; i < n; ++i) out.push_back(control(ask(body)));
        return out;
    };
    faults.widthCode = " 81";
    EXPECT_EQ(controls(3), std::vector<std::string>({pad("(MORE)", 21) + " 81", pad("(MORE)", 21) + " 81",
                                                     pad("(END)", 21) + " 81"}));
    faults = {};
    faults.invalidAfterBlocks = 1;
    EXPECT_EQ(controls(2), std::vector<std::string>({pad("(MORE)", 21) + " 80", pad("(INVALID)", 21) + " 80"}));
    faults = {};
    faults.endlessMore = true;
    const std::vector<std::string> endless = controls(8);
    EXPECT_EQ(endless, std::vector<std::string>(8, pad("(MORE)", 21) + " 80"));
    EXPECT_EQ(ask(body).substr(0, 1000), std::string(1000, ' '));
}
}  // namespace
