// The document writers on their own, without a host.
//
// PDF: VB2PDF writes a 132-column report of 33,000 lines (a new page every 66
// lines); Debian's text-to-PDF filter of cups-filters makes a PDF of the same
// text in the same run, and the lines per second of both are printed as a
// ratio. The memory held while writing is sampled at 3,300 and 33,000 lines:
// it must be flat. The file must pass qpdf --check.
//
// HTML and XML: ProcHtml and ProcXml write the same report, its blocks served
// from memory by a socket that stands in for the host, next to a plain copy of
// the same records through the same exchange (a text file without page
// layout), and a bare copy of the lines to a file for scale.
//
//   bench_documents [--lines N]
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

#include "BenchHost.h"
#include "Clock.h"
#include "RunContext.h"
#include "HostSocket.h"
#include "ProcHtml.h"
#include "ProcTxt.h"
#include "ProcXml.h"
#include "ReportFile.h"
#include "SpoolDownload.h"
#include "VB2PDF.h"

namespace {
using bench::argValue;
using bench::residentKiB;
constexpr int kWidth = 132;
constexpr int kPageLines = 66;

std::string lineOf(int i) {
    char buf[160];
    std::snprintf(buf, sizeof buf,
                  "%08d  EMPLOYEE %-24s DEPT %04d   GROSS %10.2f   TAX %9.2f-  NET %10.2f  (YTD) \\ %5d", i,
                  i % 2 ? "MILLER, ANN" : "NOVAK, PETER", i % 97, 1234.56 + i % 1000, 312.5 + i % 300,
                  922.06 + i % 700, i % 66 + 1);
    std::string s(buf);
    s.resize(kWidth, ' ');
    while (!s.empty() && s.back() == ' ') s.pop_back();
    return s;
}

struct PdfRun {
    double seconds = 0;
    long heldKiB = 0;
    bool ok = false;
};

// The report's lines, made before any clock runs.
std::vector<std::string> reportLines(int lines) {
    std::vector<std::string> all;
    all.reserve(size_t(lines));
    for (int i = 1; i <= lines; ++i) all.push_back(lineOf(i));
    return all;
}

PdfRun writePdf(const QString& file, const std::vector<std::string>& text, int lines) {
    PdfRun r;
    const long before = residentKiB();
    long peak = before;
    QElapsedTimer t;
    t.start();
    VB2PDF pdf;
    pdf.FileName = file;
    pdf.PaperSize = 5;
    pdf.FontSize = 12;
    pdf.Spacing = {.bestFit = true, .fitLines = kPageLines};
    pdf.FitColumns = kWidth;
    pdf.StartPDF();
    for (int i = 1; i <= lines; ++i) {
        if (i > 1 && i % kPageLines == 1) pdf.NewPage();
        pdf.WritePDF(text[size_t(i) - 1], true);
        if (i % 1000 == 0) peak = std::max(peak, residentKiB());
    }
    pdf.EndPDF();
    r.seconds = t.nsecsElapsed() / 1e9;
    r.heldKiB = std::max(peak, residentKiB()) - before;
    r.ok = true;
    return r;
}

// The same text as a text file with a form feed before every page.
void writeText(const QString& file, int lines) {
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly)) return;
    std::string all;
    for (int i = 1; i <= lines; ++i) {
        if (i > 1 && i % kPageLines == 1) all += '\f';
        all += lineOf(i) + "\n";
    }
    f.write(all.data(), qint64(all.size()));
}

double runTexttopdf(const QString& text, const QString& out) {
    QProcess p;
    p.setStandardOutputFile(out);
    QElapsedTimer t;
    t.start();
    p.start(QStringLiteral("/usr/lib/cups/filter/texttopdf"),
            {QStringLiteral("1"), QStringLiteral("user"), QStringLiteral("title"), QStringLiteral("1"), QString(), text});
    if (!p.waitForFinished(600000) || p.exitCode() != 0) return -1;
    return t.nsecsElapsed() / 1e9;
}

bool qpdfClean(const QString& file) {
    QProcess p;
    p.start(QStringLiteral("qpdf"), {QStringLiteral("--check"), file});
    p.waitForFinished(600000);
    return p.exitCode() == 0 && !p.readAll().contains("WARNING");
}

// Serves a report's blocks from memory, as the host sends them.
class MemoryHostSocket : public HostSocket {
public:
    explicit MemoryHostSocket(const std::vector<std::string>* replies) : replies_(replies) {}
    void connectToHost() override {}
    int state() const override { return Connected; }
    void sendData(const std::string&) override {
        const std::string& r = (*replies_)[next_ < replies_->size() ? next_++ : replies_->size() - 1];
        buffer_ = r;
        emit dataArrival(qint64(r.size()));
    }
    std::string getData(qsizetype maxBytes) override {
        std::string out = buffer_.substr(0, size_t(maxBytes));
        buffer_.erase(0, out.size());
        return out;
    }
    qsizetype bytesAvailable() const override { return qsizetype(buffer_.size()); }
    void close() override {}
    int lastErrorNumber() const override { return 0; }
    QString lastErrorDescription() const override { return {}; }
    void clearError() override {}

private:
    const std::vector<std::string>* replies_;
    size_t next_ = 0;
    std::string buffer_;
};

std::vector<std::string> repliesOf(int lines) {
    std::vector<std::string> replies;
    const int perBlock = SlotsPerBlock(kWidth);
    for (int first = 1; first <= lines; first += perBlock) {
        std::string data;
        for (int i = first; i < first + perBlock && i <= lines; ++i) {
            std::string slot = (i % kPageLines == 1 ? "001 " : "   1") + lineOf(i);
            slot.resize(kWidth + 4, ' ');
            data += slot;
        }
        data.resize(1000, ' ');
        std::string control = first + perBlock > lines ? "(END)" : "(MORE)";
        control.resize(21, ' ');
        replies.push_back(data + control + "132");
    }
    return replies;
}

