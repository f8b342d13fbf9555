#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <algorithm>

#include "ProcessType.h"
#include "RunSettings.h"

// A settings file read and written with no window at all: the value a run
// without windows works from.
namespace {
using SettingsFile::Part;
using SettingsFile::Reader;

RunSettings read(const QByteArray& text, Reader reader, std::vector<Part>* parts = nullptr) {
    RunSettings s;
    const std::vector<Part> set = SettingsFile::apply(s, SettingsFile::lines(text, reader), reader);
    if (parts) *parts = set;
    return s;
}
}  // namespace

TEST(RunSettings, AFileSavedFromSettingsReadsBackTheSame) {
    RunSettings s;
    s.user = QStringLiteral("SMITH");
    s.outq = QStringLiteral("PRT01");
    s.library = QStringLiteral("QUSRSYS");
    DownloadOptions& o = s.options;
    o.processType = QStringLiteral("PDF document");
    o.fromPage = QStringLiteral("2");
    o.toPage = QStringLiteral("9");
    o.runMacro = true;
    o.removeBlankLines = true;
    o.suppressOverprinting = false;
    o.parse = 2;
    o.pdfLandscape = true;
    o.pdfPaperSize = QStringLiteral("Standard A4");
    o.htmlAddToFile = true;
    o.naming.fullName = true;
    o.naming.useJobName = true;
    o.translation = QStringLiteral("From: France    To: PC-USA   Q297337437");
    s.saveNames[RunSettings::PdfSave] = {QStringLiteral("/out/a, b.pdf"), false, true};
    s.saveNames[RunSettings::TextSave] = {QStringLiteral("/out/never.txt"), false, false};
    const QByteArray text = SettingsFile::contents(s, QStringLiteral("today"));
    EXPECT_TRUE(SettingsFile::isSettingsFile(text));
    EXPECT_TRUE(text.startsWith("[Properties]\r\nID=Spwrter_10.0\r\nSaved=today\r\n"));
    EXPECT_FALSE(text.contains("Text file=")) << "a name the user never accepted is not written";

    const RunSettings back = read(text, Reader::Window);
    EXPECT_EQ(back.user, s.user);
    EXPECT_EQ(back.outq, s.outq);
    EXPECT_EQ(back.library, s.library);
    const DownloadOptions& b = back.options;
    EXPECT_EQ(b.processType, o.processType);
    EXPECT_EQ(b.fromPage, o.fromPage);
    EXPECT_EQ(b.toPage, o.toPage);
    EXPECT_TRUE(b.runMacro);
    EXPECT_TRUE(b.removeBlankLines);
    EXPECT_FALSE(b.suppressOverprinting);
    EXPECT_EQ(b.parse, 2);
    EXPECT_TRUE(b.pdfLandscape);
    EXPECT_EQ(b.pdfPaperSize, o.pdfPaperSize);
    EXPECT_TRUE(b.htmlAddToFile);
    EXPECT_TRUE(b.naming.fullName);
    EXPECT_TRUE(b.naming.useJobName);
    EXPECT_EQ(b.translation, o.translation);
    EXPECT_EQ(back.saveNames[RunSettings::PdfSave].name, QStringLiteral("/out/a, b.pdf"));
    EXPECT_TRUE(back.saveNames[RunSettings::PdfSave].fromFile);
}

// The two readers know different keys and take blanks differently.
TEST(RunSettings, EachReaderTakesItsOwnKeys) {
    const QByteArray text = "[Properties]\r\n"
                            "Email=True\r\n"
                            "Save path=/reports\r\n"
                            "Use print control characters=1\r\n"
                            "Print font size132=8\r\n"
                            "Outq = PRT01 \r\n"
                            "Text or PDF=False\r\n";
    std::vector<Part> batchParts, windowParts;
    const RunSettings batch = read(text, Reader::Batch, &batchParts);
    const RunSettings window = read(text, Reader::Window, &windowParts);
    EXPECT_EQ(batch.options.email, 0);
    EXPECT_EQ(window.options.email, DownloadOptions{}.email);
    EXPECT_EQ(batch.options.naming.savePath, QStringLiteral("/reports"));
    EXPECT_TRUE(window.options.naming.savePath.isEmpty());
    EXPECT_TRUE(window.options.printControl);
    EXPECT_FALSE(batch.options.printControl);
    EXPECT_EQ(window.options.printer.fontSize[1], QStringLiteral("8"));
    EXPECT_EQ(batch.options.printer.fontSize[1], QStringLiteral("Auto"));
    // The window reader trims the key, the batch reader the value.
    EXPECT_EQ(window.outq, QStringLiteral(" PRT01 "));
    EXPECT_TRUE(batch.outq.isEmpty());
    EXPECT_FALSE(batch.options.emailAsPdf) << "\"Text or PDF\" is read by neither";
    EXPECT_FALSE(window.options.emailAsPdf);
    EXPECT_EQ(std::count(batchParts.begin(), batchParts.end(), Part::Email), 1);
    EXPECT_EQ(std::count(windowParts.begin(), windowParts.end(), Part::Email), 0);
}

