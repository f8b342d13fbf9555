#include <gtest/gtest.h>

#include <map>

#include "ScriptedHostSocket.h"
#include "TextLayout.h"

using Record = SpoolReplies::Record;

namespace {
std::vector<std::string> layOut(TextLayoutOptions o, const std::vector<Record>& records) {
    std::vector<std::string> lines;
    TextLayout layout(o, [&](std::string_view l) { lines.emplace_back(l); });
    std::vector<std::string> slotTexts;
    for (const Record& r : records) slotTexts.push_back(SpoolReplies::slot(o.width, r));
    for (const std::string& s : slotTexts)
        layout.record(SpoolRecordSlot{s, std::string_view(s).substr(0, 3), std::string_view(s).substr(3, 1),
                                      std::string_view(s).substr(4)});
    layout.finish();
    return lines;
}

TextLayoutOptions plain(std::optional<int> pageLength, ProcessCode code = ProcessCode::Text) {
    TextLayoutOptions o;
    o.code = code;
    o.pageLength = pageLength;
    return o;
}

TextLayoutOptions fcfc() {
    TextLayoutOptions o;
    o.printControl = true;
    o.fcfc = true;
    return o;
}

// Where a printer puts each record: a skip to s puts it on line s (on a new
// page when s is not below the last line printed); a spacing of n puts it n
// lines down; neither, one line down. The file begins before its first page.
struct Place {
    int page, line;
    bool operator==(const Place& o) const { return page == o.page && line == o.line; }
};
std::vector<Place> printerPlaces(const std::vector<Record>& records) {
    std::vector<Place> out;
    int page = 0, line = 0;
    for (const Record& r : records) {
        const std::string skip = r.skip.find_first_not_of(' ') == std::string::npos ? "" : r.skip;
        if (!skip.empty()) {
            const int s = std::stoi(skip);
            if (page == 0 || s <= line) ++page;
            line = s;
        } else {
            if (page == 0) page = 1;
            line += r.spacing == ' ' ? 1 : r.spacing - '0';
        }
        out.push_back({page, line});
    }
    return out;
}

// A page of a text file: line number -> text (lines holding nothing left out).
using Page = std::map<int, std::string>;

// Replays an *FCFC file as a printer would: "1" new page, " " one line down,
// "0" two, "-" three, "+" print over the same line.
std::vector<Page> replayAsa(const std::vector<std::string>& lines) {
    std::vector<Page> pages;
    int line = 0;
    for (const std::string& l : lines) {
        EXPECT_FALSE(l.empty()) << "an *FCFC line without its control character";
        if (l.empty()) continue;
        const char c = l[0];
        if (c == '1' || pages.empty()) {
            pages.emplace_back();
            line = 0;
        }
        switch (c) {
        case '1': line = 1; break;
        case ' ': line += 1; break;
        case '0': line += 2; break;
        case '-': line += 3; break;
        case '+': break;
        default: ADD_FAILURE() << "not an ASA control character: " << l;
        }
        if (l.size() > 1) pages.back()[line] += l.substr(1);
    }
    return pages;
}

// Cuts a plain file into pages of `length` lines.
std::vector<Page> plainPages(const std::vector<std::string>& lines, int length) {
    std::vector<Page> pages((lines.size() + static_cast<size_t>(length) - 1) / static_cast<size_t>(length));
    for (size_t i = 0; i < lines.size(); ++i)
        if (!lines[i].empty()) pages[i / static_cast<size_t>(length)][static_cast<int>(i % static_cast<size_t>(length)) + 1] = lines[i];
    return pages;
}

// Pages as the printer model puts the records.
std::vector<Page> printedPages(const std::vector<Record>& records) {
    const std::vector<Place> places = printerPlaces(records);
    std::vector<Page> pages;
    for (size_t i = 0; i < records.size(); ++i) {
        if (records[i].text.empty()) continue;
        if (static_cast<int>(pages.size()) < places[i].page) pages.resize(static_cast<size_t>(places[i].page));
        pages[static_cast<size_t>(places[i].page - 1)][places[i].line] = records[i].text;
    }
    return pages;
}

// A report whose skips carry a blank spacing, as the host sends them: pages
// that begin with a skip to line 1 or lower down, skips within a page,
// spacings of 1 to 3 and records with neither.
std::vector<Record> generatedReport(unsigned seed, int pages) {
    std::vector<Record> out;
    auto next = [&seed](int n) {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 16) % static_cast<unsigned>(n));
    };
    for (int p = 1; p <= pages; ++p) {
        int line = 1 + next(4);
        out.push_back({QString::number(line).rightJustified(3, QLatin1Char(' ')).toStdString(), ' ',
                       "PAGE " + std::to_string(p) + " HEAD"});
        while (line < 58) {
            const int kind = next(4);
            std::string text = "P" + std::to_string(p) + " L";
            if (kind == 0) {
                line += 1 + next(8);
                char skip[8];
                std::snprintf(skip, sizeof skip, "%3d", line);
                out.push_back({skip, ' ', text + std::to_string(line) + " SKIP"});
            } else if (kind == 1) {
                line += 1;
                out.push_back({"   ", ' ', text + std::to_string(line) + " NEXT"});
            } else {
                const int n = 1 + next(3);
                line += n;
                out.push_back({"   ", static_cast<char>('0' + n), text + std::to_string(line) + " SPACE"});
            }
        }
    }
    return out;
}
}  // namespace

