// Hostprep's two windows offscreen: the start-up, Install's checks, the key
// filter of the address box, the sign-on dialog, and pictures of both.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "HostprepTestSupport.h"
#include "IniSettingsStore.h"
#include "TestSupport.h"
#include "installer/frmLogin.h"
#include "installer/frmMain.h"


namespace {
void typeKey(QWidget* w, int key, const QString& text, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, mods, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods, text);
    QApplication::sendEvent(w, &release);
}

void typeText(QWidget* w, const QString& text) {
    for (const QChar c : text) typeKey(w, c.isLetter() ? Qt::Key_A + (c.toUpper().unicode() - 'A') : 0, QString(c));
}

void write(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

struct HostprepWindows : ::testing::Test {
    HostprepTest t;
    hostprep::frmMain& w = t.ctx.mainWindow();

    // Runs a handler as a button would; the exit status when it ended the program.
    std::optional<int> press(QPushButton* b) {
        b->click();
        if (!t.ctx.programEnded) return std::nullopt;
        return t.ctx.programEnded->exitStatus;
    }
    std::optional<int> startUp() {
        try {
            w.Form_Load();
        } catch (const hostprep::HostprepEnd& e) {
            return e.exitStatus;
        }
        return std::nullopt;
    }
};
}  // namespace

TEST_F(HostprepWindows, StartUpClearsItsOwnLeftoverMigratesThenAsksTwice) {
    const QString leftover = QDir(t.paths->appPath()).filePath("u110149.dat");
    const QString elsewhere = QDir(t.driveC()).filePath("u110149.dat");
    write(leftover, "open host\r\nQSECOFR\r\nSECRET\r\n");
    write(elsewhere, "someone's file");
    t.store->save("AS400 Spoolwright 7", "Settings", "Library", "OLDLIB");
    t.boxes->expect("Taken over from the older version \"AS400 Spoolwright 7\": its settings Library to \"AS400 "
                    "Spoolwright\".  The settings are this installer's; the client iSeries Spoolwright keeps its own "
                    "and does not read them.");
    t.boxes->expect("Before you can use the utility you must run the iSeries portion", vbYes);
    t.boxes->expect("should be run by the security officer (QSECOFR).", vbOK);
    EXPECT_EQ(startUp(), std::nullopt);
    EXPECT_TRUE(t.boxes->done());
    EXPECT_EQ(t.boxes->shown()[0].icon, MsgIcon::Information);
    EXPECT_EQ(t.boxes->shown()[1].title, "Tolvane iSeries Spoolwright - iSeries Program Installation.");
    EXPECT_EQ(t.boxes->shown()[1].buttons, MsgButtons::YesNo);
    EXPECT_EQ(t.boxes->shown()[2].title, "Tolvane - iSeries Spoolwright");
    EXPECT_EQ(t.boxes->shown()[2].buttons, MsgButtons::OKCancel);
    EXPECT_FALSE(QFileInfo::exists(leftover));
    EXPECT_TRUE(QFileInfo::exists(elsewhere));
    EXPECT_EQ(t.store->get("AS400 Spoolwright", "Settings", "Library", "None"), "OLDLIB");
}

TEST_F(HostprepWindows, StartUpNamesTheValuesItCouldNotMove) {
    // A store that reports it could not write one name, as a full disk would.
    struct FailingStore : MemorySettingsStore {
        QStringList* problems = nullptr;
        void save(const QString& app, const QString& section, const QString& key, const QString& value) override {
            if (app == "AS400 Spoolwright" && key == "Outq") {
                *problems << "cannot write";
                return;
            }
            MemorySettingsStore::save(app, section, key, value);
        }
    };
    auto store = std::make_unique<FailingStore>();
    store->problems = &t.ctx.settingsProblems;
    FailingStore& s = *store;
    t.ctx.settings = std::move(store);
    s.save("AS400 Spoolwright 7", "Settings", "Library", "OLDLIB");
    s.save("AS400 Spoolwright 7", "Settings", "Outq", "PRT01");
    t.boxes->expect("Taken over from the older version \"AS400 Spoolwright 7\": its settings Library to");
    t.boxes->expect("could not be moved and stay where they were: Outq.");
    t.boxes->expect("Do you want to start the iSeries installation program?", vbYes);
    t.boxes->expect("security officer", vbOK);
    EXPECT_EQ(startUp(), std::nullopt);
    EXPECT_TRUE(t.boxes->done());
    EXPECT_EQ(s.get("AS400 Spoolwright", "Settings", "Library", "None"), "OLDLIB");
    EXPECT_EQ(s.get("AS400 Spoolwright 7", "Settings", "Outq", "None"), "PRT01");
}

