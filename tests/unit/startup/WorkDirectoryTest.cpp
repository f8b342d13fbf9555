#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <sys/stat.h>

#include "DesktopPaths.h"
#include "CoreTestSupport.h"
#include "WorkDirectory.h"

namespace {

void touch(const QString& p) {
    QFile f(p);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << p.toStdString();
    f.write("report\r\n");
}

struct WorkDir {
    CoreTestContext t;
    QString root = t.dir.path();
    QString work = root + "/JSMITH";
    WorkDir() {
        QDir().mkpath(work);
        t.ctx.connection.gWorkDir = work;
    }
};

TEST(ClearWorkDirectory, DeletesOnlyNotedPlainFilesDirectlyInTheWorkDirectory) {
    WorkDir w;
    QDir().mkpath(w.work + "/sub");
    touch(w.work + "/ours.txt");
    touch(w.work + "/ours.pdf");
    touch(w.work + "/users.txt");
    touch(w.work + "/sub/ours-too-deep.txt");
    touch(w.root + "/target.txt");
    ASSERT_TRUE(QFile::link(w.root + "/target.txt", w.work + "/link.txt"));
    for (const char* f :
         {"/ours.txt", "/ours.pdf", "/sub/ours-too-deep.txt", "/link.txt", "/gone.txt"})
        w.t.ctx.connection.noteCreatedFile(w.work + QString::fromLatin1(f));

    EXPECT_EQ(w.t.ctx.connection.clearWorkDirectory(), 2);
    EXPECT_FALSE(QFile::exists(w.work + "/ours.txt"));
    EXPECT_FALSE(QFile::exists(w.work + "/ours.pdf"));
    EXPECT_TRUE(QFile::exists(w.work + "/users.txt"));
    EXPECT_TRUE(QFile::exists(w.work + "/sub/ours-too-deep.txt"));  // sub-folders are not touched
    EXPECT_TRUE(QFileInfo(w.work + "/link.txt").isSymLink());
    EXPECT_TRUE(QFile::exists(w.root + "/target.txt"));
    EXPECT_TRUE(QDir(w.work).exists());
}

TEST(ClearWorkDirectory, AWorkDirectoryThatIsALinkIsNotEntered) {
    WorkDir w;
    const QString real = w.root + "/Documents";
    QDir().mkpath(real);
    touch(real + "/ours.txt");
    const QString linked = w.root + "/linked";
    ASSERT_TRUE(QFile::link(real, linked));
    w.t.ctx.connection.gWorkDir = linked;
    w.t.ctx.connection.noteCreatedFile(linked + "/ours.txt");
    EXPECT_EQ(w.t.ctx.connection.clearWorkDirectory(), 0);
    EXPECT_TRUE(QFile::exists(real + "/ours.txt"));
    EXPECT_TRUE(QFileInfo(linked).isSymLink());
}

TEST(ClearWorkDirectory, RemovesTheEmptiedDirectoryAndToleratesAbsence) {
    WorkDir w;
    touch(w.work + "/ours.txt");
    w.t.ctx.connection.noteCreatedFile(w.work + "/ours.txt");
    EXPECT_EQ(w.t.ctx.connection.clearWorkDirectory(), 1);
    EXPECT_FALSE(QDir(w.work).exists());
    EXPECT_EQ(w.t.ctx.connection.clearWorkDirectory(), 0);  // already gone
    w.t.ctx.connection.gWorkDir.clear();
    EXPECT_EQ(w.t.ctx.connection.clearWorkDirectory(), 0);
    EXPECT_TRUE(QDir(w.root).exists());
}

TEST(WorkDirectoryRule, WithNoSavePathItIsUnderTheUsersCacheFolder) {
    CoreTestContext t;
    t.ctx.services.paths = std::make_unique<DesktopPaths>();
    const QByteArray old = qgetenv("XDG_CACHE_HOME");
    const QString cache = t.dir.path() + "/home/.cache";
    qputenv("XDG_CACHE_HOME", QFile::encodeName(cache));
    t.ctx.services.saveSetting("User", "JSMITH");
    EXPECT_TRUE(ApplyWorkDirectoryRule(t.ctx.services, t.ctx.connection));
    if (old.isEmpty())
        qunsetenv("XDG_CACHE_HOME");
    else
        qputenv("XDG_CACHE_HOME", old);
    EXPECT_EQ(t.setting("Save Path"), cache + "/Tolvane/");
    EXPECT_EQ(t.ctx.connection.gWorkDir, cache + "/Tolvane/JSMITH");
    struct stat st {};
    ASSERT_EQ(::lstat(QFile::encodeName(t.ctx.connection.gWorkDir).constData(), &st), 0);
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST(WorkDirectoryRule, OnlyFilesDirectlyInTheWorkFolderAreItsOwn) {
    WorkDir w;
    QDir().mkpath(w.work + "/sub");
    const struct {
        QString path;
        bool inside;
    } cases[] = {{w.work + "/a.txt", true},      {w.work + "/sub/../b.txt", true}, {w.work + "/sub/c.txt", false},
                 {w.root + "/d.txt", false},     {w.work, false},                  {QString(), false}};
    for (const auto& c : cases) EXPECT_EQ(InWorkDirectory(w.t.ctx.connection, c.path), c.inside) << c.path.toStdString();
    w.t.ctx.connection.gWorkDir.clear();
    EXPECT_FALSE(InWorkDirectory(w.t.ctx.connection, w.work + "/a.txt"));
}

}  // namespace
