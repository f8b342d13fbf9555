#include <gtest/gtest.h>

#include <QLocale>
#include <QTemporaryDir>

#include "DocumentCheckers.h"
#include "ReportFile.h"
#include "TransferTestSupport.h"
#include "VB2PDF.h"

namespace {
class VB2PDFTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path(const QString& name = QStringLiteral("out.pdf")) { return dir.path() + QLatin1Char('/') + name; }
    // A writer with a fixed clock, as every test compares bytes.
    static void fix(VB2PDF& pdf, const QString& file) {
        pdf.FileName = file;
        pdf.Now = [] { return QDateTime(QDate(2024, 1, 31), QTime(14, 5, 9)); };
    }
    std::string write(const std::function<void(VB2PDF&)>& setup, const std::function<void(VB2PDF&)>& body = {}) {
        VB2PDF pdf;
        fix(pdf, path());
        setup(pdf);
        pdf.StartPDF();
        if (body) body(pdf);
        pdf.EndPDF();
        return ReadFileBytes(path());
    }
    static bool has(const std::string& bytes, const std::string& part) { return bytes.find(part) != std::string::npos; }
};
}  // namespace

TEST_F(VB2PDFTest, ADocumentOfTwoPagesIsExactlyItsGoldenFile) {
    const std::string bytes = write(
        [](VB2PDF& pdf) {
            pdf.Creator = QStringLiteral("JSMITH    ");
            pdf.Spacing.bestFit = true;
        },
        [](VB2PDF& pdf) {
            pdf.WritePDF("ACME CORP   SALES (NORTH) \\ 100%", true);
            pdf.WritePDF("   BOLD TOTAL", true, 3);
            pdf.WritePDF(" CONTINUED", false);
            pdf.NewPage();
            pdf.WritePDF("PAGE 2 \xE9t\xE9 \x80 5", true);
        });
    ExpectGolden(bytes, QStringLiteral("pdf/writer_two_pages.pdf"));
    EXPECT_EQ(PdfStructureFault(bytes), "");
    CheckPdf(path(), {.pages = 2, .width = 595, .height = 842,
                      .lines = {"ACME CORP   SALES (NORTH) \\ 100%", "   BOLD TOTAL CONTINUED", "PAGE 2 \xE9t\xE9 \x80 5"}});
}

TEST_F(VB2PDFTest, StartAndEndAloneGiveOneEmptyPage) {
    const std::string bytes = write([](VB2PDF&) {});
    EXPECT_TRUE(bytes.starts_with("%PDF-1.2\r\n%\xE2\xE3\xCF\xD3\r\n"));
    EXPECT_TRUE(bytes.ends_with("%%EOF\r\n"));
    EXPECT_TRUE(has(bytes, "/Count 1\r\n"));
    EXPECT_TRUE(has(bytes, "/Kids [ 10 0 R ]\r\n"));
    EXPECT_TRUE(has(bytes, "/Size 13\r\n"));
    EXPECT_TRUE(has(bytes, "12 0 obj\r\n"));
    EXPECT_FALSE(has(bytes, "13 0 obj"));
    // The info dictionary: an absent user is ten blanks, no empty entries.
    EXPECT_TRUE(has(bytes, "/CreationDate (D:20240131140509)\r\n/Creator (          )\r\n/Producer (iSeries Spoolwright)\r\n>>"));
    CheckPdf(path(), {.pages = 1, .width = 595, .height = 842});
}

TEST_F(VB2PDFTest, TextAndInfoFieldsAreEscaped) {
    EXPECT_EQ(EscapePdfText("a(b)c\\d"), "a\\(b\\)c\\\\d");
    EXPECT_EQ(EscapePdfText("\x01\xFF<&>%"), "\x01\xFF<&>%");
    // Report lines are long: a mark anywhere in one is escaped, its neighbours
    // in the character set ("'", "*", "[", "]") are not.
    EXPECT_EQ(EscapePdfText("TOTAL DUE (NET)        1,234.56  ['*'] \\\\SRV\\OUT(2)"),
              "TOTAL DUE \\(NET\\)        1,234.56  ['*'] \\\\\\\\SRV\\\\OUT\\(2\\)");
    for (const size_t length : {1, 7, 8, 9, 15, 16, 17, 40, 80}) {
        const std::string line(length, '-');
        for (size_t at = 0; at < length; ++at)
            for (const char mark : {'(', ')', '\\'}) {
                std::string marked = line, escaped = line;
                marked[at] = mark;
                escaped.replace(at, 1, std::string{'\\', mark});
                EXPECT_EQ(EscapePdfText(marked), escaped) << mark << " in column " << at << " of " << length;
            }
    }
    const std::string bytes = write(
        [](VB2PDF& pdf) {
            pdf.Creator = QStringLiteral("O(NEIL");
            pdf.Title = QStringLiteral("Q1) report");
            pdf.Subject = QStringLiteral("a\\b");
            pdf.Author = QStringLiteral("me");
        },
        [](VB2PDF& pdf) { pdf.WritePDF("((unbalanced", true); });
    EXPECT_TRUE(has(bytes, "/Creator (O\\(NEIL)\r\n/Producer (iSeries Spoolwright)\r\n/Title (Q1\\) report)\r\n"
                           "/Subject (a\\\\b)\r\n/Author (me)\r\n"));
    EXPECT_TRUE(has(bytes, "T* (\\(\\(unbalanced) Tj\r\n"));
    CheckPdf(path(), {.pages = 1, .lines = {"((unbalanced"}});
    const ToolRun info = RunTool(QStringLiteral("pdfinfo"), {path()});
    EXPECT_TRUE(has(info.out, "Title:           Q1) report")) << info.out;
}

