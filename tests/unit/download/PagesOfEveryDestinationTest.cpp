#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QXmlStreamReader>
#include <map>

#include "Codec.h"
#include "CoreTestSupport.h"
#include "DocumentCheckers.h"
#include "DocumentDownload.h"
#include "PreviewText.h"
#include "PrintReport.h"
#include "ProcHtml.h"
#include "ProcPDF.h"
#include "ProcTxt.h"
#include "ProcXml.h"
#include "ScriptedHostSocket.h"
#include "SpoolExchange.h"
#include "TransferTestSupport.h"

using Record = SpoolReplies::Record;

namespace {
using Placed = PlacedLine;
using Placement = std::vector<Placed>;

// The fixtures of every page question the host's print control asks.
const std::vector<Record>& fixtures() {
    static const std::vector<Record> records = {
        {"001", ' ', "HEAD"},
        {"   ", '1', "SECOND"},
        {"005", ' ', "SKIP BELOW"},          // line 5 of page 1
        {"005", ' ', "SKIP TO THE SAME"},    // a new page
        {"003", ' ', "SKIP ABOVE"},          // and again
        {"006", '2', "SKIP AND SPACING"},    // the skip places it
        {"   ", '2', "SPACING 2"},
        {"   ", '3', "SPACING 3"},
        {"   ", ' ', "NO CONTROL"},
        {"   ", '1', ""},                    // a blank record keeps its line
        {"   ", '1', "AFTER BLANK"},
        {"   ", '1', "BOLD"},
        {"   ", '0', "BOLD"},                // an overprint: a line of its own
        {"070", ' ', "BEYOND 66"},
        {"001", ' ', "ONE LINE PAGE"},
        {"001", ' ', "TOP"},
        {"066", ' ', "FOOTER ON 66"},
        {"001", ' ', "LAST PAGE"},
        {"   ", '1', "\x95"},                // the office page mark's character, alone
        {"   ", '1', "A \x95 INSIDE"},
        {"   ", '1', "FORM\fFEED"},
        {"   ", '1', "CONTROL [\x01\x07\x1b\x7f\x81] BYTES"},
        {"   ", '1', "END"},
    };
    return records;
}

// The lines of a file of CR LF lines.
std::vector<std::string> fileLines(const std::string& bytes) {
    std::vector<std::string> out;
    size_t from = 0;
    while (from < bytes.size()) {
        size_t eol = bytes.find("\r\n", from);
        if (eol == std::string::npos) eol = bytes.size();
        out.push_back(bytes.substr(from, eol - from));
        from = eol + 2;
    }
    return out;
}

// Lines with their page and line; `isBreak` tells how many lines from i on
// make a page break (0: none). Empty lines count but are not listed.
Placement placeLines(const std::vector<std::string>& lines, const std::function<size_t(size_t)>& isBreak) {
    Placement out;
    int page = 1, line = 0;
    for (size_t i = 0; i < lines.size();) {
        if (const size_t n = isBreak(i)) {
            ++page;
            line = 0;
            i += n;
            continue;
        }
        ++line;
        // Trailing blanks show nothing.
        const size_t end = lines[i].find_last_not_of(' ');
        if (end != std::string::npos) out.push_back({page, line, lines[i].substr(0, end + 1)});
        ++i;
    }
    return out;
}

// What every destination but the text file shows: control bytes and the
// code page's unassigned bytes as blanks.
std::string blanked(std::string s) {
    for (char& ch : s) {
        const auto b = static_cast<unsigned char>(ch);
        if (b < 0x20 || b == 0x7F || b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D) ch = ' ';
    }
    return s;
}

std::string collapsed(const std::string& s) {
    std::string out;
    for (char c : s) {
        if (c == ' ' && (out.empty() || out.back() == ' ')) continue;
        out += c;
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    return out;
}

// pdftotext's words by page and baseline: a row k lies k leadings below the
// top margin (the writer's first row is one leading down).
Placement pdfPlacement(const QString& file, int leading, int topMargin = 20) {
    const ToolRun r = RunTool(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), file, QStringLiteral("-")});
    EXPECT_EQ(r.exitCode, 0) << r.err;
    Placement out;
    int page = 0;
    std::map<int, std::map<double, std::string>> rows;
    auto flush = [&] {
        for (auto& [k, words] : rows) {
            std::string text;
            for (auto& [x, w] : words) text += (text.empty() ? "" : " ") + w;
            out.push_back({page, k, text});
        }
        rows.clear();
    };
    static const QRegularExpression item(QStringLiteral(
        "<page |<word xMin=\"([\\d.]+)\" yMin=\"[\\d.]+\" xMax=\"[\\d.]+\" yMax=\"([\\d.]+)\">(.*?)</word>"));
    auto it = item.globalMatch(QString::fromUtf8(r.out));
    while (it.hasNext()) {
        const auto m = it.next();
        if (m.captured(0).startsWith(QLatin1String("<page"))) {
            flush();
            ++page;
            continue;
        }
        QString word = m.captured(3);
        word.replace(QLatin1String("&lt;"), QLatin1String("<")).replace(QLatin1String("&gt;"), QLatin1String(">"));
        word.replace(QLatin1String("&quot;"), QLatin1String("\"")).replace(QLatin1String("&amp;"), QLatin1String("&"));
        const int k = qRound((m.captured(2).toDouble() - topMargin) / leading);
        rows[k][m.captured(1).toDouble()] = Codec::fromUnicode(word);
    }
    flush();
    return out;
}

