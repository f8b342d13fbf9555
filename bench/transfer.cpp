// Downloading a 100,000-record report to a text file through ProcTxt, and to
// a PDF document through ProcPDF, next to a bare loop that exchanges the same
// blocks as they do (each next request sent before the block is read) and
// drops them: the writer should cost a small share on top of the exchange. The
// memory the client holds while it writes is sampled at every progress text
// and must not grow with the report: two sizes are measured. hostsim runs as
// a process of its own, so the client's memory is the client's. The three
// loops take turns for some rounds, so that all see the same load of the
// machine; the ratios are the medians of the rounds, and the client's own CPU
// time per record shows what the writer adds apart from the waits.
//
//   bench_transfer [--records N] [--small N] [--rounds N]
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "AppContext.h"
#include "BenchHost.h"
#include "HostLink.h"
#include "PlainSplfScreen.h"
#include "ProcPDF.h"
#include "ProcTxt.h"
#include "ProcessType.h"
#include "ScreenOptions.h"
#include "SpoolDownload.h"

namespace {
using bench::argValue;
using bench::median;
using bench::residentKiB;
using bench::rowOf;
using bench::writeReport;

struct Run {
    qint32 records = 0;
    double seconds = 0;
    double cpuSeconds = 0;
    long heldKiB = 0;
    double rate() const { return seconds > 0 ? records / seconds : 0; }
    double cpuPerRecordUs() const { return records > 0 ? cpuSeconds * 1e6 / records : 0; }
};

Run bareExchange(AppContext& ctx, const SpoolFileRow& row) {
    SpoolDownloadRequest req;
    req.row = row;
    const std::string request = req.build();
    Run r;
    QElapsedTimer t;
    t.start();
    const double cpu = bench::threadCpuSeconds();
    // The same exchange as the writers': the next request goes out before a
    // block is read, so that the host prepares it meanwhile.
    HostLink::Hold hold(ctx.link);
    std::string reply;
    reply.reserve(HostWire::kReplyLength);
    if (ctx.link.sendRequest(request) != LinkResult::Reply) return {};
    for (;;) {
        if (ctx.link.receiveReply(reply) != LinkResult::Reply) return {};
        const bool more = HostWire::controlArea(reply).rfind("(END)", 0) != 0;
        if (more && ctx.link.sendRequest(request) != LinkResult::Reply) return {};
        ForEachRecord(std::string_view(reply).substr(0, 1000), RecordWidth(HostWire::controlArea(reply).substr(21)),
                      [&](const SpoolRecordSlot&) { ++r.records; });
        if (!more) break;
    }
    r.seconds = t.nsecsElapsed() / 1e9;
    r.cpuSeconds = bench::threadCpuSeconds() - cpu;
    return r;
}

// The procedure of proc (ProcTxt, ProcPDF) with the screen's options. The
// memory is sampled (at every progress text, reading /proc) only when asked:
// the sampling itself would cost the timed runs as much as the writer.
enum class Memory { Sampled, NotSampled };
using Proc = std::function<ReportResult(const DownloadOptions&, DownloadProgress&)>;
Run download(PlainSplfScreen& screen, const Proc& proc, Memory memory) {
    const long before = residentKiB();
    long peak = before;
    screen.onStatus = [&](const QString&) {
        if (memory == Memory::Sampled) peak = std::max(peak, residentKiB());
        screen.statusHistory.clear();
    };
    Run r;
    QElapsedTimer t;
    t.start();
    const double cpu = bench::threadCpuSeconds();
    ScreenProgress progress(screen);
    if (!proc(ReadScreenOptions(screen, false), progress)) return {};
    r.seconds = t.nsecsElapsed() / 1e9;
    r.cpuSeconds = bench::threadCpuSeconds() - cpu;
    r.records = screen.status().section(QStringLiteral(".  "), -1).section(QLatin1Char(' '), 0, 0).toInt();
    r.heldKiB = std::max(peak, residentKiB()) - before;
    screen.onStatus = nullptr;
    return r;
}

Run textFile(AppContext& ctx, PlainSplfScreen& screen, const SpoolFileRow& row, const QString& file,
             Memory memory = Memory::NotSampled) {
    // The text file's own layout: the bytes as the host sent them.
    screen.setText(ScreenText::ProcessType, ProcessTypeOf(Destination::TextFile).text);
    return download(
        screen,
        [&](const DownloadOptions& o, DownloadProgress& p) {
            return ProcTxt(ctx, o, p, file, QStringLiteral("Text"), row);
        },
        memory);
}

Run pdfDocument(AppContext& ctx, PlainSplfScreen& screen, const SpoolFileRow& row, const QString& file) {
    screen.setText(ScreenText::ProcessType, ProcessTypeOf(Destination::PdfDocument).text);
    screen.setText(ScreenText::PdfPaperSize, QStringLiteral("Best fit"));
    return download(
        screen,
        [&](const DownloadOptions& o, DownloadProgress& p) {
            return ProcPDF(ctx, o, p, file, row);
        },
        Memory::NotSampled);
}

}  // namespace

