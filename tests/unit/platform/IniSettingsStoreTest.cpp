#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Codec.h"
#include "IniSettingsStore.h"

namespace {
const QString kApp = QStringLiteral("iSeries Spoolwright");
const QString kSec = QStringLiteral("Settings");

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& data) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

struct Store {
    explicit Store(const QString& folder)
        : store(folder, [this](const QString& m) { problems << m; }) {}
    IniSettingsStore store;
    QStringList problems;
};

QString allBytes() {
    std::string b;
    for (int i = 0; i < 256; ++i) b.push_back(static_cast<char>(i));
    return Codec::toUnicode(b);
}
}  // namespace

TEST(IniSettingsStore, TrickyValuesComeBackExactlyInAFreshStore) {
    const std::vector<std::pair<const char*, QString>> cases = {
        {"empty", QString()},
        {"one blank", QStringLiteral(" ")},
        {"blanks around", QStringLiteral("   padded value   ")},
        {"quotes", QStringLiteral("\"quoted\" and \"")},
        {"backslashes", QStringLiteral("C:\\Program Files\\x41\\")},
        {"looks like syntax", QStringLiteral("[Settings]\nKey=\"v\"")},
        {"comment signs", QStringLiteral("; not a comment # either")},
        {"line ends", QStringLiteral("line1\r\nline2\rline3\n")},
        {"tabs and NUL", QStringLiteral("\tTab") + QChar(0) + QStringLiteral("nul")},
        {"every code-page byte", allBytes()},
        {"scrambled password", Codec::toUnicode(std::string("\x81\xfe  \x9d\xa0\x01 ", 8) + std::string(120, ' '))},
        {"non-Latin", QString::fromUtf8("\xe2\x82\xac \xce\xa9 \xf0\x9f\x98\x80")},
        {"lone surrogate", QString(QChar(0xD800)) + QStringLiteral("x") + QChar(0xFFFF)},
    };
    QTemporaryDir dir;
    {
        Store s(dir.path());
        for (const auto& [name, value] : cases) s.store.save(kApp, kSec, QString::fromLatin1(name), value);
        s.store.save(kApp, kSec, QString(), QStringLiteral("a key without a name is not kept"));
        s.store.save(kApp, QStringLiteral(" odd [section]=\"; "), QStringLiteral(" =odd key\" "), QStringLiteral("v"));
        EXPECT_TRUE(s.problems.isEmpty()) << s.problems.join('\n').toStdString();
    }
    Store fresh(dir.path());
    for (const auto& [name, value] : cases) {
        const QString back = fresh.store.get(kApp, kSec, QString::fromLatin1(name), QStringLiteral("None"));
        EXPECT_EQ(back, value) << name;
        EXPECT_EQ(back.size(), value.size()) << name;
    }
    EXPECT_EQ(fresh.store.get(kApp, QStringLiteral(" odd [section]=\"; "), QStringLiteral(" =odd key\" "), {}),
              QStringLiteral("v"));
    EXPECT_TRUE(fresh.problems.isEmpty()) << fresh.problems.join('\n').toStdString();
}

TEST(IniSettingsStore, SectionAndKeyNamesWithTheFilesOwnSignsComeBack) {
    const QString names[] = {
        QStringLiteral("a=b"), QStringLiteral("="),   QStringLiteral("a]b"), QStringLiteral("]"),
        QStringLiteral("[x]"), QStringLiteral("a;b"), QStringLiteral(";a"),  QStringLiteral("#a"),
        QStringLiteral(" a"),  QStringLiteral("a "),  QStringLiteral("\t"),  QStringLiteral("a\\x3Db\""),
    };
    QTemporaryDir dir;
    {
        Store s(dir.path());
        writeAll(s.store.fileName(kApp), "[Settings]\nSave Path=\"/earlier/\"\n");
        for (const QString& n : names) s.store.save(kApp, n, n, QStringLiteral("value of ") + n);
        EXPECT_TRUE(s.problems.isEmpty()) << s.problems.join('\n').toStdString();
    }
    Store fresh(dir.path());
    for (const QString& n : names)
        EXPECT_EQ(fresh.store.get(kApp, n, n, QStringLiteral("None")), QStringLiteral("value of ") + n)
            << n.toStdString();
    EXPECT_EQ(fresh.store.get(kApp, kSec, QStringLiteral("Save Path"), {}), QStringLiteral("/earlier/"));
    EXPECT_TRUE(fresh.problems.isEmpty()) << fresh.problems.join('\n').toStdString();
}

