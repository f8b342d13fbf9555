#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

#include "DesktopPaths.h"
#include "TempPaths.h"
#include "TestSupport.h"

TEST(DesktopPaths, FoldersOfADesktopInstall) {
    ensureApplication();
    const QByteArray oldConfig = qgetenv("XDG_CONFIG_HOME");
    const QByteArray oldCache = qgetenv("XDG_CACHE_HOME");
    qputenv("XDG_CONFIG_HOME", "/home/ann/.config");
    qputenv("XDG_CACHE_HOME", "/home/ann/.cache");
    DesktopPaths paths;
    EXPECT_EQ(paths.configPath(), QStringLiteral("/home/ann/.config/Tolvane"));
    EXPECT_EQ(paths.cachePath(), QStringLiteral("/home/ann/.cache/Tolvane"));
    auto restore = [](const char* name, const QByteArray& old) {
        if (old.isEmpty())
            qunsetenv(name);
        else
            qputenv(name, old);
    };
    restore("XDG_CONFIG_HOME", oldConfig);
    restore("XDG_CACHE_HOME", oldCache);
    EXPECT_EQ(paths.appPath(), QCoreApplication::applicationDirPath());
    EXPECT_TRUE(paths.tempPath().endsWith(QDir::separator()));
    EXPECT_TRUE(QFileInfo(paths.tempPath()).isDir());
    EXPECT_FALSE(paths.appPath().endsWith(QDir::separator()));
    EXPECT_EQ(paths.shortPath(QStringLiteral("/a long/name.txt")), QStringLiteral("/a long/name.txt"));
}

TEST(TempPaths, EveryFolderLivesUnderTheRoot) {
    QTemporaryDir dir;
    TempPaths paths(dir.path());
    for (const QString& p : {paths.appPath(), paths.tempPath(), paths.configPath(), paths.systemPath(), paths.cachePath()}) {
        EXPECT_TRUE(p.startsWith(dir.path() + QLatin1Char('/'))) << p.toStdString();
        EXPECT_TRUE(QFileInfo(p).isDir()) << p.toStdString();
    }
    EXPECT_EQ(paths.tempPath(), dir.path() + QStringLiteral("/tmp/"));
}
