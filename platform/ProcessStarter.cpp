#include "ProcessStarter.h"

#include <QProcess>

QStringList ProcessStarter::splitCommandLine(const QString& commandLine) {
    return QProcess::splitCommand(commandLine);
}

qint64 ProcessStarter::startCommandLine(const QString& commandLine, WindowStyle style) {
    QStringList parts = splitCommandLine(commandLine);
    if (parts.isEmpty()) return 0;
    const QString program = parts.takeFirst();
    return startTask(program, parts, style);
}