// An *FCFC file as a printer prints it: "1" a new page, " " one line down,
// "0" two, "-" three, "+" over the same line.
Placement asaPlacement(const std::vector<std::string>& lines) {
    Placement out;
    int page = 0, line = 0;
    for (const std::string& l : lines) {
        if (l.empty()) {
            ADD_FAILURE() << "an *FCFC line without its control character";
            continue;
        }
        switch (l[0]) {
        case '1': ++page, line = 1; break;
        case ' ': line += 1; break;
        case '0': line += 2; break;
        case '-': line += 3; break;
        case '+': break;
        default: ADD_FAILURE() << "not an ASA control character: " << l;
        }
        if (l.size() > 1) out.push_back({page, line, l.substr(1)});
    }
    return out;
}

Placement htmlPlacement(const std::string& html) {
    std::vector<std::string> lines;
    static const QRegularExpression pre(QStringLiteral("<Pre>(.*?)</Pre>"));
    auto it = pre.globalMatch(QString::fromLatin1(html));
    while (it.hasNext()) {
        std::string t = it.next().captured(1).toLatin1().toStdString();
        for (auto [from, to] : {std::pair{"&lt;", "<"}, {"&gt;", ">"}, {"&amp;", "&"}})
            for (size_t at; (at = t.find(from)) != std::string::npos;) t.replace(at, strlen(from), to);
        lines.push_back(t);
    }
    const std::string rule = std::string(46, '_') + " ";
    return placeLines(lines, [&](size_t i) -> size_t {
        return i + 2 < lines.size() && lines[i] == " " && lines[i + 1] == rule && lines[i + 2] == " " ? 3 : 0;
    });
}

// One Page element per page, one Line element per line numbered 1, 2, 3 ...
Placement xmlPlacement(const std::string& xml) {
    Placement out;
    QXmlStreamReader r(QByteArray::fromStdString(xml));
    int page = 0, expected = 0;
    while (!r.atEnd()) {
        if (r.readNext() != QXmlStreamReader::StartElement) continue;
        static const QRegularExpression pageName(QStringLiteral("^Page\\d{6}$")), lineName(QStringLiteral("^Line\\d+$"));
        const QString name = r.name().toString();
        if (pageName.match(name).hasMatch()) {
            ++page;
            expected = 1;
            EXPECT_EQ(name.mid(4).toInt(), page) << name.toStdString();
        } else if (lineName.match(name).hasMatch()) {
            const int n = name.mid(4).toInt();
            EXPECT_EQ(n, expected) << "page " << page << ": " << name.toStdString();
            expected = n + 1;
            const std::string text = Codec::fromUnicode(r.readElementText());
            if (text.find_first_not_of(' ') != std::string::npos) out.push_back({page, n, text});
        }
    }
    EXPECT_FALSE(r.hasError()) << r.errorString().toStdString();
    return out;
}

