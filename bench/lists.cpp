// Listing a queue of 10,000 spooled files into the spooled-file screen's grid
// (GetSpoolFiles: 1,000 "F" blocks, decoded slot by slot, nine cells a row),
// next to the bare exchange of the same blocks through SendReceive. The grid
// must not be the bottleneck: the listing should cost a small multiple of the
// exchange. hostsim runs in a thread of its own; client CPU is the thread's.
//
//   bench_lists [--files N] [--rounds N]
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <cstdio>

#include "AppContext.h"
#include "BenchHost.h"
#include "HostLink.h"
#include "HostSimThread.h"
#include "ListRecords.h"
#include "ConnectionWindows.h"
#include "OpenSelection.h"
#include "SplfGrid.h"
#include "frmMain.h"
#include "frmSplf.h"

namespace {
struct Run {
    long rows = 0;
    long blocks = 0;
    double seconds = 0;
    double cpuSeconds = 0;
};

bool writeSpool(const QString& root, int files) {
    const QString dir = root + QStringLiteral("/BENCHLIB/BIGQ");
    if (!QDir().mkpath(dir)) return false;
    for (int i = 0; i < files; ++i) {
        QFile f(dir + QStringLiteral("/%1.splf").arg(i, 5, 10, QLatin1Char('0')));
        if (!f.open(QIODevice::WriteOnly)) return false;
        const QByteArray text = QStringLiteral(
                                    "name=RPT%1\njob=JOB%2\nuser=SWUSER\njobnumber=%3\nnumber=%4\npages=%5\n"
                                    "formtype=*STD\ndate=2009-03-14\ntime=08:05:09\nuserdata=DATA%6\nwidth=80\n"
                                    "[records]\n001 line\n")
                                    .arg(i % 1000)
                                    .arg(i / 10)
                                    .arg(100000 + i)
                                    .arg(1 + i % 9999)
                                    .arg(1 + i % 500)
                                    .arg(i % 100)
                                    .toLatin1();
        f.write(text);
    }
    return true;
}

bool connect(AppContext& ctx, const QString& host, quint16 port) {
    HostSocket* s = ctx.link.socket();
    s->remoteHost = host;
    s->remotePort = port;
    s->connectToHost();
    ctx.connection.gHostAddress = host;
    ctx.connection.gJobPort = port;
    return ctx.services.clock->waitUntil([&] { return s->state() == HostSocket::Connected; }, 5000);
}

// The same blocks, exchanged and dropped.
Run bareExchange(AppContext& ctx, const std::string& request) {
    Run r;
    QElapsedTimer t;
    t.start();
    const double cpu0 = bench::threadCpuSeconds();
    std::string reply;
    do {
        if (SendReceive(ctx.link, request, reply) != LinkResult::Reply) return {};
        ++r.blocks;
    } while (listBlockEnd(reply) == ListBlockEnd::More);
    r.seconds = t.nsecsElapsed() / 1e9;
    r.cpuSeconds = bench::threadCpuSeconds() - cpu0;
    return r;
}

Run listIntoGrid(AppContext& ctx) {
    frmMain& m = ctx.mainWindow();
    SplfGrid& grid = ctx.frmSplf().grdSplf();
    defineSplfGridColumns(grid);
    Run r;
    QElapsedTimer t;
    t.start();
    const double cpu0 = bench::threadCpuSeconds();
    if (!GetSpoolFiles(ctx, m.txtOutq->text(), m.cboLibrary->currentText(), m.txtWrkSplf->text())) return {};
    r.seconds = t.nsecsElapsed() / 1e9;
    r.cpuSeconds = bench::threadCpuSeconds() - cpu0;
    r.rows = grid.rowCount();
    return r;
}

QString argValue(const QStringList& args, const QString& name, const QString& def) {
    const qsizetype i = args.indexOf(name);
    return i >= 0 && i + 1 < args.size() ? args.at(i + 1) : def;
}
}  // namespace

int main(int argc, char** argv) {
    bench::prepareApplication();
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const int files = argValue(args, QStringLiteral("--files"), QStringLiteral("10000")).toInt();
    const int rounds = argValue(args, QStringLiteral("--rounds"), QStringLiteral("3")).toInt();
    QTemporaryDir spool;
    if (!writeSpool(spool.path(), files)) {
        std::fprintf(stderr, "bench_lists: cannot write the spool folder\n");
        return 1;
    }

    HostSimOptions o;
    o.address = QStringLiteral("127.0.0.1");
    o.listen = false;
    o.spoolRoot = spool.path();
    HostSimThread host(o);
    QString error;
    if (!host.start(&error)) {
        std::fprintf(stderr, "bench_lists: %s\n", qPrintable(error));
        return 1;
    }
    const quint16 port = host.openJobPort();
    AppContext ctx;
    installWindows(ctx);
    if (!port || !connect(ctx, o.address, port)) {
        std::fprintf(stderr, "bench_lists: no job port\n");
        return 1;
    }
    frmMain& m = ctx.mainWindow();
    m.txtOutq->setText(QStringLiteral("BIGQ"));
    m.cboLibrary->setEditText(QStringLiteral("BENCHLIB"));
    m.txtWrkSplf->setText(QStringLiteral("*ALL"));
    const std::string request = SpoolListRequest("BIGQ", "BENCHLIB", "*ALL");

    Run bare, listed;
    for (int i = 0; i < rounds; ++i) {
        const Run b = bareExchange(ctx, request);
        const Run l = listIntoGrid(ctx);
        if (b.blocks == 0 || l.rows != files) {
            std::fprintf(stderr, "bench_lists: exchange failed (%ld blocks, %ld rows)\n", b.blocks, l.rows);
            return 1;
        }
        if (bare.blocks == 0 || b.seconds < bare.seconds) bare = b;
        if (listed.rows == 0 || l.seconds < listed.seconds) listed = l;
    }
    std::printf("lists: %d spooled files in %ld blocks, best of %d rounds\n", files, bare.blocks, rounds);
    std::printf("  bare exchange      %8.1f ms  (client CPU %7.1f ms)\n", bare.seconds * 1e3, bare.cpuSeconds * 1e3);
    std::printf("  listed into grid   %8.1f ms  (client CPU %7.1f ms, %.1f us a row)\n", listed.seconds * 1e3,
                listed.cpuSeconds * 1e3, (listed.cpuSeconds - bare.cpuSeconds) * 1e6 / files);
    std::printf("  ratio              %8.2f  (listing / exchange, wall time)\n", listed.seconds / bare.seconds);

    // A host whose list never ends: cut at the limit, with its message, in
    // the memory that the rows it sent need and no more.
    HostSimFaults endless;
    endless.endlessMore = true;
    host.setFaults(endless);
    ctx.useBatchMessageBoxes();
    const long before = bench::residentKiB();
    const Run cut = listIntoGrid(ctx);
    const long after = bench::residentKiB();
    std::printf("  endless list       %8.1f s  for %d blocks, %ld rows kept; memory %ld KiB -> %ld KiB\n", cut.seconds,
                ctx.connection.maxListBlocks, cut.rows, before, after);
    return 0;
}
