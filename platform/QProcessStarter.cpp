#include "QProcessStarter.h"

#include <QProcess>

#include "Clock.h"

bool QProcessStarter::start(const QString& program, const QStringList& args, bool hidden) {
    return startTask(program, args, hidden ? Hidden : NormalFocus) > 0;
}

qint64 QProcessStarter::startTask(const QString& program, const QStringList& args, WindowStyle) {
    if (program.isEmpty()) return 0;
    qint64 pid = 0;
    if (!QProcess::startDetached(program, args, QString(), &pid)) return 0;
    return pid > 0 ? pid : 1;
}

int QProcessStarter::run(const QString& program, const QStringList& args, int timeoutMs) {
    if (program.isEmpty()) return -1;
    QProcess proc;
    proc.setProcessChannelMode(QProcess::ForwardedChannels);
    proc.start(program, args);
    if (!proc.waitForStarted(30000)) return -1;
    Clock* clock = clock_ ? clock_() : nullptr;
    const bool finished = clock ? clock->waitUntil([&] { return proc.state() == QProcess::NotRunning; }, timeoutMs)
                                : proc.waitForFinished(timeoutMs);
    if (!finished || proc.state() != QProcess::NotRunning) {
        proc.kill();
        proc.waitForFinished(5000);
        return -1;
    }
    return proc.exitStatus() == QProcess::NormalExit ? proc.exitCode() : -1;
}
