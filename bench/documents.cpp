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
// the same record bytes to a file.
//
//   bench_documents [--lines N]
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

#include "AppContext.h"
#include "HostSocket.h"
#include "ProcHtml.h"
#include "ProcXml.h"
#include "ReportFile.h"
#include "SpoolDownload.h"
#include "VB2PDF.h"

namespace {
long residentKiB() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

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

PdfRun writePdf(const QString& file, int lines) {
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
        pdf.WritePDF(lineOf(i), true);
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

double plainCopy(const QString& file, int lines) {
    QElapsedTimer t;
    t.start();
    AppContext ctx;
    ReportFile f;
    f.open(ctx, file, false);
    for (int i = 1; i <= lines; ++i) f.writeLine(lineOf(i));
    f.commit();
    return t.nsecsElapsed() / 1e9;
}

using Proc = int (*)(AppContext&, const DownloadOptions&, DownloadProgress&, const QString&, QString&,
                     const SpoolFileRow&);
double throughProc(Proc proc, const QString& file, const std::vector<std::string>& replies) {
    AppContext ctx;
    ctx.makeSocket = [&replies] { return std::make_unique<MemoryHostSocket>(&replies); };
    ctx.link.discardSocket();
    DownloadOptions options;
    options.htmlFontSize = QStringLiteral("10");
    ctx.link.socket()->connectToHost();
    SpoolFileRow::Fields f;
    f.file = "PAYREG";
    f.job = "PAYR100/0001";
    QString width;
    QElapsedTimer t;
    t.start();
    struct : DownloadProgress {
        void status(const QString&) override {}
    } progress;
    if (proc(ctx, options, progress, file, width, SpoolFileRow::fromFields(f)) != 0) return -1;
    return t.nsecsElapsed() / 1e9;
}

int argValue(const QStringList& args, const QString& name, int def) {
    const qsizetype i = args.indexOf(name);
    return i >= 0 && i + 1 < args.size() ? args.at(i + 1).toInt() : def;
}
}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int lines = argValue(QCoreApplication::arguments(), QStringLiteral("--lines"), 33000);
    const int smallLines = lines / 10;
    QTemporaryDir out;
    const QString dir = out.path() + QLatin1Char('/');

    // A first run takes the writer's buffer once.
    writePdf(dir + QStringLiteral("warm-up.pdf"), smallLines);
    const PdfRun small = writePdf(dir + QStringLiteral("small.pdf"), smallLines);
    const PdfRun large = writePdf(dir + QStringLiteral("large.pdf"), lines);
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

    const std::vector<std::string> replies = repliesOf(lines);
    plainCopy(dir + QStringLiteral("warm-up.txt"), smallLines);
    const double copy = plainCopy(dir + QStringLiteral("copy.txt"), lines);
    const double html = throughProc(ProcHtml, dir + QStringLiteral("report.html"), replies);
    const double xml = throughProc(ProcXml, dir + QStringLiteral("report.xml"), replies);
    if (html <= 0 || xml <= 0) {
        std::fprintf(stderr, "bench_documents: a document was not written\n");
        return 1;
    }
    std::printf("plain copy:      %8d lines  %7.3f s  %9.0f lines/s\n", lines, copy, lines / copy);
    std::printf("HTML document:   %8d lines  %7.3f s  %9.0f lines/s  (%.2f of the copy rate)\n", lines, html,
                lines / html, copy / html);
    std::printf("XML document:    %8d lines  %7.3f s  %9.0f lines/s  (%.2f of the copy rate)\n", lines, xml,
                lines / xml, copy / xml);
    return 0;
}
