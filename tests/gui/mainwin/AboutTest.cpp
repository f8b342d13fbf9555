#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include "TestSupport.h"
#include "frmAbout.h"

namespace {

const QString kPathKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
const QString kFolderKey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Shared Tools Location";

TEST(AboutBox, ShowsTitleVersionAndDescription) {
    TestContext t;
    t.ctx.services.version = ProgramVersion{10, 0, 3};
    frmAbout& a = t.ctx.aboutWindow();
    EXPECT_EQ(a.windowTitle(), "About The iSeries Spool File Spoolwright");
    EXPECT_EQ(a.lblVersion->text(), "Version 10.0.3");
    EXPECT_EQ(a.lblTitle->text(), "iSeries Spoolwright");
    EXPECT_EQ(a.lblDescription->text(), "Tolvane");
    EXPECT_TRUE(a.lblWhatItDoes->text().startsWith(
        "Move iSeries spool files to PC text files to PDF files,"));
    EXPECT_TRUE(a.lblDisclaimer->text().startsWith("Tolvane"));
    EXPECT_EQ(a.cmdOK->text(), "&OK");
    EXPECT_TRUE(a.cmdOK->isDefault());
    EXPECT_EQ(a.cmdSysInfo->text(), "&System Info...");
}

TEST(AboutBox, SystemInformationProgramIsFoundOrReportedUnavailable) {
    struct Case {
        const char* what;
        bool pathValue, pathFileExists, folderValue, folderFileExists;
        bool started;
    };
    const Case cases[] = {
        {"nothing registered (Linux)", false, false, false, false, false},
        {"PATH names a missing program", true, false, false, false, false},
        {"PATH names the program", true, true, false, false, true},
        {"only the folder, program in it", false, false, true, true, true},
        {"only the folder, program missing", false, false, true, false, false},
    };
    for (const Case& c : cases) {
        TestContext t;
        const QString folder = t.dir.path() + "/msinfo";
        QDir().mkpath(folder);
        const QString byPath = t.dir.path() + "/msinfo32-path.exe";
        const QString inFolder = folder + "/MSINFO32.EXE";
        if (c.pathValue) t.registry->setString(kPathKey, "PATH", byPath);
        if (c.folderValue) t.registry->setString(kFolderKey, "MSINFO", folder);
        auto touch = [](const QString& p) {
            QFile f(p);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        };
        if (c.pathFileExists) touch(byPath);
        if (c.folderFileExists) touch(inFolder);
        if (!c.started) t.boxes->expect("System Information Is Unavailable At This Time");

        t.ctx.aboutWindow().cmdSysInfo->click();
        EXPECT_TRUE(t.boxes->done()) << c.what;
        if (c.started) {
            ASSERT_EQ(t.processes->started().size(), 1u) << c.what;
            EXPECT_TRUE(t.processes->started()[0].started) << c.what;
            EXPECT_EQ(t.processes->started()[0].program, c.pathValue ? byPath : inFolder) << c.what;
        } else {
            ASSERT_EQ(t.boxes->shown().size(), 1u) << c.what;
            EXPECT_EQ(t.boxes->shown()[0].title, "iSeries Spoolwright") << c.what;
            EXPECT_EQ(t.boxes->shown()[0].icon, MsgIcon::None) << c.what;
        }
    }
}

TEST(AboutBox, OkAndEscapeUnloadTheWindow) {
    for (bool escape : {false, true}) {
        TestContext t;
        frmAbout& a = t.ctx.aboutWindow();
        a.show();
        if (escape) {
            QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            QApplication::sendEvent(&a, &esc);
        } else {
            a.cmdOK->click();
        }
        EXPECT_FALSE(t.ctx.aboutWindowLoaded()) << (escape ? "Esc" : "OK");
    }
}

}  // namespace