TEST(IniSettingsStore, KeysAndSectionsMatchWithoutRegardToCase) {
    QTemporaryDir dir;
    {
        Store s(dir.path());
        s.store.save(kApp, kSec, QStringLiteral("Save Path"), QStringLiteral("/first/"));
        s.store.save(kApp, QStringLiteral("SETTINGS"), QStringLiteral("SAVE PATH"), QStringLiteral("/second/"));
        EXPECT_EQ(s.store.get(kApp, kSec, QStringLiteral("save path"), QStringLiteral("None")), QStringLiteral("/second/"));
    }
    Store fresh(dir.path());
    EXPECT_EQ(fresh.store.get(QStringLiteral("ISERIES SPOOLWRIGHT"), QStringLiteral("settings"),
                              QStringLiteral("sAvE pAtH"), QStringLiteral("None")),
              QStringLiteral("/second/"));
    // One entry, under the spelling it was first saved with.
    const QByteArray file = readAll(fresh.store.fileName(kApp));
    EXPECT_EQ(file.count("ave"), 1) << file.constData();
    EXPECT_TRUE(file.contains("[Settings]\nSave Path=\"/second/\"\n")) << file.constData();
}

TEST(IniSettingsStore, OneFilePerApplicationTitleOwnerOnly) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("config/Tolvane"));
    Store s(folder);
    s.store.save(kApp, kSec, QStringLiteral("User"), QStringLiteral("ann"));
    s.store.save(QStringLiteral("AS400 Hostprep"), kSec, QStringLiteral("Host"), QStringLiteral("as400"));
    const QString path = s.store.fileName(kApp);
    EXPECT_EQ(path, QDir(folder).filePath(QStringLiteral("iSeries Spoolwright.ini")));
    EXPECT_TRUE(QFileInfo::exists(s.store.fileName(QStringLiteral("AS400 Hostprep"))));
    EXPECT_FALSE(readAll(path).contains("Host"));

    const auto ownerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    const auto mask = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner |
                      QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup |
                      QFileDevice::ReadOther | QFileDevice::WriteOther | QFileDevice::ExeOther;
    EXPECT_EQ(QFileInfo(path).permissions() & mask, ownerOnly);
    // A file that someone made readable for all is narrowed again by the next save.
    QFile::setPermissions(path, ownerOnly | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    s.store.save(kApp, kSec, QStringLiteral("User"), QStringLiteral("bob"));
    EXPECT_EQ(QFileInfo(path).permissions() & mask, ownerOnly);
    EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral(".lock")));
    EXPECT_TRUE(s.problems.isEmpty());
}

TEST(IniSettingsStore, AHandEditedFileIsRead) {
    QTemporaryDir dir;
    Store s(dir.path());
    writeAll(s.store.fileName(kApp),
             "\xef\xbb\xbf; edited by hand\r\n"
             "[Other]\r\n"
             "Save Path = /elsewhere/\r\n"
             "\r\n"
             "  [ Settings ]  \r\n"
             "# the host\r\n"
             "Host = as400.example.com \r\n"
             "Save Path=\"  /home/ann/spool/  \"\r\n"
             "Escaped=\"\\x41\\u20AC\\\\\"\r\n"
             "Host=later wins\r\n");
    auto get = [&](const char* key) {
        return s.store.get(kApp, kSec, QString::fromLatin1(key), QStringLiteral("None"));
    };
    EXPECT_EQ(get("Save Path"), QStringLiteral("  /home/ann/spool/  "));
    EXPECT_EQ(get("Escaped"), QString::fromUtf8("A\xe2\x82\xac\\"));
    EXPECT_EQ(get("Host"), QStringLiteral("later wins"));
    EXPECT_EQ(get("Missing"), QStringLiteral("None"));
    EXPECT_EQ(s.store.get(kApp, QStringLiteral("other"), QStringLiteral("save path"), {}), QStringLiteral("/elsewhere/"));
    EXPECT_TRUE(s.problems.isEmpty());
}

