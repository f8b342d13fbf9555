#include <gtest/gtest.h>

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <map>

#include "DeliveryState.h"
#include "MainwinFakes.h"
#include "PlainSplfScreen.h"
#include "frmMain.h"

namespace {

struct Stop {
    TestContext t;
    RecordingStore* store = nullptr;
    Stop() {
        auto s = std::make_unique<RecordingStore>();
        store = s.get();
        t.ctx.services.settings = std::move(s);
    }
    frmMain& main() { return t.ctx.mainWindow(); }
    QString value(const char* key) { return t.ctx.services.getSetting(QString::fromLatin1(key)); }
    // Runs the stop sequence and gives the status the program ended with.
    int run() {
        try {
            main().Form_Unload();
        } catch (const ProgramEnd& e) {
            return e.exitStatus;
        }
        ADD_FAILURE() << "the stop sequence returned";
        return -1;
    }
};

TEST(StopSequence, RememberSettingsDecidesWhatIsWritten) {
    for (bool remember : {true, false}) {
        Stop s;
        s.t.ctx.services.saveSetting("Outq", "OLDQ");
        s.t.ctx.services.saveSetting("Auto connect", "True");
        s.store->written.clear();
        frmMain& m = s.main();
        m.itmSaveSettings->setChecked(remember);
        m.txtOutq->setText("  PRT01 ");
        m.cboLibrary->setEditText(" QGPL");
        m.txtWrkSplf->setText("  *ALL  ");
        m.itmAutoConnect->setChecked(false);
        EXPECT_EQ(s.run(), 0);
        if (remember) {
            EXPECT_EQ(s.store->written,
                      QStringList({"Defaults", "Outq", "Library", "Wrksplf", "Auto connect"}));
            EXPECT_EQ(s.value("Defaults"), "True");
            EXPECT_EQ(s.value("Outq"), "PRT01");
            EXPECT_EQ(s.value("Library"), "QGPL");
            EXPECT_EQ(s.value("Wrksplf"), "*ALL");
            EXPECT_EQ(s.value("Auto connect"), "False");
        } else {
            EXPECT_EQ(s.store->written, QStringList({"Defaults"}));
            EXPECT_EQ(s.value("Defaults"), "False");
            EXPECT_EQ(s.value("Outq"), "OLDQ");
            EXPECT_EQ(s.value("Auto connect"), "True");
        }
    }
}

TEST(StopSequence, DialogValuesAreRememberedOnlyWhenTheDialogWasUsed) {
    Stop s;
    AppContext& c = s.t.ctx;
    const std::map<SaveDialogKind, SaveDialogFields> fields{
        {SaveDialogKind::Text, {" /home/u/r.txt ", "/home/u/"}},
        {SaveDialogKind::Html, {"/home/u/r.htm", "/home/u/web/"}},
        {SaveDialogKind::Pdf, {"/home/u/r.pdf", "/home/u/pdf/"}},
        {SaveDialogKind::Xml, {"/home/u/r.xml", "/home/u/xml/"}}};
    const std::map<MacroProgram, MacroFields> macros{{MacroProgram::Excel, {" book.xls ", "Tidy"}},
                                                     {MacroProgram::Word, {"doc.dot", "Fmt"}}};
    HookedUpperWindows& upper = installHookedUpperWindows(c);
    upper.onSaveDialogFields = [&](SaveDialogKind d) { return std::optional(fields.at(d)); };
    upper.onMacroFields = [&](MacroProgram p) { return std::optional(macros.at(p)); };
    c.frmSplf().setChosen(ScreenChoice::HtmlAddReplace, 0, true);
    c.frmSplf().setText(ScreenText::HtmlFontSize, "10 ");
    c.saveDialogs.text.accepted = true;
    c.saveDialogs.html.accepted = true;
    c.saveDialogs.pdf.accepted = false;  // shown and cancelled
    c.saveDialogs.xml.accepted = true;
    DeliveryOf(c).gExcelMacroFormLoaded = true;
    DeliveryOf(c).gWordMacroFormLoaded = false;
    s.main();
    s.store->written.clear();
    s.run();
    EXPECT_EQ(
        s.store->written,
        QStringList({"Defaults", "Outq", "Library", "Wrksplf", "Text file", "Save dir", "Html file",
                     "Html add replace", "Save dir html", "Html font", "xml file", "Save dir xml",
                     "Excel macro sheet", "Excel macro name", "Auto connect"}));
    EXPECT_EQ(s.value("Text file"), "/home/u/r.txt");
    EXPECT_EQ(s.value("Save dir"), "/home/u/");
    EXPECT_EQ(s.value("Html add replace"), "True");
    EXPECT_EQ(s.value("Html font"), "10 ");
    EXPECT_EQ(s.value("Save dir xml"), "/home/u/xml/");
    EXPECT_EQ(s.value("Excel macro sheet"), "book.xls");
    EXPECT_EQ(s.value("PDF file"), "None");
}

TEST(StopSequence, AWindowThatIsNotThereIsPassedOver) {
    Stop s;
    s.t.ctx.saveDialogs.text.accepted = true;  // but no save dialog in this program
    DeliveryOf(s.t.ctx).gWordMacroFormLoaded = true;
    s.main();
    s.store->written.clear();
    s.run();
    EXPECT_EQ(s.store->written,
              QStringList({"Defaults", "Outq", "Library", "Wrksplf", "Auto connect"}));
}

TEST(StopSequence, ReleasesDisconnectsMinimisesAndEndsWithTheRunsStatus) {
    Stop s;
    frmMain& m = s.main();
    bool released = false;
    DeliveryOf(s.t.ctx).gWordProAppHeld = true;
    DeliveryOf(s.t.ctx).releaseWordProApp = [&] { released = true; };
    s.t.ctx.services.stopExitStatus = 4;
    m.show();
    EXPECT_EQ(s.run(), 4);
    EXPECT_TRUE(released);
    EXPECT_FALSE(DeliveryOf(s.t.ctx).gWordProAppHeld);
    EXPECT_EQ(m.statusPanel(), "Bye...");
    EXPECT_TRUE(m.isMinimized());
    EXPECT_EQ(m.lblStatus->text(), "Not connected.");
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(StopSequence, CloseBoxAndExitCommandsRunTheSameSequence) {
    struct Case {
        const char* how;
        std::function<void(frmMain&)> close;
    };
    const Case cases[] = {
        {"close box", [](frmMain& m) { m.close(); }},
        {"Exit button", [](frmMain& m) { m.cmdExit->click(); }},
        {"Exit menu item", [](frmMain& m) { m.itmExit->trigger(); }},
    };
    for (const Case& c : cases) {
        Stop s;
        frmMain& m = s.main();
        m.show();
        m.picConnect->show();
        m.itmSaveSettings->setChecked(false);
        c.close(m);
        ASSERT_TRUE(s.t.ctx.services.programEnded.has_value()) << c.how;
        EXPECT_EQ(s.t.ctx.services.programEnded->exitStatus, 0) << c.how;
        EXPECT_EQ(s.value("Defaults"), "False") << c.how;
        EXPECT_EQ(m.statusPanel(), "Bye...") << c.how;
    }
}

// The work directory holds what the client downloaded there, a file the user
// put there, and a link to a file elsewhere that the client's record names.
TEST(StopSequence, WorkDirectoryLosesOnlyTheClientsOwnFiles) {
    Stop s;
    const QString root = s.t.dir.path();
    const QString work = root + "/work/JSMITH";
    ASSERT_TRUE(QDir().mkpath(work));
    auto write = [](const QString& p) {
        QFile f(p);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("x\r\n");
    };
    write(work + "/QSYSPRT.txt");
    write(work + "/mine.txt");
    write(root + "/elsewhere.txt");
    ASSERT_TRUE(QFile::link(root + "/elsewhere.txt", work + "/link.txt"));
    s.t.ctx.connection.gWorkDir = work;
    s.t.ctx.connection.noteCreatedFile(work + "/QSYSPRT.txt");
    s.t.ctx.connection.noteCreatedFile(work + "/link.txt");
    s.t.ctx.connection.noteCreatedFile(root + "/elsewhere.txt");  // a download the user named outside

    s.run();
    EXPECT_FALSE(QFile::exists(work + "/QSYSPRT.txt"));
    EXPECT_TRUE(QFile::exists(work + "/mine.txt"));
    EXPECT_TRUE(QFileInfo(work + "/link.txt").isSymLink());
    EXPECT_TRUE(QFile::exists(root + "/elsewhere.txt"));
    EXPECT_TRUE(QDir(work).exists());  // not empty: the user's file is still in it
}

TEST(StopSequence, EmptiedWorkDirectoryIsRemoved) {
    Stop s;
    const QString work = s.t.dir.path() + "/JSMITH/";  // the trailing separator form
    ASSERT_TRUE(QDir().mkpath(work));
    QFile f(work + "a.txt");
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    s.t.ctx.connection.gWorkDir = work;
    s.t.ctx.connection.noteCreatedFile(work + "a.txt");
    s.run();
    EXPECT_FALSE(QDir(work).exists());
}

}  // namespace