double plainCopy(const QString& file, const std::vector<std::string>& text, int lines) {
    RunContext ctx;
    QElapsedTimer t;
    t.start();
    ReportFile f;
    f.open(ctx, file, false);
    for (int i = 0; i < lines; ++i) f.writeLine(text[size_t(i)]);
    f.commit();
    return t.nsecsElapsed() / 1e9;
}

using DocumentProc = ReportResult (*)(RunContext&, const DownloadOptions&, DownloadProgress&, const QString&,
                                      const SpoolFileRow&);
double throughProc(DocumentProc proc, const QString& file, const std::vector<std::string>& replies) {
    RunContext ctx;
    ctx.services.clock = std::make_unique<RealClock>();
    ctx.services.makeSocket = [&replies] { return std::make_unique<MemoryHostSocket>(&replies); };
    ctx.link.discardSocket();
    DownloadOptions options;
    options.htmlFontSize = QStringLiteral("10");
    ctx.link.socket()->connectToHost();
    SpoolFileRow::Fields f;
    f.file = "PAYREG";
    f.job = "PAYR100/0001";
    QElapsedTimer t;
    t.start();
    struct : DownloadProgress {
        void status(const QString&) override {}
    } progress;
    if (!proc(ctx, options, progress, file, SpoolFileRow::fromFields(f))) return -1;
    return t.nsecsElapsed() / 1e9;
}

// The records as they are: a text file without page layout.
ReportResult plainText(RunContext& ctx, const DownloadOptions& options, DownloadProgress& progress, const QString& file,
                       const SpoolFileRow& row) {
    DownloadOptions o = options;
    o.pageLength = QStringLiteral("Variable");
    o.textFile = DownloadOptions::AddReplace::Replace;
    return ProcTxt(ctx, o, progress, file, QStringLiteral("Text"), row);
}

}  // namespace

int main(int argc, char** argv) {
    bench::prepareApplication();
    QApplication app(argc, argv);
    const int lines = argValue(QCoreApplication::arguments(), QStringLiteral("--lines"), 33000);
    const int smallLines = lines / 10;
    QTemporaryDir out;
    const QString dir = out.path() + QLatin1Char('/');

    const std::vector<std::string> text = reportLines(lines);
    // A first run takes the writer's buffer once.
    writePdf(dir + QStringLiteral("warm-up.pdf"), text, smallLines);
    const PdfRun small = writePdf(dir + QStringLiteral("small.pdf"), text, smallLines);
    const PdfRun large = writePdf(dir + QStringLiteral("large.pdf"), text, lines);
    writeText(dir + QStringLiteral("report.txt"), lines);
    const double cups = runTexttopdf(dir + QStringLiteral("report.txt"), dir + QStringLiteral("cups.pdf"));
    const bool clean = qpdfClean(dir + QStringLiteral("large.pdf"));
    if (!large.ok || cups <= 0) {
        std::fprintf(stderr, "bench_documents: a PDF was not written\n");
        return 1;
    }
    std::printf("VB2PDF:          %8d lines  %7.3f s  %9.0f lines/s  (qpdf --check %s)\n", lines, large.seconds,
                lines / large.seconds, clean ? "clean" : "FAILS");
    std::printf("texttopdf:       %8d lines  %7.3f s  %9.0f lines/s\n", lines, cups, lines / cups);
    std::printf("VB2PDF / texttopdf:  %.1fx\n", cups / large.seconds);
    std::printf("memory held:     %8d lines  %7ld KiB\n", smallLines, small.heldKiB);
    std::printf("memory held:     %8d lines  %7ld KiB\n", lines, large.heldKiB);

    // Ten times the report, for times long enough to compare; the best of three.
    const int docLines = lines * 10;
    const std::vector<std::string> replies = repliesOf(docLines);
    auto best = [&](DocumentProc proc, const QString& name) {
        double b = -1;
        for (int i = 0; i < 3; ++i) {
            const double s = throughProc(proc, dir + name, replies);
            if (s > 0 && (b < 0 || s < b)) b = s;
        }
        return b;
    };
    plainCopy(dir + QStringLiteral("warm-up.txt"), text, smallLines);
    const double copy = plainCopy(dir + QStringLiteral("copy.txt"), text, lines);
    const double html = best(ProcHtml, QStringLiteral("report.html"));
    const double xml = best(ProcXml, QStringLiteral("report.xml"));
    const double txt = best(plainText, QStringLiteral("report.txt"));
    if (html <= 0 || xml <= 0 || txt <= 0) {
        std::fprintf(stderr, "bench_documents: a document was not written\n");
        return 1;
    }
    std::printf("bare file copy:  %8d lines  %7.3f s  %9.0f lines/s\n", lines, copy, lines / copy);
    std::printf("plain copy:      %8d lines  %7.3f s  %9.0f lines/s  (records through the exchange)\n", docLines,
                txt, docLines / txt);
    std::printf("HTML document:   %8d lines  %7.3f s  %9.0f lines/s  (%.2f of the plain copy rate)\n", docLines, html,
                docLines / html, txt / html);
    std::printf("XML document:    %8d lines  %7.3f s  %9.0f lines/s  (%.2f of the plain copy rate)\n", docLines, xml,
                docLines / xml, txt / xml);
    return 0;
}
