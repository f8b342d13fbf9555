// How soon "*ALL" of a long queue starts its first download once its list has
// ended (the run is stopped there): a list of 40,000 spooled files must not
// cost a wait per row before the first report. hostsim's frame log shows both
// moments: its last "F" request and its first "W".
//
//   bench_queue [--files N]
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <cstdio>

#include "BenchHost.h"
#include "Codec.h"
#include "HostLink.h"
#include "IniSettingsStore.h"
#include "RuntimeDirectory.h"
#include "SignOn.h"

namespace {
// Small spooled files, one page each, a file each.
bool writeQueue(const QString& root, int count) {
    const QString dir = root + QStringLiteral("/BENCHLIB/BIGQ");
    if (!QDir().mkpath(dir)) return false;
    for (int i = 0; i < count; ++i) {
        QFile f(dir + QStringLiteral("/%1.splf").arg(i, 6, 10, QLatin1Char('0')));
        if (!f.open(QIODevice::WriteOnly)) return false;
        f.write(QStringLiteral("name=R%1\njob=JOB%2\nuser=SWUSER\njobnumber=%3\nnumber=%4\nwidth=80\n"
                               "date=2024-06-30\ntime=23:59:01\n[records]\n001 line\n")
                    .arg(i % 100000)
                    .arg(i / 10)
                    .arg(100000 + i % 900000)
                    .arg(1 + i % 9999)
                    .toLatin1());
    }
    return true;
}

// Where the log has got to: the time its last "F" frame came, whether a "W" has.
struct LogWatch {
    QFile log;
    QByteArray pending;
    qint64 lastList = -1, firstDownload = -1;
    void poll(qint64 now) {
        if (!log.isOpen() && !log.open(QIODevice::ReadOnly)) return;
        pending += log.readAll();
        // Entries: "<channel> <port> #<n> <length>[ partial]\n<bytes>\n".
        for (;;) {
            const qsizetype eol = pending.indexOf('\n');
            if (eol < 0) return;
            const QList<QByteArray> head = pending.left(eol).split(' ');
            if (head.size() < 4) return;
            const qsizetype length = head[3].toLongLong();
            if (pending.size() < eol + 1 + length + 1) return;
            const QByteArray frame = pending.mid(eol + 1, length);
            pending.remove(0, eol + 1 + length + 1);
            if (head[0] != "job" || frame.size() < 11) continue;
            if (frame[10] == 'F') lastList = now;
            if (frame[10] == 'W' && firstDownload < 0) firstDownload = now;
        }
    }
};
}  // namespace

int main(int argc, char** argv) {
    EnsureRuntimeDirectory();
    QCoreApplication app(argc, argv);
    const int files = bench::argValue(QCoreApplication::arguments(), QStringLiteral("--files"), 40000);
    QTemporaryDir spool, home;
    std::printf("\"*ALL\" of %d spooled files: the first download after the list's end\n", files);
    std::fflush(stdout);
    if (!writeQueue(spool.path(), files)) return 1;
    const QString frames = home.filePath(QStringLiteral("frames.log"));
    bench::HostProcess host;
    if (!host.start(spool.path(), {QStringLiteral("--frame-log"), frames}, true)) return 1;

    bench::rememberBatchUser(home.path(), host.address);  // its Save Path is not read here
    const QString sets = home.filePath(QStringLiteral("bench.spw"));
    QFile f(sets);
    if (!f.open(QIODevice::WriteOnly)) return 1;
    f.write("[Properties]\r\nID=Spwrter_10.0\r\nUser=*ALL\r\nOutq=BIGQ\r\nLibrary=BENCHLIB\r\nProcess=Text file\r\n");
    f.close();

    QProcess swdesk;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), home.path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), home.filePath(QStringLiteral("cache")));
    env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    swdesk.setProcessEnvironment(env);
    swdesk.setStandardOutputFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    swdesk.start(QCoreApplication::applicationDirPath() + QStringLiteral("/../Swdesk"),
                 {QStringLiteral("SETS:") + sets, QStringLiteral("FILE:*ALL")});
    LogWatch watch;
    watch.log.setFileName(frames);
    while (watch.firstDownload < 0 && clock.elapsed() < 30 * 60 * 1000 && swdesk.state() != QProcess::NotRunning) {
        QThread::msleep(5);
        watch.poll(clock.elapsed());
    }
    swdesk.kill();
    swdesk.waitForFinished(5000);
    if (watch.firstDownload < 0 || watch.lastList < 0) {
        std::fprintf(stderr, "bench_queue: no download began\n%s", swdesk.readAllStandardError().constData());
        return 1;
    }
    const double gap = static_cast<double>(watch.firstDownload - watch.lastList) / 1000;
    std::printf("list ended after %.2f s; first download %.2f s later (target at most 2 s: %s)\n",
                static_cast<double>(watch.lastList) / 1000, gap, gap <= 2.0 ? "met" : "MISSED");
    return 0;
}
