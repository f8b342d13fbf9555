#pragma once
#include <QString>
#include <QStringList>
#include <functional>

class SettingsStore;

namespace hostprep {

class HostprepContext;

// Where the older client version ("AS400 Spoolwright 7") lived: every path
// under one folder standing for its drive C:, so tests can set it.
struct LegacyLayout {
    QString oldProgramDir;   // <drive>/Program Files/AS400 Spoolwright 7
    QStringList menuGroups;  // <drive>/Windows/... and <drive>/WinNT/Start Menu/Programs/AS400 Spoolwright 7
    QString installerDir;    // where the hosts list is taken over
    static LegacyLayout under(const QString& driveRoot, const QString& installerDir);
};

// What the migration did.
struct MigrationReport {
    QStringList movedKeys;
    QStringList failedKeys;      // could not be moved; the old value stays
    QStringList removed;         // files and folders removed, as paths
    bool hostsListTaken = false;
    QString hostsListBackup;     // the installer's earlier hosts list, kept here
    QString unreadable;          // why the older settings cannot be read: then nothing was touched
    QString unwritable;          // why the settings they move to cannot be read: nothing was touched either
};

namespace Migration {
// The 38 remembered values of the older version, in the order they move.
const QStringList& settingNames();
constexpr const char* kOldApp = "AS400 Spoolwright 7";
constexpr const char* kNewApp = "AS400 Spoolwright";
// Files deleted from the old folder, before and after the hosts list.
const QStringList& programFiles();
const QStringList& documentFiles();

// Moves the values, takes over the hosts list (the current one kept as
// "SpwHosts.ini.bak"), then deletes the files named above, the folder when it
// is left empty and the old program's shortcuts in its menu groups. Only
// regular files inside a real folder (no symbolic link) that holds the old
// program are deleted. Older settings that cannot be read stop it before
// anything is touched. `problems` counts what the store has reported so far,
// so that a value it could not write is seen as not moved.
MigrationReport run(SettingsStore& store, const LegacyLayout& layout, const std::function<int()>& problems = {});
}  // namespace Migration

// The start-up's call: the context's store and layout; older settings that
// cannot be read, and a value that could not be moved, are reported in a message.
MigrationReport MigrateOldVersion(HostprepContext& ctx);

}  // namespace hostprep
