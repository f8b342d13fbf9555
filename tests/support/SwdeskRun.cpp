#include "SwdeskRun.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QProcessEnvironment>

#include "Codec.h"
#include "HostLink.h"
#include "IniSettingsStore.h"
#include "SignOn.h"
#include "TestSupport.h"

SwdeskHome::SwdeskHome() { ensureApplication(); }

QString SwdeskHome::path(const QString& name) const { return name.isEmpty() ? home_.path() : home_.filePath(name); }

void SwdeskHome::setting(const char* key, const QString& value) {
    IniSettingsStore(path(QStringLiteral("config/Tolvane")))
        .save(QStringLiteral("iSeries Spoolwright"), QStringLiteral("Settings"), QString::fromLatin1(key), value);
}

void SwdeskHome::savePassword(const QString& password) {
    setting("century", Codec::toUnicode(SignOnScrambling::scrambleField(
                           HostWire::field(password.toStdString(), SignOnScrambling::kPasswordLength))));
}

SwdeskRun SwdeskHome::run(const QStringList& args, int limitMs) {
    QProcess swdesk;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), path());
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_CACHE_HOME"), path(QStringLiteral("cache")));
    env.insert(QStringLiteral("XDG_DATA_HOME"), path(QStringLiteral("data")));
    for (const char* v : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(QString::fromLatin1(v));
    swdesk.setProcessEnvironment(env);
    swdesk.start(QStringLiteral(SW_BINARY_DIR "/Swdesk"), args);
    SwdeskRun r;
    if (!swdesk.waitForStarted(10000)) {
        ADD_FAILURE() << "Swdesk did not start";
        return r;
    }
    QElapsedTimer limit;
    limit.start();
    while (swdesk.state() != QProcess::NotRunning && limit.elapsed() < limitMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    if (swdesk.state() != QProcess::NotRunning) {
        swdesk.kill();
        swdesk.waitForFinished(5000);
        ADD_FAILURE() << "the batch run did not end by itself";
    } else {
        r.exitCode = swdesk.exitCode();
    }
    r.out = QString::fromLocal8Bit(swdesk.readAllStandardOutput());
    r.err = QString::fromLocal8Bit(swdesk.readAllStandardError());
    return r;
}