TEST(PlainLayout, SkipRecordsLandOnTheirLineAndPagesKeepTheirLength) {
    // Skip records with a blank spacing, as the host sends them.
    const std::vector<Record> records = {{"001", ' ', "A"}, {"005", ' ', "B"}, {"009", ' ', "C"},
                                         {"   ", '1', "D"}, {"012", ' ', "E"}, {"001", ' ', "F"},
                                         {"003", ' ', "G"}};
    for (int length : {66, 88}) {
        const auto lines = layOut(plain(length), records);
        ASSERT_EQ(lines.size(), static_cast<size_t>(2 * length)) << length;
        const std::map<std::string, size_t> at = {{"A", 1}, {"B", 5}, {"C", 9}, {"D", 10}, {"E", 12},
                                                  {"F", static_cast<size_t>(length) + 1},
                                                  {"G", static_cast<size_t>(length) + 3}};
        for (const auto& [text, line] : at) EXPECT_EQ(lines[line - 1], text) << length << " " << text;
    }
}

TEST(PlainLayout, APageEndsWithItsPaddingBeforeASkipToLineOne) {
    // 59 lines written, the next line is 60: a skip to 1 pads lines 60-66.
    std::vector<Record> records{{"001", ' ', "FIRST"}};
    for (int i = 2; i <= 59; ++i) records.push_back({"   ", '1', "L" + std::to_string(i)});
    records.push_back({"001", ' ', "NEXT PAGE"});
    const auto lines = layOut(plain(66), records);
    ASSERT_GE(lines.size(), 67u);
    EXPECT_EQ(lines[58], "L59");
    for (size_t i = 59; i < 66; ++i) EXPECT_EQ(lines[i], "") << i;
    EXPECT_EQ(lines[66], "NEXT PAGE");
}

