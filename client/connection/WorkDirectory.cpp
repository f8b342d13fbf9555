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
    const QString user = SafeNamePart(ctx.getSetting(QStringLiteral("User"), QStringLiteral("Default")));
    ctx.gWorkDir = savePath + (EndsWithSeparator(savePath) ? QString() : QString(PathSeparator())) + user;
    const auto ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
    if (!QDir().mkdir(ctx.gWorkDir, ownerOnly)) {
        // A folder left by an earlier run keeps the reports private too.
        const QFileInfo existing(ctx.gWorkDir);
        if (existing.isDir() && !existing.isSymLink())
            QFile::setPermissions(ctx.gWorkDir, ownerOnly);
    }
}

void NoteCreatedFile(AppContext& ctx, const QString& path) {
    ctx.createdFiles.insert(QFileInfo(path).absoluteFilePath());
}

void ClearWorkDirectory(AppContext& ctx) {
    if (ctx.gWorkDir.isEmpty()) return;
    const QDir dir(ctx.gWorkDir);
    const QFileInfoList files = dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QFileInfo& f : files) {
        const QString path = f.absoluteFilePath();
        if (ctx.createdFiles.contains(path) && QFile::remove(path)) ctx.createdFiles.remove(path);
    }
}
