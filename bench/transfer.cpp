// Downloading a 100,000-record report to a text file through ProcTxt, and to
// a PDF document through ProcPDF, next to a bare loop that exchanges the same
// blocks through SendReceive and drops them: the writer should cost a small
// share on top of the exchange. The
// memory the client holds while it writes is sampled at every progress text
// and must not grow with the report: two sizes are measured. hostsim runs as
// a process of its own, so the client's memory is the client's.
//
//   bench_transfer [--records N] [--small N]
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdio>
#include <functional>

#include "AppContext.h"
#include "BenchHost.h"
#include "HostLink.h"
#include "PlainSplfScreen.h"
#include "ProcPDF.h"
#include "ProcTxt.h"
#include "RuntimeDirectory.h"
#include "ScreenOptions.h"
#include "SpoolDownload.h"

namespace {
using bench::argValue;
using bench::rowOf;
using bench::writeReport;

long residentKiB() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

struct Run {
    qint32 records = 0;
    double seconds = 0;
    long heldKiB = 0;
};

Run bareExchange(AppContext& ctx, const SpoolFileRow& row) {
    SpoolDownloadRequest req;
    req.row = row;
    const std::string request = req.build();
    Run r;
    QElapsedTimer t;
    t.start();
    std::string reply;
    for (;;) {
        if (SendReceive(ctx.link, request, reply) != LinkResult::Reply) return {};
        ForEachRecord(std::string_view(reply).substr(0, 1000), RecordWidth(HostWire::controlArea(reply).substr(21)),
                      [&](const SpoolRecordSlot&) { ++r.records; });
        if (HostWire::controlArea(reply).rfind("(END)", 0) == 0) break;
    }
    r.seconds = t.nsecsElapsed() / 1e9;
    return r;
}

// The procedure of proc (ProcTxt, ProcPDF) with the screen's options.
using Proc = std::function<int(const DownloadOptions&, DownloadProgress&, QString& width)>;
Run download(PlainSplfScreen& screen, const Proc& proc) {
    const long before = residentKiB();
    long peak = before;
    screen.onStatus = [&](const QString&) {
        peak = std::max(peak, residentKiB());
        screen.statusHistory.clear();
    };
    Run r;
    QElapsedTimer t;
    t.start();
    QString width;
    ScreenProgress progress(screen);
    if (proc(ReadScreenOptions(screen, false), progress, width) != 0) return {};
    r.seconds = t.nsecsElapsed() / 1e9;
    r.records = screen.status().section(QStringLiteral(".  "), -1).section(QLatin1Char(' '), 0, 0).toInt();
    r.heldKiB = std::max(peak, residentKiB()) - before;
    screen.onStatus = nullptr;
    return r;
}

Run textFile(AppContext& ctx, PlainSplfScreen& screen, const SpoolFileRow& row, const QString& file) {
    return download(screen, [&](const DownloadOptions& o, DownloadProgress& p, QString& width) {
        return ProcTxt(ctx, o, p, file, width, QStringLiteral("Text"), row);
    });
}

Run pdfDocument(AppContext& ctx, PlainSplfScreen& screen, const SpoolFileRow& row, const QString& file) {
    screen.setText(QStringLiteral("cboPaperSize"), QStringLiteral("Best fit"));
    return download(screen, [&](const DownloadOptions& o, DownloadProgress& p, QString& width) {
        return ProcPDF(ctx, o, p, file, width, row);
    });
}

}  // namespace

int main(int argc, char** argv) {
    EnsureRuntimeDirectory();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const int large = argValue(args, QStringLiteral("--records"), 100000);
    const int small = argValue(args, QStringLiteral("--small"), 20000);
    QTemporaryDir spool, out;
    if (!writeReport(spool.path(), QStringLiteral("SMALL"), small) ||
        !writeReport(spool.path(), QStringLiteral("LARGE"), large)) {
        std::fprintf(stderr, "bench_transfer: cannot write the spool folder\n");
        return 1;
    }
    bench::HostProcess host;
    if (!host.start(spool.path())) {
        std::fprintf(stderr, "bench_transfer: hostsim does not open its job port\n");
        return 1;
    }

    AppContext ctx;
    auto& screen = static_cast<PlainSplfScreen&>(ctx.frmSplf());
    screen.setValue(QStringLiteral("optAddReplace_2"), 1);
    screen.setText(QStringLiteral("txtFrom"), QStringLiteral("*Start"));
    screen.setText(QStringLiteral("txtTo"), QStringLiteral("*End"));
    screen.setText(QStringLiteral("cboPageLength"), QStringLiteral("66"));
    if (!host.connect(ctx)) {
        std::fprintf(stderr, "bench_transfer: no job port\n");
        return 1;
    }

    const Run bare = bareExchange(ctx, rowOf(QStringLiteral("LARGE")));
    // A first run takes the writer's buffer once; the two measured runs
    // show whether the memory held grows with the report.
    textFile(ctx, screen, rowOf(QStringLiteral("SMALL")), out.path() + QStringLiteral("/warm-up.txt"));
    const Run smallText = textFile(ctx, screen, rowOf(QStringLiteral("SMALL")), out.path() + QStringLiteral("/small.txt"));
    const Run text = textFile(ctx, screen, rowOf(QStringLiteral("LARGE")), out.path() + QStringLiteral("/large.txt"));
    const Run pdf = pdfDocument(ctx, screen, rowOf(QStringLiteral("LARGE")), out.path() + QStringLiteral("/large.pdf"));
    if (!bare.records || !text.records || !smallText.records || !pdf.records) {
        std::fprintf(stderr, "bench_transfer: a download failed\n");
        return 1;
    }
    std::printf("bare exchange:   %8d records  %7.3f s  %9.0f records/s\n", bare.records, bare.seconds,
                bare.records / bare.seconds);
    std::printf("text file:       %8d records  %7.3f s  %9.0f records/s  (%.2f of the bare rate)\n", text.records,
                text.seconds, text.records / text.seconds, (text.records / text.seconds) / (bare.records / bare.seconds));
    std::printf("PDF document:    %8d records  %7.3f s  %9.0f records/s  (%.2f of the bare rate)\n", pdf.records,
                pdf.seconds, pdf.records / pdf.seconds, (pdf.records / pdf.seconds) / (bare.records / bare.seconds));
    std::printf("memory held:     %8d records  %7ld KiB\n", smallText.records, smallText.heldKiB);
    std::printf("memory held:     %8d records  %7ld KiB\n", text.records, text.heldKiB);
    return 0;
}
