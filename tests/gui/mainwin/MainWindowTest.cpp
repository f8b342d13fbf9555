#include <gtest/gtest.h>

#include <QSignalSpy>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <map>

#include "ConnectionWindows.h"
#include "HookPresenter.h"
#include "HostSimFixture.h"
#include "MainwinFakes.h"
#include "ScriptedHostSocket.h"
#include "frmAbout.h"
#include "frmMain.h"
#include "frmOptions.h"

namespace {

struct Window {
    TestContext t;
    TestPresenter* presenter = t.presenter;
    RecordingProcessStarter* processes = t.processes;
    frmMain& m() { return t.ctx.mainWindow(); }
    // The file dialogs shown so far.
    std::vector<TestPresenter::Shown> dialogs() const {
        std::vector<TestPresenter::Shown> out;
        for (const TestPresenter::Shown& s : presenter->shown())
            if (s.kind == "open" || s.kind == "save") out.push_back(s);
        return out;
    }
    // Shows the window and makes it the active one, as shortcuts need.
    void activate() {
        m().show();
        m().activateWindow();
        t.ctx.services.clock->waitUntil([&] { return m().isActiveWindow(); }, 2000);
    }
};

// The Connect menu and the connection sign.
struct ConnectMenu {
    bool connect, connectTicked, disconnect, address, waitTime, picConnect;
};
const ConnectMenu kNotConnected{true, false, false, true, true, false};
const ConnectMenu kConnected{false, true, true, false, false, true};

void expectConnectMenu(frmMain& m, const ConnectMenu& e, const char* when) {
    EXPECT_EQ(m.itmConnect->isEnabled(), e.connect) << when;
    EXPECT_EQ(m.itmConnect->isChecked(), e.connectTicked) << when;
    EXPECT_EQ(m.itmDisconnect->isEnabled(), e.disconnect) << when;
    EXPECT_EQ(m.itmChangeAddress->isEnabled(), e.address) << when;
    EXPECT_EQ(m.itmWaitTime->isEnabled(), e.waitTime) << when;
    EXPECT_EQ(!m.picConnect->isHidden(), e.picConnect) << when;
}

TEST(MainWindow, LoadsWithItsDesignState) {
    Window w;
    frmMain& m = w.m();
    EXPECT_EQ(m.windowTitle(), "Tolvane");
    EXPECT_EQ(m.size(), QSize(467, 385));
    EXPECT_EQ(m.lblVersion->text(), w.t.ctx.services.version.text());
    QStringList items;
    for (int i = 0; i < m.cboLibrary->count(); ++i) items << m.cboLibrary->itemText(i);
    EXPECT_EQ(items, QStringList({"*LIBL", "*ALL", "QUSRLIBL", "QGPL", "QUSRSYS"}));
    EXPECT_EQ(m.cboLibrary->currentText(), "*LIBL");
    EXPECT_FALSE(m.itmSave->isEnabled());
    EXPECT_TRUE(m.itmSaveSettings->isChecked());
    EXPECT_EQ(m.statusPanel(), "Please specify a user, an outq or both.  ");
    for (const char* name :
         {"Label1", "Label2", "Label3", "Label4", "Label5", "lblWrkSplf", "txtOutq", "cboLibrary",
          "txtWrkSplf", "cmdListOutqs", "cmdExit", "cmdOK", "sbMain", "lblStatus", "lblVersion",
          "picConnect", "picDisConnect", "Image1"})
        EXPECT_NE(m.findChild<QWidget*>(name), nullptr) << name;
}

TEST(MainWindow, MenusHaveTheirCaptionsAndShortcuts) {
    Window w;
    struct Item {
        const char* name;
        const char* caption;
        const char* shortcut;
    };
    const Item items[] = {
        {"itmOpen", "&Open...", "Ctrl+O"},
        {"itmSave", "&Save", "Ctrl+S"},
        {"itmSaveAs", "Sa&ve As...", "Ctrl+V"},
        {"itmListOutqs", "List Out&qs...", "Ctrl+Q"},
        {"itmSaveSettings", "&Remember Settings", "Ctrl+R"},
        {"itmExit", "E&xit", "Ctrl+X"},
        {"itmConnect", "&Connect to iSeries", "Ctrl+C"},
        {"itmDisconnect", "&Disconnect", "Ctrl+D"},
        {"itmAutoConnect", "&Auto connect at startup", "Ctrl+A"},
        {"itmChangePassword", "Change &Password", "Ctrl+P"},
        {"itmChangeAddress", "iSeries &IP Address or Host Name...", "Ctrl+I"},
        {"itmWaitTime", "Connect &wait Time...", "Ctrl+W"},
        {"mnuOptions", "&Naming Options", ""},
        {"itmGeneralHelp", "Contents", "Ctrl+H"},
        {"itmAbout", "About iSeries Spoolwright", ""},
    };
    for (const Item& i : items) {
        auto* a = w.m().findChild<QAction*>(i.name);
        ASSERT_NE(a, nullptr) << i.name;
        EXPECT_EQ(a->text(), i.caption) << i.name;
        EXPECT_EQ(a->shortcut().toString(), i.shortcut) << i.name;
    }
}

TEST(MainWindow, ConnectMenuFollowsTheConnectionState) {
    Window w;
    frmMain& m = w.m();
    expectConnectMenu(m, kNotConnected, "after load");
    EXPECT_TRUE(m.isNotConnected());

    m.showConnected("Connected to 127.0.0.9, Job:SWR17851");
    expectConnectMenu(m, kConnected, "connected");
    EXPECT_FALSE(m.isNotConnected());
    EXPECT_TRUE(m.picDisConnect->isHidden());

    m.itmDisconnect->trigger();
    expectConnectMenu(m, kNotConnected, "after Disconnect");
    EXPECT_TRUE(m.isNotConnected());
    EXPECT_FALSE(m.picDisConnect->isHidden());
    EXPECT_EQ(m.statusPanel(), "Please specify a user, an outq or both.  ");
    EXPECT_EQ(w.t.ctx.connection.gJobPort, 0);
}

// A clock that looks at the window at every wait of the work it serves.
class WatchingClock : public VirtualClock {
public:
    std::function<void()> onWait;
    bool waitUntil(const std::function<bool()>& cond, qint64 limitMs) override {
        if (onWait) onWait();
        return VirtualClock::waitUntil(cond, limitMs);
    }
};

// Connected for real, to hostsim: the menus and fields while the connection
// is made, once it stands, and after Disconnect.
TEST(MainWindow, MenusWhileConnectingConnectedAndDisconnected) {
    TestContext t;
    auto c = std::make_unique<WatchingClock>();
    WatchingClock* clock = c.get();
    t.ctx.services.clock = std::move(c);
    t.clock = clock;
    HostSimFixture host({.clock = clock});
    t.ctx.services.saveSetting("URL", host.address());
    t.ctx.services.saveSetting("Save Path", t.dir.path() + "/save/");
    rememberSignOn(t.ctx.services, "SWUSER", "SWPASS");
    frmMain& m = t.ctx.mainWindow();
    m.show();

    struct Working {
        const char* name;
        std::function<bool()> enabled;
    };
    const Working working[] = {
        {"mnuFile", [&] { return m.mnuFile->menuAction()->isEnabled(); }},
        {"mnuConnect", [&] { return m.mnuConnect->menuAction()->isEnabled(); }},
        {"mnuOptions", [&] { return m.mnuOptions->isEnabled(); }},
        {"mnuHelp", [&] { return m.mnuHelp->menuAction()->isEnabled(); }},
        {"cmdExit", [&] { return m.cmdExit->isEnabled(); }},
        {"cmdListOutqs", [&] { return m.cmdListOutqs->isEnabled(); }},
        {"cmdOK", [&] { return m.cmdOK->isEnabled(); }},
        {"txtOutq", [&] { return m.txtOutq->isEnabled(); }},
        {"cboLibrary", [&] { return m.cboLibrary->isEnabled(); }},
        {"txtWrkSplf", [&] { return m.txtWrkSplf->isEnabled(); }},
    };
    int waits = 0;
    QStringList enabledWhileWaiting;
    clock->onWait = [&] {
        ++waits;
        for (const Working& w : working)
            if (w.enabled() && !enabledWhileWaiting.contains(w.name)) enabledWhileWaiting << w.name;
    };
    ASSERT_TRUE(ConnectToHost(t.ctx));
    clock->onWait = {};
    EXPECT_GT(waits, 3);
    EXPECT_TRUE(enabledWhileWaiting.isEmpty()) << enabledWhileWaiting.join(' ').toStdString();

    auto expect = [&](const ConnectMenu& e, const char* when) {
        expectConnectMenu(m, e, when);
        EXPECT_EQ(m.picDisConnect->isHidden(), e.picConnect) << when;
        for (const Working& w : working) EXPECT_TRUE(w.enabled()) << w.name << " " << when;
    };
    expect(kConnected, "connected");
    EXPECT_EQ(m.lblStatus->text(), QStringLiteral("Connected to %1, Job:SWR%2").arg(host.address()).arg(t.ctx.connection.gJobPort));
    EXPECT_TRUE(t.ctx.optionsWindow().fraIPAddress[0]->isHidden());

    m.itmDisconnect->trigger();
    expect(kNotConnected, "after Disconnect");
    EXPECT_EQ(m.lblStatus->text(), "Not connected.");
    EXPECT_FALSE(t.ctx.optionsWindow().fraIPAddress[0]->isHidden());
    m.hide();
}

TEST(MainWindow, RememberSettingsItemReversesItsTickOncePerClick) {
    Window w;
    w.m().itmSaveSettings->trigger();
    EXPECT_FALSE(w.m().itmSaveSettings->isChecked());
    w.m().itmSaveSettings->trigger();
    EXPECT_TRUE(w.m().itmSaveSettings->isChecked());
}

// The manual's keys are the menus' wherever the focus is, as a menu's
// accelerator is on the desktop they were chosen for: in the Outq field they
// run their items and leave the field's text as it was.
TEST(MainWindow, TheMenusShortcutsWorkWithTheFocusInTheOutqField) {
    Window w;
    frmMain& m = w.m();
    w.t.boxes->answerAllWithDefault = true;
    // Connect reaches a host for real; Auto connect, ticked, only unticks.
    HostSimFixture host({.clock = w.t.clock});
    w.t.ctx.services.saveSetting("URL", host.address());
    rememberSignOn(w.t.ctx.services, "SWUSER", "SWPASS");
    m.itmAutoConnect->setChecked(true);
    w.activate();
    ASSERT_TRUE(m.isActiveWindow());
    const struct {
        Qt::Key key;
        QAction* item;
    } cases[] = {{Qt::Key_V, m.itmSaveAs}, {Qt::Key_A, m.itmAutoConnect}, {Qt::Key_C, m.itmConnect},
                 {Qt::Key_R, m.itmSaveSettings}, {Qt::Key_X, m.itmExit}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.item->objectName().toStdString());
        m.txtOutq->setText("QPRINT");
        m.txtOutq->setFocus();
        m.txtOutq->selectAll();
        QSignalSpy triggered(c.item, &QAction::triggered);
        pressKey(m.txtOutq, c.key, Qt::ControlModifier);
        EXPECT_EQ(triggered.count(), 1);
        EXPECT_EQ(m.txtOutq->text(), "QPRINT") << "the field took the key";
        if (c.item == m.itmConnect) {
            EXPECT_FALSE(m.isNotConnected()) << "Ctrl+C connected";
        }
    }
    EXPECT_EQ(w.dialogs().size(), 1u) << "Ctrl+V opened Save As";
    EXPECT_FALSE(m.itmAutoConnect->isChecked()) << "Ctrl+A unticked Auto connect";
    EXPECT_TRUE(w.t.ctx.services.programEnded.has_value()) << "Ctrl+X ended the program";
}