// A page of ten lines: a record that lands on line 10 stays on its page,
// one below it goes on to the next.
TEST(PlainLayout, ARecordBelowThePageEndGoesOnToTheNextPage) {
    const struct {
        const char* what;
        std::vector<Record> records;
        std::map<std::string, size_t> at;  // the file's line of each record
    } cases[] = {
        {"spaced below the end", {{"001", ' ', "A"}, {"009", ' ', "B"}, {"   ", '3', "C"}, {"   ", '1', "D"}},
         {{"B", 9}, {"C", 12}, {"D", 13}}},  // line 12 = line 2 of page 2
        {"a skip to the last line", {{"001", ' ', "A"}, {"010", ' ', "B"}, {"   ", '1', "C"}},
         {{"A", 1}, {"B", 10}, {"C", 11}}},
        {"spaced onto the last line", {{"001", ' ', "A"}, {"008", ' ', "B"}, {"   ", '2', "C"}, {"   ", '1', "D"}},
         {{"B", 8}, {"C", 10}, {"D", 11}}},
        {"one line at a time onto the last line", {{"009", ' ', "A"}, {"   ", ' ', "B"}, {"   ", ' ', "C"}},
         {{"A", 9}, {"B", 10}, {"C", 11}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const auto lines = layOut(plain(10), c.records);
        ASSERT_EQ(lines.size(), 20u);
        for (const auto& [text, line] : c.at) EXPECT_EQ(lines[line - 1], text) << text;
    }
}

TEST(PlainLayout, PageBreaksOfEachProcessCode) {
    const std::vector<Record> records = {{"001", ' ', "A"}, {"   ", '2', "B"}, {"001", ' ', "C"}};
    struct Case {
        ProcessCode code;
        std::optional<int> length;
        std::vector<std::string> lines;
    } cases[] = {
        {ProcessCode::Text, std::nullopt, {"A", "", "B", "\x0c", "C"}},
        {ProcessCode::Office, std::nullopt, {"A", "", "B", "\x95", "C"}},
        {ProcessCode::Other, std::nullopt, {"A", "", "B", "\x0c", "C"}},
        {ProcessCode::FullView, std::nullopt, {"A", "", "B", "", std::string(80, '_'), std::string(81, ' ') + "2", "C"}},
        // A page length is a "Text" matter only.
        {ProcessCode::Office, 66, {"A", "", "B", "\x95", "C"}},
    };
    for (const Case& c : cases) EXPECT_EQ(layOut(plain(c.length, c.code), records), c.lines) << static_cast<int>(c.code);
}

TEST(PlainLayout, RemovingBlankLinesLeavesOneLinePerRecord) {
    TextLayoutOptions o = plain(66);
    o.removeBlank = true;
    EXPECT_EQ(layOut(o, {{"001", ' ', "A"}, {"   ", '3', "B"}, {"001", ' ', "C"}, {"   ", '1', ""}}),
              (std::vector<std::string>{"A", "B", "C", ""}));
}

TEST(PlainLayout, GeneratedReportsPrintWhereThePrinterWould) {
    for (unsigned seed : {1u, 7u, 42u}) {
        const auto records = generatedReport(seed, 4);
        const auto lines = layOut(plain(66), records);
        EXPECT_EQ(lines.size() % 66, 0u) << seed;
        EXPECT_EQ(plainPages(lines, 66), printedPages(records)) << seed;
    }
}

TEST(FcfcLayout, ControlCharactersOfTheFirstRecordAndOverprinting) {
    EXPECT_EQ(layOut(fcfc(), {{"001", ' ', "A"}, {"   ", '0', "A_"}}), (std::vector<std::string>{"1A", "+A_"}));
    EXPECT_EQ(layOut(fcfc(), {{"003", ' ', "A"}}), (std::vector<std::string>{"1", "0A"}));
    // Current line 1, a skip to 5: one line "-", then the record one line down.
    EXPECT_EQ(layOut(fcfc(), {{"001", ' ', "A"}, {"005", ' ', "B"}}), (std::vector<std::string>{"1A", "-", " B"}));
}

TEST(FcfcLayout, NoPageEjectIsLost) {
    struct Case {
        const char* what;
        std::vector<Record> records;
        std::vector<std::string> lines;
    } cases[] = {
        {"a skip together with a spacing", {{"001", ' ', "A"}, {"   ", '1', "B"}, {"001", '1', "C"}}, {"1A", " B", "1C"}},
        {"a skip to the line last written", {{"001", ' ', "A"}, {"   ", '1', "B"}, {"002", ' ', "C"}}, {"1A", " B", "1", " C"}},
        {"a first record without a skip", {{"   ", '1', "A"}, {"   ", '1', "B"}, {"005", ' ', "C"}}, {" A", " B", "-C"}},
        {"a spacing of more than three", {{"001", ' ', "A"}, {"   ", '5', "B"}}, {"1A", "-", "0B"}},
        {"neither skip nor spacing", {{"001", ' ', "A"}, {"   ", '2', "B"}, {"   ", ' ', "C"}}, {"1A", "0B", " C"}},
    };
    for (const Case& c : cases) EXPECT_EQ(layOut(fcfc(), c.records), c.lines) << c.what;
}

TEST(FcfcLayout, ReplayedPagesMatchThePlainLayoutOfTheSameReport) {
    for (unsigned seed : {1u, 7u, 42u}) {
        const auto records = generatedReport(seed, 4);
        const auto asa = replayAsa(layOut(fcfc(), records));
        EXPECT_EQ(asa, printedPages(records)) << seed;
        EXPECT_EQ(asa, plainPages(layOut(plain(66), records), 66)) << seed;
    }
}

TEST(WholeSlotLayouts, PrtctlAndAutomaticMailKeepThePrefix) {
    const std::vector<Record> records = {{"001", ' ', "A"}, {"   ", '2', "B  "}, {"   ", ' ', ""}};
    TextLayoutOptions prtctl;
    prtctl.printControl = true;
    TextLayoutOptions mail = plain(66, ProcessCode::AutoMail);
    for (const TextLayoutOptions& o : {prtctl, mail})
        EXPECT_EQ(layOut(o, records), (std::vector<std::string>{"001 A", "   2B", ""}));
}

TEST(ProcessCodes, EveryCodeTheTransferTests) {
    const std::pair<const char*, ProcessCode> cases[] = {
        {"Text", ProcessCode::Text},           {"ProcFullView", ProcessCode::FullView},
        {"ProcExcel", ProcessCode::Office},    {"ProcLotus123", ProcessCode::Office},
        {"ProcWord_8", ProcessCode::Office},   {"ProcWord_6", ProcessCode::Office},
        {"ProcWordPro", ProcessCode::Office},  {"ProcAttachOAMS", ProcessCode::AutoMail},
        {"ProcAttachNotesAMS", ProcessCode::AutoMail}, {"ProcAttachIEAMS", ProcessCode::AutoMail},
        {"text", ProcessCode::Other},          {"", ProcessCode::Other}};
    for (const auto& [text, code] : cases) EXPECT_EQ(ProcessCodeOf(QString::fromLatin1(text)), code) << text;
    for (const char* length : {"Variable", "0", "-66", "6.5", ""}) EXPECT_FALSE(PageLengthOf(QString::fromLatin1(length))) << length;
    EXPECT_EQ(PageLengthOf(QStringLiteral("88")), 88);
}

// Every byte in every column of a line, short lines and long: only control
// characters, DEL and the bytes the code page leaves unassigned become blanks
// in documents, the rest of the line stays as it was; the text file loses
// only its form feeds.
TEST(ShownBytes, EachByteInEachColumnOfALine) {
    const std::string unshown = std::string("\x7f\x81\x8d\x8f\x90\x9d");
    const std::string text = "Invoice 10042  (net) 1,234.56  Due 2024-02-29  Account 77-0042-18  Page 1 of 12 ...";
    for (const size_t length : {1, 7, 8, 9, 15, 16, 17, 29, 80}) {
        SCOPED_TRACE(length);
        const std::string base = text.substr(0, length);
        for (int b = 0; b < 256; ++b) {
            const char c = static_cast<char>(b);
            const bool blank = b < 0x20 || unshown.find(c) != std::string::npos;
            for (size_t at = 0; at < base.size(); ++at) {
                std::string line = base;
                line[at] = c;
                std::string shown = line, kept = line;
                if (blank) shown[at] = ' ';
                if (c == '\f') kept[at] = ' ';
                ASSERT_EQ(ShownText(line), shown) << "byte " << b << " in column " << at;
                ASSERT_EQ(HasUnshownBytes(line), blank) << "byte " << b << " in column " << at;
                ASSERT_EQ(WithoutFormFeeds(line), kept) << "byte " << b << " in column " << at;
            }
        }
    }
}
