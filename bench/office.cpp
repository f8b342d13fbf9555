// A 10,000-page report delivered to the spreadsheet (.xlsx) and to the word
// processor (.odt) of this platform, next to the text download of the same
// report from the same host. Each office delivery first downloads the report
// into its work file; what follows (the program opening the text, the page
// breaks, fitting, saving) is the office step, timed from the delivery's
// "Checking for an existing instance" status to its end. The office step
// should not cost more than the download itself, and its memory stays flat
// with the report's length (compare --pages 1000 with --pages 10000).
//
//   bench_office [--pages N] [--lines-per-page N]
#include <QApplication>
#include <QElapsedTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdio>
#include <functional>

#include "AppContext.h"
#include "BenchHost.h"
#include "HostLink.h"
#include "MemorySettingsStore.h"
#include "OfficeDelivery.h"
#include "OfficeWindows.h"
#include "PlainSplfScreen.h"
#include "ProcTxt.h"
#include "RecordingProcessStarter.h"
#include "ScreenOptions.h"

namespace {
bool writeReport(const QString& root, const QString& name, int pages, int linesPerPage) {
    const QString dir = root + QStringLiteral("/BENCHLIB/OFFICEQ");
    QFile f(dir + QLatin1Char('/') + name + QStringLiteral(".splf"));
    if (!QDir().mkpath(dir) || !f.open(QIODevice::WriteOnly)) return false;
    QTextStream s(&f);
    s << "name=" << name << "\njob=BENCH\nuser=SWUSER\njobnumber=100001\nnumber=1\nwidth=80\n"
      << "formtype=*STD\ndate=2024-06-30\ntime=23:59:01\n[records]\n";
    for (int p = 1; p <= pages; ++p) {
        s << "001 ACME STORES  STOCK VALUATION                        PAGE " << p << "\n";
        for (int l = 2; l <= linesPerPage; ++l)
            s << "   1  ITEM " << qSetFieldWidth(7) << (p * 100 + l) << qSetFieldWidth(0)
              << "  BOLT, HEX M8 X 40      QTY " << qSetFieldWidth(6) << (l * 7 % 997) << qSetFieldWidth(0)
              << "   VALUE " << (l * 13 % 5000) << ".25\n";
    }
    return true;
}

// The process's peak resident memory since the last reset, in MiB (Linux).
double peakMiB() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& l : f.readAll().split('\n'))
        if (l.startsWith("VmHWM:")) return l.mid(6).trimmed().split(' ').first().toDouble() / 1024;
    return -1;
}
void resetPeak() {
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly)) f.write("5");
}

struct Run {
    bool ok = false;
    double total = 0;   // the whole delivery
    double office = 0;  // from the program's first status to the end
    QString lastStatus;
    double memoryBefore = 0, memoryPeak = 0;  // MiB, resident, over the office step
};

// Whether the report was delivered.
using Delivery = std::function<bool(const DownloadOptions&, DownloadProgress&)>;
Run deliver(PlainSplfScreen& screen, const QString& officeStarts, const Delivery& d) {
    Run r;
    QElapsedTimer t;
    qint64 officeFrom = -1;
    screen.onStatus = [&](const QString& text) {
        if (officeFrom < 0 && text.startsWith(officeStarts)) {
            officeFrom = t.nsecsElapsed();
            // The office step's memory on its own: its peak is counted from here.
            resetPeak();
            r.memoryBefore = peakMiB();
        }
        r.lastStatus = text;
        screen.statusHistory.clear();
    };
    t.start();
    ScreenProgress progress(screen);
    r.ok = d(ReadScreenOptions(screen, false), progress);
    const qint64 end = t.nsecsElapsed();
    r.total = end / 1e9;
    r.office = officeFrom < 0 ? 0 : (end - officeFrom) / 1e9;
    r.memoryPeak = peakMiB();
    screen.onStatus = nullptr;
    return r;
}
}  // namespace

