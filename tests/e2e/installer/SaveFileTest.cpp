// Finding the save file: the installer's data folders first, then the user
// is asked; only the chosen file's folder counts.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QLineEdit>

#include "HostInstall.h"
#include "HostprepTestSupport.h"
#include "installer/frmLogin.h"

namespace {
void touch(const QString& path) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("savf");
}
}  // namespace

TEST(SaveFile, FoundInTheDataFoldersOrAskedFor) {
    struct Case {
        const char* name;
        QStringList files;    // under the test folder
        QStringList folders;  // the installer's data folders, in order
        int firstAnswer;      // to "Please specify where ..."; 0: not asked
        QString chosen;       // the dialog's answer ("" = Cancel)
        QString sentFrom;     // the folder of the put; empty: given up
    };
    const std::vector<Case> cases = {
        {"first data folder wins", {"a/spwsvv4.sav", "b/spwsvv4.sav"}, {"a", "b"}, 0, "", "a"},
        {"second data folder", {"b/spwsvv4.sav"}, {"a", "b"}, 0, "", "b"},
        {"chosen file's folder", {"my disk/spwsvv4.sav"}, {"a"}, vbOK, "my disk/spwsvv4.sav", "my disk"},
        {"other save file chosen: spwsvv4.sav from its folder", {"x/spwsvv36.sav", "x/spwsvv4.sav"}, {}, vbOK,
         "x/spwsvv36.sav", "x"},
        {"chosen in a folder whose name starts like the file", {"spwsvv disk/spwsvv4.sav"}, {}, vbOK,
         "spwsvv disk/spwsvv4.sav", "spwsvv disk"},
        {"other save file alone", {"x/spwsvv36.sav"}, {}, vbOK, "x/spwsvv36.sav", ""},
        {"chosen name without spwsvv", {"x/install.sav"}, {}, vbOK, "x/install.sav", ""},
        {"no such file chosen", {}, {}, vbOK, "x/spwsvv4.sav", ""},
        {"dialog cancelled", {}, {}, vbOK, "", ""},
        {"message cancelled", {}, {}, vbCancel, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HostprepTest t;
        const QDir root(t.dir.filePath("files"));
        for (const QString& f : c.files) touch(root.filePath(f));
        t.ctx.saveFileFolders.clear();
        for (const QString& f : c.folders) t.ctx.saveFileFolders << root.filePath(f);
        t.ctx.gSaveFileName = "spwsvv4.sav";
        t.ctx.loginWindow().txtUserID->setText("QSECOFR");
        t.ctx.loginWindow().txtPassword->setText("SECRET");
        if (c.firstAnswer) t.boxes->expect("Please specify where spwsvv4.sav may be found.", c.firstAnswer);
        const bool givesUp = c.sentFrom.isEmpty();
        if (givesUp && c.firstAnswer == vbOK)
            t.boxes->expect("Install file not found.  Make sure the 'iSeries Hostprep' option was installed on this PC.");
        if (!c.chosen.isEmpty()) t.presenter->fileAnswers << root.filePath(c.chosen);

        std::string script;
        const int result = hostprep::WriteFtpScript(t.ctx, "as400", script);
        EXPECT_TRUE(t.boxes->done());
        EXPECT_EQ(result, givesUp ? -1 : 0);
        if (givesUp) {
            EXPECT_TRUE(script.empty());
            continue;
        }
        const QString path = QDir(root.filePath(c.sentFrom)).filePath("spwsvv4.sav");
        const QString put = path.contains(' ') ? "put \"" + path + "\"" : "put " + path;
        EXPECT_TRUE(QString::fromStdString(script).contains(put + " /QSYS.LIB/QGPL.LIB/SPWSV.SAVF\r\n"))
            << script;
        EXPECT_EQ(t.ctx.gSaveFileDir, root.filePath(c.sentFrom));
        if (c.firstAnswer) {
            const auto& dialog = t.presenter->shown().back();
            EXPECT_EQ(dialog.name, "Please locate file spwsvv4.sav");
            EXPECT_EQ(dialog.filter, "iSeries Spoolwright install file|spwsvv4.sav");
        }
    }
}
