// Records per second through SendReceive against hostsim on loopback, next to
// a bare socket loop doing the same lock-step exchange (124-byte request,
// 1024-byte reply, the same request again until "(END)"). The ratio is what
// the link and clock code cost. hostsim runs in a thread of its own; the two
// loops take turns in short stretches on two connections to the same job
// port, so that both see the same load of the machine.
//
//   bench_link [--spool DIR] [--pages N] [--rounds N] [--stretch N]
// Without --spool a report of N pages (default 3000) is written by
// scripts/genreport into a temporary spool folder.
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

#include "AppContext.h"
#include "BenchHost.h"
#include "HostLink.h"
#include "HostSimThread.h"
#include "SpoolStore.h"

namespace {
// CPU time of the calling thread: what the client side itself spends, apart
// from waiting for the host and the scheduler.
int recordsIn(const std::string& reply, int width) {
    const size_t len = static_cast<size_t>(width) + 4;
    int n = 0;
    for (size_t off = 0; off + len <= 1000; off += len)
        if (reply.compare(off, len, std::string(len, ' ')) != 0) ++n;
    return n;
}

bool isEnd(const std::string& reply) { return reply.size() == 1024 && reply.compare(1000, 5, "(END)") == 0; }

// One loop over the report: exchange() does one request and its reply.
struct Loop {
    virtual ~Loop() = default;
    virtual bool exchange(std::string& reply) = 0;
    long records = 0, blocks = 0;
    double seconds = 0, cpuSeconds = 0;
    bool done = false;
    double rate() const { return seconds > 0 ? records / seconds : 0; }
    void reset() {
        records = blocks = 0;
        seconds = cpuSeconds = 0;
        done = false;
    }
    // Runs up to n exchanges; false on a failed exchange.
    bool stretch(int n, int width) {
        QElapsedTimer t;
        t.start();
        const double cpu0 = bench::threadCpuSeconds();
        std::string reply;
        for (int i = 0; i < n && !done; ++i) {
            if (!exchange(reply)) return false;
            records += recordsIn(reply, width);
            ++blocks;
            done = isEnd(reply);
        }
        seconds += t.nsecsElapsed() / 1e9;
        cpuSeconds += bench::threadCpuSeconds() - cpu0;
        return true;
    }
};

struct BareLoop : Loop {
    BareLoop(const QString& host, quint16 port, std::string request) : request(std::move(request)) {
        s.setSocketOption(QAbstractSocket::LowDelayOption, 1);
        s.connectToHost(host, port);
        ok = s.waitForConnected(5000);
    }
    bool exchange(std::string& reply) override {
        reply.assign(1024, ' ');
        s.write(request.data(), static_cast<qint64>(request.size()));
        s.flush();
        qint64 got = 0;
        while (got < 1024) {
            if (s.bytesAvailable() == 0 && !s.waitForReadyRead(10000)) return false;
            got += s.read(reply.data() + got, 1024 - got);
        }
        return true;
    }
    QTcpSocket s;
    std::string request;
    bool ok = false;
};

struct LinkLoop : Loop {
    LinkLoop(const QString& host, quint16 port, std::string request) : request(std::move(request)) {
        HostSocket* s = ctx.link.socket();
        s->remoteHost = host;
        s->remotePort = port;
        s->connectToHost();
        ok = ctx.services.clock->waitUntil([&] { return s->state() == HostSocket::Connected; }, 5000);
    }
    bool exchange(std::string& reply) override { return SendReceive(ctx.link, request, reply) == LinkResult::Reply; }
    AppContext ctx;
    std::string request;
    bool ok = false;
};

QString argValue(const QStringList& args, const QString& name, const QString& def) {
    const qsizetype i = args.indexOf(name);
    return i >= 0 && i + 1 < args.size() ? args.at(i + 1) : def;
}

int fail(const QString& why) {
    std::fprintf(stderr, "bench_link: %s\n", qPrintable(why));
    return 1;
}
}  // namespace