TEST_F(VB2PDFTest, PaperSizesAndLandscape) {
    const struct {
        int code;
        bool landscape;
        int width, height;
    } cases[] = {{1, false, 842, 1190}, {2, false, 595, 842},  {3, false, 421, 595}, {4, false, 792, 1224},
                 {5, false, 1224, 792}, {6, false, 612, 1008}, {7, false, 396, 612}, {8, false, 540, 720},
                 {9, false, 612, 792},  {0, false, 595, 842},  {10, true, 842, 595}, {9, true, 792, 612}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        const std::string bytes = write([&](VB2PDF& pdf) {
            pdf.PaperSize = c.code;
            pdf.LandScape = c.landscape;
        });
        EXPECT_TRUE(has(bytes, "/MediaBox [ 0 0 " + std::to_string(c.width) + " " + std::to_string(c.height) + " ]"));
        // The text origin is TopMargin below the top edge.
        EXPECT_TRUE(has(bytes, "1 0 0 1 20 " + std::to_string(c.height - 20) + " Tm\r\n"));
    }
}

TEST_F(VB2PDFTest, TheLeadingFollowsThePdfOptions) {
    const struct {
        const char* what;
        int paper;
        bool bestFit, landscape;
        std::optional<int> vertical;
        const char* tl;
    } cases[] = {{"best fit", 9, true, false, 14, "10 TL"},
                 {"Letter, Auto, portrait", 9, false, false, {}, "10 TL"},
                 {"Letter, Auto, landscape", 9, false, true, {}, "9 TL"},
                 {"Letter, 12", 9, false, true, 12, "12 TL"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        int vertSpace = 0;
        const std::string bytes = write([&](VB2PDF& pdf) {
            pdf.PaperSize = c.paper;
            pdf.LandScape = c.landscape;
            pdf.Spacing = {c.bestFit, c.vertical};
            pdf.VertSpace = 99;
        }, [&](VB2PDF& pdf) { vertSpace = pdf.VertSpace; });
        EXPECT_TRUE(has(bytes, "/F1 10 Tf\r\n1 0 0 1 20 " + std::to_string(c.landscape ? 592 : 772) + " Tm\r\n" + c.tl + "\r\n"));
        EXPECT_EQ(vertSpace, c.vertical && !c.bestFit ? *c.vertical : 10);
    }
}

TEST_F(VB2PDFTest, AFontOfItsOwnForOneTextOnly) {
    const struct {
        int fontType, newFont;
        const char* written;
    } cases[] = {{1, 3, "/F3 10 Tf\r\nT* (text) Tj\r\n/F1 10 Tf\r\n"},
                 {1, 0, "\r\nT* (text) Tj\r\nET"},
                 {1, 1, "\r\nT* (text) Tj\r\nET"},
                 // Numbers outside 1..4 never reach the file.
                 {1, 9, "\r\nT* (text) Tj\r\nET"},
                 {2, -1, "\r\nT* (text) Tj\r\nET"},
                 {7, 4, "/F4 10 Tf\r\nT* (text) Tj\r\n/F1 10 Tf\r\n"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.newFont);
        const std::string bytes = write([&](VB2PDF& pdf) { pdf.FontType = c.fontType; },
                                        [&](VB2PDF& pdf) { pdf.WritePDF("text", true, c.newFont); });
        EXPECT_TRUE(has(bytes, c.written));
        EXPECT_FALSE(has(bytes, "/F7")) ;
        EXPECT_FALSE(has(bytes, "/F9"));
        EXPECT_EQ(PdfStructureFault(bytes), "");
    }
    // Without a new row the text goes on where the last one ended.
    const std::string bytes = write([](VB2PDF&) {}, [](VB2PDF& pdf) {
        pdf.WritePDF("A  ", true);
        pdf.WritePDF("B", false);
    });
    EXPECT_TRUE(has(bytes, "T* (A  ) Tj\r\n(B) Tj\r\nET"));
}

TEST_F(VB2PDFTest, NothingIsDrawnBelowThePage) {
    // A5 with 22-point lines: 25 rows fit between the margins.
    std::vector<std::string> lines;
    for (int i = 1; i <= 100; ++i) lines.push_back("LINE " + std::to_string(i));
    const std::string bytes = write(
        [](VB2PDF& pdf) {
            pdf.PaperSize = 3;
            pdf.Spacing.vertical = 22;
        },
        [&](VB2PDF& pdf) {
            for (const std::string& l : lines) pdf.WritePDF(l, true);
        });
    CheckPdf(path(), {.pages = 4, .width = 421, .height = 595, .lines = lines});
}

TEST_F(VB2PDFTest, ASpacingTallerThanThePageStillShowsEveryLine) {
    // A settings file may ask for more points between lines than the page has:
    // one line a page then, each on the page.
    const std::vector<std::string> lines = {"FIRST", "SECOND", "THIRD"};
    for (const int vertical : {555, 700, 999}) {
        SCOPED_TRACE(vertical);
        write(
            [&](VB2PDF& pdf) {
                pdf.PaperSize = 3;
                pdf.Spacing.vertical = vertical;
            },
            [&](VB2PDF& pdf) {
                for (const std::string& l : lines) pdf.WritePDF(l, true);
            });
        CheckPdf(path(), {.pages = 3, .width = 421, .height = 595, .lines = lines});
    }
}

TEST_F(VB2PDFTest, BestFitKeepsAWholeHostPageOnOnePage) {
    // 132 columns on Ledger at 12 points: 66 rows need a leading of 11.
    std::vector<std::string> lines;
    for (int i = 1; i <= 66; ++i) lines.push_back(std::string(120, 'X') + " L" + std::to_string(i));
    const std::string bytes = write(
        [](VB2PDF& pdf) {
            pdf.PaperSize = 5;
            pdf.FontSize = 12;
            pdf.Spacing = {.bestFit = true, .fitLines = 66};
            pdf.FitColumns = 132;
        },
        [&](VB2PDF& pdf) {
            for (const std::string& l : lines) pdf.WritePDF(l, true);
        });
    EXPECT_TRUE(has(bytes, "\r\n11 TL\r\n"));
    CheckPdf(path(), {.pages = 1, .width = 1224, .height = 792, .lines = lines});
}

TEST_F(VB2PDFTest, ColumnsToFitWidenThePage) {
    const std::string line(990, 'W');
    write([](VB2PDF& pdf) {
        pdf.PaperSize = 4;
        pdf.LandScape = true;
        pdf.FontSize = 7;
        pdf.FitColumns = 990;
    }, [&](VB2PDF& pdf) { pdf.WritePDF(line, true); });
    // 990 x 0.6 x 7 = 4158 points of text between the two margins.
    CheckPdf(path(), {.pages = 1, .width = 4198, .height = 792, .lines = {line}});
}

TEST_F(VB2PDFTest, NumbersDoNotFollowTheLocale) {
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    std::setlocale(LC_ALL, "de_DE.UTF-8");
    std::vector<std::string> lines(1500, "ROW");
    const std::string bytes = write([](VB2PDF&) {}, [&](VB2PDF& pdf) {
        for (const std::string& l : lines) pdf.WritePDF(l, true);
    });
    std::setlocale(LC_ALL, "C");
    QLocale::setDefault(before);
    EXPECT_EQ(PdfStructureFault(bytes), "");
    EXPECT_FALSE(has(bytes, "1.0"));
    CheckPdf(path(), {.pages = 19, .lines = lines});
}

TEST_F(VB2PDFTest, AFileThatCannotBeCreatedIsAPcFileError) {
    VB2PDF pdf;
    fix(pdf, path(QStringLiteral("missing/out.pdf")));
    try {
        pdf.StartPDF();
        FAIL() << "no error";
    } catch (const PcFileError& e) {
        EXPECT_EQ(e.number, 76);
    }
    EXPECT_FALSE(pdf.isOpen());
}

TEST_F(VB2PDFTest, TheStructureCheckCatchesWhatQpdfLetsPass) {
    const std::string good = ReadFileBytes(QStringLiteral(SW_TEST_DATA "/golden/pdf/writer_two_pages.pdf"));
    ASSERT_EQ(PdfStructureFault(good), "");
    auto replaced = [&](const std::string& from, const std::string& to) {
        std::string b = good;
        const size_t at = b.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        return at == std::string::npos ? b : b.replace(at, from.size(), to);
    };
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {{"a Length one byte too long", replaced("12 0 obj\r\n150\r\n", "12 0 obj\r\n151\r\n")},
                 {"a Length one byte too short", replaced("12 0 obj\r\n150\r\n", "12 0 obj\r\n149\r\n")},
                 // The last digit of object 1's entry (17 becomes 11).
                 {"an xref entry that misses its object", std::string(good).replace(good.find("xref\r\n") + 41, 1, "1")},
                 {"startxref one byte off", [&] {
                      std::string b = good;
                      const size_t at = b.rfind("startxref\r\n") + 11;
                      const size_t end = b.find("\r\n", at);
                      return b.replace(at, end - at, std::to_string(std::stoll(b.substr(at, end - at)) + 1));
                  }()}};
    for (const auto& c : cases) EXPECT_NE(PdfStructureFault(c.bytes), "") << c.what;
}
