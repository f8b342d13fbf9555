#include "Migration.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "HostprepContext.h"
#include "SettingsStore.h"

namespace hostprep {
namespace {
const QString kSection = QStringLiteral("Settings");
const QString kOldFolder = QStringLiteral("AS400 Spoolwright 7");
const QString kHostsList = QStringLiteral("SpwHosts.ini");

// A folder we may delete in: really there, not a link to somewhere else.
bool realFolder(const QString& path) {
    const QFileInfo fi(path);
    return fi.exists() && fi.isDir() && !fi.isSymLink() && !fi.isJunction();
}

bool regularFile(const QString& path) {
    const QFileInfo fi(path);
    return fi.isFile() && !fi.isSymLink() && !fi.isJunction();
}

void removeFile(const QString& path, MigrationReport& report) {
    if (regularFile(path) && QFile::remove(path)) report.removed << path;
}

void removeFolder(const QString& path, MigrationReport& report) {
    if (realFolder(path) && QDir().rmdir(path)) report.removed << path;
}

// The old file's lines (ended by CR LF, CR or LF), each written with CR LF.
QByteArray withCrLf(const QByteArray& data) {
    QByteArray out;
    qsizetype start = 0;
    for (qsizetype i = 0; i < data.size(); ++i) {
        if (data[i] != '\r' && data[i] != '\n') continue;
        out += data.mid(start, i - start) + "\r\n";
        if (data[i] == '\r' && i + 1 < data.size() && data[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < data.size()) out += data.mid(start) + "\r\n";
    return out;
}

// Copies the old hosts list over the installer's, keeping the current one
// beside it first. False when anything failed: the old list then stays.
bool takeHostsList(const QString& from, const QString& dir, MigrationReport& report) {
    QFile in(from);
    if (!regularFile(from) || !in.open(QIODevice::ReadOnly)) return false;
    const QByteArray data = in.readAll();
    if (in.error() != QFileDevice::NoError) return false;
    const QString target = QDir(dir).filePath(kHostsList);
    if (QFileInfo::exists(target)) {
        // An earlier backup is never replaced: the new one takes a free name.
        QString backup = target + QStringLiteral(".bak");
        for (int n = 2; QFileInfo::exists(backup) || QFileInfo(backup).isSymLink(); ++n) {
            if (n > 999) return false;
            backup = target + QStringLiteral(".bak") + QString::number(n);
        }
        if (!QFile::copy(target, backup)) return false;
        report.hostsListBackup = backup;
    }
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly)) return false;
    out.write(withCrLf(data));
    return out.commit();
}

QString joined(const QString& dir, const QString& name) { return QDir(dir).filePath(name); }

bool holdsOldProgram(const QString& dir) {
    for (const char* exe : {"swdesk.exe", "hostprep.exe"})
        if (regularFile(joined(dir, QLatin1String(exe)))) return true;
    return false;
}
}  // namespace

LegacyLayout LegacyLayout::under(const QString& driveRoot, const QString& installerDir) {
    // No drive to look at: nothing is touched (an empty root would be the current folder).
    if (driveRoot.isEmpty()) return {{}, {}, installerDir};
    const QDir root(driveRoot);
    return {root.filePath(QStringLiteral("Program Files/") + kOldFolder),
            {root.filePath(QStringLiteral("Windows/Start Menu/Programs/") + kOldFolder),
             root.filePath(QStringLiteral("WinNT/Start Menu/Programs/") + kOldFolder)},
            installerDir};
}

const QStringList& Migration::settingNames() {
    static const QStringList names = {
        "Add replace", "century", "Excel macro name", "Excel macro sheet", "From", "FullName", "Html add replace",
        "Html dir", "Html file", "Library", "Match case", "MinusSign", "Outq", "Process", "RemoveBlanks",
        "Run Excel Macro", "Run Word macro", "Save dir", "Save Path", "Search string", "SuppressOverprinting",
        "Text file", "To", "URL", "URL0", "URL1", "URL2", "URL3", "URL4", "URL5", "URL6", "URL7", "User",
        "Wait time", "Window state", "Word macro document", "Word macro name", "Wrksplf",
    };
    return names;
}

const QStringList& Migration::programFiles() {
    static const QStringList files = {"swdesk.exe", "hostprep.exe", "_deisreg.isr", "_isreg32.dll", "DelsL1.isu"};
    return files;
}

const QStringList& Migration::documentFiles() {
    static const QStringList files = {"readme.doc", "readme.txt", "spwsvv32.sav", "spwsvv36.sav", "spwsvv4.sav",
                                      "swhlp5.hlp"};
    return files;
}

MigrationReport Migration::run(SettingsStore& store, const LegacyLayout& layout, const std::function<int()>& problems) {
    MigrationReport report;
    const QString oldApp = QString::fromLatin1(kOldApp);
    const QString newApp = QString::fromLatin1(kNewApp);
    const QString none = QStringLiteral("None");
    // A default no value can hold, to see that a removed value is gone.
    const QString gone(1, QChar(0xFFFF));
    auto problemCount = [&] { return problems ? problems() : 0; };
    // Reading them would set the damaged file aside and find nothing to move;
    // the program files would go while their settings stay behind unread.
    report.unreadable = store.readProblem(oldApp);
    if (!report.unreadable.isEmpty()) return report;
    // Settings that cannot be read are kept only for this run: a value moved
    // there would leave the old file and never reach the disk.
    report.unwritable = store.readProblem(newApp);
    if (!report.unwritable.isEmpty()) return report;

    for (const QString& name : settingNames()) {
        const QString value = store.get(oldApp, kSection, name, none);
        if (value == none) continue;
        const int before = problemCount();
        store.save(newApp, kSection, name, value);
        // The old value goes only once the new one is really there.
        if (problemCount() != before || store.get(newApp, kSection, name, gone) != value) {
            report.failedKeys << name;
            continue;
        }
        store.remove(oldApp, kSection, name);
        if (problemCount() != before || store.get(oldApp, kSection, name, gone) != gone)
            report.failedKeys << name;
        else
            report.movedKeys << name;
    }

    const QString old = layout.oldProgramDir;
    if (realFolder(old) && holdsOldProgram(old)) {
        // The hosts list first, so that nothing stops it from being taken over.
        const QString hosts = joined(old, kHostsList);
        if (regularFile(hosts) && takeHostsList(hosts, layout.installerDir, report)) {
            report.hostsListTaken = true;
            removeFile(hosts, report);
        }
        for (const QString& f : programFiles()) removeFile(joined(old, f), report);
        for (const QString& f : documentFiles()) removeFile(joined(old, f), report);
        // Removed only when nothing else is left in it.
        removeFolder(old, report);
    }
    for (const QString& group : layout.menuGroups) {
        if (!realFolder(group)) continue;
        // The group's shortcuts; anything else a user put there stays.
        const QFileInfoList entries = QDir(group).entryInfoList(
            {QStringLiteral("*.lnk"), QStringLiteral("*.pif"), QStringLiteral("*.url")},
            QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks);
        for (const QFileInfo& e : entries) removeFile(e.filePath(), report);
        removeFolder(group, report);
    }
    return report;
}

namespace {
// What the take-over moved and where, and who reads it: the user would
// otherwise look for the older values in the client, which keeps its own.
QString takeOverMessage(const MigrationReport& report, const QString& settingsFile) {
    QStringList done;
    if (!report.movedKeys.isEmpty())
        done << QStringLiteral("its settings %1 to \"%2\"%3")
                    .arg(report.movedKeys.join(QStringLiteral(", ")), QLatin1String(Migration::kNewApp),
                         settingsFile.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(settingsFile));
    if (report.hostsListTaken)
        done << QStringLiteral("its hosts list to the one of this program") +
                    (report.hostsListBackup.isEmpty() ? QString()
                                                      : QStringLiteral(" (the earlier one kept as %1)").arg(report.hostsListBackup));
    if (!report.removed.isEmpty()) done << QStringLiteral("%1 of its files and folders removed").arg(report.removed.size());
    return QStringLiteral("Taken over from the older version \"%1\": %2.  The settings are this installer's; the client "
                          "iSeries Spoolwright keeps its own and does not read them.")
        .arg(QLatin1String(Migration::kOldApp), done.join(QStringLiteral("; ")));
}
}  // namespace

MigrationReport MigrateOldVersion(HostprepContext& ctx) {
    const MigrationReport report =
        Migration::run(*ctx.settings, LegacyLayout::under(ctx.oldDriveRoot, ctx.paths->appPath()),
                       [&ctx] { return static_cast<int>(ctx.settingsProblems.size()); });
    if (!report.unreadable.isEmpty())
        ctx.msgBox(QStringLiteral("The settings of the older version \"%1\" cannot be read: %2.  Nothing was moved: "
                                  "its settings, hosts list and files stay as they are.")
                       .arg(QLatin1String(Migration::kOldApp), report.unreadable),
                   MsgButtons::OK, MsgIcon::Exclamation, QStringLiteral("Tolvane"));
    if (!report.unwritable.isEmpty())
        ctx.msgBox(QStringLiteral("The settings of the older version \"%1\" cannot be moved: %2.  Nothing was moved: "
                                  "its settings, hosts list and files stay as they are.")
                       .arg(QLatin1String(Migration::kOldApp), report.unwritable),
                   MsgButtons::OK, MsgIcon::Exclamation, QStringLiteral("Tolvane"));
    if (!report.movedKeys.isEmpty() || report.hostsListTaken || !report.removed.isEmpty())
        ctx.msgBox(takeOverMessage(report, ctx.settings->fileName(QLatin1String(Migration::kNewApp))), MsgButtons::OK,
                   MsgIcon::Information, QStringLiteral("Tolvane"));
    if (!report.failedKeys.isEmpty())
        ctx.msgBox(QStringLiteral("These settings of the older version could not be moved and stay where they were: ") +
                       report.failedKeys.join(QStringLiteral(", ")) + QLatin1Char('.'),
                   MsgButtons::OK, MsgIcon::Exclamation, QStringLiteral("Tolvane"));
    return report;
}

}  // namespace hostprep
