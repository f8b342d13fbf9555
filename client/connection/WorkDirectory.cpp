#include "WorkDirectory.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>
#include <unistd.h>

#include "Codec.h"
#include "ConnectionState.h"
#include "Services.h"
#include "SettingValues.h"

QChar PathSeparator() { return QDir::separator(); }

bool EndsWithSeparator(const QString& path) {
    return path.endsWith(QLatin1Char('/')) || path.endsWith(PathSeparator());
}

QString SafeNamePart(const QString& part) {
    QString out = part;
    for (QChar& c : out)
        if (Codec::isControl(c) || QStringLiteral("/\\:*?\"<>|").contains(c)) c = QLatin1Char('_');
    if (out == QLatin1String(".") || out == QLatin1String("..")) out.fill(QLatin1Char('_'));
    return out;
}

QString SystemTempFolder(Services& services) {
    QString t = services.paths ? services.paths->cachePath() : QDir::tempPath();
    if (!t.isEmpty() && !EndsWithSeparator(t)) t += PathSeparator();
    return t;
}

namespace {
// A folder of this user's own that nobody else can put files into or rename
// files in: not a link, owned by the user, not writable by the group or others.
bool fitForReports(const QString& folder) {
    struct stat st {};
    if (::lstat(QFile::encodeName(folder).constData(), &st) != 0) return false;
    return S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

Outcome workDirectoryNotFound(const QString& dir) {
    return Outcome::Failed(
        Failure{QStringLiteral("Directory ") + dir +
                    QStringLiteral(" not found.  Please specify a valid directory in the following screen and then "
                                   "restart the Spoolwright."),
                MsgIcon::None, QStringLiteral("iSeries Spoolwright")});
}
}  // namespace

QString WorkDirectoryUnder(Services& services, const QString& savePath) {
    // The folder is cleared at exit: its name must stay one folder below the save path.
    QString user = services.getSetting(Setting::User, QStringLiteral("Default")).trimmed();
    user = user.isEmpty() || user == QLatin1String(".") || user == QLatin1String("..") ? QStringLiteral("Default")
                                                                                       : SafeNamePart(user);
    return savePath + (EndsWithSeparator(savePath) ? QString() : QString(PathSeparator())) + user;
}

bool MakeWorkDirectory(const QString& dir) {
    const auto ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
    QDir().mkpath(QFileInfo(dir).path());
    QDir().mkdir(dir, ownerOnly);
    // Whatever stood there already must be this user's alone; anything else
    // could be read, or have files put into it, by someone else.
    if (!fitForReports(dir)) return false;
    // A folder left by an earlier run keeps the reports private too.
    QFile::setPermissions(dir, ownerOnly);
    return true;
}

Outcome ApplyWorkDirectoryRule(Services& services, ConnectionState& state) {
    QString savePath = services.getSetting(Setting::SavePath);
    if (!HasValue(savePath)) {
        savePath = SystemTempFolder(services);
        services.saveSetting(Setting::SavePath, savePath);
    }
    const QString dir = WorkDirectoryUnder(services, savePath);
    if (!MakeWorkDirectory(dir)) {
        state.gWorkDir.clear();
        return workDirectoryNotFound(dir);
    }
    state.gWorkDir = dir;
    return Outcome::Done();
}

Outcome CheckSavePath(Services& services) {
    const QString savePath = services.getSetting(Setting::SavePath);
    if (!HasValue(savePath) || savePath == SystemTempFolder(services) || QFileInfo(savePath).isDir())
        return Outcome::Done();
    return workDirectoryNotFound(WorkDirectoryUnder(services, savePath));
}

bool InWorkDirectory(const ConnectionState& state, const QString& path) {
    if (state.gWorkDir.isEmpty() || path.isEmpty()) return false;
    const QString work = QFileInfo(state.gWorkDir).canonicalFilePath();
    return !work.isEmpty() && QFileInfo(QFileInfo(path).absolutePath()).canonicalFilePath() == work;
}