// The older version's settings file is damaged: the start-up says so and
// moves nothing; the file stays as it was, under its own name.
TEST_F(HostprepWindows, StartUpSaysWhenTheOlderSettingsCannotBeRead) {
    t.ctx.settings = std::make_unique<IniSettingsStore>(t.paths->configPath());
    auto& ini = static_cast<IniSettingsStore&>(*t.ctx.settings);
    const QString old = ini.fileName("AS400 Spoolwright 7");
    const QByteArray damaged = "[Settings]\nLibrary=\"OLDLIB\nOutq=\"PRT01\"\n";
    write(old, damaged);
    t.boxes->expect("The settings of the older version \"AS400 Spoolwright 7\" cannot be read: the settings file \"" +
                    QDir::toNativeSeparators(old) + "\" is damaged");
    t.boxes->expect("Do you want to start the iSeries installation program?", vbYes);
    t.boxes->expect("security officer", vbOK);
    EXPECT_EQ(startUp(), std::nullopt);
    EXPECT_TRUE(t.boxes->done());
    EXPECT_TRUE(t.boxes->shown()[0].text.endsWith(
        "Nothing was moved: its settings, hosts list and files stay as they are."))
        << t.boxes->shown()[0].text.toStdString();
    QFile f(old);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), damaged);
    EXPECT_FALSE(QFileInfo::exists(old + ".damaged"));
    EXPECT_EQ(ini.get("AS400 Spoolwright", "Settings", "Library", "None"), "None");
}

// The take-over names the settings file the values went to.
TEST_F(HostprepWindows, TheTakeOverNamesTheFileTheSettingsWentTo) {
    t.ctx.settings = std::make_unique<IniSettingsStore>(t.paths->configPath());
    auto& ini = static_cast<IniSettingsStore&>(*t.ctx.settings);
    ini.save("AS400 Spoolwright 7", "Settings", "Outq", "PRT01");
    t.boxes->expect("its settings Outq to \"AS400 Spoolwright\" (" + ini.fileName("AS400 Spoolwright") + ")");
    t.boxes->expect("Do you want to start the iSeries installation program?", vbYes);
    t.boxes->expect("security officer", vbOK);
    EXPECT_EQ(startUp(), std::nullopt);
    EXPECT_TRUE(t.boxes->done());
    EXPECT_EQ(ini.get("AS400 Spoolwright", "Settings", "Outq", "None"), "PRT01");
}

TEST_F(HostprepWindows, NoOrCancelAtStartUpEndsAfterTheMigration) {
    struct Case {
        const char* name;
        int first, second;
    };
    for (const Case c : {Case{"No", vbNo, vbOK}, Case{"Cancel", vbYes, vbCancel}}) {
        SCOPED_TRACE(c.name);
        HostprepTest fresh;
        fresh.store->save("AS400 Spoolwright 7", "Settings", "Outq", "PRT01");
        fresh.boxes->expect("Taken over from the older version");
        fresh.boxes->expect("Do you want to start the iSeries installation program?", c.first);
        if (c.first == vbYes) fresh.boxes->expect("security officer", c.second);
        try {
            fresh.ctx.mainWindow().Form_Load();
            ADD_FAILURE() << "the installer went on";
        } catch (const hostprep::HostprepEnd& e) {
            EXPECT_EQ(e.exitStatus, hostprep::kExitOk);
        }
        EXPECT_TRUE(fresh.boxes->done());
        EXPECT_EQ(fresh.store->get("AS400 Spoolwright", "Settings", "Outq", "None"), "PRT01");
    }
}

