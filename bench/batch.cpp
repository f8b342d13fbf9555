// Swdesk itself in batch mode: "*ALL" of one queue of 50 and of 200 reports
// into text files, against hostsim started as a process of its own, the way
// a scheduled job runs it. Each size runs a few times, the sizes in turn; the quickest run
// counts (a busy machine only ever adds time, and a report adds about a
// millisecond: a median wanders with the load).
// The time of a run should grow linearly with its reports: besides the two
// times, the time a report adds beyond a run of one report is compared
// between the two sizes (target: within 15%), for the whole run and for the
// client's own CPU (the run's time includes hostsim's).
//
//   bench_batch [--small N] [--large N] [--runs N]
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <memory>
#include <vector>

#include "BenchHost.h"
#include "Codec.h"
#include "HostLink.h"
#include "IniSettingsStore.h"
#include "RuntimeDirectory.h"
#include "SignOn.h"

namespace {
// A queue of `count` reports of four pages each, R0001, R0002, ...: a file each.
bool writeQueue(const QString& root, int count) {
    for (int i = 1; i <= count; ++i)
        if (!bench::writeReport(root, QStringLiteral("R%1").arg(i, 4, 10, QLatin1Char('0')), 240)) return false;
    return true;
}

// CPU seconds of the child processes that have ended so far.
double childCpuSeconds() {
    rusage u{};
    ::getrusage(RUSAGE_CHILDREN, &u);
    auto s = [](const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; };
    return s(u.ru_utime) + s(u.ru_stime);
}

struct Timing {
    double seconds = -1;  // negative: not every report was delivered
    double clientCpu = 0;  // CPU seconds of Swdesk itself (hostsim's are not in it)
};

// One batch run in a settings folder of its own.
Timing batchRun(const QString& address, int reports) {
    QTemporaryDir home;
    const QString out = bench::rememberBatchUser(home.path(), address);
    const QString sets = home.filePath(QStringLiteral("bench.spw"));
    QFile f(sets);
    if (!f.open(QIODevice::WriteOnly)) return {};
    f.write("[Properties]\r\nID=Spwrter_10.0\r\nUser=*ALL\r\nOutq=BIGQ\r\nLibrary=BENCHLIB\r\nProcess=Text file\r\n"
            "From=*Start\r\nTo=*End\r\nAdd replace=True\r\n");
    f.close();

    QProcess swdesk;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), home.filePath(QStringLiteral("cache")));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    swdesk.setProcessEnvironment(env);
    swdesk.setStandardOutputFile(QProcess::nullDevice());
    const double cpuBefore = childCpuSeconds();
    QElapsedTimer timer;
    timer.start();
    swdesk.start(QCoreApplication::applicationDirPath() + QStringLiteral("/../Swdesk"),
                 {QStringLiteral("SETS:") + sets, QStringLiteral("FILE:*ALL")});
    if (!swdesk.waitForFinished(30 * 60 * 1000)) return {};
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    const qsizetype written = QDir(out).entryList(QDir::Files).size();
    if (swdesk.exitStatus() != QProcess::NormalExit || swdesk.exitCode() != 0 || written != reports) {
        std::fprintf(stderr, "bench_batch: exit %d, %lld of %d files\n%s", swdesk.exitCode(),
                     static_cast<long long>(written), reports, swdesk.readAllStandardError().constData());
        return {};
    }
    return {seconds, childCpuSeconds() - cpuBefore};
}

// One size: its queue, its host and the runs made so far.
struct Size {
    int reports = 0;
    QTemporaryDir spool;
    bench::HostProcess host;
    std::vector<double> times, cpu;
    // The quickest run's time, and the median of the CPU (the system may
    // count a run's CPU late, in the next one's: a least would be too low).
    Timing best() const {
        std::vector<double> c = cpu;
        std::sort(c.begin(), c.end());
        return {*std::min_element(times.begin(), times.end()), c[c.size() / 2]};
    }
};

// `runs` rounds of a run of each size in turn: a change in the machine's load
// falls on every size alike, not on one of them.
bool measure(std::vector<std::unique_ptr<Size>>& sizes, int runs) {
    for (auto& s : sizes)
        if (!writeQueue(s->spool.path(), s->reports) || !s->host.start(s->spool.path(), {}, true)) {
            std::fprintf(stderr, "bench_batch: no host for %d reports\n", s->reports);
            return false;
        }
    for (int i = 0; i < runs; ++i)
        for (auto& s : sizes) {
            const Timing t = batchRun(s->host.address, s->reports);
            if (t.seconds < 0) return false;
            s->times.push_back(t.seconds);
            s->cpu.push_back(t.clientCpu);
        }
    for (const auto& s : sizes) {
        const Timing best = s->best();
        std::printf("%5d reports: %7.2f s (best of %d)  %8.0f reports/minute  client CPU %.2f s\n", s->reports,
                    best.seconds, runs, s->reports / best.seconds * 60, best.clientCpu);
    }
    std::fflush(stdout);
    return true;
}
}  // namespace

int main(int argc, char** argv) {
    EnsureRuntimeDirectory();
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const int small = bench::argValue(args, QStringLiteral("--small"), 50);
    const int large = bench::argValue(args, QStringLiteral("--large"), 200);
    const int runs = std::max(1, bench::argValue(args, QStringLiteral("--runs"), 5));
    std::printf("batch run: Swdesk SETS FILE:*ALL to text files, a report of 4 pages each\n");
    // One report shows the fixed part of a run (start-up, connect, stop).
    std::vector<std::unique_ptr<Size>> sizes;
    for (int n : {1, small, large}) {
        sizes.push_back(std::make_unique<Size>());
        sizes.back()->reports = n;
    }
    if (!measure(sizes, runs)) return 1;
    const Timing one = sizes[0]->best(), a = sizes[1]->best(), b = sizes[2]->best();
    std::printf("time ratio %.2f for %.0fx the reports: %.2f of linear\n", b.seconds / a.seconds,
                static_cast<double>(large) / small, (b.seconds / a.seconds) / (static_cast<double>(large) / small));
    // What a report adds beyond a run of one, at each size: the run's time
    // (hostsim included) and the client's own CPU.
    auto perReport = [&](double Timing::*field, int n, const Timing& t) { return (t.*field - one.*field) / (n - 1); };
    const double wallSmall = perReport(&Timing::seconds, small, a), wallLarge = perReport(&Timing::seconds, large, b);
    const double cpuSmall = perReport(&Timing::clientCpu, small, a), cpuLarge = perReport(&Timing::clientCpu, large, b);
    std::printf("a report beyond the fixed %.2f s: %.1f ms at %d, %.1f ms at %d: ratio %.2f (target at most 1.15: %s)\n",
                one.seconds, wallSmall * 1000, small, wallLarge * 1000, large, wallLarge / wallSmall,
                wallLarge / wallSmall <= 1.15 ? "met" : "MISSED");
    std::printf("the client's CPU a report: %.2f ms at %d, %.2f ms at %d: ratio %.2f (target at most 1.15: %s)\n",
                cpuSmall * 1000, small, cpuLarge * 1000, large, cpuLarge / cpuSmall,
                cpuLarge / cpuSmall <= 1.15 ? "met" : "MISSED");
    return 0;
}
