#include <gtest/gtest.h>

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <stdexcept>

#include "IniSettingsStore.h"
#include "MainwinFakes.h"
#include "Startup.h"
#include "SwdeskRun.h"
#include "frmMain.h"

namespace {

struct Start {
    TestContext t;
    RecordingStore* store = nullptr;
    HookedUpperWindows& upper = installHookedUpperWindows(t.ctx);
    int connects = 0;
    Start() {
        auto s = std::make_unique<RecordingStore>();
        store = s.get();
        t.ctx.services.settings = std::move(s);
        upper.onAutoConnect = [this] {
            ++connects;
            return Outcome::Stopped();
        };
    }
    QString value(const char* key) { return t.ctx.services.getSetting(QString::fromLatin1(key)); }
    void set(const char* key, const QString& v) {
        store->MemorySettingsStore::save(QString::fromLatin1(Services::kAppTitle),
                                         QStringLiteral("Settings"), QString::fromLatin1(key), v);
    }
    frmMain& main() { return t.ctx.mainWindow(); }
};

TEST(Startup, FirstStartSeedsTheSettingsAndConnects) {
    Start s;
    const qint64 before = s.t.clock->nowMs();
    Main(s.t.ctx);

    EXPECT_EQ(s.value("RemoveBlanks"), "0");
    EXPECT_EQ(s.value("MinusSign"), "1");
    EXPECT_EQ(s.value("FullName"), "1");
    // The user's own cache folder, not the temporary folder all users share.
    EXPECT_EQ(s.value("Save Path"), s.t.dir.path() + "/cache/");
    EXPECT_EQ(s.value("Email"), "0");
    EXPECT_EQ(s.value("Auto connect"), "True");
    EXPECT_EQ(s.store->written, QStringList({"RemoveBlanks", "MinusSign", "FullName", "Save Path",
                                             "Email", "Auto connect"}));

    frmMain& m = s.main();
    EXPECT_TRUE(m.itmSaveSettings->isChecked());
    EXPECT_TRUE(m.itmAutoConnect->isChecked());
    EXPECT_EQ(m.txtOutq->text(), "");
    EXPECT_EQ(m.cboLibrary->currentText(), "*LIBL");
    EXPECT_EQ(m.txtWrkSplf->text(), "*CURRENT");
    EXPECT_EQ(m.lblStatus->text(), "Not connected.");
    EXPECT_EQ(m.statusPanel(), "Please specify a user, an outq or both.  ");
    EXPECT_EQ(s.connects, 1);
    EXPECT_TRUE(m.isVisible());
    EXPECT_FALSE(m.isMinimized());
    EXPECT_GE(s.t.clock->nowMs() - before, 3000);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(s.t.ctx.connection.gUserId, std::string(10, ' '));
    EXPECT_EQ(s.t.ctx.connection.gPassword, std::string(128, ' '));
    EXPECT_TRUE(s.t.boxes->shown().empty());
}

TEST(Startup, ExistingValuesAreNeverReseeded) {
    Start s;
    s.set("RemoveBlanks", "1");
    s.set("Save Path", "/srv/reports/");
    s.set("Email", "   ");  // blank counts as not set
    Main(s.t.ctx);
    EXPECT_EQ(s.value("RemoveBlanks"), "1");
    EXPECT_EQ(s.value("Save Path"), "/srv/reports/");
    EXPECT_EQ(s.value("Email"), "0");
    EXPECT_FALSE(s.store->written.contains("RemoveBlanks"));
}

QByteArray fileText(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The file a first start with windows leaves: the values the program relies
// on. A first start from a command line uses the same values and writes no
// file: a batch run leaves the remembered settings as they were.
TEST(Startup, AFirstStartWithWindowsRemembersItsValuesAndABatchRunWritesNone) {
    {
        Start s;
        auto ini = std::make_unique<IniSettingsStore>(s.t.dir.filePath(QStringLiteral("config")));
        const QString file = ini->fileName(QString::fromLatin1(Services::kAppTitle));
        s.t.ctx.services.settings = std::move(ini);
        Main(s.t.ctx);
        EXPECT_EQ(fileText(file), "; Remembered settings of iSeries Spoolwright.\n[Settings]\nRemoveBlanks=\"0\"\nMinusSign=\"1\"\n"
                                  "FullName=\"1\"\nSave Path=\"" + (s.t.dir.path() + "/cache/").toUtf8() +
                                      "\"\nEmail=\"0\"\nAuto connect=\"True\"\n");
    }
    {
        SwdeskHome home;
        QFile sets(home.path(QStringLiteral("t.spw")));
        ASSERT_TRUE(sets.open(QIODevice::WriteOnly));
        sets.write("[Properties]\r\nID=Spwrter_10.0\r\nProcess=Nowhere\r\n");
        sets.close();
        const SwdeskRun r = home.run({QStringLiteral("SETS:") + sets.fileName(), QStringLiteral("FILE:QSYSPRT")});
        EXPECT_NE(r.exitCode, 0) << r.err.toStdString();
        EXPECT_FALSE(QFileInfo::exists(home.path(QStringLiteral("config/Tolvane/iSeries Spoolwright.ini"))));
    }
}

TEST(Startup, SecondStartReadsBackWhatTheFirstRemembered) {
    Start first;
    Main(first.t.ctx);
    frmMain& m = first.main();
    m.txtOutq->setText(" PRT01 ");
    m.cboLibrary->setEditText("QGPL");
    m.txtWrkSplf->setText("  *ALL ");
    m.itmAutoConnect->setChecked(false);
    EXPECT_THROW(m.itmExit_Click(), ProgramEnd);

    Start second;
    static_cast<MemorySettingsStore&>(*second.store) = *first.store;
    Main(second.t.ctx);
    frmMain& n = second.main();
    EXPECT_EQ(n.txtOutq->text(), "PRT01");
    EXPECT_EQ(n.cboLibrary->currentText(), "QGPL");
    EXPECT_EQ(n.txtWrkSplf->text(), "*ALL");
    EXPECT_FALSE(n.itmAutoConnect->isChecked());
    EXPECT_TRUE(n.itmSaveSettings->isChecked());
    EXPECT_EQ(second.connects, 0);
}

TEST(Startup, StoredValuesDecideTheTicksAndFields) {
    struct Case {
        const char* key;
        const char* stored;
        bool remember, autoConnect;
        const char* outq;
    };
    // "KEEP" is what the window held before start-up read the settings.
    const Case cases[] = {
        {"Defaults", "True", true, true, "KEEP"},
        {"Defaults", "False", false, true, "KEEP"},
        {"Defaults", "0", false, true, "KEEP"},
        {"Defaults", "-1", true, true, "KEEP"},
        {"Defaults", "2.5", true, true, "KEEP"},
        {"Auto connect", "True", true, true, "KEEP"},
        {"Auto connect", "true", true, false, "KEEP"},
        {"Auto connect", "False", true, false, "KEEP"},
        {"Auto connect", "  ", true, true, "KEEP"},
        {"Outq", "None", true, true, "KEEP"},
        {"Outq", "   ", true, true, "KEEP"},
        {"Outq", "QPRINT", true, true, "QPRINT"},
    };
    for (const Case& c : cases) {
        Start s;
        s.set(c.key, QString::fromLatin1(c.stored));
        s.main().txtOutq->setText("KEEP");
        Main(s.t.ctx);
        const std::string what = std::string(c.key) + "=" + c.stored;
        EXPECT_EQ(s.main().itmSaveSettings->isChecked(), c.remember) << what;
        EXPECT_EQ(s.main().itmAutoConnect->isChecked(), c.autoConnect) << what;
        EXPECT_EQ(s.connects, c.autoConnect ? 1 : 0) << what;
        EXPECT_EQ(s.main().txtOutq->text(), c.outq) << what;
        EXPECT_TRUE(s.t.boxes->shown().empty()) << what;
    }
}

TEST(Startup, UnreadableDefaultsIsReportedAndTakenAsNotSet) {
    for (const char* stored : {"yes", "", "  "}) {
        Start s;
        s.set("Defaults", QString::fromLatin1(stored));
        s.set("Outq", "QPRINT");
        s.t.boxes->expect("Error 13 Type mismatch at step 3");
        Main(s.t.ctx);
        frmMain& m = s.main();
        EXPECT_TRUE(s.t.boxes->done()) << stored;
        EXPECT_EQ(s.t.boxes->shown().at(0).title, "Tolvane");
        EXPECT_TRUE(m.itmSaveSettings->isChecked()) << stored;
        // Start-up went on: the rest was read and the window is there.
        EXPECT_EQ(m.txtOutq->text(), "QPRINT") << stored;
        EXPECT_EQ(s.value("Email"), "0") << stored;
        EXPECT_TRUE(m.isVisible()) << stored;
        EXPECT_EQ(s.connects, 1) << stored;
    }
}

TEST(Startup, AnErrorInAStepShowsTheWindowAndRestoresThePointer) {
    Start s;
    s.upper.onAutoConnect = []() -> Outcome { throw std::runtime_error("no route"); };
    s.t.boxes->expect("Error 5 no route at step 9");
    Main(s.t.ctx);
    EXPECT_TRUE(s.t.boxes->done());
    EXPECT_TRUE(s.main().isVisible());
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_FALSE(w->objectName() == "frmSplash" && w->isVisible());
}

// Notes the visible top-level windows when start-up first lets events run.
void noteVisibleWindowsAtFirstWait(QStringList& seen) {
    QTimer::singleShot(0, [&seen] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->isVisible()) seen << w->objectName();
    });
}

TEST(Startup, InteractiveStartShowsTheSplashDuringTheWait) {
    Start s;
    QStringList seen;
    noteVisibleWindowsAtFirstWait(seen);
    Main(s.t.ctx);
    EXPECT_TRUE(seen.contains("frmSplash")) << seen.join(',').toStdString();
    EXPECT_FALSE(seen.contains("frmMain"));
    for (QWidget* w : QApplication::topLevelWidgets()) EXPECT_NE(w->objectName(), "frmSplash");
}

}  // namespace

