#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QTimer>
#include <csignal>
#include <sys/resource.h>

#include "DocumentCheckers.h"
#include "DocumentDownload.h"
#include "ProcHtml.h"
#include "ProcPDF.h"
#include "ProcXml.h"
#include "SafeOutputFile.h"
#include "ScriptedHostSocket.h"
#include "SpoolDownload.h"
#include "CoreTestSupport.h"
#include "TransferTestSupport.h"

using Record = SpoolReplies::Record;

namespace {

// The rows of a PDF's pages: "," between rows, "|" between pages, "_" for a
// blank row.
std::string pdfRows(const std::string& pdf) {
    std::string out;
    for (size_t bt = pdf.find("\r\nBT\r\n"); bt != std::string::npos; bt = pdf.find("\r\nBT\r\n", bt + 1)) {
        if (!out.empty()) out += '|';
        const size_t et = pdf.find("\r\nET\r\n", bt);
        std::string rows;
        size_t from = bt + 6;
        while (from < et) {
            size_t eol = pdf.find("\r\n", from);
            const std::string line = pdf.substr(from, eol - from);
            from = eol + 2;
            if (!line.starts_with("T* (")) continue;
            std::string text = line.substr(4, line.size() - 4 - 4);
            if (!rows.empty()) rows += ',';
            rows += text == " " ? "_" : text;
        }
        out += rows;
    }
    return out;
}

// The same rows as HTML body lines.
std::string htmlBody(const std::string& rows, bool removeBlank) {
    std::string out;
    std::string cell;
    auto line = [&](const std::string& t) { out += "<Pre>" + t + "</Pre>\r\n"; };
    for (size_t i = 0; i <= rows.size(); ++i) {
        const char c = i < rows.size() ? rows[i] : ',';
        if (c != ',' && c != '|') {
            cell += c;
            continue;
        }
        if (cell == "_") {
            if (!removeBlank) line(" ");
        } else {
            line(cell);
        }
        cell.clear();
        if (c == '|' && !removeBlank) {
            line(" ");
            line(std::string(46, '_') + " ");
            line(" ");
        }
    }
    return out;
}

class DocumentsTest : public ::testing::Test {
protected:
    void SetUp() override {
        t.ctx.services.wallClock = [] { return QDateTime(QDate(2024, 2, 29), QTime(9, 8, 7)); };
        options.processType = QStringLiteral("PDF document");
        options.pdfPaperSize = QStringLiteral("Best fit");
        options.pdfFontSize = QStringLiteral("10");
        options.pdfVertSize = QStringLiteral("Auto");
        options.htmlFontSize = QStringLiteral("10");
    }

    CoreTestContext t;
    std::shared_ptr<ScriptedHost> host = UseScriptedHost(t.ctx);
    DownloadOptions options = TextFileOptions();
    StatusRecorder screen{t.ctx.link};
    QString width;

    QString path(const QString& name) { return t.dir.path() + QLatin1Char('/') + name; }
    QString lastStatus() const { return screen.last(); }
    // Files written beside a target and not cleaned away.
    QStringList leftovers() {
        QStringList hidden;
        for (const QString& f : QDir(t.dir.path()).entryList(QDir::Files | QDir::Hidden))
            if (f.startsWith(QLatin1Char('.')) || f.endsWith(QLatin1String(".part"))) hidden << f;
        return hidden;
    }
    
    ReportResult run(DocumentProc p, const QString& file, const std::vector<Record>& records,
                     const std::string& code = " 80") {
        host->replies(SpoolReplies::report(records, code));
        const ReportResult result = p(t.ctx, options, screen, file, SampleRow());
        width = result.recordWidth;
        return result;
    }
};

struct RowCase {
    const char* what;
    std::vector<Record> records;
    const char* rows;
};
const std::vector<RowCase>& layoutCases() {
    static const std::vector<RowCase> cases = {
        {"a first skip below the page fills blank rows", {{"005", ' ', "A"}, {"   ", '1', "B"}}, "_,_,_,_,A,B"},
        {"a skip below the current line starts a page",
         {{"001", ' ', "A"}, {"   ", '1', "B"}, {"001", ' ', "C"}}, "A,B|C"},
        {"a skip to the line just written starts a page",
         {{"001", ' ', "A"}, {"   ", '1', "B"}, {"002", ' ', "C"}}, "A,B|_,C"},
        {"spacing 2 and 3", {{"001", ' ', "A"}, {"   ", '2', "B"}, {"   ", '3', "C"}}, "A,_,B,_,_,C"},
        {"blank skip and spacing: the next row each",
         {{"001", ' ', "A"}, {"   ", ' ', "B"}, {"   ", ' ', "C"}, {"004", ' ', "D"}}, "A,B,C,D"},
        {"spacing 0 still gets a row", {{"001", ' ', "A"}, {"   ", '0', "B"}}, "A,B"},
        {"trailing blanks go, leading stay", {{"001", ' ', "  A  "}, {"   ", '1', ""}}, "  A,"},
    };
    return cases;
}
}  // namespace

