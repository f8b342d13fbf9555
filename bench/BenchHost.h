#pragma once
// What the benchmarks that download from hostsim share: their arguments, and
// hostsim as a process of its own on a loopback address of the run's own,
// with the client's link connected to its job port.
#include <QCoreApplication>
#include <QProcess>
#include <QRandomGenerator>
#include <QStringList>
#include <cstdio>

#include "AppContext.h"
#include "HostLink.h"

inline int argValue(const QStringList& args, const QString& name, int def) {
    const qsizetype i = args.indexOf(name);
    return i >= 0 && i + 1 < args.size() ? args.at(i + 1).toInt() : def;
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
