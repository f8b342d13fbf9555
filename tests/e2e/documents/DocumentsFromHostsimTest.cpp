#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <map>

#include "DocumentCheckers.h"
#include "DocumentDownload.h"
#include "DownloadDriver.h"
#include "DownloadWindows.h"
#include "HostSimFixture.h"
#include "ProcHtml.h"
#include "ProcPDF.h"
#include "ProcXml.h"
#include "SpoolDownload.h"
#include "TestSupport.h"
#include "ScreenOptions.h"
#include "TransferTestSupport.h"

namespace {
// A document procedure with the screen's options, its progress going to the screen.
ReportResult RunDocument(DocumentProc proc, AppContext& ctx, PlainSplfScreen& screen, const QString& file,
                         const SpoolFileRow& row) {
    ScreenProgress progress(screen);
    return proc(ctx, ReadScreenOptions(screen, ctx.download.gMinusSignApplicable), progress, file, row);
}

// A .splf file as hostsim reads it: its attributes and record lines.
struct SplfReport {
    std::map<std::string, std::string> attributes;
    std::vector<std::string> texts;  // the records' texts, bytes as sent
    SpoolFileRow row() const {
        auto a = [&](const char* k) {
            const auto it = attributes.find(k);
            return it == attributes.end() ? std::string() : it->second;
        };
        SpoolFileRow::Fields f;
        f.file = a("name");
        f.user = a("user");
        f.outq = "QPRINT";
        const std::string pages = a("pages");
        f.pages = std::string(pages.size() < 5 ? 5 - pages.size() : 0, ' ') + pages;
        f.form = a("formtype");
        std::string date = a("date");
        std::replace(date.begin(), date.end(), '-', '/');
        f.date = date;
        f.time = a("time");
        f.jobNumber = a("jobnumber");
        const std::string number = a("number");
        f.job = a("job") + "/" + std::string(4 - number.size(), '0') + number;
        f.userData = a("userdata");
        f.translation = std::string(10, ' ');
        return SpoolFileRow::fromFields(f);
    }
};

SplfReport readSplf(const QString& path) {
    SplfReport r;
    const std::string bytes = ReadFileBytes(path);
    bool records = false;
    size_t from = 0;
    while (from < bytes.size()) {
        size_t nl = bytes.find('\n', from);
        if (nl == std::string::npos) nl = bytes.size();
        std::string line = bytes.substr(from, nl - from);
        from = nl + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (records) {
            r.texts.push_back(line.size() > 4 ? line.substr(4) : std::string());
        } else if (line == "[records]") {
            records = true;
        } else if (!line.starts_with("#") && line.find('=') != std::string::npos) {
            r.attributes[line.substr(0, line.find('='))] = line.substr(line.find('=') + 1);
        }
    }
    return r;
}

struct Sample {
    const char* splf;  // under samples/
    const char* name;  // golden files documents/<name>.*
    int width;
    int pdfWidth, pdfHeight;  // best fit
};
const Sample kSamples[] = {{"QGPL/QPRINT/01-invoice.splf", "invoice_80", 80, 595, 842},
                           {"PAYLIB/PAYROLL/01-register.splf", "payroll_132", 132, 1224, 792},
                           {"SALESLIB/SALESQ/01-analysis.splf", "sales_198", 198, 1224, 792}};

class DocumentsFromHostsim : public ::testing::Test {
protected:
    void SetUp() override {
        t.ctx.services.wallClock = [] { return QDateTime(QDate(2024, 2, 29), QTime(9, 8, 7)); };
        // Every record as the host holds it, overprints included.
        screen.setCheck(ScreenCheck::SuppressOverprinting, 0);
        screen.setText(ScreenText::ProcessType, QStringLiteral("PDF document"));
        screen.setText(ScreenText::PdfPaperSize, QStringLiteral("Best fit"));
        screen.setText(ScreenText::PdfFontSize, QStringLiteral("10"));
        screen.setText(ScreenText::PdfVertSize, QStringLiteral("Auto"));
        screen.setChosen(ScreenChoice::HtmlAddReplace, 0, true);
        screen.setText(ScreenText::HtmlFontSize, QStringLiteral("10"));
        t.ctx.download.gMinusSignApplicable = false;
        t.ctx.services.saveSetting(QStringLiteral("User"), QStringLiteral("SWUSER"));
    }
    void serve(const QString& spool) {
        host = std::make_unique<HostSimFixture>(HostSimFixtureOptions{.spool = spool, .clock = t.clock});
        ASSERT_TRUE(host->connectJobPort(t.ctx));
    }
    QString path(const QString& name) { return t.dir.path() + QLatin1Char('/') + name; }
    bool document(DocumentProc proc, const QString& file, const SpoolFileRow& row) {
        const ReportResult result = RunDocument(proc, t.ctx, screen, file, row);
        width = result.recordWidth;
        return bool(result);
    }

