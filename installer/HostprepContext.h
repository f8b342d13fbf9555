#pragma once
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

#include "Clock.h"
#include "FtpScriptRunner.h"
#include "MessageBoxes.h"
#include "Paths.h"
#include "Presenter.h"
#include "SettingsStore.h"

namespace hostprep {

class frmMain;
class frmLogin;

// "End the program": thrown where the program ends; main turns it into the
// exit status, tests catch it.
struct HostprepEnd {
    int exitStatus;
    QString reason;
};

// Exit statuses of Hostprep.
constexpr int kExitOk = 0;             // installed, or ended by the user before anything was sent
constexpr int kExitInstallFailed = 1;  // the host install did not succeed (the message names the step)

// All state of one run: the module-level variables, the two windows and the
// platform services. Tests make a fresh one.
class HostprepContext {
public:
    HostprepContext();
    ~HostprepContext();
    HostprepContext(const HostprepContext&) = delete;
    HostprepContext& operator=(const HostprepContext&) = delete;

    // The installer's own application title for its remembered values.
    static constexpr const char* kAppTitle = "AS400 Hostprep";
    static constexpr const char* kSection = "Settings";

    // --- platform services (set before first use) ---
    std::unique_ptr<Clock> clock;
    std::unique_ptr<MessageBoxes> msg;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<Presenter> presenter;
    std::unique_ptr<Paths> paths;
    std::unique_ptr<FtpScriptRunner> ftp;
    // Problems the settings store reported (a file it could not write).
    QStringList settingsProblems;
    // The folder standing for drive C: of the older client version's install.
    QString oldDriveRoot;
    // Where the save file is looked for, in this order.
    QStringList saveFileFolders;
    // Sound on a refused key.
    std::function<void()> beep;

    // --- module-level state ---
    QString gHost;
    QString gSaveFileName;
    QString gSaveFileDir;

    // --- windows, created on first use ---
    frmMain& mainWindow();
    frmLogin& loginWindow();
    bool loginWindowLoaded() const { return login_ != nullptr; }
    void unloadLoginWindow();

    int msgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title);
    void saveSetting(const QString& key, const QString& value);
    QString getSetting(const QString& key, const QString& def = QStringLiteral("None"));

    [[noreturn]] void endProgram(int status, const QString& reason = {});
    // Runs a window's event handler. A HostprepEnd may not cross the event
    // loop: it goes to endInEvent (main ends the process there) or, when that
    // is unset (tests), is kept in programEnded.
    void runHandler(const std::function<void()>& handler);
    std::function<void(const HostprepEnd&)> endInEvent;
    std::optional<HostprepEnd> programEnded;

    // The services of a desktop run: real clock, message boxes, dialogs,
    // settings in the user's config folder, the FTP client, the drive of the
    // older version under $HOSTPREP_DRIVE_C or the Wine prefix.
    void useDesktopServices();

private:
    std::unique_ptr<frmMain> main_;
    std::unique_ptr<frmLogin> login_;
};

}  // namespace hostprep
