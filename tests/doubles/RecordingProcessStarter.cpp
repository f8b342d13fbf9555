#include "RecordingProcessStarter.h"

#include <QFileInfo>

bool RecordingProcessStarter::startable(const QString& program) const {
    if (program.isEmpty() || unstartable.contains(program)) return false;
    const bool isPath = program.contains(QLatin1Char('/')) || program.contains(QLatin1Char('\\'));
    return !isPath || !checkPathsExist || QFileInfo(program).isFile();
}

bool RecordingProcessStarter::start(const QString& program, const QStringList& args, bool hidden) {
    return startTask(program, args, hidden ? Hidden : NormalFocus) > 0;
}

qint64 RecordingProcessStarter::startTask(const QString& program, const QStringList& args, WindowStyle style) {
    const bool ok = startable(program);
    const qint64 id = ok ? nextTask_++ : 0;
    started_.push_back({program, args, style, false, ok, id});
    return id;
}

int RecordingProcessStarter::run(const QString& program, const QStringList& args, int) {
    const bool ok = startable(program);
    started_.push_back({program, args, Hidden, true, ok, ok ? nextTask_++ : 0});
    if (!ok) return -1;
    return onRun ? onRun(program, args) : 0;
}

QStringList RecordingProcessStarter::commandLines() const {
    QStringList out;
    for (const Started& s : started_)
        if (s.started) out << (QStringList{s.program} + s.args).join(QLatin1Char(' '));
    return out;
}