// Enter in a field presses the default button "&Open"; on a focused button it
// presses that button; with "&Open" disabled it presses nothing.
TEST(MainWindow, EnterPressesOpenUnlessAnotherButtonHasTheFocus) {
    Window w;
    frmMain& m = w.m();
    w.activate();
    std::map<std::string, int> pressed;
    for (QPushButton* b : {m.cmdOK, m.cmdListOutqs, m.cmdExit}) {
        QObject::disconnect(b, &QPushButton::clicked, nullptr, nullptr);  // count instead of running the handlers
        QObject::connect(b, &QPushButton::clicked, [&pressed, b] { ++pressed[b->objectName().toStdString()]; });
    }
    struct Case {
        QWidget* focus;
        Qt::Key key;
        const char* pressed;
    };
    const Case cases[] = {
        {m.txtOutq, Qt::Key_Return, "cmdOK"},
        {m.cboLibrary->lineEdit(), Qt::Key_Return, "cmdOK"},
        {m.txtWrkSplf, Qt::Key_Enter, "cmdOK"},
        {m.cmdListOutqs, Qt::Key_Return, "cmdListOutqs"},
        {m.cmdExit, Qt::Key_Return, "cmdExit"},
    };
    for (const Case& c : cases) {
        pressed.clear();
        c.focus->setFocus();
        pressKey(c.focus, c.key, c.key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
        EXPECT_EQ(pressed, (std::map<std::string, int>{{c.pressed, 1}})) << c.focus->metaObject()->className();
    }
    pressed.clear();
    m.cmdOK->setEnabled(false);
    m.txtOutq->setFocus();
    pressKey(m.txtOutq, Qt::Key_Return, Qt::NoModifier);
    EXPECT_TRUE(pressed.empty());
}

TEST(MainWindow, SelectionFieldsSelectTheirWholeTextOnFocus) {
    Window w;
    frmMain& m = w.m();
    w.activate();
    m.txtOutq->setText("QPRINT");
    m.txtWrkSplf->setText("*CURRENT");
    m.txtWrkSplf->setFocus(Qt::MouseFocusReason);
    m.txtOutq->setFocus(Qt::MouseFocusReason);
    w.t.ctx.services.clock->pumpOnce();
    EXPECT_EQ(m.txtOutq->selectedText(), "QPRINT");
    m.txtWrkSplf->setFocus(Qt::MouseFocusReason);
    w.t.ctx.services.clock->pumpOnce();
    EXPECT_EQ(m.txtWrkSplf->selectedText(), "*CURRENT");
}

TEST(MainWindow, OpenSettingsFile) {
    struct Case {
        const char* what;
        QString chosen;
        bool loaderDone;
        bool saveEnabled;
        QString status, current;
    };
    const Case cases[] = {
        {"loaded", "/home/u/a.spw", true, true, "Settings loaded from /home/u/a.spw", "/home/u/a.spw"},
        {"loader refused", "/home/u/b.spw", false, false, "Please specify a user, an outq or both.  ",
         ""},
        {"cancelled", "", true, false, "Open file operation canceled.", ""},
    };
    for (const Case& c : cases) {
        Window w;
        frmMain& m = w.m();
        QStringList loaded;
        installHookedUpperWindows(w.t.ctx).onOpenSettingsFile = [&](const QString& p) {
            loaded << p;
            return c.loaderDone ? Outcome::Done() : Outcome::Stopped();
        };
        w.presenter->fileAnswers.push_back(c.chosen);
        m.itmOpen->trigger();
        ASSERT_EQ(w.dialogs().size(), 1u) << c.what;
        EXPECT_EQ(w.dialogs()[0].name, "Load settings from a file...") << c.what;
        EXPECT_EQ(w.dialogs()[0].filter, "Spoolwright settings (*.spw);;All files (*)") << c.what;
        EXPECT_EQ(loaded, c.chosen.isEmpty() ? QStringList() : QStringList{c.chosen}) << c.what;
        EXPECT_EQ(m.itmSave->isEnabled(), c.saveEnabled) << c.what;
        EXPECT_EQ(m.statusPanel(), c.status) << c.what;
        EXPECT_EQ(w.t.ctx.connection.gSettingsFile, c.current) << c.what;
    }
}

TEST(MainWindow, SaveAsRecordsTheFileOnlyWhenItWasWritten) {
    struct Case {
        const char* what;
        QString chosen;
        bool saverDone;
        QString current, status;
        bool saveOn;
    };
    const Case cases[] = {
        {"written", "/home/u/new.spw", true, "/home/u/new.spw",
         "Please specify a user, an outq or both.  ", true},
        {"replace declined", "/home/u/old.spw", false, "",
         "Please specify a user, an outq or both.  ", false},
        {"cancelled", "", true, "", "Save operation canceled.", false},
    };
    for (const Case& c : cases) {
        Window w;
        frmMain& m = w.m();
        std::vector<std::pair<QString, bool>> saves;
        installHookedUpperWindows(w.t.ctx).onSaveSettingsFile = [&](const QString& p, bool replace) {
            saves.emplace_back(p, replace);
            return c.saverDone ? Outcome::Done() : Outcome::Stopped();
        };
        w.presenter->fileAnswers.push_back(c.chosen);
        m.itmSaveAs->trigger();
        ASSERT_EQ(w.dialogs().size(), 1u) << c.what;
        EXPECT_EQ(w.dialogs()[0].kind, "save") << c.what;
        EXPECT_EQ(w.dialogs()[0].name, "Save settings file as...") << c.what;
        if (!c.chosen.isEmpty()) {
            ASSERT_EQ(saves.size(), 1u) << c.what;
            EXPECT_EQ(saves[0].first, c.chosen) << c.what;
            EXPECT_FALSE(saves[0].second) << c.what;  // asks before replacing
        }
        EXPECT_EQ(w.t.ctx.connection.gSettingsFile, c.current) << c.what;
        EXPECT_EQ(m.statusPanel(), c.status) << c.what;
        EXPECT_EQ(m.itmSave->isEnabled(), c.saveOn) << c.what;
    }
}

TEST(MainWindow, SaveWritesTheCurrentFileOrAsksForOne) {
    Window w;
    frmMain& m = w.m();
    std::vector<std::pair<QString, bool>> saves;
    installHookedUpperWindows(w.t.ctx).onSaveSettingsFile = [&](const QString& p, bool replace) {
        saves.emplace_back(p, replace);
        return Outcome::Done();
    };
    // No current file: exactly Save As.
    w.presenter->fileAnswers.push_back("/home/u/x.spw");
    m.itmSave_Click();
    ASSERT_EQ(w.dialogs().size(), 1u);
    EXPECT_EQ(w.dialogs()[0].name, "Save settings file as...");
    ASSERT_EQ(saves.size(), 1u);
    EXPECT_FALSE(saves[0].second);

    // Now there is one: replaced without asking, and said so.
    m.itmSave_Click();
    EXPECT_EQ(w.dialogs().size(), 1u);
    ASSERT_EQ(saves.size(), 2u);
    EXPECT_EQ(saves[1], std::make_pair(QString("/home/u/x.spw"), true));
    EXPECT_EQ(m.statusPanel(), "Settings saved to file /home/u/x.spw.");
}

TEST(MainWindow, HelpOpensTheFileBesideTheProgram) {
    Window w;
    const QString help = w.t.dir.path() + "/app/spoolwright.html";
    w.t.boxes->expect("The help file " + help + " is not found.");
    w.m().itmGeneralHelp->trigger();
    EXPECT_TRUE(w.t.boxes->done());
    EXPECT_TRUE(w.processes->started().empty());

    QDir().mkpath(w.t.dir.path() + "/app");
    QFile f(help);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    w.m().itmGeneralHelp->trigger();
    ASSERT_EQ(w.processes->started().size(), 1u);
    EXPECT_EQ(w.processes->started()[0].program, "xdg-open");
    EXPECT_EQ(w.processes->started()[0].args, QStringList{help});

    w.processes->unstartable << "xdg-open";
    w.t.boxes->expect("cannot be shown");
    w.m().itmGeneralHelp->trigger();
    EXPECT_TRUE(w.t.boxes->done());
}

TEST(MainWindow, NamingOptionsAndAboutOpenTheirWindows) {
    Window w;
    struct CountedNamingOptions : RunWindows {
        int& shown;
        explicit CountedNamingOptions(int& n) : shown(n) {}
        void showNamingOptions(const QString&) override { ++shown; }
    };
    int naming = 0;
    w.t.ctx.installRunWindows(std::make_unique<CountedNamingOptions>(naming));
    w.m().mnuOptions->trigger();
    EXPECT_EQ(naming, 1);

    w.m().itmAbout->trigger();
    ASSERT_TRUE(w.t.ctx.aboutWindowLoaded());
    EXPECT_TRUE(w.t.ctx.aboutWindow().isVisible());
    EXPECT_FALSE(w.t.ctx.aboutWindow().isModal());
}

}  // namespace