TEST(RunSettings, ValuesThatCannotBeTakenLeaveTheSettingAlone) {
    struct Case {
        const char* line;
        Reader reader;
        bool DownloadOptions::*field;
        bool expected;
    } cases[] = {
        {"Remove blanks=yes", Reader::Batch, &DownloadOptions::removeBlankLines, false},
        {"Overprinting=7", Reader::Window, &DownloadOptions::suppressOverprinting, true},
        {"Add replace=maybe", Reader::Batch, &DownloadOptions::htmlAddToFile, false},
        // The window reader takes every text but "True" for "Add to file".
        {"Add replace=maybe", Reader::Window, &DownloadOptions::htmlAddToFile, true},
        {"PDF page orientation=maybe", Reader::Batch, &DownloadOptions::pdfLandscape, false},
        {"PDF page orientation=False", Reader::Window, &DownloadOptions::pdfLandscape, true},
    };
    for (const Case& c : cases) {
        std::vector<Part> parts;
        const RunSettings s = read(QByteArray("[Properties]\n") + c.line + "\n", c.reader, &parts);
        EXPECT_EQ(s.options.*c.field, c.expected) << c.line;
    }
    std::vector<Part> parts;
    read("[Properties]\nRemove blanks=yes\nConvert minus=x\n", Reader::Batch, &parts);
    EXPECT_TRUE(parts.empty()) << "nothing is put back into a window for a value that was not taken";
}

// "Excel file" and "Word file" name the text dialog's file only for their own
// program: the file's process type, whatever its place, or the one before it.
TEST(RunSettings, AnOfficeFileIsJudgedAgainstTheFinalProcessType) {
    const QString excel = ProcessTypeOf(Destination::MicrosoftExcel).text;
    const QString word = ProcessTypeOf(Destination::MicrosoftWord).text;
    const QByteArray later = "[Properties]\nExcel file=/x/book.xls\nWord file=/x/doc.doc\nProcess=" +
                             excel.toLatin1() + "\n";
    RunSettings s = read(later, Reader::Batch);
    EXPECT_EQ(s.saveNames[RunSettings::TextSave].name, QStringLiteral("/x/book.xls"));
    EXPECT_TRUE(s.saveNames[RunSettings::TextSave].fromFile);

    RunSettings before;
    int asked = 0;
    SettingsFile::apply(before, SettingsFile::lines("Word file=/x/doc.doc\n", Reader::Batch), Reader::Batch, [&] {
        ++asked;
        return word;
    });
    EXPECT_EQ(before.saveNames[RunSettings::TextSave].name, QStringLiteral("/x/doc.doc"));
    EXPECT_EQ(asked, 1);
    EXPECT_TRUE(read("Word file=/x/doc.doc\n", Reader::Batch).saveNames[RunSettings::TextSave].name.isEmpty())
        << "no process type: not Word's";
    EXPECT_TRUE(read(later, Reader::Window).saveNames[RunSettings::TextSave].name.isEmpty())
        << "only the batch reader takes them";
}

// The three parsing lines leave the button stored as "True" chosen, in order.
TEST(RunSettings, ParsingLinesChooseOneButton) {
    EXPECT_EQ(read("Parse0=False\nParse1=True\nParse2=False\n", Reader::Batch).options.parse, 1);
    EXPECT_EQ(read("Parse0=True\nParse1=True\n", Reader::Batch).options.parse, 1);
    EXPECT_EQ(read("Parse0=False\n", Reader::Batch).options.parse, -1) << "none chosen";
}

TEST(RunSettings, AFileThatIsNoSettingsFileIsRefusedAndAFileKeptAsItWas) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.spw"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    const QByteArray head = "[Properties]\r\nOutq=Q1\r\n";
    f.write(head);
    f.write(QByteArray(SettingsFile::kMaxBytes, 'x'));
    f.close();
    QByteArray bytes;
    EXPECT_FALSE(SettingsFile::read(path, bytes)) << "over the limit";
    EXPECT_FALSE(SettingsFile::read(dir.path(), bytes)) << "a folder";
    EXPECT_FALSE(SettingsFile::isSettingsFile("Outq=Q1\r\n"));
    EXPECT_FALSE(SettingsFile::isSettingsFile(QByteArray("[Properties]\r\n\0x", 16)));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.read(head.size()) == head) << "reading never changes the file";
}
