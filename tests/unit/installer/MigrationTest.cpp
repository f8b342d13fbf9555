// Taking over an older client version over a temporary drive: its values,
// hosts list, files, folder and menu groups.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <sys/stat.h>

#include "IniSettingsStore.h"
#include "MemorySettingsStore.h"
#include "Migration.h"

using namespace hostprep;

namespace {
const QString kOld = "AS400 Spoolwright 7";
const QString kNew = "AS400 Spoolwright";
const QString kS = "Settings";

// A store that refuses to keep one name, as a store whose file cannot be written.
class RefusingStore : public MemorySettingsStore {
public:
    QString refused;
    int problems = 0;
    void save(const QString& app, const QString& section, const QString& key, const QString& value) override {
        if (key == refused) {
            ++problems;
            return;
        }
        MemorySettingsStore::save(app, section, key, value);
    }
};

struct MigrationFixture : ::testing::Test {
    QTemporaryDir dir;
    QString drive = dir.filePath("drive_c");
    QString installer = dir.filePath("app");
    LegacyLayout layout = LegacyLayout::under(drive, installer);
    RefusingStore store;

    void SetUp() override { QDir().mkpath(installer); }

    static void write(const QString& path, const QByteArray& bytes) {
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    static QByteArray read(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    QString old(const QString& name = {}) const { return QDir(layout.oldProgramDir).filePath(name); }
    // The older version as its setup left it.
    void installOldVersion() {
        for (const QString& f : Migration::programFiles() + Migration::documentFiles()) write(old(f), "old " + f.toUtf8());
        write(old("SpwHosts.ini"), "[Spoolwright Hosts]\r\nHost0=AS400A\r\nHost1=10.1.2.3");
        for (const QString& g : layout.menuGroups) {
            write(QDir(g).filePath("Swdesk.lnk"), "shortcut");
            write(QDir(g).filePath("Readme.LNK"), "shortcut");
        }
    }
    MigrationReport migrate() { return Migration::run(store, layout, [this] { return store.problems; }); }
    // Every file and folder under the test's folder, with contents.
    QStringList tree() const {
        QStringList out;
        QDir root(dir.path());
        std::function<void(const QString&)> walk = [&](const QString& d) {
            for (const QFileInfo& fi : QDir(d).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden |
                                                              QDir::System, QDir::Name)) {
                out << root.relativeFilePath(fi.filePath()) + (fi.isSymLink() ? " -> link" : "") +
                           (fi.isFile() && !fi.isSymLink() ? " = " + QString::fromUtf8(read(fi.filePath())) : "");
                if (fi.isDir() && !fi.isSymLink()) walk(fi.filePath());
            }
        };
        walk(root.path());
        return out;
    }
};
}  // namespace

TEST_F(MigrationFixture, NoOlderVersionChangesNothing) {
    write(QDir(installer).filePath("SpwHosts.ini"), "[Spoolwright Hosts]\r\nHost0=MINE\r\n");
    write(dir.filePath("drive_c/Program Files/Other/swdesk.exe"), "someone else's");
    store.save(kNew, kS, "URL", "kept");
    const QStringList before = tree();
    const MigrationReport r = migrate();
    EXPECT_EQ(tree(), before);
    EXPECT_TRUE(r.movedKeys.isEmpty());
    EXPECT_TRUE(r.removed.isEmpty());
    EXPECT_FALSE(r.hostsListTaken);
    EXPECT_EQ(store.get(kNew, kS, "URL", "None"), "kept");
}

TEST_F(MigrationFixture, ValuesMoveInOrderExceptTheUnsetMark) {
    store.save(kOld, kS, "Add replace", "Y");
    store.save(kOld, kS, "URL", "None");   // "not set": stays
    store.save(kOld, kS, "URL7", "none");  // a value after all
    store.save(kOld, kS, "Wrksplf", "  blanks kept  ");
    store.save(kOld, kS, "URL8", "not one of the 38");
    store.save(kNew, kS, "Add replace", "N");  // overwritten by the old one
    const MigrationReport r = migrate();
    EXPECT_EQ(r.movedKeys, (QStringList{"Add replace", "URL7", "Wrksplf"}));
    EXPECT_TRUE(r.failedKeys.isEmpty());
    EXPECT_EQ(store.get(kNew, kS, "Add replace", "-"), "Y");
    EXPECT_EQ(store.get(kNew, kS, "URL7", "-"), "none");
    EXPECT_EQ(store.get(kNew, kS, "Wrksplf", "-"), "  blanks kept  ");
    EXPECT_FALSE(store.contains(kOld, kS, "Add replace"));
    EXPECT_FALSE(store.contains(kOld, kS, "URL7"));
    EXPECT_EQ(store.get(kOld, kS, "URL", "-"), "None");
    EXPECT_FALSE(store.contains(kNew, kS, "URL"));
    EXPECT_EQ(store.get(kOld, kS, "URL8", "-"), "not one of the 38");
    EXPECT_EQ(Migration::settingNames().size(), 38);
}

TEST_F(MigrationFixture, AValueThatCannotBeWrittenStaysAndTheOthersStillMove) {
    store.save(kOld, kS, "From", "A");
    store.save(kOld, kS, "Library", "SPWLIB");
    store.save(kOld, kS, "Outq", "PRT01");
    store.refused = "Library";
    const MigrationReport r = migrate();
    EXPECT_EQ(r.failedKeys, QStringList{"Library"});
    EXPECT_EQ(r.movedKeys, (QStringList{"From", "Outq"}));
    EXPECT_EQ(store.get(kOld, kS, "Library", "-"), "SPWLIB");
}

TEST_F(MigrationFixture, OldInstallIsTakenOverAndRemoved) {
    installOldVersion();
    write(QDir(installer).filePath("SpwHosts.ini"), "[Spoolwright Hosts]\r\nHost0=CURRENT\r\n");
    const MigrationReport r = migrate();
    // The hosts list had no final line end; each line now ends in CR LF.
    EXPECT_EQ(read(QDir(installer).filePath("SpwHosts.ini")), "[Spoolwright Hosts]\r\nHost0=AS400A\r\nHost1=10.1.2.3\r\n");
    EXPECT_EQ(read(QDir(installer).filePath("SpwHosts.ini.bak")), "[Spoolwright Hosts]\r\nHost0=CURRENT\r\n");
    EXPECT_TRUE(r.hostsListTaken);
    EXPECT_FALSE(QFileInfo::exists(layout.oldProgramDir));
    for (const QString& g : layout.menuGroups) EXPECT_FALSE(QFileInfo::exists(g)) << g.toStdString();
    EXPECT_EQ(tree(), (QStringList{"app", "app/SpwHosts.ini = [Spoolwright Hosts]\r\nHost0=AS400A\r\nHost1=10.1.2.3\r\n",
                                   "app/SpwHosts.ini.bak = [Spoolwright Hosts]\r\nHost0=CURRENT\r\n", "drive_c",
                                   "drive_c/Program Files", "drive_c/WinNT", "drive_c/WinNT/Start Menu",
                                   "drive_c/WinNT/Start Menu/Programs", "drive_c/Windows", "drive_c/Windows/Start Menu",
                                   "drive_c/Windows/Start Menu/Programs"}));

    // A second start finds nothing left to do.
    const QStringList after = tree();
    const MigrationReport again = migrate();
    EXPECT_TRUE(again.removed.isEmpty());
    EXPECT_FALSE(again.hostsListTaken);
    EXPECT_EQ(tree(), after);
}

TEST_F(MigrationFixture, AnEarlierBackupOfTheHostsListSurvives) {
    installOldVersion();
    write(QDir(installer).filePath("SpwHosts.ini"), "[Spoolwright Hosts]\r\nHost0=CURRENT\r\n");
    write(QDir(installer).filePath("SpwHosts.ini.bak"), "[Spoolwright Hosts]\r\nHost0=EARLIER\r\n");
    const MigrationReport r = migrate();
    EXPECT_TRUE(r.hostsListTaken);
    EXPECT_EQ(read(QDir(installer).filePath("SpwHosts.ini.bak")), "[Spoolwright Hosts]\r\nHost0=EARLIER\r\n");
    EXPECT_EQ(read(r.hostsListBackup), "[Spoolwright Hosts]\r\nHost0=CURRENT\r\n");
    EXPECT_EQ(QFileInfo(r.hostsListBackup).path(), installer);
}

TEST_F(MigrationFixture, OnlyTheListedFilesAndShortcutsGo) {
    struct Case {
        const char* name;
        std::function<void(MigrationFixture&)> arrange;
        QStringList survivors;  // relative to the test folder
        bool oldFolderStays;
    };
    const std::vector<Case> cases = {
        {"a user's own file keeps the old folder",
         [](MigrationFixture& f) { write(f.old("my report.txt"), "mine"); },
         {"drive_c/Program Files/AS400 Spoolwright 7/my report.txt"},
         true},
        {"a folder inside it stays too",
         [](MigrationFixture& f) { write(f.old("Reports/jan.txt"), "mine"); },
         {"drive_c/Program Files/AS400 Spoolwright 7/Reports/jan.txt"},
         true},
        {"a listed name that is a link is not followed or removed",
         [](MigrationFixture& f) {
             write(f.dir.filePath("elsewhere/readme.txt"), "elsewhere");
             QFile::remove(f.old("readme.txt"));
             QFile::link(f.dir.filePath("elsewhere/readme.txt"), f.old("readme.txt"));
         },
         {"elsewhere/readme.txt", "drive_c/Program Files/AS400 Spoolwright 7/readme.txt"},
         true},
        {"the menu group keeps what is no shortcut",
         [](MigrationFixture& f) { write(QDir(f.layout.menuGroups[0]).filePath("notes.txt"), "mine"); },
         {"drive_c/Windows/Start Menu/Programs/AS400 Spoolwright 7/notes.txt"},
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(drive).removeRecursively();
        QDir(dir.filePath("elsewhere")).removeRecursively();
        installOldVersion();
        c.arrange(*this);
        migrate();
        for (const QString& s : c.survivors) {
            const QFileInfo fi(dir.filePath(s));
            EXPECT_TRUE(fi.exists() || fi.isSymLink()) << s.toStdString();
        }
        EXPECT_EQ(QFileInfo::exists(layout.oldProgramDir), c.oldFolderStays);
        // Every listed file is gone all the same, unless it was a link.
        for (const QString& f : Migration::programFiles() + Migration::documentFiles()) {
            if (QFileInfo(old(f)).isSymLink()) continue;
            EXPECT_FALSE(QFileInfo::exists(old(f))) << f.toStdString();
        }
    }
}

TEST_F(MigrationFixture, OldFolderThatIsALinkOrHoldsNoOldProgramIsUntouched) {
    struct Case {
        const char* name;
        bool link;
    };
    for (const Case c : {Case{"link to another folder", true}, Case{"folder without the old program", false}}) {
        SCOPED_TRACE(c.name);
        QDir(drive).removeRecursively();
        QDir(dir.filePath("real")).removeRecursively();
        const QString real = dir.filePath("real");
        for (const QString& f : Migration::documentFiles() + QStringList{"SpwHosts.ini"}) write(QDir(real).filePath(f), "x");
        if (c.link) {
            write(QDir(real).filePath("swdesk.exe"), "x");
            QDir().mkpath(QFileInfo(layout.oldProgramDir).path());
            ASSERT_TRUE(QFile::link(real, layout.oldProgramDir));
        } else {
            QDir().rename(real, layout.oldProgramDir);
        }
        const QStringList before = tree();
        const MigrationReport r = migrate();
        EXPECT_EQ(tree(), before);
        EXPECT_FALSE(r.hostsListTaken);
        EXPECT_FALSE(QFileInfo::exists(QDir(installer).filePath("SpwHosts.ini")));
    }
}

// The settings the values would move to cannot be read (a folder or a pipe at
// their name): the store would keep what it is given only for this run, so
// nothing moves and the older settings stay whole on the disk.
TEST_F(MigrationFixture, NewerSettingsThatCannotBeReadStopItBeforeAnythingIsTouched) {
    const QByteArray oldBytes = "[Settings]\r\nOutq=\"PRT01\"\r\nUser=\"ann\"\r\nURL=\"AS400A\"\r\n";
    for (const bool pipe : {false, true}) {
        SCOPED_TRACE(pipe ? "a pipe" : "a folder");
        QTemporaryDir config;
        int problems = 0;
        IniSettingsStore ini(config.path(), [&](const QString&) { ++problems; });
        const QString oldFile = ini.fileName(kOld);
        write(oldFile, oldBytes);
        const QByteArray newFile = QFile::encodeName(ini.fileName(kNew));
        ASSERT_EQ(pipe ? ::mkfifo(newFile.constData(), 0600) : ::mkdir(newFile.constData(), 0700), 0);
        installOldVersion();
        const QStringList before = tree();

        const MigrationReport r = Migration::run(ini, layout, [&] { return problems; });
        EXPECT_TRUE(r.movedKeys.isEmpty()) << r.movedKeys.join(u',').toStdString();
        EXPECT_TRUE(r.removed.isEmpty());
        EXPECT_TRUE(r.unwritable.contains(QDir::toNativeSeparators(ini.fileName(kNew)))) << r.unwritable.toStdString();
        EXPECT_EQ(tree(), before);
        EXPECT_EQ(read(oldFile), oldBytes);
        IniSettingsStore fresh(config.path(), [](const QString&) {});
        EXPECT_EQ(fresh.get(kOld, kS, "User", "None"), "ann");
        EXPECT_EQ(fresh.get(kOld, kS, "URL", "None"), "AS400A");
    }
}

// Older settings that cannot be read (a damaged file, one the user may not
// read, a pipe that would wait for ever) stop the migration before it touches
// anything: the file is not set aside, no value moves and the old program's
// files stay for a later start.
TEST_F(MigrationFixture, OlderSettingsThatCannotBeReadStopItBeforeAnythingIsTouched) {
    const struct {
        const char* what;
        QByteArray bytes;
        bool unreadable;
        bool pipe;
    } cases[] = {{"a damaged file", "[Settings]\nOutq=\"PRT01\nUser=\"ann\"\n", false, false},
                 {"a file the user may not read", "[Settings]\nOutq=\"PRT01\"\n", true, false},
                 {"a pipe", {}, false, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir config;
        IniSettingsStore ini(config.path());
        const QString file = ini.fileName(kOld);
        if (c.pipe)
            ASSERT_EQ(::mkfifo(QFile::encodeName(file).constData(), 0600), 0);
        else
            write(file, c.bytes);
        if (c.unreadable) QFile::setPermissions(file, QFileDevice::WriteOwner);
        if (c.unreadable && QFile(file).open(QIODevice::ReadOnly)) continue;  // a user who reads every file
        installOldVersion();
        const QStringList before = tree();

        const MigrationReport r = Migration::run(ini, layout);
        EXPECT_TRUE(r.unreadable.contains(QDir::toNativeSeparators(file))) << r.unreadable.toStdString();
        EXPECT_TRUE(r.movedKeys.isEmpty());
        EXPECT_TRUE(r.removed.isEmpty());
        EXPECT_EQ(tree(), before);
        EXPECT_EQ(QDir(config.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
                  QStringList{QFileInfo(file).fileName()})
            << "the file is not set aside and nothing new is written";
        if (c.pipe) continue;  // still a pipe: the listing above shows it where it was
        QFile::setPermissions(file, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        EXPECT_EQ(read(file), c.bytes);
    }
}
