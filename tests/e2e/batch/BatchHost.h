#pragma once
// The real Swdesk in batch mode against hostsim, in a home folder of its own:
// the settings it starts from, the settings files it is given, its run.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <sys/resource.h>

#include <utility>
#include <vector>

#include "Codec.h"
#include "HostLink.h"
#include "HostSimFixture.h"
#include "IniSettingsStore.h"
#include "SignOn.h"
#include "TestSupport.h"

struct RunResult {
    QProcess::ExitStatus exitStatus = QProcess::NormalExit;
    int exitCode = -1;
    QString out, err;
};

struct BatchHost {
    explicit BatchHost(HostSimFaults faults = {}, const QString& spool = {}) : host({.spool = spool, .faults = faults}) {
        ensureApplication();
        outDir = QDir(home.path()).filePath(QStringLiteral("out"));
        QDir().mkpath(outDir);
        remember("URL", host.address());
        remember("User", QStringLiteral("SWUSER"));
        remember("Save Path", outDir);
        remember("FullName", QStringLiteral("1"));
        remember("Wait time", QStringLiteral("2"));
        if (savedPassword)
            remember("century", Codec::toUnicode(SignOnScrambling::scrambleField(
                                    HostWire::field(std::string("SWPASS"), SignOnScrambling::kPasswordLength))));
    }
    // A remembered setting of the user who runs Swdesk.
    void remember(const char* key, const QString& value) {
        IniSettingsStore(QDir(home.path()).filePath(QStringLiteral("config/Tolvane")))
            .save(QStringLiteral("iSeries Spoolwright"), QStringLiteral("Settings"), QString::fromLatin1(key), value);
    }
    void forgetPassword() {
        IniSettingsStore(QDir(home.path()).filePath(QStringLiteral("config/Tolvane")))
            .remove(QStringLiteral("iSeries Spoolwright"), QStringLiteral("Settings"), QStringLiteral("century"));
    }
    // `extra`: further lines of the [Properties] section ("Excel file=...").
    QString settingsFile(const char* name, const QString& process, const char* queue = "QPRINT",
                         const QStringList& extra = {}) {
        const QString p = QDir(home.path()).filePath(QString::fromLatin1(name));
        QFile f(p);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(("[Properties]\r\nID=Spwrter_10.0\r\nOutq=" + QByteArray(queue) +
                 "\r\nLibrary=QGPL\r\nUser=*ALL\r\nProcess=" + process.toUtf8() + "\r\n"));
        for (const QString& line : extra) f.write(line.toUtf8() + "\r\n");
        return p;
    }
    // Runs Swdesk while this thread serves hostsim; a run that does not end is a failure.
    RunResult run(const QStringList& args, qint64 fileSizeLimit = 0) {
        QProcess swdesk;
        start(swdesk, args, fileSizeLimit);
        return finish(swdesk);
    }
    // Starts Swdesk (several may run at once, all in this home); finish() serves
    // hostsim until it has ended.
    void start(QProcess& swdesk, const QStringList& args, qint64 fileSizeLimit = 0) {
        // A file size limit stands in for a full disk.
        if (fileSizeLimit > 0)
            swdesk.setChildProcessModifier([fileSizeLimit] {
                const rlimit l{rlim_t(fileSizeLimit), rlim_t(fileSizeLimit)};
                ::setrlimit(RLIMIT_FSIZE, &l);
            });
        swdesk.setProcessEnvironment(environment());
        const QString program = QStringLiteral(SW_BINARY_DIR "/Swdesk");
        if (startedBy.isEmpty())
            swdesk.start(program, args);
        else
            swdesk.start(startedBy.front(), startedBy.mid(1) + QStringList{program} + args);
        EXPECT_TRUE(swdesk.waitForStarted(10000));
    }
    // What a run of this home is started with.
    QProcessEnvironment environment() const {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        if (!pathFirst.isEmpty()) env.insert("PATH", pathFirst + QLatin1Char(':') + env.value("PATH"));
        env.insert("HOME", home.path());
        env.insert("XDG_CONFIG_HOME", home.path() + "/config");
        env.insert("XDG_CACHE_HOME", home.path() + "/cache");
        env.remove("DISPLAY");
        env.remove("WAYLAND_DISPLAY");
        env.remove("QT_QPA_PLATFORM");
        for (const auto& [name, value] : moreEnvironment) env.insert(name, value);
        return env;
    }
    RunResult finish(QProcess& swdesk) {
        QElapsedTimer limit;
        limit.start();
        while (swdesk.state() != QProcess::NotRunning && limit.elapsed() < limitMs)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        RunResult r;
        if (swdesk.state() != QProcess::NotRunning) {
            swdesk.kill();
            swdesk.waitForFinished(5000);
            ADD_FAILURE() << "the batch run waited for a person";
            return r;
        }
        r.exitStatus = swdesk.exitStatus();
        r.exitCode = swdesk.exitCode();
        r.out = QString::fromLocal8Bit(swdesk.readAllStandardOutput());
        r.err = QString::fromLocal8Bit(swdesk.readAllStandardError());
        return r;
    }
    QStringList files() const { return QDir(outDir).entryList(QDir::Files, QDir::Name); }
    QByteArray file(const QString& name) const {
        QFile f(QDir(outDir).filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    bool savedPassword = true;
    qint64 limitMs = 120000;  // a run still going after this long waits for a person
    QStringList startedBy;  // a program that starts Swdesk, and its arguments before it ("timeout", "2")
    QString pathFirst;  // a folder looked in before the PATH (programs standing for the desktop's)
    std::vector<std::pair<QString, QString>> moreEnvironment;  // further variables of the run
    QTemporaryDir home;
    HostSimFixture host;
    QString outDir;
};