int main(int argc, char** argv) {
    bench::prepareApplication();
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
    screen.setChosen(ScreenChoice::TextAddReplace, 0, true);
    screen.setText(ScreenText::FromPage, QStringLiteral("*Start"));
    screen.setText(ScreenText::ToPage, QStringLiteral("*End"));
    screen.setText(ScreenText::PageLength, QStringLiteral("66"));
    if (!host.connect(ctx)) {
        std::fprintf(stderr, "bench_transfer: no job port\n");
        return 1;
    }

    // A first run takes the writer's buffer once; the two measured runs
    // show whether the memory held grows with the report.
    textFile(ctx, screen, rowOf(QStringLiteral("SMALL")), out.path() + QStringLiteral("/warm-up.txt"));
    const Run smallText = textFile(ctx, screen, rowOf(QStringLiteral("SMALL")), out.path() + QStringLiteral("/small.txt"),
                                   Memory::Sampled);
    const Run largeText = textFile(ctx, screen, rowOf(QStringLiteral("LARGE")), out.path() + QStringLiteral("/large.txt"),
                                   Memory::Sampled);
    const int rounds = std::max(1, argValue(args, QStringLiteral("--rounds"), 5));
    std::vector<Run> bares, texts, pdfs;
    std::vector<double> textRatios, pdfRatios;
    for (int round = 0; round < rounds; ++round) {
        const Run bare = bareExchange(ctx, rowOf(QStringLiteral("LARGE")));
        // New files each round, as in a first download (replacing one adds
        // the wait for the disk before the earlier file goes).
        const QString name = out.path() + QStringLiteral("/large%1.").arg(round);
        const Run text = textFile(ctx, screen, rowOf(QStringLiteral("LARGE")), name + QStringLiteral("txt"));
        const Run pdf = pdfDocument(ctx, screen, rowOf(QStringLiteral("LARGE")), name + QStringLiteral("pdf"));
        if (!bare.records || !text.records || !smallText.records || !largeText.records || !pdf.records) {
            std::fprintf(stderr, "bench_transfer: a download failed\n");
            return 1;
        }
        bares.push_back(bare);
        texts.push_back(text);
        pdfs.push_back(pdf);
        textRatios.push_back(text.rate() / bare.rate());
        pdfRatios.push_back(pdf.rate() / bare.rate());
    }
    auto show = [](const char* what, const std::vector<Run>& runs, const std::vector<double>* ratios) {
        std::vector<double> rates, seconds, cpu;
        for (const Run& r : runs) {
            rates.push_back(r.rate());
            seconds.push_back(r.seconds);
            cpu.push_back(r.cpuPerRecordUs());
        }
        std::printf("%-16s %8d records  %7.3f s  %9.0f records/s  client CPU %5.2f us/record", what,
                    runs.front().records, median(seconds), median(rates), median(cpu));
        if (ratios)
            std::printf("  (%.2f of the bare rate, rounds %.2f..%.2f)", median(*ratios),
                        *std::min_element(ratios->begin(), ratios->end()),
                        *std::max_element(ratios->begin(), ratios->end()));
        std::printf("\n");
    };
    std::printf("%d rounds, medians:\n", rounds);
    show("bare exchange:", bares, nullptr);
    show("text file:", texts, &textRatios);
    show("PDF document:", pdfs, &pdfRatios);
    std::printf("memory held:     %8d records  %7ld KiB\n", smallText.records, smallText.heldKiB);
    std::printf("memory held:     %8d records  %7ld KiB\n", largeText.records, largeText.heldKiB);
    return 0;
}
