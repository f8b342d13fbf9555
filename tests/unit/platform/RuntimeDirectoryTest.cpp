#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <sys/stat.h>
#include <unistd.h>

#include "RuntimeDirectory.h"

namespace {
// The variables this test changes, given back afterwards.
struct SavedEnvironment {
    QByteArray runtime = qgetenv("XDG_RUNTIME_DIR"), tmp = qgetenv("TMPDIR");
    bool hadRuntime = qEnvironmentVariableIsSet("XDG_RUNTIME_DIR"), hadTmp = qEnvironmentVariableIsSet("TMPDIR");
    ~SavedEnvironment() {
        hadRuntime ? qputenv("XDG_RUNTIME_DIR", runtime) : qunsetenv("XDG_RUNTIME_DIR");
        hadTmp ? qputenv("TMPDIR", tmp) : qunsetenv("TMPDIR");
    }
};

mode_t modeOf(const QString& path) {
    struct stat st {};
    return lstat(QFile::encodeName(path).constData(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

bool privateFolder(const QString& path) {
    struct stat st {};
    return lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == geteuid() &&
           (st.st_mode & 0777) == 0700;
}

QString makeFolder(const QString& path, mode_t mode) {
    QDir().mkpath(path);
    chmod(QFile::encodeName(path).constData(), mode);
    return path;
}
}  // namespace

// Whatever the session left, the program ends up with a runtime folder of its
// own that nobody else owns or can enter, and never changes another's folder.
TEST(RuntimeDirectory, AlwaysAPrivateFolderOfTheUsersOwn) {
    const QString uid = QString::number(geteuid());
    enum Expect { Given, Usual, Fresh };
    struct Case {
        const char* name;
        std::function<QString(const QString& root)> arrange;  // returns the XDG_RUNTIME_DIR to give, or null
        Expect expect;
    };
    const std::vector<Case> cases = {
        {"not set", [](const QString&) { return QString(); }, Usual},
        {"set to an empty text", [](const QString&) { return QStringLiteral(""); }, Usual},
        {"a private folder of ours is kept", [](const QString& root) { return makeFolder(root + "/mine", 0700); }, Given},
        {"a folder open to others is not used",
         [](const QString& root) { return makeFolder(root + "/open", 0755); }, Usual},
        {"a folder that does not exist", [](const QString& root) { return root + "/gone"; }, Usual},
        {"the usual folder, too open, is closed and used",
         [uid](const QString& root) {
             makeFolder(root + "/tmp/runtime-" + uid, 0777);
             return QString();
         },
         Usual},
        {"a link in the usual place is not followed",
         [uid](const QString& root) {
             makeFolder(root + "/elsewhere", 0700);
             QFile::link(root + "/elsewhere", root + "/tmp/runtime-" + uid);
             return QString();
         },
         Fresh},
        {"a plain file in the usual place",
         [uid](const QString& root) {
             QFile f(root + "/tmp/runtime-" + uid);
             EXPECT_TRUE(f.open(QIODevice::WriteOnly));
             return QString();
         },
         Fresh},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SavedEnvironment saved;
        QTemporaryDir root;
        QDir().mkpath(root.path() + "/tmp");
        qputenv("TMPDIR", QFile::encodeName(root.path() + "/tmp"));
        const QString given = c.arrange(root.path());
        given.isNull() ? qunsetenv("XDG_RUNTIME_DIR") : qputenv("XDG_RUNTIME_DIR", QFile::encodeName(given));
        const mode_t givenMode = given.isEmpty() ? 0 : modeOf(given);

        const QString folder = EnsureRuntimeDirectory();
        EXPECT_EQ(qEnvironmentVariable("XDG_RUNTIME_DIR"), folder);
        EXPECT_TRUE(privateFolder(folder)) << folder.toStdString();
        const QString usual = root.path() + "/tmp/runtime-" + uid;
        switch (c.expect) {
            case Given: EXPECT_EQ(folder, given); break;
            case Usual: EXPECT_EQ(folder, usual); break;
            case Fresh:
                EXPECT_TRUE(folder.startsWith(usual + "-")) << folder.toStdString();
                EXPECT_EQ(modeOf(root.path() + "/elsewhere"), QFile::exists(root.path() + "/elsewhere") ? 0700u : 0u);
                break;
        }
        if (!given.isEmpty() && c.expect != Given) {
            EXPECT_EQ(modeOf(given), givenMode);  // left as it was
        }
    }
}

TEST(RuntimeDirectory, AFolderOfAnotherUserInTheUsualPlaceIsNotTaken) {
    if (geteuid() != 0) GTEST_SKIP() << "only root can give a folder to another user";
    SavedEnvironment saved;
    QTemporaryDir root;
    const QString usual = root.path() + "/runtime-0";
    makeFolder(usual, 0700);
    ASSERT_EQ(chown(QFile::encodeName(usual).constData(), 65534, 65534), 0);
    qputenv("TMPDIR", QFile::encodeName(root.path()));
    qunsetenv("XDG_RUNTIME_DIR");
    const QString folder = EnsureRuntimeDirectory();
    EXPECT_TRUE(folder.startsWith(usual + "-")) << folder.toStdString();
    EXPECT_TRUE(privateFolder(folder));
}
