#include "DesktopPaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QStandardPaths>

namespace {
QString withSeparator(const QString& dir) {
    QString d = QDir::toNativeSeparators(dir);
    if (!d.endsWith(QDir::separator())) d += QDir::separator();
    return d;
}

QString under(QStandardPaths::StandardLocation where) {
    return QDir::toNativeSeparators(QStandardPaths::writableLocation(where) + QLatin1Char('/') +
                                    QLatin1String(DesktopPaths::kMaker));
}
}  // namespace

QString DesktopPaths::appPath() {
    const QString dir = QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
    return QDir::toNativeSeparators(dir);
}

QString DesktopPaths::tempPath() { return withSeparator(QDir::tempPath()); }

QString DesktopPaths::configPath() { return under(QStandardPaths::GenericConfigLocation); }

QString DesktopPaths::cachePath() { return under(QStandardPaths::GenericCacheLocation); }

QString DesktopPaths::systemPath() {
#ifdef Q_OS_WIN
    return QDir::toNativeSeparators(QString::fromLocal8Bit(qgetenv("SystemRoot")) + QStringLiteral("/System32"));
#else
    return QStringLiteral("/usr/bin");
#endif
}

QString DesktopPaths::dataPath() { return under(QStandardPaths::GenericDataLocation); }
