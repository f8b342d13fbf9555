#pragma once
// What the benchmarks that download from hostsim share: their arguments, and
// hostsim as a process of its own on a loopback address of the run's own,
// with the client's link connected to its job port.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QStringList>
#include <cstdio>

#include "AppContext.h"
#include "HostLink.h"
#include "SpoolFileRow.h"

inline int argValue(const QStringList& args, const QString& name, int def) {
    const qsizetype i = args.indexOf(name);
    return i >= 0 && i + 1 < args.size() ? args.at(i + 1).toInt() : def;
}

// A spooled file `name` of 80 columns in queue BENCHLIB/<queue> of the spool
// folder, its attributes written; the caller writes the records to `f`.
inline bool openBenchReport(QFile& f, const QString& root, const QString& queue, const QString& name) {
    const QString dir = root + QStringLiteral("/BENCHLIB/") + queue;
    f.setFileName(dir + QLatin1Char('/') + name + QStringLiteral(".splf"));
    if (!QDir().mkpath(dir) || !f.open(QIODevice::WriteOnly)) return false;
    f.write(QStringLiteral("name=%1\njob=BENCH\nuser=SWUSER\njobnumber=100001\nnumber=1\nwidth=80\n"
                           "formtype=*STD\ndate=2024-06-30\ntime=23:59:01\n[records]\n")
                .arg(name)
                .toUtf8());
    return true;
}

// The grid row of that report.
inline SpoolFileRow benchRow(const QString& name) {
    SpoolFileRow::Fields f;
    f.file = name.toStdString();
    f.user = "SWUSER";
    f.jobNumber = "100001";
    f.job = "BENCH/0001";
    return SpoolFileRow::fromFields(f);
}

class BenchHost {
public:
    // Starts hostsim on `spool` and connects ctx's link; false (and why, on
    // standard error) when it does not come up.
    bool start(AppContext& ctx, const QString& spool, const char* bench) {
        const quint32 r = QRandomGenerator::global()->bounded(1u, 250u * 250u);
        const QString address =
            QStringLiteral("127.%1.%2.%3").arg(100 + r % 100).arg(1 + (r / 100) % 250).arg(1 + r % 250);
        const quint16 port = 17851;
        host_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        host_.start(QCoreApplication::applicationDirPath() + QStringLiteral("/../hostsim"),
                    {QStringLiteral("--address"), address, QStringLiteral("--no-listener"), QStringLiteral("--spool"),
                     spool, QStringLiteral("--open-job-port"), QString::number(port)});
        // Connect once the job port is open; what hostsim prints later is drained.
        QByteArray said;
        while (!said.contains("open") && host_.waitForReadyRead(5000)) said += host_.readAllStandardOutput();
        if (!said.contains("open")) {
            std::fprintf(stderr, "%s: hostsim does not open its job port\n", bench);
            return false;
        }
        QObject::connect(&host_, &QProcess::readyReadStandardOutput, [this] { host_.readAllStandardOutput(); });
        HostSocket* s = ctx.link.socket();
        s->remoteHost = address;
        s->remotePort = port;
        s->connectToHost();
        if (!ctx.clock->waitUntil([&] { return s->state() == HostSocket::Connected; }, 5000)) {
            std::fprintf(stderr, "%s: no job port\n", bench);
            return false;
        }
        return true;
    }
    ~BenchHost() { stop(); }
    void stop() {
        if (host_.state() == QProcess::NotRunning) return;
        host_.kill();
        host_.waitForFinished(2000);
    }

private:
    QProcess host_;
};
