// The document writers on their own, without a host.
//
// PDF: VB2PDF writes a 132-column report of 33,000 lines (a new page every 66
// lines); Debian's text-to-PDF filter of cups-filters makes a PDF of the same
// text in the same run, and the lines per second of both are printed as a
// ratio. The memory held while writing is sampled at 3,300 and 33,000 lines:
// it must be flat. The file must pass qpdf --check.
//
// Every time is the median of rounds (--rounds, 5) in which the writers take
// turns, so that all see the same load of the machine; a round repeats a
// writer until it has run for half a second, and the spread of the rounds is
// printed beside each median.
//
// HTML and XML: ProcHtml and ProcXml write the same report, its blocks served
// from memory by a socket that stands in for the host, next to a plain copy of
// the same records through the same exchange (a text file without page
// layout), and a bare copy of the lines to a file for scale.
//
//   bench_documents [--lines N] [--rounds N]
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <sys/resource.h>

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
using bench::median;
using bench::residentKiB;
constexpr double kRoundSeconds = 0.5;
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

// The processor time of the programs this one started and waited for.
double childrenCpuSeconds() {
    rusage u{};
    ::getrusage(RUSAGE_CHILDREN, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

// Runs `once` (its seconds, or not above 0 when it failed) until it has run
// for half a second: the seconds of one run, on average, and the processor
// seconds by `cpu` (which a busy machine changes less).
struct Timed {
    double seconds = -1, cpuSeconds = -1;
};
Timed roundOf(const std::function<double()>& once, double (*cpu)() = bench::threadCpuSeconds) {
    double total = 0;
    int runs = 0;
    const double cpuBefore = cpu();
    while (total < kRoundSeconds) {
        const double s = once();
        if (s <= 0) return {};
        total += s;
        ++runs;
    }
    return {total / runs, (cpu() - cpuBefore) / runs};
}

// A measurement's rounds: the median and the spread.
struct Rounds {
    std::vector<double> values;
    bool failed = false;
    void add(double v) {
        if (v <= 0) failed = true;
        values.push_back(v);
    }
    double mid() const { return median(values); }
    double low() const { return *std::min_element(values.begin(), values.end()); }
    double high() const { return *std::max_element(values.begin(), values.end()); }
};

void showRate(const char* what, int lines, const Rounds& seconds, const char* note = "") {
    std::printf("%-16s %8d lines  %7.3f s  %9.0f lines/s  (rounds %.3f..%.3f s)%s\n", what, lines, seconds.mid(),
                lines / seconds.mid(), seconds.low(), seconds.high(), note);
}

void showRatio(const char* what, const Rounds& ratios) {
    std::printf("%-22s %.2f  (rounds %.2f..%.2f)\n", what, ratios.mid(), ratios.low(), ratios.high());
}
}  // namespace

int main(int argc, char** argv) {
    bench::prepareApplication();
    QApplication app(argc, argv);
    const int lines = argValue(QCoreApplication::arguments(), QStringLiteral("--lines"), 33000);
    const int smallLines = lines / 10;
    QTemporaryDir out;
    const QString dir = out.path() + QLatin1Char('/');

    const int rounds = std::max(1, argValue(QCoreApplication::arguments(), QStringLiteral("--rounds"), 5));
    const std::vector<std::string> text = reportLines(lines);
    // A first run takes the writer's buffer once.
    writePdf(dir + QStringLiteral("warm-up.pdf"), text, smallLines);
    const PdfRun small = writePdf(dir + QStringLiteral("small.pdf"), text, smallLines);
    const PdfRun large = writePdf(dir + QStringLiteral("large.pdf"), text, lines);
    writeText(dir + QStringLiteral("report.txt"), lines);
    const bool clean = qpdfClean(dir + QStringLiteral("large.pdf"));
    Rounds pdf, cups, pdfRatio, pdfCpuRatio;
    for (int round = 0; round < rounds; ++round) {
        const Timed ours = roundOf([&] {
            const PdfRun r = writePdf(dir + QStringLiteral("round.pdf"), text, lines);
            return r.ok ? r.seconds : -1;
        });
        const Timed theirs = roundOf(
            [&] { return runTexttopdf(dir + QStringLiteral("report.txt"), dir + QStringLiteral("cups.pdf")); },
            childrenCpuSeconds);
        pdf.add(ours.seconds);
        cups.add(theirs.seconds);
        pdfRatio.add(ours.seconds > 0 ? theirs.seconds / ours.seconds : -1);
        pdfCpuRatio.add(ours.cpuSeconds > 0 ? theirs.cpuSeconds / ours.cpuSeconds : -1);
    }
    if (!large.ok || pdf.failed || cups.failed) {
        std::fprintf(stderr, "bench_documents: a PDF was not written\n");
        return 1;
    }
    std::printf("%d rounds of at least %.1f s each, medians:\n", rounds, kRoundSeconds);
    showRate("VB2PDF:", lines, pdf, clean ? "  (qpdf --check clean)" : "  (qpdf --check FAILS)");
    showRate("texttopdf:", lines, cups);
    showRatio("VB2PDF / texttopdf:", pdfRatio);
    showRatio("the same in CPU time:", pdfCpuRatio);
    std::printf("memory held:     %8d lines  %7ld KiB\n", smallLines, small.heldKiB);
    std::printf("memory held:     %8d lines  %7ld KiB\n", lines, large.heldKiB);

    // Ten times the report, for times long enough to compare.
    const int docLines = lines * 10;
    const std::vector<std::string> replies = repliesOf(docLines);
    plainCopy(dir + QStringLiteral("warm-up.txt"), text, smallLines);
    Rounds copy, txt, html, xml, htmlRatio, xmlRatio;
    for (int round = 0; round < rounds; ++round) {
        copy.add(roundOf([&] { return plainCopy(dir + QStringLiteral("copy.txt"), text, lines); }).seconds);
        const double t =
            roundOf([&] { return throughProc(plainText, dir + QStringLiteral("report.txt"), replies); }).seconds;
        const double h =
            roundOf([&] { return throughProc(ProcHtml, dir + QStringLiteral("report.html"), replies); }).seconds;
        const double x =
            roundOf([&] { return throughProc(ProcXml, dir + QStringLiteral("report.xml"), replies); }).seconds;
        txt.add(t);
        html.add(h);
        xml.add(x);
        htmlRatio.add(h > 0 ? t / h : -1);
        xmlRatio.add(x > 0 ? t / x : -1);
    }
    if (copy.failed || txt.failed || html.failed || xml.failed) {
        std::fprintf(stderr, "bench_documents: a document was not written\n");
        return 1;
    }
    showRate("bare file copy:", lines, copy);
    showRate("plain copy:", docLines, txt, "  (records through the exchange)");
    showRate("HTML document:", docLines, html);
    showRate("XML document:", docLines, xml);
    showRatio("HTML / plain copy rate:", htmlRatio);
    showRatio("XML / plain copy rate:", xmlRatio);
    return 0;
}