int main(int argc, char** argv) {
    bench::prepareApplication();
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const int rounds = qMax(1, argValue(args, "--rounds", "5").toInt());
    const int stretch = qMax(1, argValue(args, "--stretch", "50").toInt());
    QString spool = argValue(args, "--spool", {});
    QTemporaryDir tmp;
    if (spool.isEmpty()) {
        spool = tmp.path();
        QDir().mkpath(spool + "/QGPL/QPRINT");
        QProcess gen;
        gen.start("python3", {SW_SOURCE_DIR "/scripts/genreport", "invoice", "--pages", argValue(args, "--pages", "3000"),
                              "--name", "BIGRPT", "-o", spool + "/QGPL/QPRINT/big.splf"});
        if (!gen.waitForFinished(120000) || gen.exitCode() != 0)
            return fail("genreport failed: " + QString::fromLocal8Bit(gen.readAllStandardError()));
    }
    // The first spooled file of the spool folder is the one downloaded.
    const SpoolStore store(spool);
    std::optional<SpooledFileInfo> file;
    for (const std::string& lib : store.libraries())
        for (const OutputQueueInfo& q : store.outputQueues(lib))
            for (const SpooledFileInfo& f : store.spooledFiles(q))
                if (!file) file = f;
    if (!file) return fail("no spooled file in " + spool);
    const auto field = [](const std::string& s, size_t n) { return HostWire::field(s, n); };
    char number[16];
    std::snprintf(number, sizeof number, "%04d", file->number);
    const std::string request = field(field("", 10) + "W" + field(file->name, 10) + field(file->job, 10) +
                                          field(file->user, 10) + field(file->jobNumber, 6) + number +
                                          "0000000001" + "9999999999",
                                      124);

    HostSimOptions o;
    o.address = "127.0.0.1";
    o.listen = false;
    o.spoolRoot = spool;
    HostSimThread host(o);
    QString error;
    if (!host.start(&error)) return fail(error);
    const quint16 port = host.openJobPort();
    if (!port) return fail("no job port free");

    BareLoop bare(o.address, port, request);
    LinkLoop link(o.address, port, request);
    if (!bare.ok || !link.ok) return fail("cannot connect to the job port");
    // --only bare|link runs one loop alone, for a profiler or strace.
    const QString only = argValue(args, "--only", {});
    if (only == "bare") link.done = true;
    if (only == "link") bare.done = true;
    if (!only.isEmpty()) {
        Loop& l = only == "bare" ? static_cast<Loop&>(bare) : link;
        if (!l.stretch(1 << 30, file->width)) return fail("an exchange failed");
        std::printf("%s: %ld blocks, %.0f records/s\n", qPrintable(only), l.blocks, l.rate());
        return 0;
    }
    std::vector<double> ratios;
    double bareSeconds = 0, linkSeconds = 0, bareCpu = 0, linkCpu = 0;
    long records = 0, blocks = 0;
    for (int r = 0; r < rounds; ++r) {
        bare.reset();
        link.reset();
        while (!bare.done || !link.done) {
            if (!bare.stretch(stretch, file->width) || !link.stretch(stretch, file->width))
                return fail("an exchange failed");
        }
        if (bare.records != link.records || bare.records == 0) return fail("the loops saw different reports");
        ratios.push_back(link.rate() / bare.rate());
        bareSeconds += bare.seconds;
        linkSeconds += link.seconds;
        bareCpu += bare.cpuSeconds;
        linkCpu += link.cpuSeconds;
        records += bare.records;
        blocks += bare.blocks;
    }
    std::sort(ratios.begin(), ratios.end());
    const double median = ratios[ratios.size() / 2];
    std::printf("link: %s, %d pages, width %d: %ld records in %ld blocks per round, %d rounds\n", file->name.c_str(),
                file->pages, file->width, records / rounds, blocks / rounds, rounds);
    std::printf("  bare socket loop   %10.0f records/s  (%5.1f us per exchange, client CPU %5.1f us)\n",
                records / bareSeconds, bareSeconds * 1e6 / blocks, bareCpu * 1e6 / blocks);
    std::printf("  SendReceive        %10.0f records/s  (%5.1f us per exchange, client CPU %5.1f us)\n",
                records / linkSeconds, linkSeconds * 1e6 / blocks, linkCpu * 1e6 / blocks);
    std::printf("  ratio              %10.2f  (median of the rounds, %.2f..%.2f; target 0.95 or better)\n", median,
                ratios.front(), ratios.back());
    return 0;
}
