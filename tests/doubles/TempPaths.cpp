#include "TempPaths.h"

#include <QDir>

TempPaths::TempPaths(const QString& root) : root_(QDir::cleanPath(root)) {
    for (const char* sub : {"app", "tmp", "config", "system", "cache"}) QDir(root_).mkpath(QLatin1String(sub));
}

QString TempPaths::tempPath() {
    QString d = QDir::toNativeSeparators(root_ + QStringLiteral("/tmp"));
    if (!d.endsWith(QDir::separator())) d += QDir::separator();
    return d;
}
