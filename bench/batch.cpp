// Swdesk itself in batch mode: "*ALL" of one queue of 50 and of 200 reports
// into text files, against hostsim started as a process of its own, the way
// a scheduled job runs it. Each size runs a few times; the median counts.
// The time of a run should grow linearly with its reports: besides the two
// times, the time a report adds beyond a run of one report is compared
// between the two sizes (target: within 10%).
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

// One batch run in a settings folder of its own; the seconds it took, or a
// negative number when it did not deliver every report.
double batchRun(const QString& address, int reports) {
    QTemporaryDir home;
    const QString out = home.filePath(QStringLiteral("out"));
    QDir().mkpath(out);
    IniSettingsStore store(home.filePath(QStringLiteral("config/Tolvane")));
    auto save = [&store](const char* key, const QString& value) {
        store.save(QStringLiteral("iSeries Spoolwright"), QStringLiteral("Settings"), QString::fromLatin1(key), value);
    };
    save("URL", address);
    save("User", QStringLiteral("SWUSER"));
    save("Save Path", out);
    save("FullName", QStringLiteral("1"));
    save("century", Codec::toUnicode(SignOnScrambling::scrambleField(
                        HostWire::field(std::string("SWPASS"), SignOnScrambling::kPasswordLength))));
    const QString sets = home.filePath(QStringLiteral("bench.spw"));
    QFile f(sets);
    if (!f.open(QIODevice::WriteOnly)) return -1;
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
    QElapsedTimer timer;
    timer.start();
    swdesk.start(QCoreApplication::applicationDirPath() + QStringLiteral("/../Swdesk"),
                 {QStringLiteral("SETS:") + sets, QStringLiteral("FILE:*ALL")});
    if (!swdesk.waitForFinished(30 * 60 * 1000)) return -1;
    const double seconds = static_cast<double>(timer.nsecsElapsed()) / 1e9;
    const qsizetype written = QDir(out).entryList(QDir::Files).size();
    if (swdesk.exitStatus() != QProcess::NormalExit || swdesk.exitCode() != 0 || written != reports) {
        std::fprintf(stderr, "bench_batch: exit %d, %lld of %d files\n%s", swdesk.exitCode(),
                     static_cast<long long>(written), reports, swdesk.readAllStandardError().constData());
        return -1;
    }
    return seconds;
}

// The median of `runs` runs of a queue of `reports`.
double measure(int reports, int runs) {
    QTemporaryDir spool;
    bench::HostProcess host;
    if (!writeQueue(spool.path(), reports) || !host.start(spool.path(), {}, true)) {
        std::fprintf(stderr, "bench_batch: no host for %d reports\n", reports);
        return -1;
    }
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        const double s = batchRun(host.address, reports);
        if (s < 0) return -1;
        times.push_back(s);
    }
    std::sort(times.begin(), times.end());
    const double median = times[times.size() / 2];
    std::printf("%5d reports: %7.2f s (median of %d)  %8.0f reports/minute\n", reports, median, runs,
                reports / median * 60);
    std::fflush(stdout);
    return median;
}
}  // namespace

int main(int argc, char** argv) {
    EnsureRuntimeDirectory();
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const int small = bench::argValue(args, QStringLiteral("--small"), 50);
    const int large = bench::argValue(args, QStringLiteral("--large"), 200);
    const int runs = std::max(1, bench::argValue(args, QStringLiteral("--runs"), 3));
    std::printf("batch run: Swdesk SETS FILE:*ALL to text files, a report of 4 pages each\n");
    // One report shows the fixed part of a run (start-up, connect, stop).
    const double one = measure(1, runs);
    const double a = one < 0 ? -1 : measure(small, runs);
    const double b = a < 0 ? -1 : measure(large, runs);
    if (one < 0 || a < 0 || b < 0) return 1;
    const double perSmall = (a - one) / (small - 1), perLarge = (b - one) / (large - 1);
    std::printf("time ratio %.2f for %.0fx the reports: %.2f of linear\n", b / a,
                static_cast<double>(large) / small, (b / a) / (static_cast<double>(large) / small));
    std::printf("beyond the fixed %.2f s: %.1f ms a report at %d, %.1f ms at %d (%.0f and %.0f reports/minute); "
                "ratio %.2f (target at most 1.10: %s)\n",
                one, perSmall * 1000, small, perLarge * 1000, large, 60 / perSmall, 60 / perLarge, perLarge / perSmall,
                perLarge / perSmall <= 1.10 ? "met" : "MISSED");
    return 0;
}