TEST_F(DocumentsTest, PdfRowsFollowThePrintControl) {
    for (int removeBlank : {0, 1}) {
        // "Remove blank lines and page breaks" has no effect on a PDF.
        options.removeBlankLines = removeBlank;
        for (const RowCase& c : layoutCases()) {
            SCOPED_TRACE(c.what);
            const QString file = path(QStringLiteral("layout.pdf"));
            ASSERT_TRUE(run(ProcPDF, file, c.records));
            EXPECT_EQ(pdfRows(ReadFileBytes(file)), c.rows);
        }
    }
}

TEST_F(DocumentsTest, HtmlLinesFollowThePrintControlUnlessBlankLinesAreRemoved) {
    for (int removeBlank : {0, 1}) {
        options.removeBlankLines = removeBlank;
        for (const RowCase& c : layoutCases()) {
            SCOPED_TRACE(std::string(c.what) + (removeBlank ? ", blank lines removed" : ""));
            const QString file = path(QStringLiteral("layout.html"));
            ASSERT_TRUE(run(ProcHtml, file, c.records));
            const std::string html = ReadFileBytes(file);
            const size_t body = html.find("<div class=Section1>\r\n") + 22;
            EXPECT_EQ(html.substr(body), htmlBody(c.rows, removeBlank) + "</div>\r\n</body>\r\n</html>\r\n");
            CheckHtml(file);
        }
    }
}