// A link that breaks under an exchange: the main window learns of it and
// shows the program as not connected, ready to connect again.
TEST(MainWindowLink, ALostLinkShowsNotConnected) {
    Window w;
    frmMain& m = w.m();
    w.t.ctx.connection.gJobPort = 17851;
    m.showConnected(QStringLiteral("Connected to host, Job:SWR17851"));
    std::shared_ptr<ScriptedHost> host = UseScriptedHost(w.t.ctx);
    host->drop();
    w.t.boxes->expect(QStringLiteral("Error in SendReceive procedure."));
    std::string reply;
    EXPECT_EQ(SendReceive(w.t.ctx.link, "QPRINT    Q*LIBL", reply), LinkResult::LinkLost);
    EXPECT_EQ(m.lblStatus->text(), QStringLiteral("Not connected."));
    EXPECT_EQ(m.statusPanel(), QStringLiteral("Please specify a user, an outq or both.  "));
    EXPECT_TRUE(m.itmConnect->isEnabled());
    EXPECT_FALSE(m.itmConnect->isChecked());
    EXPECT_FALSE(m.itmDisconnect->isEnabled());
    EXPECT_TRUE(m.itmChangeAddress->isEnabled());
    EXPECT_TRUE(m.picDisConnect->isVisibleTo(&m));
    EXPECT_FALSE(m.picConnect->isVisibleTo(&m));
    EXPECT_EQ(w.t.ctx.connection.gJobPort, 0);
    EXPECT_TRUE(w.t.boxes->done());
}
