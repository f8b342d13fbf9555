#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <functional>
#include <unistd.h>

#include "DocumentModel.h"
#include "FileSizeLimit.h"
#include "OfficeAutomation.h"
#include "OfficeFiles.h"
#include "OfficeStandIns.h"
#include "RecordingProcessStarter.h"
#include "SheetModel.h"
#include "StandInTesting.h"
#include "WordBasicStandIn.h"

namespace {
// When the documents here are saved: the run's clock, set.
const QDateTime kSaved(QDate(2024, 2, 29), QTime(9, 8, 7));

struct DocCase {
    const char* name;
    QList<QStringList> pages;
    double size;            // 0: not set
    QStringList lines;       // as the reader sees them
    QList<int> pageStarts;   // lines that begin a page
};
}  // namespace

class WordPages : public ::testing::TestWithParam<DocCase> {};

TEST_P(WordPages, EachMarkBecomesOnePageBreakInTheSavedDocument) {
    const DocCase& c = GetParam();
    Desk d;
    const QString text = d.report(QStringLiteral("report.txt"), c.pages);
    QString saved;
    {
        WordApplication word(d.standIns.create(QStringLiteral("word.application")));
        word.openDocument(text, false);
        word.selectWholeStory();
        if (c.size > 0) word.setFontSize(c.size);
        word.replaceAll(kMark, QStringLiteral("^m"));
        word.goToStart();
        word.saveActiveDocumentAs(d.path(QStringLiteral("report.doc")));
        saved = word.object().get(QStringLiteral("ActiveDocument.FullName")).toString();
        word.closeActiveDocument();
    }
    // Word's format here is OpenDocument text: the name says so.
    EXPECT_EQ(saved, d.path(QStringLiteral("report.odt")));
    EXPECT_FALSE(QFileInfo::exists(d.path(QStringLiteral("report.doc"))));
    const QJsonObject facts = OdtFacts(saved);
    ASSERT_FALSE(facts.isEmpty());
    EXPECT_EQ(strings(facts.value(QStringLiteral("lines"))), c.lines);
    EXPECT_EQ(ints(facts.value(QStringLiteral("pageBreaks"))), c.pageStarts);
    EXPECT_FALSE(strings(facts.value(QStringLiteral("lines"))).join(QString()).contains(kMark));
    const QStringList sizes = strings(facts.value(QStringLiteral("fontSizes")));
    if (c.size > 0) {
        EXPECT_EQ(sizes, QStringList({QStringLiteral("%1pt").arg(c.size)}));
    }
    // A report's columns line up only in a fixed-pitch font.
    EXPECT_EQ(strings(facts.value(QStringLiteral("fonts"))), QStringList({"Courier New (fixed)"}));
    EXPECT_TRUE(d.starter.started().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Reports, WordPages,
    ::testing::Values(DocCase{"ThreePagesAt9",
                              {{"PAGE 1", "  Smith    1200.00"}, {"PAGE 2"}, {"PAGE 3", "z"}},
                              9,
                              {"PAGE 1", "  Smith    1200.00", "PAGE 2", "PAGE 3", "z"},
                              {2, 3}},
                      DocCase{"At6", {{"wide"}, {"report"}}, 6, {"wide", "report"}, {1}},
                      DocCase{"NoMarks", {{"only", "", "page"}}, 9, {"only", "", "page"}, {}},
                      // Two marks in a row: an empty page between, one break each.
                      DocCase{"ConsecutiveMarks", {{"one"}, {}, {"three"}}, 9, {"one", "", "three"}, {1, 2}}),
    [](const auto& info) { return std::string(info.param.name); });

// A document saved at the run's time of day is the same file, byte for byte,
// whenever the run happens: the date in it is the run's, not the system's.
TEST(WordProcessorStandIn, ADocumentIsDatedByTheRunsClock) {
    Desk d;
    TextDocumentModel doc;
    doc.text = QStringLiteral("ACME PAYROLL\fPAGE 2");
    const auto saved = [&](const QString& name, const QDateTime& when) {
        const QString file = d.path(name);
        QString why;
        EXPECT_TRUE(WriteOdt(doc, file, when, &why)) << why.toStdString();
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray first = saved(QStringLiteral("first.odt"), kSaved);
    ASSERT_FALSE(first.isEmpty());
    EXPECT_EQ(saved(QStringLiteral("again.odt"), kSaved), first);
    EXPECT_NE(saved(QStringLiteral("next day.odt"), kSaved.addDays(1)), first);
}

struct LineCase {
    const char* name;
    QString text;          // the document's text
    QStringList lines;     // as a reader sees them
};

class DocumentLines : public ::testing::TestWithParam<LineCase> {};

// Every character of a report line reaches the reader where it stood: blanks
// at either end and in runs, characters XML escapes, and text beyond Latin-1.
TEST_P(DocumentLines, EachLineIsReadBackAsItStands) {
    const LineCase& c = GetParam();
    Desk d;
    TextDocumentModel doc;
    doc.text = c.text;
    doc.fontFamily = QStringLiteral("Courier New");
    const QString file = d.path(QStringLiteral("lines.odt"));
    QString why;
    ASSERT_TRUE(WriteOdt(doc, file, kSaved, &why)) << why.toStdString();
    const QJsonObject facts = OdtFacts(file);
    ASSERT_FALSE(facts.isEmpty());
    EXPECT_EQ(strings(facts.value(QStringLiteral("lines"))), c.lines);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, DocumentLines,
    ::testing::Values(
        LineCase{"BlanksAtBothEndsAndInRuns", QStringLiteral("   1  ITEM 102 \n \nx   "), {"   1  ITEM 102 ", " ", "x   "}},
        LineCase{"OneBlankBetweenWords", QStringLiteral("a b c"), {"a b c"}},
        LineCase{"TabsBetweenBlanks", QStringLiteral("a \t b\t"), {"a \t b\t"}},
        LineCase{"MarkupCharacters", QStringLiteral("<b> & \"x\" 'y' ]]>"), {"<b> & \"x\" 'y' ]]>"}},
        LineCase{"BeyondLatin1", QStringLiteral("M\u00fcller \u20ac 5 \U0001F600 \u00e9"),
                 {QStringLiteral("M\u00fcller \u20ac 5 \U0001F600 \u00e9")}},
        // XML cannot carry control characters: each keeps its column as a blank.
        LineCase{"ControlCharacters", QStringLiteral("a\0b\1 c\x1b"), {"a b  c "}},
        // The code page's own controls (127, and the bytes it leaves unassigned) too.
        LineCase{"ControlCharactersAboveAscii", QStringLiteral("a\x7f b\x81" "c\x9d" "d\x8f"), {"a  b c d "}},
        LineCase{"EmptyLines", QStringLiteral("\n\nend"), {"", "", "end"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(WordStandIn, AVisibleWordShowsTheReopenedDocumentAndAnUnsavedOneAsACopy) {
    Desk d;
    const QString text = d.report(QStringLiteral("r.txt"), {{"a"}, {"b"}});
    {
        WordApplication word(d.standIns.create(QStringLiteral("word.application")));
        word.setVisible(true);
        word.openDocument(text, false);
        word.saveActiveDocumentAs(d.path(QStringLiteral("r.doc")));
        word.closeActiveDocument();
        word.openDocument(d.path(QStringLiteral("r.odt")), true);
    }
    EXPECT_EQ(d.starter.commandLines(), QStringList({"xdg-open " + d.path(QStringLiteral("r.odt"))}));
    d.starter = RecordingProcessStarter();
    {
        // A macro would have saved it: the document stays open unsaved, and is shown as it is.
        WordApplication word(d.standIns.running(QStringLiteral("word.application")));
        word.openDocument(text, false);
        try {
            word.runMacro(QStringLiteral("tpl.dot!Macro1"));
            ADD_FAILURE();
        } catch (const AutomationError& e) {
            EXPECT_EQ(e.number, OfficeMacros::kUnavailable);
        }
    }
    EXPECT_EQ(d.starter.commandLines(), QStringList({"xdg-open " + d.path(QStringLiteral("shown/r.odt"))}));
    EXPECT_EQ(OdtFacts(d.path(QStringLiteral("shown/r.odt"))).value(QStringLiteral("lines")).toArray().size(), 3);
}

TEST(WordStandIn, AFailedSaveIsAnErrorAndTheExistingDocumentStays) {
    Desk d;
    WordApplication word(d.standIns.create(QStringLiteral("word.application")));
    word.openDocument(d.report(QStringLiteral("r.txt"), {{"new"}}), false);
    ExpectRefusedSaveKeepsTheFile(d, QStringLiteral("old.odt"), 5152,
                                  [&](const QString& target) { word.saveActiveDocumentAs(target + QStringLiteral(".doc")); });
    EXPECT_EQ(errorOf([&] { word.addTemplate(QStringLiteral("/t/macros.dot")); }), OfficeMacros::kUnavailable);
}

TEST(WordProStandIn, FindAndTypeTurnMarksIntoPagesShownWhenMinimised) {
    Desk d;
    const QString text = d.report(QStringLiteral("wp.txt"), {{"p1"}, {"p2"}, {"p3"}});
    auto app = d.standIns.create(QStringLiteral("WordPro.Application"));
    WordProApplication wp(app);
    wp.setLastUsedFilter(QStringLiteral("$LwpFilterTypeText"), QStringLiteral("Text"));
    wp.setVisible(true);
    wp.openTextDocument(text);
    wp.selectDoc();
    wp.setFont(QStringLiteral("Courier"), 6.2);
    wp.type(QStringLiteral("[ctrlHome]"));
    wp.setFindAndReplace(kMark, QStringLiteral("LwpFindMatchWithinAWord"), QStringLiteral("$[ctrlEnter]"),
                         QStringLiteral("$LwpLookWhereEntireDocument"));
    wp.initFindAndReplace();
    int found = 0;
    while (wp.find() == 0 && found < 10) {
        wp.type(QStringLiteral("[ctrlEnter]"));
        ++found;
    }
    EXPECT_EQ(found, 2);
    EXPECT_TRUE(d.starter.started().empty());
    wp.minimize();
    const QString shown = d.path(QStringLiteral("shown/wp.odt"));
    ASSERT_EQ(d.starter.commandLines(), QStringList({"xdg-open " + shown}));
    const QJsonObject facts = OdtFacts(shown);
    EXPECT_EQ(strings(facts.value(QStringLiteral("lines"))), QStringList({"p1", "p2", "p3"}));
    EXPECT_EQ(ints(facts.value(QStringLiteral("pageBreaks"))), QList<int>({1, 2}));
    EXPECT_EQ(strings(facts.value(QStringLiteral("fontSizes"))), QStringList({"6.2pt"}));

    // The user closes WordPro: the object the delivery keeps now fails.
    d.standIns.closeWordPro();
    try {
        wp.minimize();
        ADD_FAILURE();
    } catch (const AutomationError& e) {
        EXPECT_EQ(e.number, kServerUnavailable);
    }
    EXPECT_NE(d.standIns.create(QStringLiteral("WordPro.Application")), nullptr);
}

namespace {
QStringList FilesIn(const Desk& d) {
    return QDir(d.dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// The two kinds of file the stand-ins save, each written with the lines
// "new" and "page" (or, big, with more than a small disk takes) and read back
// by its independent reader.
struct SavedFormat {
    QString ext;
    std::function<bool(const QString& file, bool big, QString* why)> write;
    std::function<QStringList(const QString& file)> lines;
};

const SavedFormat& Document() {
    static const SavedFormat f{QStringLiteral("odt"),
                               [](const QString& file, bool big, QString* why) {
                                   TextDocumentModel doc;
                                   doc.text = QStringLiteral("new\fpage");
                                   if (big)
                                       for (int i = 0; i < 20000; ++i)
                                           doc.text += QStringLiteral("\n%1 ITEM %2 %3").arg(i).arg(i * 7919).arg(i % 97);
                                   return WriteOdt(doc, file, kSaved, why);
                               },
                               [](const QString& file) { return strings(OdtFacts(file).value(QStringLiteral("lines"))); }};
    return f;
}

const SavedFormat& Workbook() {
    static const SavedFormat f{QStringLiteral("xlsx"),
                               [](const QString& file, bool big, QString* why) {
                                   Sheet sheet;
                                   sheet.lines.append(QStringLiteral("new"));
                                   sheet.lines.append(QStringLiteral("page"));
                                   if (big)
                                       for (int i = 0; i < 20000; ++i)
                                           sheet.lines.append(QStringLiteral("%1 ITEM %2 %3").arg(i).arg(i * 7919).arg(i % 97));
                                   return WriteXlsx(sheet, QStringLiteral("r"), file, why);
                               },
                               [](const QString& file) {
                                   QStringList out;
                                   for (const QJsonValue& row : XlsxFacts(file).value(QStringLiteral("rows")).toArray())
                                       out << row.toArray().at(0).toString();
                                   return out;
                               }};
    return f;
}
}  // namespace

class SavedFile : public ::testing::TestWithParam<const SavedFormat*> {
protected:
    const SavedFormat& format = *GetParam();
    QString named(const QString& stem) const { return stem + QLatin1Char('.') + format.ext; }
};

// A name as long as the folder takes (255 bytes) replaces the file of that
// name like any other.
TEST_P(SavedFile, TheLongestNameAFolderTakesIsSaved) {
    const qsizetype stem = 255 - 1 - format.ext.size();
    const QString names[] = {named(QString(stem, QLatin1Char('r'))),
                             named(QString(stem / 2, QChar(0xFC)) + QString(stem % 2, QLatin1Char('x')))};
    for (const QString& name : names) {
        SCOPED_TRACE(name.left(3).toStdString());
        ASSERT_EQ(QFile::encodeName(name).size(), 255);
        Desk d;
        const QString file = d.path(name);
        writeBytes(file, "the user's earlier file");
        QString why;
        EXPECT_TRUE(format.write(file, false, &why)) << why.toStdString();
        EXPECT_EQ(format.lines(file), QStringList({"new", "page"}));
        EXPECT_EQ(FilesIn(d), QStringList({name}));
    }
}

// What an earlier run may have left beside the file (a save cut short by a
// crash; a link put there) neither stops the save nor lets it write into
// another file of the user's.
TEST_P(SavedFile, WhatAnEarlierRunLeftBesideItIsNotWrittenThrough) {
    struct Case {
        const char* name;
        std::function<void(const Desk&, const QString& partial)> leave;
    };
    const Case cases[] = {
        {"PartOfAnEarlierSave", [](const Desk&, const QString& partial) { writeBytes(partial, "PK cut short"); }},
        {"LinkToAFileOfTheUser",
         [](const Desk& d, const QString& partial) { QFile::link(d.path(QStringLiteral("mine.txt")), partial); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Desk d;
        const QString file = d.path(named(QStringLiteral("r")));
        writeBytes(file, "the user's earlier file");
        writeBytes(d.path(QStringLiteral("mine.txt")), "the user's own file");
        c.leave(d, d.path(QLatin1Char('.') + named(QStringLiteral("r")) + QStringLiteral(".partial")));
        QString why;
        EXPECT_TRUE(format.write(file, false, &why)) << why.toStdString();
        EXPECT_EQ(format.lines(file), QStringList({"new", "page"}));
        EXPECT_EQ(readBytes(d.path(QStringLiteral("mine.txt"))), QByteArray("the user's own file"));
    }
}

// A save that cannot be completed is an error, keeps what had the name and
// leaves nothing beside it.
TEST_P(SavedFile, ASaveThatCannotCompleteKeepsTheEarlierFileAndLeavesNothing) {
    const QString name = named(QStringLiteral("r"));
    {
        SCOPED_TRACE("disk full");
        Desk d;
        const QString file = d.path(name);
        writeBytes(file, "the user's earlier file");
        QString why;
        {
            FileSizeLimit full(16 * 1024);
            EXPECT_FALSE(format.write(file, true, &why));
        }
        EXPECT_FALSE(why.isEmpty());
        EXPECT_EQ(readBytes(file), QByteArray("the user's earlier file"));
        EXPECT_EQ(FilesIn(d), QStringList({name}));
    }
    {
        SCOPED_TRACE("a folder of that name");
        Desk d;
        const QString folder = d.path(name);
        QDir().mkpath(folder);
        writeBytes(folder + QStringLiteral("/inside.txt"), "the user's file");
        QString why;
        EXPECT_FALSE(format.write(folder, true, &why));
        EXPECT_FALSE(why.isEmpty());
        EXPECT_EQ(readBytes(folder + QStringLiteral("/inside.txt")), QByteArray("the user's file"));
        EXPECT_EQ(FilesIn(d), QStringList({name}));
    }
}

// A document shown as a copy is the user's to change and save where it is: a
// later document of the same name (the same report again, from WordPro or
// from Word 6) is shown as a copy of its own, and the earlier one stays.
TEST(ShownCopies, AnEarlierCopyOfTheSameNameStays) {
    Desk d;
    const QString text = d.report(QStringLiteral("wp.txt"), {{"p1"}, {"p2"}});
    const QString earlier = d.path(QStringLiteral("shown/wp.odt"));
    QDir().mkpath(d.path(QStringLiteral("shown")));
    writeBytes(earlier, "the user's changed copy");
    {
        WordProApplication wp(d.standIns.create(QStringLiteral("WordPro.Application")));
        wp.setVisible(true);
        wp.openTextDocument(text);
        wp.minimize();
    }
    WordBasicStandIn word6(d.desk);
    word6.execute(WordBasic::fileOpen(text));
    word6.showNewDocuments();

    const QStringList shown = d.starter.commandLines();
    ASSERT_EQ(shown.size(), 2);
    EXPECT_NE(shown.at(0), shown.at(1));
    for (const QString& line : shown) {
        const QString copy = line.mid(QStringLiteral("xdg-open ").size());
        EXPECT_NE(copy, earlier);
        EXPECT_EQ(QFileInfo(copy).absolutePath(), d.path(QStringLiteral("shown")));
        const QStringList lines = strings(OdtFacts(copy).value(QStringLiteral("lines")));
        EXPECT_TRUE(lines.contains(u"p1") && lines.contains(u"p2")) << lines.join(u'|').toStdString();
    }
    EXPECT_EQ(readBytes(earlier), QByteArray("the user's changed copy"));
}

// Word 6/95 is sent the work file's path inside a quoted name: a save folder
// of the user's with quotes or apostrophes in its name still opens.
TEST(Word6StandIn, AWorkFileWhosePathHoldsQuotesOpens) {
    Desk d;
    QDir().mkpath(d.path(QStringLiteral("Ann's \"old\" reports")));
    const QString text = d.report(QStringLiteral("Ann's \"old\" reports/SPW 0001.txt"), {{"p1"}, {"p2"}});
    WordBasicStandIn word6(d.desk);
    word6.execute(WordBasic::fileOpen(text));
    ASSERT_EQ(word6.documents().size(), 1u);
    EXPECT_EQ(word6.documents().front()->path, text);
    EXPECT_EQ(word6.documents().front()->pageBreakCount(), 1);
}

// A file the user shared (or closed) by its permissions keeps them when a
// later save replaces it.
TEST_P(SavedFile, AFileReplacedKeepsItsPermissions) {
    Desk d;
    const QString file = d.path(named(QStringLiteral("r")));
    writeBytes(file, "the user's earlier file");
    for (const auto mode : {QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther |
                                QFileDevice::WriteGroup,
                            QFileDevice::ReadOwner | QFileDevice::WriteOwner}) {
        ASSERT_TRUE(QFile::setPermissions(file, mode));
        QString why;
        ASSERT_TRUE(format.write(file, false, &why)) << why.toStdString();
        EXPECT_EQ(QFile::permissions(file) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser), mode);
    }
    EXPECT_EQ(format.lines(file), QStringList({"new", "page"}));
}

// A file of another user's in a shared folder stays theirs when it is
// replaced (only root may give a file to another user).
TEST_P(SavedFile, AFileReplacedKeepsItsOwner) {
    if (::geteuid() != 0) GTEST_SKIP() << "only root can give a file to another user";
    Desk d;
    const QString file = d.path(named(QStringLiteral("r")));
    writeBytes(file, "the user's earlier file");
    ASSERT_EQ(::chown(QFile::encodeName(file).constData(), 4242, 4343), 0);
    QString why;
    ASSERT_TRUE(format.write(file, false, &why)) << why.toStdString();
    EXPECT_EQ(QFileInfo(file).ownerId(), 4242u);
    EXPECT_EQ(QFileInfo(file).groupId(), 4343u);
    EXPECT_EQ(format.lines(file), QStringList({"new", "page"}));
}

// A file the user made read-only is not replaced, and a name that is a link
// to the user's file saves into that file and stays a link.
TEST_P(SavedFile, AReadOnlyFileStaysAndALinkStaysALink) {
    {
        SCOPED_TRACE("read-only");
        Desk d;
        const QString file = d.path(named(QStringLiteral("r")));
        writeBytes(file, "the user's earlier file");
        const auto readOnly = QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;
        ASSERT_TRUE(QFile::setPermissions(file, readOnly));
        QString why;
        EXPECT_FALSE(format.write(file, false, &why));
        EXPECT_TRUE(why.contains(QStringLiteral("read-only"))) << why.toStdString();
        EXPECT_EQ(readBytes(file), QByteArray("the user's earlier file"));
        EXPECT_EQ(QFile::permissions(file) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser), readOnly);
        EXPECT_EQ(FilesIn(d), QStringList({named(QStringLiteral("r"))}));
    }
    {
        SCOPED_TRACE("link");
        Desk d;
        QDir().mkpath(d.path(QStringLiteral("kept")));
        const QString real = d.path(QStringLiteral("kept/") + named(QStringLiteral("r")));
        writeBytes(real, "the user's earlier file");
        const QString link = d.path(named(QStringLiteral("r")));
        ASSERT_TRUE(QFile::link(real, link));
        QString why;
        ASSERT_TRUE(format.write(link, false, &why)) << why.toStdString();
        EXPECT_TRUE(QFileInfo(link).isSymLink());
        EXPECT_EQ(format.lines(real), QStringList({"new", "page"}));
        EXPECT_EQ(FilesIn(d), QStringList({QStringLiteral("kept"), named(QStringLiteral("r"))}));
        EXPECT_EQ(QDir(d.path(QStringLiteral("kept"))).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                  QStringList({named(QStringLiteral("r"))}));
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, SavedFile, ::testing::Values(&Document(), &Workbook()),
                         [](const auto& info) { return info.param->ext.toStdString(); });

// A report line is one line in the word processor: the page of the saved
// document holds the widest line at the size the delivery sets for its width,
// turned to landscape only where portrait cannot, and any reader takes it.
TEST(WordPage, TheWidestLineFitsThePageAtTheDeliverysFontSize) {
    struct Case {
        int width;
        double size;
        const char* orientation;
    };
    const Case cases[] = {{80, 9, "portrait"}, {132, 6, "landscape"}, {198, 6, "landscape"}, {40, 9, "portrait"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.width);
        Desk d;
        // A full-width line whose last column shows, and a short one.
        QString wide;
        for (int i = 0; i < c.width; ++i) wide += QChar(u'0' + (i + 1) % 10);
        wide[0] = u'A';
        const QString text = d.report(QStringLiteral("r.txt"), {{wide, QStringLiteral("TOTAL 12.50")}, {QStringLiteral("PAGE 2")}});
        const QString saved = d.path(QStringLiteral("r.odt"));
        {
            WordApplication word(d.standIns.create(QStringLiteral("word.application")));
            word.openDocument(text, false);
            word.selectWholeStory();
            word.setFontSize(c.size);
            word.replaceAll(kMark, QStringLiteral("^m"));
            word.saveActiveDocumentAs(saved);
            word.closeActiveDocument();
        }
        const QJsonObject page = OdtFacts(saved).value(QStringLiteral("page")).toObject();
        ASSERT_FALSE(page.isEmpty()) << "no page style";
        const double across = page.value(QStringLiteral("page-width")).toDouble() - page.value(QStringLiteral("margin-left")).toDouble() -
                              page.value(QStringLiteral("margin-right")).toDouble();
        // A fixed-pitch face advances 0.6 of its size for each character.
        EXPECT_GE(across, c.width * c.size * 0.6001);
        EXPECT_EQ(page.value(QStringLiteral("orientation")).toString(), QLatin1String(c.orientation));
        EXPECT_EQ(page.value(QStringLiteral("page-width")).toDouble() > page.value(QStringLiteral("page-height")).toDouble(),
                  std::string(c.orientation) == "landscape");
        // The margins are a page's, not squeezed to nothing.
        EXPECT_GE(page.value(QStringLiteral("margin-left")).toDouble(), 36.0);
        QProcess pandoc;
        pandoc.start(QStringLiteral("pandoc"), {QStringLiteral("-f"), QStringLiteral("odt"), QStringLiteral("-t"),
                                                 QStringLiteral("plain"), QStringLiteral("--wrap=none"), saved});
        ASSERT_TRUE(pandoc.waitForFinished(60000));
        EXPECT_EQ(pandoc.exitCode(), 0) << pandoc.readAllStandardError().toStdString();
        const QString read = QString::fromUtf8(pandoc.readAllStandardOutput());
        for (const QString& l : {wide, QStringLiteral("TOTAL 12.50"), QStringLiteral("PAGE 2")})
            EXPECT_TRUE(read.contains(l)) << read.toStdString();
    }
}

// A report opened from its file is replaced in line by line, never held
// whole; what it becomes is what the same replacement makes of the text held.
TEST(WordText, ReplacingInAReportReadLineByLineGivesWhatTheWholeTextGives) {
    const QString m = kMark;
    const QList<QStringList> texts = {
        {"a", m, "b"}, {m, "a", m}, {"a", m, m, m, "b"}, {"a", m + "x", "b", "x" + m}, {"a"}, {m}, {"", m, ""},
    };
    const QList<QPair<QString, QString>> replacements = {{QStringLiteral("^p") + m + QStringLiteral("^p"), QStringLiteral("^p^m^p")},
                                                         {m, QStringLiteral("^m")}};
    for (const QStringList& lines : texts) {
        for (const auto& [find, with] : replacements) {
            SCOPED_TRACE((lines.join(QLatin1Char('|')) + QStringLiteral(" / ") + find).toStdString());
            Desk d;
            const QString file = d.report(QStringLiteral("t.txt"), {lines});
            TextDocumentModel read, held;
            ASSERT_TRUE(read.loadText(file));
            held.text = lines.join(QLatin1Char('\n'));
            EXPECT_EQ(read.replaceAll(find, with) > 0, held.replaceAll(find, with) > 0);  // found or not
            EXPECT_EQ(read.pageBreakCount(), held.pageBreakCount());
            EXPECT_EQ(read.content(), held.text);
        }
    }
}
