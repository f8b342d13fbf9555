#include <gtest/gtest.h>

#include "PreviewText.h"
#include "ScriptedHostSocket.h"
#include "SpoolDownload.h"

using Record = SpoolReplies::Record;

namespace {
// The preview text of a report sent in blocks of the width code.
std::string preview(const std::vector<std::string>& replies, const std::string& widthCode, bool layout,
                    qint32* records = nullptr, qsizetype cap = PreviewText::kPreviewTextCap) {
    PreviewText p(layout, cap);
    p.accepted(widthCode);
    for (const std::string& r : replies)
        ForEachRecord(std::string_view(r).substr(0, 1000), RecordWidth(widthCode),
                      [&](const SpoolRecordSlot& s) { p.record(s); });
    if (records) *records = p.records();
    return p.bytes();
}
std::string preview(const std::vector<Record>& recs, const std::string& widthCode, bool layout) {
    return preview(SpoolReplies::report(recs, widthCode), widthCode, layout);
}
std::string lines(std::initializer_list<std::string> l) {
    std::string out;
    bool first = true;
    for (const std::string& s : l) {
        if (!first) out += "\r\n";
        out += s;
        first = false;
    }
    return out;
}
std::string pad(const std::string& s, size_t width) { return s + std::string(width - s.size(), ' '); }
}  // namespace

TEST(PreviewText, LayoutOfTheHostsPrintControl) {
    const std::string sep80(80, '_'), sep132(132, '_');
    const struct Case {
        const char* name;
        std::vector<Record> records;
        const char* width;
        bool layout;
        std::string expected;
    } cases[] = {
        {"a skip to the line just written is a new page",
         {{"001", ' ', "A"}, {"001", ' ', "B"}},
         " 80", true, lines({pad("A", 80), sep80, "B"})},
        {"skip above the current line: the separator, the record on the new page's first line",
         {{"001", ' ', "A"}, {"   ", '1', "B"}, {"001", ' ', "C"}},
         " 80", true, lines({pad("A", 80), "B", sep80, "C"})},
        {"spacing 3 gives two empty lines; spacing 0 still a line of its own",
         {{"001", ' ', "A"}, {"   ", '3', "B"}, {"   ", '0', "C"}},
         " 80", true, lines({pad("A", 80), "", "", "B", "C"})},
        {"blank skip and spacing: the next line; a skip back to it is a new page",
         {{"001", ' ', "A"}, {"   ", ' ', "B"}, {"002", ' ', "C"}},
         " 80", true, lines({pad("A", 80), "B", sep80, "", "C"})},
        {"a skip below the first line pads from the top",
         {{"003", ' ', "A"}},
         " 80", true, lines({"", "", "A"})},
        {"remove blank lines: one line per record, no separators",
         {{"001", ' ', "A"}, {"   ", '3', "B"}, {"001", ' ', "C  "}},
         " 80", false, lines({pad("A", 80), "B", "C"})},
        {"132: separator of 132", {{"001", '1', "A"}, {"001", '1', "B"}}, "132", true,
         lines({pad("A", 132), sep132, "B"})},
        {"198: separator of 132", {{"001", '1', "A"}, {"001", '1', "B"}}, "198", true,
         lines({pad("A", 198), sep132, "B"})},
        {"990: separator of 132, the first line trimmed too", {{"001", '1', "A"}, {"001", '1', "B"}}, "990", true,
         lines({"A", sep132, "B"})},
        {"an unknown width reads no record", {{"001", ' ', "A"}, {"001", ' ', "B"}}, " 81", true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(preview(c.records, c.width, c.layout), c.expected);
    }
}

TEST(PreviewText, BlankSlotsAreSkippedAndNotCounted) {
    std::vector<std::string> slotTexts;
    for (int i = 1; i <= 8; ++i) slotTexts.push_back(SpoolReplies::slot(80, {"   ", '1', "R" + std::to_string(i)}));
    for (int i = 0; i < 3; ++i) slotTexts.push_back(std::string(84, ' '));
    qint32 records = 0;
    const std::string text = preview({SpoolReplies::reply(slotTexts, "(END)", " 80")}, " 80", true, &records);
    EXPECT_EQ(records, 8);
    EXPECT_EQ(text, lines({pad("R1", 80), "R2", "R3", "R4", "R5", "R6", "R7", "R8"}));
}

TEST(PreviewText, ThePreviewIsHeldToTwiceTheCapAndShowsHalfPastTheCap) {
    std::vector<Record> many;
    for (int i = 0; i < 40; ++i) many.push_back({"   ", '1', "LINE " + std::to_string(i)});
    const std::vector<std::string> replies = SpoolReplies::report(many, " 80");
    qint32 records = 0;
    const std::string whole = preview(replies, " 80", true, &records);
    ASSERT_GT(whole.size(), 200u);
    // Within the cap: all of it.
    const ShownPreview all = PreviewToShow(whole, static_cast<qsizetype>(whole.size()));
    EXPECT_FALSE(all.halved);
    EXPECT_EQ(all.text.size(), static_cast<qsizetype>(whole.size()));
    // Past a cap of 100: no more than 200 kept, every record still counted.
    PreviewText capped(true, 100);
    capped.accepted(" 80");
    for (const std::string& r : replies)
        ForEachRecord(std::string_view(r).substr(0, 1000), 80, [&](const SpoolRecordSlot& s) { capped.record(s); });
    EXPECT_TRUE(capped.cut());
    EXPECT_EQ(capped.bytes(), whole.substr(0, 200));
    EXPECT_EQ(capped.records(), records);
    const ShownPreview half = PreviewToShow(capped.bytes(), 100);
    EXPECT_TRUE(half.halved);
    EXPECT_EQ(half.text.toStdString(), whole.substr(0, 100));
    // Odd lengths round to even: 7 -> 4, 5 -> 2.
    EXPECT_EQ(PreviewToShow("1234567", 6).text, QStringLiteral("1234"));
    EXPECT_EQ(PreviewToShow("12345", 4).text, QStringLiteral("12"));
}