TEST(IniSettingsStore, ADamagedFileGivesOneMessageTheDefaultsAndIsKept) {
    const std::vector<std::pair<const char*, QByteArray>> cases = {
        {"no closing quote", "[Settings]\nUser=\"ann\n"},
        {"unknown escape", "[Settings]\nUser=\"a\\qb\"\n"},
        {"short hex escape", "[Settings]\nUser=\"\\x4\"\n"},
        {"text after quote", "[Settings]\nUser=\"ann\" extra\n"},
        {"value before a section", "User=ann\n[Settings]\n"},
        {"not key=value", "[Settings]\nthis is not a setting\n"},
        {"section without bracket", "[Settings\nUser=ann\n"},
        {"not UTF-8", "[Settings]\nUser=\"\xff\xfe\"\n"},
        {"NUL bytes", QByteArray("[Settings]\nUser=\"a\0b\"\n", 22)},
        // Sound lines, but more of them than any run writes.
        {"over 4 MB", QByteArray("[Settings]\n") + QByteArray("Host=\"as400\"\n").repeated(4 * 1024 * 1024 / 13 + 1)},
    };
    for (const auto& [name, bytes] : cases) {
        QTemporaryDir dir;
        Store s(dir.path());
        const QString path = s.store.fileName(kApp);
        writeAll(path, bytes);
        EXPECT_EQ(s.store.get(kApp, kSec, QStringLiteral("User"), QStringLiteral("None")), QStringLiteral("None")) << name;
        EXPECT_EQ(s.store.get(kApp, kSec, QStringLiteral("Host"), QStringLiteral("None")), QStringLiteral("None")) << name;
        ASSERT_EQ(s.problems.size(), 1) << name;
        EXPECT_TRUE(s.problems[0].contains(QStringLiteral("is damaged"))) << s.problems[0].toStdString();
        EXPECT_TRUE(s.problems[0].contains(QDir::toNativeSeparators(path))) << name;
        EXPECT_EQ(readAll(path + QStringLiteral(".damaged")), bytes) << name;
        // The program goes on and saves normally into a new file.
        s.store.save(kApp, kSec, QStringLiteral("User"), QStringLiteral("ann"));
        Store fresh(dir.path());
        EXPECT_EQ(fresh.store.get(kApp, kSec, QStringLiteral("User"), {}), QStringLiteral("ann")) << name;
        EXPECT_EQ(s.problems.size(), 1) << name;
        EXPECT_TRUE(fresh.problems.isEmpty()) << name;
    }
}

// A file set aside earlier is kept when the settings are found damaged again:
// the new one takes the next free name, and the message names it.
TEST(IniSettingsStore, ADamagedFileSetAsideEarlierIsKeptWhenAnotherIs) {
    QTemporaryDir dir;
    const QString path = Store(dir.path()).store.fileName(kApp);
    const QByteArray damaged[] = {"[Settings]\nUser=\"first\n", "[Settings]\nUser=\"second\n", "third\n"};
    const QString asides[] = {path + QStringLiteral(".damaged"), path + QStringLiteral(".damaged2"),
                              path + QStringLiteral(".damaged3")};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        writeAll(path, damaged[i]);
        Store s(dir.path());
        EXPECT_EQ(s.store.get(kApp, kSec, QStringLiteral("User"), QStringLiteral("None")), QStringLiteral("None"));
        ASSERT_EQ(s.problems.size(), 1);
        EXPECT_TRUE(s.problems[0].contains(QDir::toNativeSeparators(asides[i]) + QLatin1Char('"')))
            << s.problems[0].toStdString();
        for (int k = 0; k <= i; ++k) EXPECT_EQ(readAll(asides[k]), damaged[k]) << k;
    }
}

TEST(IniSettingsStore, AnUnreadableFileIsNeverOverwritten) {
    QTemporaryDir dir;
    Store s(dir.path());
    const QString path = s.store.fileName(kApp);
    ASSERT_TRUE(QDir().mkpath(path));  // a folder where the file should be cannot be read
    EXPECT_EQ(s.store.get(kApp, kSec, QStringLiteral("User"), QStringLiteral("None")), QStringLiteral("None"));
    s.store.save(kApp, kSec, QStringLiteral("User"), QStringLiteral("ann"));
    EXPECT_EQ(s.store.get(kApp, kSec, QStringLiteral("User"), QStringLiteral("None")), QStringLiteral("ann"));
    ASSERT_EQ(s.problems.size(), 1);
    EXPECT_TRUE(s.problems[0].contains(QStringLiteral("cannot be read")));
    EXPECT_TRUE(QFileInfo(path).isDir());
}

