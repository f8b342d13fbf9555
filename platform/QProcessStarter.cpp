#include "QProcessStarter.h"

#include <QProcess>
#include <cstdio>

#include "Clock.h"

bool QProcessStarter::start(const QString& program, const QStringList& args, bool hidden) {
    return startTask(program, args, hidden ? Hidden : NormalFocus) > 0;
}

qint64 QProcessStarter::startTask(const QString& program, const QStringList& args, WindowStyle) {
    if (program.isEmpty()) return 0;
    // A program started here lives on its own: it keeps none of our standard
    // input, output or error, so a pipe from this program ends when it does.
    QProcess proc;
    proc.setProgram(program);
    proc.setArguments(args);
    proc.setStandardInputFile(QProcess::nullDevice());
    proc.setStandardOutputFile(QProcess::nullDevice());
    proc.setStandardErrorFile(QProcess::nullDevice());
    qint64 pid = 0;
    if (!proc.startDetached(&pid)) return 0;
    return pid > 0 ? pid : 1;
}

int QProcessStarter::run(const QString& program, const QStringList& args, int timeoutMs) {
    if (program.isEmpty()) return -1;
    QProcess proc;
    // What it says is passed on by us, so that what it leaves running holds
    // no pipe of ours.
    proc.setStandardInputFile(QProcess::nullDevice());
    proc.setProcessChannelMode(QProcess::MergedChannels);
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
    const QByteArray said = proc.readAll();
    if (!said.isEmpty()) std::fwrite(said.constData(), 1, static_cast<size_t>(said.size()), stderr);
    return proc.exitStatus() == QProcess::NormalExit ? proc.exitCode() : -1;
}