int main(int argc, char** argv) {
    bench::prepareApplication();
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const int pages = bench::argValue(args, QStringLiteral("--pages"), 10000);
    const int perPage = std::max(2, bench::argValue(args, QStringLiteral("--lines-per-page"), 40));
    const qint64 records = qint64(pages) * perPage;
    QTemporaryDir spool, out, work;
    if (!writeReport(spool.path(), QStringLiteral("STOCKVAL"), pages, perPage)) {
        std::fprintf(stderr, "bench_office: cannot write the spool folder\n");
        return 1;
    }

    bench::HostProcess host;
    if (!host.start(spool.path())) {
        std::fprintf(stderr, "bench_office: hostsim does not open its job port\n");
        return 1;
    }
    AppContext ctx;
    // The user's own settings and desktop stay untouched: nothing is opened for anyone.
    ctx.services.settings = std::make_unique<MemorySettingsStore>();
    ctx.services.processes = std::make_unique<RecordingProcessStarter>();
    ctx.services.saveSetting(QStringLiteral("Save Path"), out.path());
    ctx.connection.gWorkDir = work.path();
    ctx.targets.gExcelVersion = ctx.targets.gWordVersion = QStringLiteral("16");
    auto& screen = static_cast<PlainSplfScreen&>(ctx.frmSplf());
    screen.setChosen(ScreenChoice::TextAddReplace, 0, true);
    screen.setCheck(ScreenCheck::RunSilent, 1);
    screen.setText(ScreenText::FromPage, QStringLiteral("*Start"));
    screen.setText(ScreenText::ToPage, QStringLiteral("*End"));
    screen.setText(ScreenText::PageLength, QStringLiteral("Variable"));
    if (!host.connect(ctx)) {
        std::fprintf(stderr, "bench_office: no job port\n");
        return 1;
    }

    const SpoolFileRow row = bench::rowOf(QStringLiteral("STOCKVAL"));
    const QString textFile = out.path() + QStringLiteral("/download.txt");
    const Run text = deliver(screen, QStringLiteral("\x01"), [&](const DownloadOptions& o, DownloadProgress& p) {
        return bool(ProcTxt(ctx, o, p, textFile, QStringLiteral("Text"), row));
    });
    const Run excel =
        deliver(screen, QStringLiteral("Checking for an existing instance of Excel"),
                [&](const DownloadOptions& o, DownloadProgress& p) { return bool(ProcExcel(ctx, o, p, row)); });
    const Run word =
        deliver(screen, QStringLiteral("Checking for an existing instance of Word"),
                [&](const DownloadOptions& o, DownloadProgress& p) { return bool(ProcWord_8(ctx, o, p, row)); });
    auto written = [&](const char* pattern) {
        const QStringList found = QDir(out.path()).entryList({QString::fromLatin1(pattern)}, QDir::Files);
        return found.isEmpty() ? QString() : out.filePath(found.first());
    };
    const QString xlsx = written("*.xlsx"), odt = written("*.odt");
    if (!text.ok || !excel.ok || !word.ok || xlsx.isEmpty() || odt.isEmpty()) {
        std::fprintf(stderr, "bench_office: a delivery failed (%s / %s)\n", qPrintable(excel.lastStatus),
                     qPrintable(word.lastStatus));
        return 1;
    }
    auto line = [&](const char* what, const Run& run, const QString& file) {
        const double download = run.total - run.office;
        std::printf("%-15s %8lld rows   %7.3f s office step  %9.0f rows/s  (download %.3f s; office step %.2f of it)  %6lld KiB\n",
                    what, records, run.office, records / run.office, download, run.office / download,
                    QFileInfo(file).size() / 1024);
    };
    std::printf("report:          %d pages of %d lines\n", pages, perPage);
    std::printf("text download:   %8lld records %7.3f s  %9.0f records/s\n", records, text.total, records / text.total);
    line(".xlsx", excel, xlsx);
    std::printf(".xlsx office step: %.1f MiB resident at its peak, %.1f MiB more than when it began\n", excel.memoryPeak,
                excel.memoryPeak - excel.memoryBefore);
    std::printf(".odt office step: %.1f MiB resident at its peak, %.1f MiB more than when it began\n", word.memoryPeak,
                word.memoryPeak - word.memoryBefore);
    line(".odt", word, odt);
    std::printf("xlsx status:     %s\n", qPrintable(excel.lastStatus));
    return 0;
}
