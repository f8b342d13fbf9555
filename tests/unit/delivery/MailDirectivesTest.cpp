// The splitter of reports that carry their own mailing instructions, over
// small work files.
#include <gtest/gtest.h>

#include "MailDirectives.h"
#include "TransferTestSupport.h"

using namespace MailDirectives;

namespace {
// Work-file lines: every record with an empty prefix.
QStringList work(std::initializer_list<const char*> texts) {
    QStringList out;
    for (const char* t : texts) out << QStringLiteral("    ") + QString::fromLatin1(t);
    return out;
}

struct Expected {
    QString addresses;  // joined by ","
    QString texts;      // record texts joined by "|"
};

struct Case {
    const char* name;
    QStringList lines;
    ListForm form;
    std::vector<Expected> parts;
    int messages;
};

QString texts(const Part& p) {
    QStringList t;
    for (const QString& l : p.lines) t << l.mid(4);
    return t.join(QLatin1Char('|'));
}
}  // namespace

TEST(MailDirectives, EachMailtoLineStartsAPartForItsRecipients) {
    const std::vector<Case> cases = {
        {"no directive", work({"SALES REPORT", "contact: help@acme.example", "total 12"}), ListForm::Long, {}, 0},
        {"one directive", work({"HEADER", "MAILTO:ann@x.org", "line 1", "line 2"}), ListForm::Long,
         {{"ann@x.org", "line 1|line 2"}}, 1},
        {"two with the same list", work({"MAILTO:ann@x.org", "a1", "MAILTO:ann@x.org", "b1"}), ListForm::Short,
         {{"ann@x.org", "a1"}, {"ann@x.org", "b1"}}, 1},
        {"two with different lists", work({"MAILTO:ann@x.org", "a1", "MAILTO:bob@y.org", "b1"}), ListForm::Short,
         {{"ann@x.org", "a1"}, {"bob@y.org", "b1"}}, 2},
        {"short form stops at the blank", work({"MAILTO:Ann@X.org;bob@y.org more text", "a1"}), ListForm::Short,
         {{"Ann@X.org,bob@y.org", "a1"}}, 1},
        {"long form runs to REPORT: and is lower-cased",
         work({"MAILTO: Ann@X.org; bob@y.org REPORT:EAST", "a1"}), ListForm::Long,
         {{"ann@x.org,bob@y.org", "a1"}}, 1},
        {"a blank after MAILTO: gives an empty short list", work({"MAILTO: ann@x.org", "a1", "MAILTO:bob@y.org", "b1"}),
         ListForm::Short, {{"bob@y.org", "b1"}}, 1},
        {"the long form still reads past the blank", work({"MAILTO: ann@x.org", "a1"}), ListForm::Long,
         {{"ann@x.org", "a1"}}, 1},
        {"a contact line with @ in a body is report text",
         work({"MAILTO:ann@x.org", "Dear customer", "write to help@acme.example", "end"}), ListForm::Long,
         {{"ann@x.org", "Dear customer|write to help@acme.example|end"}}, 1},
        {"address lines right after a directive are recipients (long form)",
         work({"MAILTO:ann@x.org REPORT:A", "carl@z.org; dora@z.org", "help@acme.example is our desk", "x"}),
         ListForm::Long, {{"ann@x.org,carl@z.org,dora@z.org", "help@acme.example is our desk|x"}}, 1},
        {"an address-only line later in a part is report text (long form)",
         work({"MAILTO:ann@x.org REPORT:A", "Dear customer", "carl@z.org", "x"}), ListForm::Long,
         {{"ann@x.org", "Dear customer|carl@z.org|x"}}, 1},
        {"the line after a directive is report text (short form)", work({"MAILTO:ann@x.org", "carl@z.org", "x"}),
         ListForm::Short, {{"ann@x.org", "carl@z.org|x"}}, 1},
        {"a contact line before the first directive is nobody's", work({"From: help@acme.example", "MAILTO:ann@x.org", "a1"}),
         ListForm::Long, {{"ann@x.org", "a1"}}, 1},
        {"lower-case mailto: is a directive and only that", work({"mailto:ann@x.org", "a1"}), ListForm::Long,
         {{"ann@x.org", "a1"}}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Split s = split(c.lines, c.form);
        ASSERT_EQ(s.parts.size(), c.parts.size());
        for (size_t i = 0; i < c.parts.size(); ++i) {
            EXPECT_EQ(s.parts[i].addresses.join(QLatin1Char(',')), c.parts[i].addresses) << i;
            EXPECT_EQ(texts(s.parts[i]), c.parts[i].texts) << i;
        }
        EXPECT_EQ(static_cast<int>(messages(s.parts).size()), c.messages);
    }
}

TEST(MailDirectives, ADirectiveLineGivesItsShortAndLongAddressLists) {
    const QString line = QStringLiteral("    xx MailTo:a@b.c;D@E.F REPORT:SALES");
    EXPECT_TRUE(isDirective(line));
    EXPECT_EQ(shortList(line), QStringLiteral("a@b.c;D@E.F"));
    EXPECT_EQ(longList(line), QStringLiteral("a@b.c;D@E.F"));
    EXPECT_EQ(shortList(QStringLiteral("    MAILTO:a@b.c")), QStringLiteral("a@b.c"));  // to the end
    EXPECT_EQ(longList(QStringLiteral("    MAILTO:a@b.c report:x")), QStringLiteral("a@b.c report:x"));
    EXPECT_FALSE(isDirective(QStringLiteral("    MAIL TO: a@b.c")));
    for (const char* yes : {"a@b.c", "a@b.c; d@e.f", "a@b.c;"}) EXPECT_TRUE(isAddressList(QString::fromLatin1(yes))) << yes;
    for (const char* no : {"", "mail a@b.c", "a@b.c, d@e.f", "@", "a@b.c;x"}) EXPECT_FALSE(isAddressList(QString::fromLatin1(no))) << no;
}

TEST(MailDirectives, LayoutOfAPartFromSkipAndSpace) {
    Part p;
    // Skip to line 1: the first line; space 2: one blank; skip back: a page
    // break. The directive that ends the part adds nothing to it.
    p.lines = QStringList{QStringLiteral("  1 first"), QStringLiteral("   2second"), QStringLiteral("  1 page two")};
    p.endPrefix = QStringLiteral("  1 ");
    std::vector<Row> rows = layout(p, false);
    QStringList shown;
    for (const Row& r : rows) shown << (r.kind == Row::PageBreak ? QStringLiteral("<page>") : r.text);
    EXPECT_EQ(shown, (QStringList{"first", " ", "second", "<page>", "page two"}));
    shown.clear();
    for (const Row& r : layout(p, true)) shown << r.text;
    EXPECT_EQ(shown, (QStringList{"first", "second", "page two"}));
}

TEST(MailDirectives, AnOverprintTakesALineOfItsOwnAndNeverMakesANewPage) {
    const OverprintCase& c = OverprintReport();
    Part p;
    for (const SpoolReplies::Record& r : c.records)
        p.lines << QString::fromLatin1((r.skip + r.spacing + r.text).c_str());
    std::vector<PlacedLine> placed;
    int page = 1, line = 0;
    for (const Row& r : layout(p, false)) {
        if (r.kind == Row::PageBreak) {
            ++page;
            line = 0;
            continue;
        }
        ++line;
        if (r.kind == Row::Text) placed.push_back({page, line, r.text.toStdString()});
    }
    EXPECT_EQ(placed, c.ownLines);
}