    // Downloads the report as all three documents; checks each with the
    // independent tools and against its golden file.
    void everyDocument(const SplfReport& report, const QString& name, int pages, int pdfWidth, int pdfHeight) {
        const QString pdf = path(name + QStringLiteral(".pdf"));
        ASSERT_TRUE(document(ProcPDF, pdf, report.row()));
        CheckPdf(pdf, {.pages = pages, .width = pdfWidth, .height = pdfHeight, .lines = report.texts});
        ExpectGolden(ReadFileBytes(pdf), QStringLiteral("documents/") + name + QStringLiteral(".pdf"));
        const QString html = path(name + QStringLiteral(".html"));
        ASSERT_TRUE(document(ProcHtml, html, report.row()));
        CheckHtml(html);
        ExpectGolden(ReadFileBytes(html), QStringLiteral("documents/") + name + QStringLiteral(".html"));
        const QString xml = path(name + QStringLiteral(".xml"));
        ASSERT_TRUE(document(ProcXml, xml, report.row()));
        CheckXml(xml);
        ExpectGolden(ReadFileBytes(xml), QStringLiteral("documents/") + name + QStringLiteral(".xml"));
    }

    TestContext t;
    PlainSplfScreen& screen = TextFileScreen(t.ctx);
    std::unique_ptr<HostSimFixture> host;
    QString width;
};
}  // namespace

TEST_F(DocumentsFromHostsim, TheSampleReportsAsEveryDocument) {
    serve(HostSimFixture::samples());
    for (const Sample& s : kSamples) {
        SCOPED_TRACE(s.name);
        const SplfReport report = readSplf(HostSimFixture::samples() + QLatin1Char('/') + QString::fromLatin1(s.splf));
        everyDocument(report, QString::fromLatin1(s.name), std::stoi(report.attributes.at("pages")), s.pdfWidth,
                      s.pdfHeight);
        EXPECT_EQ(RecordWidth(width.toStdString()), s.width);
    }
}

TEST_F(DocumentsFromHostsim, AReportOfCharactersThatMustBeEscapedOrBlanked) {
    QTemporaryDir spool;
    const QString source = QStringLiteral(SW_TEST_DATA "/reports/specials.splf");
    const SplfReport report = readSplf(source);
    HostSimFixture::writeSpooledFile(spool.path(), QStringLiteral("QGPL"), QStringLiteral("QPRINT"),
                                     QStringLiteral("specials.splf"), ReadFileBytes(source));
    serve(spool.path());
    everyDocument(report, QStringLiteral("specials_80"), 1, 595, 842);
    const std::string html = ReadFileBytes(path(QStringLiteral("specials_80.html")));
    EXPECT_NE(html.find("<Pre>SPECIALS (PARENS) \\BACKSLASH\\ ((UNBALANCED ) &amp; AMP &lt;TAG&gt; A&gt;B "
                        "&lt;!-- ]]&gt; &amp;amp;</Pre>"),
              std::string::npos);
    const std::string xml = ReadFileBytes(path(QStringLiteral("specials_80.xml")));
    EXPECT_NE(xml.find("<UserData>&lt;&amp;&gt;</UserData>"), std::string::npos);
    // Control bytes are blanks that keep the columns after them.
    EXPECT_NE(xml.find(">CONTROL BYTES [        ] END</Line"), std::string::npos);
    const std::string pdf = ReadFileBytes(path(QStringLiteral("specials_80.pdf")));
    EXPECT_NE(pdf.find("T* (LAST LINE \\(\\\\\\) & < >) Tj"), std::string::npos);
}