Placement printerPlacement(const RecordingPrinter::Document& doc) {
    Placement out;
    for (size_t p = 0; p < doc.size(); ++p)
        for (qsizetype l = 0; l < doc[p].lines.size(); ++l) {
            const std::string text = Codec::fromUnicode(doc[p].lines[l]);
            const size_t end = text.find_last_not_of(' ');
            if (end != std::string::npos) out.push_back({int(p) + 1, int(l) + 1, text.substr(0, end + 1)});
        }
    return out;
}

class PagesOfEveryDestination : public ::testing::Test {
protected:
    void SetUp() override {
        t.ctx.services.wallClock = [] { return QDateTime(QDate(2024, 2, 29), QTime(9, 8, 7)); };
        options.pageLength = QStringLiteral("Variable");
        options.pdfPaperSize = QStringLiteral("Best fit");
        options.pdfFontSize = QStringLiteral("10");
        options.pdfVertSize = QStringLiteral("Auto");
        options.htmlFontSize = QStringLiteral("10");
    }

    QString path(const char* name) { return t.dir.path() + QLatin1Char('/') + QLatin1String(name); }
    void serve(const std::vector<Record>& records) { host->replies(SpoolReplies::report(records, " 80")); }
    std::string transfer(const char* code, const std::vector<Record>& records) {
        serve(records);
        const QString file = path("report.txt");
        EXPECT_TRUE(ProcTxt(t.ctx, options, screen, file, QString::fromLatin1(code), SampleRow()));
        return ReadFileBytes(file);
    }
    std::string document(DocumentProc proc, const char* name, const std::vector<Record>& records) {
        serve(records);
        const QString file = path(name);
        EXPECT_TRUE(proc(t.ctx, options, screen, file, SampleRow()));
        return ReadFileBytes(file);
    }
    // The text file: the reference every destination is held to.
    Placement textFile(const std::vector<Record>& records) {
        const std::vector<std::string> lines = fileLines(transfer("Text", records));
        return placeLines(lines, [&](size_t i) -> size_t { return lines[i] == "\f" ? 1 : 0; });
    }

    // Every destination's pages and lines, read back by a reader of its own.
    std::map<std::string, Placement> everyDestination(const std::vector<Record>& records) {
        std::map<std::string, Placement> got;
        {
            const QString file = path("report.pdf");
            document(ProcPDF, "report.pdf", records);
            got["PDF, best fit"] = pdfPlacement(file, 11);
            CheckPdf(file, {.checkLines = false});
            options.pdfPaperSize = QStringLiteral("Standard A4");
            document(ProcPDF, "report.pdf", records);
            got["PDF, A4"] = pdfPlacement(file, 10);
            options.pdfPaperSize = QStringLiteral("Best fit");
        }
        got["HTML"] = htmlPlacement(document(ProcHtml, "report.html", records));
        got["XML"] = xmlPlacement(document(ProcXml, "report.xml", records));
        {
            serve(records);
            // A batch run prints on the default printer without its dialog.
            t.ctx.mode.gBatchMode = t.ctx.mode.gBatchNoDialogs = true;
            EXPECT_TRUE(PrintSpoolFileToPrinter(t.ctx, options, screen, SampleRow()));
            t.ctx.mode.gBatchMode = t.ctx.mode.gBatchNoDialogs = false;
            EXPECT_FALSE(t.printer->documents().empty());
            if (!t.printer->documents().empty()) got["printer"] = printerPlacement(t.printer->documents().back());
        }
        {
            serve(records);
            PreviewText preview(true);
            ExchangeStyle style;
            RunSpoolExchange(t.ctx, DownloadRequestFor(options, SampleRow()).build(), style, preview, screen);
            const std::vector<std::string> lines = fileLines(preview.bytes());
            const std::string rule(80, '_');
            got["preview"] = placeLines(lines, [&](size_t i) -> size_t { return lines[i] == rule ? 1 : 0; });
        }
        {
            const std::vector<std::string> lines = fileLines(transfer("ProcFullView", records));
            const std::string rule(80, '_');
            got["entire-report view"] = placeLines(lines, [&](size_t i) -> size_t {
                return i + 2 < lines.size() && lines[i].empty() && lines[i + 1] == rule &&
                               lines[i + 2].starts_with(std::string(81, ' '))
                           ? 3
                           : 0;
            });
        }
        {
            // The record of the mark's character alone keeps a blank behind it, so it is no mark.
            const std::vector<std::string> lines = fileLines(transfer("ProcExcel", records));
            got["office work file"] = placeLines(lines, [&](size_t i) -> size_t { return lines[i] == "\x95" ? 1 : 0; });
        }
        return got;
    }