// A settings file that is no plain file (a pipe, a link to a pipe or to a
// device) is never opened, as opening a pipe waits for a writer and a device
// never ends: it cannot be read, at once, and stays what it was.
TEST(IniSettingsStore, ANameThatIsNoPlainFileCannotBeReadAndIsLeftAlone) {
    const struct {
        const char* what;
        const char* linkTo;  // nullptr: a pipe at the name itself
    } cases[] = {{"a pipe", nullptr}, {"a link to a pipe", "pipe"}, {"a link to a device", "/dev/zero"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir dir;
        Store s(dir.path());
        const QString path = s.store.fileName(kApp);
        const QByteArray native = QFile::encodeName(path);
        const QByteArray pipe = QFile::encodeName(dir.filePath(QStringLiteral("pipe")));
        ASSERT_EQ(::mkfifo(c.linkTo ? pipe.constData() : native.constData(), 0600), 0);
        if (c.linkTo) {
            ASSERT_EQ(::symlink(std::string(c.linkTo) == "pipe" ? pipe.constData() : c.linkTo, native.constData()), 0);
        }
        const QString problem = s.store.readProblem(kApp);
        EXPECT_TRUE(problem.contains(QStringLiteral("not a plain file"))) << problem.toStdString();
        EXPECT_EQ(s.store.get(kApp, kSec, QStringLiteral("User"), QStringLiteral("None")), QStringLiteral("None"));
        s.store.save(kApp, kSec, QStringLiteral("User"), QStringLiteral("ann"));
        ASSERT_EQ(s.problems.size(), 1);
        EXPECT_TRUE(s.problems[0].contains(QStringLiteral("cannot be read"))) << s.problems[0].toStdString();
        struct stat st {};
        ASSERT_EQ(::lstat(native.constData(), &st), 0);
        EXPECT_EQ(st.st_mode & S_IFMT, c.linkTo ? S_IFLNK : S_IFIFO);
        EXPECT_FALSE(QFileInfo::exists(path + QStringLiteral(".damaged")));
    }
}

TEST(IniSettingsStore, AFailedSaveIsReportedOnceAndKeptForTheRun) {
    QTemporaryDir dir;
    const QString notAFolder = dir.filePath(QStringLiteral("file"));
    writeAll(notAFolder, "x");
    Store s(notAFolder);
    s.store.save(kApp, kSec, QStringLiteral("User"), QStringLiteral("ann"));
    s.store.save(kApp, kSec, QStringLiteral("Host"), QStringLiteral("as400"));
    EXPECT_EQ(s.store.get(kApp, kSec, QStringLiteral("User"), {}), QStringLiteral("ann"));
    ASSERT_EQ(s.problems.size(), 1);
    EXPECT_TRUE(s.problems[0].contains(QStringLiteral("cannot be saved")));
    EXPECT_EQ(readAll(notAFolder), QByteArray("x"));
}

TEST(IniSettingsStore, TwoRunsOnOneFileKeepEachOthersValues) {
    QTemporaryDir dir;
    Store first(dir.path());
    Store second(dir.path());
    first.store.save(kApp, kSec, QStringLiteral("User"), QStringLiteral("ann"));
    second.store.save(kApp, kSec, QStringLiteral("Host"), QStringLiteral("as400"));
    first.store.save(kApp, kSec, QStringLiteral("Auto connect"), QStringLiteral("True"));
    EXPECT_EQ(first.store.get(kApp, kSec, QStringLiteral("Host"), {}), QStringLiteral("as400"));
    first.store.remove(kApp, kSec, QStringLiteral("USER"));
    Store fresh(dir.path());
    EXPECT_EQ(fresh.store.get(kApp, kSec, QStringLiteral("User"), QStringLiteral("None")), QStringLiteral("None"));
    EXPECT_EQ(fresh.store.get(kApp, kSec, QStringLiteral("Host"), {}), QStringLiteral("as400"));
    EXPECT_EQ(fresh.store.get(kApp, kSec, QStringLiteral("Auto connect"), {}), QStringLiteral("True"));
}

// A full disk fails the save: the file on the disk stays whole, and the run
// keeps the value for itself.
TEST(IniSettingsStore, ASaveThatDoesNotFitLeavesTheFileAsItWas) {
    QTemporaryDir dir;
    Store s(dir.path());
    const QString path = s.store.fileName(kApp);
    s.store.save(kApp, kSec, QStringLiteral("URL"), QStringLiteral("as400.example"));
    const QByteArray before = readAll(path);
    ASSERT_FALSE(before.isEmpty());
    // The file size limit makes the writes fail as a full disk does.
    struct rlimit limit {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &limit), 0);
    const struct rlimit small {rlim_t(before.size() / 2), limit.rlim_max};
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    s.store.save(kApp, kSec, QStringLiteral("User"), QStringLiteral("ann"));
    ::setrlimit(RLIMIT_FSIZE, &limit);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_EQ(readAll(path), before);
    ASSERT_EQ(s.problems.size(), 1);
    EXPECT_TRUE(s.problems[0].contains(QStringLiteral("cannot be saved"))) << s.problems[0].toStdString();
    EXPECT_EQ(s.store.get(kApp, kSec, QStringLiteral("User"), {}), QStringLiteral("ann"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QFileInfo(path).fileName()});
}