TEST_F(DocumentsFromHostsim, BestFitPagesOfEveryWidthAsPictures) {
    // The three samples and a report of 990 columns, in one spool folder.
    QTemporaryDir spool;
    std::vector<std::pair<QString, QString>> reports;  // picture name, .splf
    for (const Sample& s : kSamples) {
        const QString name = QStringLiteral("best_fit_%1").arg(s.width);
        reports.push_back({name, HostSimFixture::writeSpooledFile(
                                     spool.path(), QStringLiteral("QGPL"), QStringLiteral("QPRINT"), name + ".splf",
                                     ReadFileBytes(HostSimFixture::samples() + QLatin1Char('/') +
                                                   QString::fromLatin1(s.splf)))});
    }
    reports.push_back({QStringLiteral("best_fit_990"),
                       HostSimFixture::writeSpooledFile(spool.path(), QStringLiteral("QGPL"), QStringLiteral("QPRINT"),
                                                        QStringLiteral("wide.splf"),
                                                        SampleSplf(WideSalesReport(990), 990))});
    serve(spool.path());
    const QString shots = QStringLiteral(SW_BINARY_DIR "/screenshots");
    QDir().mkpath(shots);
    for (const auto& [name, splf] : reports) {
        SCOPED_TRACE(name.toStdString());
        const SplfReport report = readSplf(splf);
        const QString pdf = path(name + QStringLiteral(".pdf"));
        ASSERT_TRUE(document(ProcPDF, pdf, report.row()));
        CheckPdf(pdf, {.lines = report.texts});
        // The first page, for a person to look at.
        const ToolRun r = RunTool(QStringLiteral("pdftoppm"),
                                  {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("60"), QStringLiteral("-f"),
                                   QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("1"),
                                   QStringLiteral("-singlefile"), pdf, shots + QLatin1Char('/') + name});
        EXPECT_EQ(r.exitCode, 0) << r.err;
        EXPECT_TRUE(QFileInfo::exists(shots + QLatin1Char('/') + name + QStringLiteral(".png")));
    }
}

