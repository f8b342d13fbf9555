#pragma once
// What the download benchmarks share: an account report written into a spool
// folder, its spooled-file row, and hostsim started as a process of its own
// (so that the client's memory and time are the client's) with a context
// connected to its job port.
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTextStream>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

#include "AppContext.h"
#include "Codec.h"
#include "IniSettingsStore.h"
#include "SignOn.h"
#include "RuntimeDirectory.h"
#include "SpoolFileRow.h"

namespace bench {
// Before the application object: the runtime folder Qt asks for, and the
// offscreen platform unless the caller chose another.
inline void prepareApplication() {
    EnsureRuntimeDirectory();
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
}

// The memory this process holds now (VmRSS), 0 when it cannot be read.
inline long residentKiB() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

// CPU time of the calling thread: what the client itself spends.
inline double threadCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

// `records` lines of 80 columns, a page every 60, in BENCHLIB/BIGQ/<name>.
inline bool writeReport(const QString& root, const QString& name, int records) {
    const QString dir = root + QStringLiteral("/BENCHLIB/BIGQ");
    QFile f(dir + QLatin1Char('/') + name + QStringLiteral(".splf"));
    if (!QDir().mkpath(dir) || !f.open(QIODevice::WriteOnly)) return false;
    QTextStream s(&f);
    s << "name=" << name << "\njob=BENCH\nuser=SWUSER\njobnumber=100001\nnumber=1\nwidth=80\n"
      << "formtype=*STD\ndate=2024-06-30\ntime=23:59:01\n[records]\n";
    for (int i = 1; i <= records; ++i) {
        s << (i % 60 == 1 ? "001 " : "   1");
        s << "ACCOUNT " << qSetFieldWidth(8) << i << qSetFieldWidth(0)
          << "  OPENING BALANCE        1,234.56   DEBITS   98.70   CREDITS   12.00\n";
    }
    return true;
}

// The number after `name` on the command line, or `def`.
// The median of the rounds of a measurement.
inline double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

inline int argValue(const QStringList& args, const QString& name, int def) {
    const qsizetype i = args.indexOf(name);
    return i >= 0 && i + 1 < args.size() ? args.at(i + 1).toInt() : def;
}

inline SpoolFileRow rowOf(const QString& name) {
    SpoolFileRow::Fields f;
    f.file = name.toStdString();
    f.user = "SWUSER";
    f.jobNumber = "100001";
    f.job = "BENCH/0001";
    return SpoolFileRow::fromFields(f);
}

// hostsim on a loopback address of this run's own, serving `spool` on one
// job port, or, with `listener`, to clients that sign on as a user does;
// `extra` arguments are added to its command line.
class HostProcess {
public:
    bool start(const QString& spool, const QStringList& extra = {}, bool listener = false) {
        const quint32 r = QRandomGenerator::global()->bounded(1u, 250u * 250u);
        address = QStringLiteral("127.%1.%2.%3").arg(100 + r % 100).arg(1 + (r / 100) % 250).arg(1 + r % 250);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        const QStringList ports = listener ? QStringList{}
                                           : QStringList{QStringLiteral("--no-listener"), QStringLiteral("--open-job-port"),
                                                         QString::number(port)};
        process.start(QCoreApplication::applicationDirPath() + QStringLiteral("/../hostsim"),
                      QStringList{QStringLiteral("--address"), address, QStringLiteral("--spool"), spool} + ports + extra);
        // Go on once it serves; what hostsim prints later is drained.
        const QByteArray ready = listener ? "listening" : "open";
        QByteArray said;
        while (!said.contains(ready) && process.waitForReadyRead(5000)) said += process.readAllStandardOutput();
        if (!said.contains(ready)) return false;
        QObject::connect(&process, &QProcess::readyReadStandardOutput, [this] { process.readAllStandardOutput(); });
        return true;
    }
    // Puts the context's socket on the job port, as a sign-on leaves it.
    bool connect(AppContext& ctx) {
        HostSocket* s = ctx.link.socket();
        s->remoteHost = address;
        s->remotePort = port;
        s->connectToHost();
        return ctx.services.clock->waitUntil([&] { return s->state() == HostSocket::Connected; }, 5000);
    }
    ~HostProcess() {
        process.kill();
        process.waitForFinished(2000);
    }
    QString address;
    const quint16 port = 17851;
    QProcess process;
};
// A user home for a batch run of the real Swdesk: the remembered host, user,
// saved password and "Save Path" (returned, created) under HOME/config.
inline QString rememberBatchUser(const QString& home, const QString& address) {
    const QString out = QDir(home).filePath(QStringLiteral("out"));
    QDir().mkpath(out);
    IniSettingsStore store(QDir(home).filePath(QStringLiteral("config/Tolvane")));
    auto save = [&store](const char* key, const QString& value) {
        store.save(QStringLiteral("iSeries Spoolwright"), QStringLiteral("Settings"), QString::fromLatin1(key), value);
    };
    save("URL", address);
    save("User", QStringLiteral("SWUSER"));
    save("Save Path", out);
    save("FullName", QStringLiteral("1"));
    save("century", Codec::toUnicode(SignOnScrambling::scrambleField(
                        HostWire::field(std::string("SWPASS"), SignOnScrambling::kPasswordLength))));
    return out;
}
}  // namespace bench
