#include "WorkDirectory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "AppContext.h"

QChar PathSeparator() { return QDir::separator(); }

bool EndsWithSeparator(const QString& path) {
    return path.endsWith(QLatin1Char('/')) || path.endsWith(PathSeparator());
}

QString SafeNamePart(const QString& part) {
    QString out = part;
    for (QChar& c : out) {
        const ushort u = c.unicode();
        if (u < 0x20 || u == 0x7f || QStringLiteral("/\\:*?\"<>|").contains(c)) c = QLatin1Char('_');
    }
    if (out == QLatin1String(".") || out == QLatin1String("..")) out.fill(QLatin1Char('_'));
    return out;
}

QString SystemTempFolder(AppContext& ctx) {
    QString t = ctx.paths ? ctx.paths->tempPath() : QDir::tempPath();
    if (!t.isEmpty() && !EndsWithSeparator(t)) t += PathSeparator();
    return t;
}

void ApplyWorkDirectoryRule(AppContext& ctx) {
    QString savePath = ctx.getSetting(QStringLiteral("Save Path"));
    if (savePath == QLatin1String("None") || savePath.trimmed().isEmpty()) {
        savePath = SystemTempFolder(ctx);
        ctx.saveSetting(QStringLiteral("Save Path"), savePath);
    }
    // The folder is cleared at exit: its name must stay one folder below the save path.
    QString user = ctx.getSetting(QStringLiteral("User"), QStringLiteral("Default")).trimmed();
    user = user.isEmpty() || user == QLatin1String(".") || user == QLatin1String("..") ? QStringLiteral("Default")
                                                                                       : SafeNamePart(user);
    ctx.gWorkDir = savePath + (EndsWithSeparator(savePath) ? QString() : QString(PathSeparator())) + user;
    const auto ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
    QDir().mkpath(QFileInfo(ctx.gWorkDir).path());
    if (!QDir().mkdir(ctx.gWorkDir, ownerOnly)) {
        // A folder left by an earlier run keeps the reports private too.
        const QFileInfo existing(ctx.gWorkDir);
        if (existing.isDir() && !existing.isSymLink())
            QFile::setPermissions(ctx.gWorkDir, ownerOnly);
    }
}