TEST_F(DocumentsFromHostsim, AHostThatStopsAnsweringKeepsTheEarlierDocument) {
    serve(HostSimFixture::samples());
    const SplfReport report =
        readSplf(HostSimFixture::samples() + QLatin1Char('/') + QString::fromLatin1(kSamples[0].splf));
    host->faults().silentAfter = 1;
    const QString box = QStringLiteral("Error in SendReceive procedure.");
    
    const struct {
        DocumentProc proc;
        const char* file;
    } targets[] = {{ProcPDF, "stop.pdf"}, {ProcHtml, "stop.html"}, {ProcXml, "stop.xml"}};
    for (const auto& target : targets) {
        SCOPED_TRACE(target.file);
        const QString file = path(QString::fromLatin1(target.file));
        WriteFileBytes(file, "EARLIER DOCUMENT\r\n");
        t.boxes->expect(box);
        EXPECT_FALSE(RunDocument(target.proc, t.ctx, screen, file, report.row()));
        EXPECT_EQ(ReadFileBytes(file), "EARLIER DOCUMENT\r\n");
        ASSERT_TRUE(host->connectJobPort(t.ctx));
        // Without an earlier document, the pages that arrived are one.
        QFile::remove(file);
        t.boxes->expect(box);
        EXPECT_FALSE(RunDocument(target.proc, t.ctx, screen, file, report.row()));
        if (file.endsWith(QLatin1String(".pdf")))
            CheckPdf(file, {.pages = 1, .lines = {report.texts.begin(), report.texts.begin() + 11}});
        if (file.endsWith(QLatin1String(".html"))) CheckHtml(file);
        if (file.endsWith(QLatin1String(".xml"))) CheckXml(file);
        ASSERT_TRUE(host->connectJobPort(t.ctx));
    }
    EXPECT_EQ(QDir(t.dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 3);
    EXPECT_TRUE(t.boxes->done());
}

TEST_F(DocumentsFromHostsim, AHostThatNeverEndsOrBreaksOffKeepsTheEarlierDocument) {
    serve(HostSimFixture::samples());
    const SplfReport report =
        readSplf(HostSimFixture::samples() + QLatin1Char('/') + QString::fromLatin1(kSamples[0].splf));
    const struct {
        const char* what;
        void (*fault)(HostSimFaults&);
        const char* box;
    } stops[] = {
        {"(MORE) for ever", [](HostSimFaults& f) { f.endlessMore = true; }, "The host keeps saying that more of the report follows"},
        {"refused after two blocks", [](HostSimFaults& f) { f.invalidAfterBlocks = 2; }, "Access denied."},
        {"the link breaks inside a reply", [](HostSimFaults& f) {
             f.dropAfter = 2;
             f.dropPartialBytes = 300;
         }, "Error in SendReceive procedure."},
    };
    const struct {
        DocumentProc proc;
        const char* file;
        bool htmlAdd;
    } targets[] = {{ProcPDF, "keep.pdf", false}, {ProcHtml, "keep.html", false}, {ProcHtml, "keep.html", true},
                   {ProcXml, "keep.xml", false}};
    for (const auto& stop : stops) {
        for (const auto& target : targets) {
            SCOPED_TRACE(std::string(stop.what) + " " + target.file + (target.htmlAdd ? " add" : ""));
            host->faults() = {};
            stop.fault(host->faults());
            ASSERT_TRUE(host->connectJobPort(t.ctx));
            screen.setChosen(ScreenChoice::HtmlAddReplace, 0, !target.htmlAdd);
            screen.setChosen(ScreenChoice::HtmlAddReplace, 1, target.htmlAdd);
            const QString file = path(QString::fromLatin1(target.file));
            WriteFileBytes(file, "EARLIER DOCUMENT\r\n");
            t.boxes->expect(QString::fromLatin1(stop.box));
            EXPECT_FALSE(RunDocument(target.proc, t.ctx, screen, file, report.row()));
            EXPECT_EQ(ReadFileBytes(file), "EARLIER DOCUMENT\r\n");
            EXPECT_EQ(QDir(t.dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QString::fromLatin1(target.file)});
            QFile::remove(file);
            ASSERT_TRUE(t.boxes->done());
        }
    }
}

TEST_F(DocumentsFromHostsim, TheDriverDeliversEveryDocumentUnderItsAttributeName) {
    serve(HostSimFixture::samples());
    AddGridRow(screen, QStringLiteral("INVOICE"), QStringLiteral("BILLING/0001"));
    SplfGrid& g = screen.grdSplf();
    g.setCellValue(1, QStringLiteral("User"), QStringLiteral("SWUSER"));
    g.setCellValue(1, QStringLiteral("JobNumber"), QStringLiteral("104211"));
    g.setCellValue(1, QStringLiteral("Date"), QStringLiteral("2004/03/15 14:22:07"));
    g.setCellValue(1, QStringLiteral("UserData"), QStringLiteral("MARCH"));
    QTemporaryDir out;
    t.ctx.services.saveSetting(QStringLiteral("FullName"), QStringLiteral("1"));
    t.ctx.services.saveSetting(QStringLiteral("Save Path"), out.path());
    t.presenter->onModal = [](QWidget* w) { static_cast<frmSaveAs*>(w)->OKButton->click(); };
    const QString base = out.path() + QStringLiteral("/INVOICE BILLING SWUSER 104211 0001 2004-03-15 14-22-07.");
    for (const char* type : {"PDF document", "HTML document", "XML document"}) {
        SCOPED_TRACE(type);
        screen.setText(ScreenText::ProcessType, QString::fromLatin1(type));
        const auto outcomes = RunSelectedDownloads(t.ctx);
        ASSERT_EQ(outcomes.size(), 1u);
        EXPECT_EQ(outcomes[0].status, ReportOutcome::Delivered);
        EXPECT_TRUE(outcomes[0].target.startsWith(base)) << outcomes[0].target.toStdString();
        if (type[0] == 'P') CheckPdf(outcomes[0].target, {.pages = 4, .width = 595, .height = 842, .checkLines = false});
        if (type[0] == 'H') CheckHtml(outcomes[0].target);
        if (type[0] == 'X') CheckXml(outcomes[0].target);
        EXPECT_TRUE(screen.status().startsWith(QStringLiteral("Transfer is complete to ")));
    }
    EXPECT_EQ(QDir(out.path()).entryList(QDir::Files | QDir::Hidden).size(), 3);
}