TEST_F(HostprepWindows, InstallWantsExactlyOneOneWordAddress) {
    struct Case {
        const char* name;
        QString ip, hostName;
        QString messagePart;
        int answer;
        bool ends;
    };
    const std::vector<Case> cases = {
        {"blanks only", "   ", "  ", "Please enter either an IP address or host name.", vbOK, false},
        {"both", "1.2.3.4", "as400", "Please enter only one: Either an IP address or host name.", vbOK, false},
        {"host name with inner blank", "", " my host ", "is not valid", vbOK, false},
        {"Cancel ends", "", "", "Please enter either an IP address or host name.", vbCancel, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        t.ctx.programEnded.reset();
        w.txtIPAddress->setText(c.ip);
        w.txtHostName->setText(c.hostName);
        t.boxes->expect(c.messagePart, c.answer);
        EXPECT_EQ(press(w.Command2).has_value(), c.ends);
        EXPECT_TRUE(t.boxes->done());
        EXPECT_EQ(t.boxes->shown().back().title, "Tolvane");
        // Trimmed: blanks only leave the box empty, inner blanks stay.
        EXPECT_EQ(w.txtIPAddress->text(), c.ip.trimmed());
        EXPECT_EQ(w.txtHostName->text(), c.hostName.trimmed());
        EXPECT_TRUE(t.presenter->shown().empty()) << "the sign-on dialog came up";
    }
}

TEST_F(HostprepWindows, AddressBoxTakesDigitsAndFullStopsTypedOrPasted) {
    w.show();
    w.txtIPAddress->setFocus();
    typeText(w.txtIPAddress, "1a.2..3b");
    EXPECT_EQ(w.txtIPAddress->text(), "1.2..3");
    EXPECT_EQ(t.beeps, 2);
    typeKey(w.txtIPAddress, Qt::Key_Backspace, "\b");
    EXPECT_EQ(w.txtIPAddress->text(), "1.2..");
    typeKey(w.txtIPAddress, Qt::Key_Space, " ");
    typeKey(w.txtIPAddress, 0, "\x01");
    EXPECT_EQ(w.txtIPAddress->text(), "1.2..");
    EXPECT_EQ(t.beeps, 4);

    struct Paste {
        const char* name;
        QString clipboard, result;
        int beeps;
    };
    const std::vector<Paste> pastes = {
        {"an address", "10.1.2.3", "10.1.2.3", 0},
        {"with a line end and blanks", " 10.1.2.3\r\n", "10.1.2.3", 1},
        {"a command after a line end", "10.1.2.3\nquote rcmd DLTLIB SPWLB", "10.1.2.3", 1},
        {"letters and digits", "as400", "400", 1},
    };
    for (const Paste& p : pastes) {
        SCOPED_TRACE(p.name);
        w.txtIPAddress->clear();
        t.beeps = 0;
        QApplication::clipboard()->setText(p.clipboard);
        typeKey(w.txtIPAddress, Qt::Key_V, "\x16", Qt::ControlModifier);
        EXPECT_EQ(w.txtIPAddress->text(), p.result);
        EXPECT_EQ(t.beeps, p.beeps);
    }
    // Tab still moves on; the host name box has no filter.
    w.txtIPAddress->setFocus();
    typeKey(w.txtIPAddress, Qt::Key_Tab, "\t");
    EXPECT_EQ(w.focusWidget(), w.txtHostName);
    typeText(w.txtHostName, "as400");
    EXPECT_EQ(w.txtHostName->text(), "as400");

    int code = 'x';
    w.txtIPAddress_KeyPress(code);
    EXPECT_EQ(code, 0);
    code = '7';
    w.txtIPAddress_KeyPress(code);
    EXPECT_EQ(code, '7');
}

TEST_F(HostprepWindows, SignOnDialogDefaultsAndChecks) {
    t.ctx.gHost = "10.1.2.3";
    hostprep::frmLogin& login = t.ctx.loginWindow();
    login.show();
    EXPECT_EQ(login.windowTitle(), "iSeries Security");
    EXPECT_EQ(login.lblIPAddress->text(), "10.1.2.3");
    EXPECT_EQ(login.txtUserID->text(), "QSECOFR");
    EXPECT_EQ(login.txtUserID->maxLength(), 10);
    EXPECT_EQ(login.txtPassword->maxLength(), 10);
    EXPECT_EQ(login.txtPassword->echoMode(), QLineEdit::Password);
    EXPECT_EQ(login.focusWidget(), login.txtPassword);
    EXPECT_TRUE(login.cmdOK->isDefault());

    struct Case {
        const char* name;
        QString user, password;
        QString messagePart;  // empty: accepted
        QString focus;
    };
    const std::vector<Case> cases = {
        {"empty user", "   ", "SECRET", "Please specify a valid user ID and password.", "txtUserID"},
        {"user not a profile name", "9LIVES", "SECRET", "not a valid iSeries user profile name", "txtUserID"},
        {"password with a line end", "QSECOFR", "AB\nCD", "control character or a line end", "txtPassword"},
        {"lower case, empty password", " qsecofr ", "", "", ""},
        {"lower-case password", "QSECOFR", "secret ", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        login.show();
        login.accepted = false;
        login.txtUserID->setText(c.user);
        login.txtPassword->setText(c.password);
        if (!c.messagePart.isEmpty()) t.boxes->expect(c.messagePart);
        login.cmdOK->click();
        EXPECT_TRUE(t.boxes->done());
        EXPECT_EQ(login.accepted, c.messagePart.isEmpty());
        EXPECT_EQ(login.isVisible(), !c.messagePart.isEmpty());
        EXPECT_EQ(login.txtUserID->text(), c.user.trimmed().toUpper());
        if (c.messagePart.isEmpty()) {
            EXPECT_EQ(login.txtPassword->text(), c.password.trimmed().toUpper());
        } else {
            EXPECT_EQ(t.boxes->shown().back().title, "iSeries/400 Security");
            EXPECT_EQ(login.focusWidget() ? login.focusWidget()->objectName() : QString(), c.focus);
        }
    }
}

TEST_F(HostprepWindows, Screenshots) {
    w.txtIPAddress->setText("10.1.2.3");
    w.lblInfo->setText("Sending and restoring iSeries programs...");
    const QImage main = saveScreenshot(w, "hostprep-frmMain.png");
    ASSERT_FALSE(main.isNull());
    EXPECT_EQ(main.size(), QSize(503, 395));
    t.ctx.gHost = "10.1.2.3";
    hostprep::frmLogin& login = t.ctx.loginWindow();
    login.txtPassword->setText("SECRET");
    const QImage dialog = saveScreenshot(login, "hostprep-frmLogin.png");
    ASSERT_FALSE(dialog.isNull());
    EXPECT_EQ(dialog.size(), QSize(272, 168));
}

TEST(HostprepEnds, ExitEscOrCloseBoxOfEitherWindowEndsWithoutSending) {
    // Each way out, given a fresh installer whose window is up.
    struct Case {
        const char* name;
        std::function<void(HostprepTest&)> leave;
    };
    auto fromSignOn = [](std::function<void(hostprep::frmLogin&)> leave) {
        return [leave](HostprepTest& t) {
            t.presenter->hooks["frmLogin"] = [leave](QWidget* win) { leave(*qobject_cast<hostprep::frmLogin*>(win)); };
            t.ctx.mainWindow().txtIPAddress->setText("10.1.2.3");
            t.ctx.mainWindow().Command2->click();
        };
    };
    const std::vector<Case> cases = {
        {"Exit", [](HostprepTest& t) { t.ctx.mainWindow().Command1->click(); }},
        {"Esc in the window", [](HostprepTest& t) { typeKey(t.ctx.mainWindow().txtIPAddress, Qt::Key_Escape, "\x1b"); }},
        {"the window's close box", [](HostprepTest& t) { t.ctx.mainWindow().close(); }},
        {"Cancel in the sign-on", fromSignOn([](hostprep::frmLogin& l) { l.cmdCancel->click(); })},
        {"Esc in the sign-on", fromSignOn([](hostprep::frmLogin& l) { typeKey(&l, Qt::Key_Escape, "\x1b"); })},
        {"the sign-on's close box", fromSignOn([](hostprep::frmLogin& l) { l.close(); })},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HostprepTest fresh;
        fresh.ctx.mainWindow().show();
        c.leave(fresh);
        ASSERT_TRUE(fresh.ctx.programEnded.has_value());
        EXPECT_EQ(fresh.ctx.programEnded->exitStatus, hostprep::kExitOk);
        EXPECT_TRUE(fresh.boxes->shown().empty());
        EXPECT_EQ(fresh.url(), "None");
    }
}

TEST(HostprepEnds, LeavingTheWindowWhileTheInstallRunsDoesNotCutItShort) {
    // Ending in the middle would leave the host with its server ended and
    // report a plain exit; the run is bounded, so its outcome is awaited.
    struct Case {
        const char* name;
        std::function<void(hostprep::frmMain&)> leave;
    };
    const std::vector<Case> cases = {
        {"Exit", [](hostprep::frmMain& w) { w.Command1->click(); }},
        {"Esc", [](hostprep::frmMain& w) { typeKey(w.txtIPAddress, Qt::Key_Escape, "\x1b"); }},
        {"the close box", [](hostprep::frmMain& w) { w.close(); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HostprepTest t;
        hostprep::frmMain& w = t.ctx.mainWindow();
        w.show();
        bool endedMeanwhile = true;
        bool stillShown = false;
        t.presenter->hooks["frmLogin"] = [&](QWidget* win) {
            c.leave(w);
            endedMeanwhile = t.ctx.programEnded.has_value();
            stillShown = w.isVisible();
            qobject_cast<hostprep::frmLogin*>(win)->cmdCancel->click();
        };
        w.txtIPAddress->setText("10.1.2.3");
        w.Command2->click();
        EXPECT_FALSE(endedMeanwhile);
        EXPECT_TRUE(stillShown);
    }
}

TEST_F(HostprepWindows, TabGoesInTheOrderOfTheDesign) {
    struct Case {
        QWidget* window;
        std::vector<QWidget*> order;
    };
    hostprep::frmLogin& login = t.ctx.loginWindow();
    const std::vector<Case> cases = {
        {&w, {w.txtIPAddress, w.txtHostName, w.Command2, w.Command1, w.txtIPAddress}},
        {&login, {login.txtPassword, login.cmdOK, login.cmdCancel, login.txtUserID, login.txtPassword}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.window->objectName().toStdString());
        c.window->show();
        c.order.front()->setFocus();
        for (size_t i = 1; i < c.order.size(); ++i) {
            typeKey(c.window->focusWidget(), Qt::Key_Tab, "\t");
            EXPECT_EQ(c.window->focusWidget(), c.order[i]) << i;
        }
        c.window->hide();
    }
}