    CoreTestContext t;
    std::shared_ptr<ScriptedHost> host = UseScriptedHost(t.ctx);
    DownloadOptions options = TextFileOptions();
    StatusRecorder screen{t.ctx.link};
};
}  // namespace

TEST_F(PagesOfEveryDestination, EveryRecordIsWhereTheTextFilePutsIt) {
    for (bool suppress : {false, true}) {
        SCOPED_TRACE(suppress ? "overprinting suppressed" : "overprinting kept");
        options.suppressOverprinting = suppress;
        // The host leaves the overprint out when it is told to.
        std::vector<Record> records;
        for (const Record& r : fixtures())
            if (!suppress || r.spacing != '0') records.push_back(r);
        const Placement textFile = this->textFile(records);
        ASSERT_EQ(textFile.size(), records.size() - 1);  // the blank record shows nothing
        ASSERT_EQ(textFile[textFile.size() - 6], (Placed{6, 1, "LAST PAGE"}));
        // The text file keeps the host's bytes; a form feed in a record is no page break.
        EXPECT_EQ(textFile[textFile.size() - 3], (Placed{6, 4, "FORM FEED"}));
        EXPECT_EQ(textFile[textFile.size() - 2], (Placed{6, 5, "CONTROL [\x01\x07\x1b\x7f\x81] BYTES"}));
        Placement expected = textFile;
        for (Placed& p : expected) p.text = blanked(p.text);
        // A remembered "Include print control characters" is the text file's alone.
        options.printControl = true;
        options.fcfc = true;
        for (const auto& [destination, got] : everyDestination(records)) {
            SCOPED_TRACE(destination);
            if (destination.starts_with("PDF")) {
                // pdftotext gives the words of a line, one blank between them.
                Placement words = expected;
                for (Placed& p : words) p.text = collapsed(p.text);
                EXPECT_EQ(got, words);
            } else {
                EXPECT_EQ(got, expected);
            }
        }
        options.printControl = options.fcfc = false;
    }
}

TEST_F(PagesOfEveryDestination, AnOverprintTakesALineOfItsOwnAndNeverMakesANewPage) {
    const OverprintCase& c = OverprintReport();
    options.suppressOverprinting = false;
    EXPECT_EQ(textFile(c.records), c.ownLines);
    for (const auto& [destination, got] : everyDestination(c.records)) {
        SCOPED_TRACE(destination);
        Placement expected = c.ownLines;
        if (destination.starts_with("PDF"))
            for (Placed& p : expected) p.text = collapsed(p.text);
        EXPECT_EQ(got, expected);
    }
    // *FCFC prints over the line, as the host does.
    options.printControl = options.fcfc = true;
    EXPECT_EQ(asaPlacement(fileLines(transfer("Text", c.records))), c.hostLines);
    // *PRTCTL keeps every slot as it came.
    options.fcfc = false;
    std::vector<std::string> asSent;
    for (const Record& r : c.records) asSent.push_back(r.skip + r.spacing + r.text);
    for (std::string& l : asSent) l.erase(l.find_last_not_of(' ') + 1);
    EXPECT_EQ(fileLines(transfer("Text", c.records)), asSent);
}