TEST_F(DocumentsTest, PdfPageSettingsFromTheOptions) {
    const struct {
        const char* what;
        const char* paper;
        const char* font;
        const char* vert;
        int landscape;
        const char* type;
        const char* code;
        int pageWidth, pageHeight;
        const char* fontAndLeading;
    } cases[] = {
        {"best fit, 80", "Best fit", "10", "Auto", 0, "PDF document", " 80", 595, 842, "/F1 11 Tf|11 TL"},
        {"best fit, 132", "Best fit", "10", "Auto", 1, "PDF document", "132", 1224, 792, "/F1 12 Tf|11 TL"},
        {"best fit, 198", "Best fit", "10", "Auto", 0, "PDF document", "198", 1224, 792, "/F1 9 Tf|9 TL"},
        {"best fit, 990", "Best fit", "10", "Auto", 0, "PDF document", "990", 4198, 792, "/F1 7 Tf|7 TL"},
        {"Letter, landscape, Auto", "Letter", "10", "Auto", 1, "PDF document", " 80", 792, 612, "/F1 10 Tf|9 TL"},
        {"Legal, 8 on 12", "Legal", "8", "12", 0, "PDF document", " 80", 612, 1008, "/F1 8 Tf|12 TL"},
        {"a paper not in the list", "Foolscap", "10", "Auto", 0, "PDF document", " 80", 595, 842, "/F1 10 Tf|10 TL"},
        {"an e-mail attachment is best fit", "Letter", "10", "Auto", 1, "Outlook e-mail", "198", 1224, 792,
         "/F1 9 Tf|9 TL"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        options.pdfPaperSize = QString::fromLatin1(c.paper);
        options.pdfFontSize = QString::fromLatin1(c.font);
        options.pdfVertSize = QString::fromLatin1(c.vert);
        options.pdfLandscape = c.landscape;
        options.processType = QString::fromLatin1(c.type);
        const QString file = path(QStringLiteral("options.pdf"));
        std::vector<Record> records = WideSalesReport(RecordWidth(c.code));
        ASSERT_TRUE(run(ProcPDF, file, records, c.code));
        EXPECT_EQ(width, QString::fromLatin1(c.code));
        const std::string pdf = ReadFileBytes(file);
        const QStringList parts = QString::fromLatin1(c.fontAndLeading).split(QLatin1Char('|'));
        EXPECT_NE(pdf.find(parts[0].toStdString() + "\r\n1 0 0 1 20 " + std::to_string(c.pageHeight - 20) +
                           " Tm\r\n" + parts[1].toStdString() + "\r\n"),
                  std::string::npos);
        std::vector<std::string> lines;
        for (const Record& r : records) lines.push_back(r.text);
        CheckPdf(file, {.pages = 3, .width = c.pageWidth, .height = c.pageHeight, .lines = lines});
    }
}

TEST_F(DocumentsTest, APdfNumberThatIsNoNumberIsAFileErrorAndTouchesNothing) {
    for (QString DownloadOptions::*control : {&DownloadOptions::pdfFontSize, &DownloadOptions::pdfVertSize}) {
        options.pdfPaperSize = QStringLiteral("Letter");
        options.pdfFontSize = QStringLiteral("10");
        options.pdfVertSize = QStringLiteral("Auto");
        options.*control = QStringLiteral("ten");
        const QString file = path(QStringLiteral("keep.pdf"));
        WriteFileBytes(file, "EARLIER DOCUMENT");
        t.boxes->expect(QStringLiteral("PC level file error:13   Description: Type mismatch  Path and file: ") + file +
                        QLatin1Char(' '));
        EXPECT_FALSE(ProcPDF(t.ctx, options, screen, file, SampleRow()));
        EXPECT_EQ(t.boxes->shown().back().title, QStringLiteral("iSeries Spoolwright - ProcPDF"));
        EXPECT_EQ(t.boxes->shown().back().icon, MsgIcon::Exclamation);
        EXPECT_EQ(ReadFileBytes(file), "EARLIER DOCUMENT");
        EXPECT_EQ(host->downloadRequests(), 0);
    }
    EXPECT_TRUE(t.boxes->done());
}

TEST_F(DocumentsTest, HtmlHeaderFontSizeAndEscapes) {
    options.htmlFontSize = QStringLiteral("12");
    const QString file = path(QStringLiteral("head.html"));
    ASSERT_TRUE(run(ProcHtml, file, {{"001", ' ', "A<B & C>D \x01\x81 \xE9"}}));
    const std::string html = ReadFileBytes(file);
    EXPECT_TRUE(html.starts_with("<html xmlns:o=\"urn:schemas-microsoft-com:office:office\"\r\n"
                                 "xmlns: w = \"urn:schemas-microsoft-com:office:word\"\r\n"
                                 "xmlns=\"http://www.w3.org/TR/REC-html40\">\r\n<head>\r\n"));
    EXPECT_EQ(std::count(html.begin(), html.end(), '\n'), 39 + 1 + 3);
    size_t at = 0;
    int sizes = 0;
    while ((at = html.find("\r\n    font-size:12.0pt;\r\n", at + 1)) != std::string::npos) ++sizes;
    EXPECT_EQ(sizes, 2);
    EXPECT_NE(html.find("<Pre>A&lt;B &amp; C&gt;D    \xE9</Pre>\r\n"), std::string::npos);
    CheckHtml(file);
}

TEST_F(DocumentsTest, HtmlAddModeTwiceOntoOneDocument) {
    options.htmlAddToFile = true;
    const QString file = path(QStringLiteral("add.html"));
    // Onto a missing file and onto an empty one: the header comes first.
    for (bool empty : {false, true}) {
        SCOPED_TRACE(empty);
        QFile::remove(file);
        if (empty) WriteFileBytes(file, "");
        ASSERT_TRUE(run(ProcHtml, file, {{"001", ' ', "FIRST"}}));
        EXPECT_TRUE(ReadFileBytes(file).starts_with("<html xmlns:o="));
    }
    const std::string first = ReadFileBytes(file);
    ASSERT_TRUE(run(ProcHtml, file, {{"001", ' ', "SECOND"}}));
    ASSERT_TRUE(run(ProcHtml, file, {{"001", ' ', "THIRD"}}));
    const std::string html = ReadFileBytes(file);
    const std::string separator = "<P>" + std::string(48, '.') + "</P>\r\n<div class=Section1>\r\n";
    std::string expected = first.substr(0, first.size() - std::string("</body>\r\n</html>\r\n").size()) +
                           "       \r\n       \r\n" + separator + "<Pre>SECOND</Pre>\r\n</div>\r\n       \r\n       \r\n" +
                           separator + "<Pre>THIRD</Pre>\r\n</div>\r\n</body>\r\n</html>\r\n";
    EXPECT_EQ(html, expected);
    CheckHtml(file);
    EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(QLatin1Char(' ')).toStdString();
}

TEST_F(DocumentsTest, HtmlAddModeKeepsEveryLineOfTheEarlierFile) {
    options.htmlAddToFile = true;
    const QString file = path(QStringLiteral("hand.html"));
    WriteFileBytes(file, "<HTML><BODY>\r\n\r\n<p>kept</p>\r\n\r\n</Body></HTML>");
    ASSERT_TRUE(run(ProcHtml, file, {{"001", ' ', "NEW"}}));
    EXPECT_TRUE(ReadFileBytes(file).starts_with("<HTML><BODY>\r\n\r\n<p>kept</p>\r\n\r\n              \r\n<P>"));
}

// Adding to a document that another run is writing: the addition waits and
// adds to the document that run leaves; when that run writes for longer than
// the wait, the addition is refused and the document is that run's.
TEST_F(DocumentsTest, HtmlAddModeWaitsForAnotherRunsDocument) {
    options.htmlAddToFile = true;
    const QString file = path(QStringLiteral("shared.html"));
    for (const bool otherEnds : {true, false}) {
        SCOPED_TRACE(otherEnds ? "the other run ends" : "the other run goes on");
        WriteFileBytes(file, "<HTML><BODY>\r\n<p>earlier</p>\r\n</BODY></HTML>\r\n");
        SafeOutputFile other;
        other.open(file, {});
        other.write("<HTML><BODY>\r\n<p>the other run's</p>\r\n</BODY></HTML>\r\n");
        if (otherEnds) QTimer::singleShot(0, [&] { other.commit(); });
        if (!otherEnds)
            t.boxes->expect(QStringLiteral("PC level file error:70   Description: ") + file +
                            QStringLiteral(" is being written by another program"));
        EXPECT_EQ(bool(run(ProcHtml, file, {{"001", ' ', "MINE"}})), otherEnds);
        if (other.isOpen()) other.commit();
        const std::string html = ReadFileBytes(file);
        EXPECT_TRUE(html.starts_with("<HTML><BODY>\r\n<p>the other run's</p>\r\n")) << html;
        EXPECT_EQ(html.find("MINE") != std::string::npos, otherEnds) << html;
        EXPECT_TRUE(t.boxes->done());
        EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(QLatin1Char(' ')).toStdString();
    }
}

TEST_F(DocumentsTest, AnEarlierDocumentSurvivesWhateverStopsTheDownload) {
    // A refusal, a lost link, a cancel and a later refusal, in both HTML modes
    // and for PDF and XML: the earlier document stays whole.
    const struct {
        const char* what;
        DocumentProc proc;
        const char* file;
        int htmlAdd;
    } targets[] = {{"PDF", ProcPDF, "keep.pdf", 0},
                   {"XML", ProcXml, "keep.xml", 0},
                   {"HTML replace", ProcHtml, "keep.html", 0},
                   {"HTML add", ProcHtml, "keep.html", 1}};
    enum Stop { Refused, Dropped, Canceled, Denied };
    for (const auto& target : targets) {
        options.htmlAddToFile = target.htmlAdd;
        for (Stop stop : {Refused, Dropped, Canceled, Denied}) {
            SCOPED_TRACE(std::string(target.what) + " " + std::to_string(stop));
            const QString file = path(QString::fromLatin1(target.file));
            WriteFileBytes(file, "EARLIER DOCUMENT\r\n");
            host->script.clear();
            std::vector<std::string> replies = SpoolReplies::report(NumberedRecords(30), " 80");
            switch (stop) {
            case Refused:
                host->reply(SpoolReplies::reply({}, "(INVALID)", " 80"));
                t.boxes->expect(QStringLiteral("Spool file is not available."));
                break;
            case Dropped:
                host->reply(replies[0]);
                host->drop();
                t.boxes->expect(QStringLiteral("Error in SendReceive procedure."));
                break;
            case Canceled:
                host->replies(replies);
                // Cancel while the second block is on its way.
                host->afterReply = [&, second = int(host->requests.size()) + 1](int n) {
                    if (n == second) t.ctx.link.requestCancel();
                };
                t.boxes->expect(QStringLiteral("Operation has been canceled by request of the user."));
                break;
            case Denied:
                host->reply(replies[0]);
                host->reply(SpoolReplies::reply({}, "(INVALID)", " 80"));
                t.boxes->expect(QStringLiteral("Access denied.  Possible authority problem."));
                break;
            }
            EXPECT_FALSE(target.proc(t.ctx, options, screen, file, SampleRow()));
            host->afterReply = nullptr;
            t.ctx.link.clearCancel();
            EXPECT_EQ(ReadFileBytes(file), "EARLIER DOCUMENT\r\n");
            EXPECT_TRUE(leftovers().isEmpty());
            EXPECT_TRUE(t.boxes->done());
        }
    }
}

TEST_F(DocumentsTest, WithoutAnEarlierDocumentWhatArrivedIsAValidOne) {
    std::vector<std::string> replies = SpoolReplies::report(NumberedRecords(30), " 80");
    const struct {
        DocumentProc proc;
        const char* file;
    } targets[] = {{ProcPDF, "part.pdf"}, {ProcXml, "part.xml"}, {ProcHtml, "part.html"}};
    for (const auto& target : targets) {
        SCOPED_TRACE(target.file);
        host->reply(replies[0]);
        host->drop();
        t.boxes->expect(QStringLiteral("Error in SendReceive procedure."));
        const QString file = path(QString::fromLatin1(target.file));
        EXPECT_FALSE(target.proc(t.ctx, options, screen, file, SampleRow()));
        EXPECT_EQ(lastStatus(), QStringLiteral("Transfer to file ") + file +
                                    QStringLiteral(" is incomplete.  11 records transferred."));
        std::vector<std::string> lines;
        for (int i = 1; i <= 11; ++i) lines.push_back("RECORD " + std::to_string(i));
        if (file.endsWith(QLatin1String(".pdf"))) CheckPdf(file, {.pages = 1, .lines = lines});
        if (file.endsWith(QLatin1String(".xml"))) CheckXml(file);
        if (file.endsWith(QLatin1String(".html"))) CheckHtml(file);
        ASSERT_TRUE(t.boxes->done());
    }
}

TEST_F(DocumentsTest, AWriteFailureRemovesThePartAndKeepsTheEarlierDocument) {
    // The file size limit makes the writes fail as a full disk does.
    struct rlimit before {};
    getrlimit(RLIMIT_FSIZE, &before);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    const struct {
        DocumentProc proc;
        const char* file;
        const char* title;
    } targets[] = {{ProcPDF, "big.pdf", "iSeries Spoolwright - ProcPDF"},
                   {ProcXml, "big.xml", "iSeries Spoolwright - ProcXml"},
                   {ProcHtml, "big.html", "iSeries Spoolwright - ProcHtml"}};
    for (const auto& target : targets) {
        // With an earlier document it stays; without one no broken file is left.
        for (bool earlier : {true, false}) {
            SCOPED_TRACE(std::string(target.file) + (earlier ? " over an earlier one" : " new"));
            const QString file = path(QString::fromLatin1(target.file));
            QFile::remove(file);
            if (earlier) WriteFileBytes(file, "EARLIER DOCUMENT\r\n");
            t.boxes->expect(QStringLiteral("PC level file error:61   Description: Disk full  Path and file: ") + file +
                            QLatin1Char(' '));
            host->replies(SpoolReplies::report(NumberedRecords(8000), " 80"));
            struct rlimit small = before;
            small.rlim_cur = 64 * 1024;
            setrlimit(RLIMIT_FSIZE, &small);
            SpoolFileRow::Fields big = SampleRowFields();
            big.pages = "  200";
            const ReportResult result = target.proc(t.ctx, options, screen, file, SpoolFileRow::fromFields(big));
            setrlimit(RLIMIT_FSIZE, &before);
            EXPECT_FALSE(result);
            EXPECT_EQ(t.boxes->shown().back().title, QString::fromLatin1(target.title));
            if (earlier)
                EXPECT_EQ(ReadFileBytes(file), "EARLIER DOCUMENT\r\n");
            else
                EXPECT_FALSE(QFileInfo::exists(file));
            EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(QLatin1Char(' ')).toStdString();
            host->script.clear();
        }
    }
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_TRUE(t.boxes->done());
}

TEST_F(DocumentsTest, AnUnfinishedDocumentWhoseEndDoesNotFitIsNotKept) {
    // The link breaks with no earlier document, and the disk fills up just as
    // the end of what arrived is written: no broken document takes the name.
    struct rlimit before {};
    getrlimit(RLIMIT_FSIZE, &before);
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    const std::vector<std::string> replies = SpoolReplies::report(NumberedRecords(30), " 80");
    const struct {
        DocumentProc proc;
        const char* file;
    } targets[] = {{ProcPDF, "cut.pdf"}, {ProcXml, "cut.xml"}, {ProcHtml, "cut.html"}};
    for (const auto& target : targets) {
        SCOPED_TRACE(target.file);
        const QString file = path(QString::fromLatin1(target.file));
        auto brokenRun = [&](const QString& thenBox) {
            host->reply(replies[0]);
            host->drop();
            t.boxes->expect(QStringLiteral("Error in SendReceive procedure."));
            if (!thenBox.isEmpty()) t.boxes->expect(thenBox);
            return target.proc(t.ctx, options, screen, file, SampleRow());
        };
        ASSERT_FALSE(brokenRun(QString()));
        const qint64 whole = QFileInfo(file).size();
        ASSERT_GT(whole, 0);
        ASSERT_TRUE(QFile::remove(file));

        struct rlimit small = before;
        small.rlim_cur = rlim_t(whole - 1);
        setrlimit(RLIMIT_FSIZE, &small);
        const ReportResult result = brokenRun(QStringLiteral("PC level file error:61   Description: Disk full  Path and file: ") +
                                     file + QLatin1Char(' '));
        setrlimit(RLIMIT_FSIZE, &before);
        EXPECT_FALSE(result);
        EXPECT_FALSE(QFileInfo::exists(file)) << "a document of " << QFileInfo(file).size() << " bytes was kept";
        EXPECT_TRUE(QDir(t.dir.path()).entryList(QDir::Files).isEmpty());
        EXPECT_TRUE(t.boxes->done());
        host->script.clear();
    }
    std::signal(SIGXFSZ, oldHandler);
}

TEST_F(DocumentsTest, XmlLinesAndPagesInEveryLayout) {
    const std::vector<Record> report = {{"001", ' ', "HEAD"},  {"004", ' ', "FOURTH"}, {"   ", '2', "SIXTH"},
                                        {"   ", ' ', "SAME"},  {"   ", '0', "OVER"},   {"002", ' ', "NEXT PAGE"},
                                        {"  5", '1', "SKIP5"}};
    const struct {
        const char* what;
        int removeBlank;
        const char* code;
        const char* lines;
    } cases[] = {
        {"80 columns", 0, " 80",
         "<Page000001 skip=\"001\" space=\" \">\r\n"
         "<Line001 skip=\"001\" Space=\"1\">HEAD</Line001>\r\n"
         // Every line of a page once, in order: the lines a record leaves empty have elements of their own.
         "<Line002></Line002>\r\n<Line003></Line003>\r\n"
         "<Line004 skip=\"004\" Space=\"1\">FOURTH</Line004>\r\n"
         "<Line005></Line005>\r\n"
         "<Line006 skip=\"000\" Space=\"2\">SIXTH</Line006>\r\n"
         "<Line007 skip=\"000\" Space=\"1\">SAME</Line007>\r\n"
         "<Line008 skip=\"000\" Space=\"0\">OVER</Line008>\r\n"
         "</Page000001>\r\n<Page000002 skip=\"002\" space=\" \">\r\n"
         "<Line001></Line001>\r\n"
         "<Line002 skip=\"002\" Space=\"1\">NEXT PAGE</Line002>\r\n"
         "<Line003></Line003>\r\n<Line004></Line004>\r\n"
         "<Line005 skip=\"  5\" Space=\"1\">SKIP5</Line005>\r\n"
         "</Page000002>\r\n"},
        {"132 columns", 0, "132",
         "<Page000001 skip=\"001\" space=\" \">\r\n"
         "<Line001 skip=\"001\" space=\"1\">HEAD</Line001>\r\n"
         // Every line of a page once, in order: the lines a record leaves empty have elements of their own.
         "<Line002></Line002>\r\n<Line003></Line003>\r\n"
         "<Line004 skip=\"004\" space=\"1\">FOURTH</Line004>\r\n"
         "<Line005></Line005>\r\n"
         "<Line006 skip=\"000\" space=\"2\">SIXTH</Line006>\r\n"
         "<Line007 skip=\"000\" space=\"1\">SAME</Line007>\r\n"
         "<Line008 skip=\"000\" space=\"0\">OVER</Line008>\r\n"
         "</Page000001>\r\n<Page000002 skip=\"002\" space=\" \">\r\n"
         "<Line001></Line001>\r\n"
         "<Line002 skip=\"002\" space=\"1\">NEXT PAGE</Line002>\r\n"
         "<Line003></Line003>\r\n<Line004></Line004>\r\n"
         "<Line005 skip=\"005\" space=\"1\">SKIP5</Line005>\r\n"
         "</Page000002>\r\n"},
        {"blank lines removed", 1, " 80",
         "<Page000001 skip=\"001\" space=\" \">\r\n"
         // One line per record, numbered on without a repeat.
         "<Line0000001 skip=\"001\" Space=\"1\">HEAD</Line0000001>\r\n"
         "<Line0000002 skip=\"004\" Space=\"1\">FOURTH</Line0000002>\r\n"
         "<Line0000003 skip=\"000\" Space=\"2\">SIXTH</Line0000003>\r\n"
         "<Line0000004 skip=\"000\" Space=\"1\">SAME</Line0000004>\r\n"
         "<Line0000005 skip=\"000\" Space=\"0\">OVER</Line0000005>\r\n"
         "<Line0000006 skip=\"002\" Space=\"1\">NEXT PAGE</Line0000006>\r\n"
         "<Line0000007 skip=\"  5\" Space=\"1\">SKIP5</Line0000007>\r\n"
         "</Page000001>\r\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        options.removeBlankLines = c.removeBlank;
        const QString file = path(QStringLiteral("lines.xml"));
        ASSERT_TRUE(run(ProcXml, file, report, c.code));
        const std::string xml = ReadFileBytes(file);
        const size_t pages = xml.find("<Pages>\r\n") + 9;
        EXPECT_EQ(xml.substr(pages), std::string(c.lines) + "</Pages>\r\n</Report>\r\n");
        CheckXml(file);
    }
}

TEST_F(DocumentsTest, XmlAttributesAndAReportWithoutRecords) {
    const QString file = path(QStringLiteral("empty.xml"));
    host->reply(SpoolReplies::reply({}, "(END)", " 80"));
    ASSERT_TRUE(ProcXml(t.ctx, options, screen, file, SampleRow()));
    EXPECT_EQ(ReadFileBytes(file),
              "<?xml version=\"1.0\" encoding=\"windows-1252\"?>\r\n<Report>\r\n<Attributes>\r\n"
              "<SpoolFile>QSYSPRT</SpoolFile>\r\n<JobName>QPADEV0001</JobName>\r\n<User>JSMITH</User>\r\n"
              "<JobNumber>004711</JobNumber>\r\n<Sequence>0003</Sequence>\r\n<UserData>MONTHLY</UserData>\r\n"
              "<DateCreated>2024/01/31 14:05:09</DateCreated>\r\n"
              "<DateDownloaded>2024/02/29 09:08:07</DateDownloaded>\r\n<PageCount>3</PageCount>\r\n"
              "<Forms>*STD</Forms>\r\n</Attributes>\r\n<Pages>\r\n</Pages>\r\n</Report>\r\n");
    EXPECT_EQ(lastStatus(), QStringLiteral("Transfer is complete to ") + file + QStringLiteral(".  0 records transferred."));
    CheckXml(file);
    // The same report as PDF and HTML: a valid document without lines.
    host->reply(SpoolReplies::reply({}, "(END)", " 80"));
    ASSERT_TRUE(ProcPDF(t.ctx, options, screen, path(QStringLiteral("empty.pdf")), SampleRow()));
    CheckPdf(path(QStringLiteral("empty.pdf")), {.pages = 1, .width = 595, .height = 842});
    host->reply(SpoolReplies::reply({}, "(END)", " 80"));
    ASSERT_TRUE(ProcHtml(t.ctx, options, screen, path(QStringLiteral("empty.html")), SampleRow()));
    CheckHtml(path(QStringLiteral("empty.html")));
}

TEST_F(DocumentsTest, XmlEscapesAndBlanksWhatParsersRefuse) {
    SpoolFileRow::Fields f = SampleRowFields();
    f.userData = "<A&B>";
    const QString file = path(QStringLiteral("odd.xml"));
    host->replies(SpoolReplies::report({{"001", ' ', "<TAG> & \x01\x1f\x81 \xE9\x80"}}, " 80"));
    ASSERT_TRUE(ProcXml(t.ctx, options, screen, file, SpoolFileRow::fromFields(f)));
    const std::string xml = ReadFileBytes(file);
    EXPECT_NE(xml.find("<UserData>&lt;A&amp;B&gt;</UserData>\r\n"), std::string::npos);
    EXPECT_NE(xml.find(">{TAG} &amp;     \xE9\x80</Line001>\r\n"), std::string::npos);
    CheckXml(file);
}

TEST_F(DocumentsTest, ProgressEveryFiftyRecords) {
    host->replies(SpoolReplies::report(NumberedRecords(120), " 80"));
    const QString file = path(QStringLiteral("progress.xml"));
    ASSERT_TRUE(ProcXml(t.ctx, options, screen, file, SampleRow()));
    QStringList progress;
    for (const QString& s : screen.history)
        if (s.startsWith(QLatin1String("Records transferred: "))) progress << s;
    EXPECT_EQ(progress, (QStringList{QStringLiteral("Records transferred: 55   "), QStringLiteral("Records transferred: 110   ")}));
    EXPECT_EQ(screen.history.first(),
              QStringLiteral("Preparing records for transfer to file ") + file + QStringLiteral(".   "));
    EXPECT_EQ(lastStatus(), QStringLiteral("Transfer is complete to ") + file + QStringLiteral(".  120 records transferred."));
}

// Every paper, both ways, every width, at the default font size: every line
// comes back whole and every word lies inside the page; where the report is
// wider than the paper the font shrinks and the status says to what.
struct PaperCase {
    const char* name;
    int width, height;
    bool landscape;
    const char* code;
};
void PrintTo(const PaperCase& c, std::ostream* os) {
    *os << c.name << (c.landscape ? ", landscape, " : ", portrait, ") << c.code;
}
std::vector<PaperCase> everyPaperWayAndWidth() {
    const struct {
        const char* name;
        int width, height;
    } papers[] = {{"Wide", 842, 1190},    {"Standard A4", 595, 842}, {"Narrow A5", 421, 595},
                  {"Tabloid", 792, 1224}, {"Ledger", 1224, 792},     {"Legal", 612, 1008},
                  {"Statement", 396, 612}, {"Executive", 540, 720},  {"Letter", 612, 792}};
    std::vector<PaperCase> out;
    for (const auto& paper : papers)
        for (bool landscape : {false, true})
            for (const char* code : {" 80", "132", "198", "990"})
                out.push_back({paper.name, paper.width, paper.height, landscape, code});
    return out;
}

class DocumentsOnPaper : public DocumentsTest, public ::testing::WithParamInterface<PaperCase> {};

TEST_P(DocumentsOnPaper, NothingRunsOffThePaperAtAnyWidth) {
    const PaperCase& paper = GetParam();
    const int columns = RecordWidth(paper.code);
    options.pdfPaperSize = QString::fromLatin1(paper.name);
    options.pdfLandscape = paper.landscape;
    const QString file = path(QStringLiteral("paper.pdf"));
    std::vector<Record> records = WideSalesReport(columns);
    ASSERT_TRUE(run(ProcPDF, file, records, paper.code));
    const int across = paper.landscape ? paper.height : paper.width;
    std::vector<std::string> lines;
    for (const Record& r : records) lines.push_back(r.text);
    CheckPdf(file, {.width = across, .height = paper.landscape ? paper.width : paper.height, .lines = lines});
    const bool fits = 0.6 * 10 * columns + 40 <= across;
    EXPECT_EQ(lastStatus().contains(QStringLiteral(" points instead of 10, so that all ") + QString::number(columns) +
                                    QStringLiteral(" columns fit across the paper.")),
              !fits)
        << lastStatus().toStdString();
}

INSTANTIATE_TEST_SUITE_P(EveryPaperWayAndWidth, DocumentsOnPaper, ::testing::ValuesIn(everyPaperWayAndWidth()),
                         [](const ::testing::TestParamInfo<PaperCase>& info) {
                             std::string name = std::string(info.param.name) +
                                                (info.param.landscape ? "_Landscape_" : "_Portrait_") + info.param.code;
                             std::erase(name, ' ');
                             return name;
                         });

// Best fit keeps each page of the host on one page of the PDF, however long.
TEST_F(DocumentsTest, BestFitKeepsEveryHostPageOnOnePdfPage) {
    for (int last : {66, 70, 120, 200}) {
        SCOPED_TRACE(last);
        std::vector<Record> records;
        for (int page = 1; page <= 3; ++page) {
            records.push_back({"001", ' ', "PAGE " + std::to_string(page)});
            records.push_back({(last < 100 ? "0" : "") + std::to_string(last), ' ', "FOOTER OF PAGE " + std::to_string(page)});
        }
        const QString file = path(QStringLiteral("fit.pdf"));
        ASSERT_TRUE(run(ProcPDF, file, records));
        std::vector<std::string> lines;
        for (const Record& r : records) lines.push_back(r.text);
        CheckPdf(file, {.pages = 3, .width = 595, .height = 842, .lines = lines});
    }
}
