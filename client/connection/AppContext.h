#pragma once
#include <QString>
#include <functional>
#include <memory>
#include <string>

#include "Clock.h"
#include "FtpScriptRunner.h"
#include "HostSocket.h"
#include "MachineRegistry.h"
#include "MessageBoxes.h"
#include "Paths.h"
#include "Presenter.h"
#include "ProcessStarter.h"
#include "SettingsStore.h"

class QWidget;
class frmMain;
class frmOptions;
class frmLogin;
class frmSocket;
class SplfScreenApi;

// "End the program": thrown after the steps the program names; the executable
// turns it into its exit status, tests catch it.
struct ProgramEnd {
    int exitStatus;
    QString reason;
};

// A window of a higher layer that a lower one reaches by name, created on
// first use as the original's default instances were.
template <class T>
struct LazyWindow {
    std::function<std::unique_ptr<T>()> make;
    std::unique_ptr<T> obj;
    T* get() {
        if (!obj && make) obj = make();
        return obj.get();
    }
    bool loaded() const { return obj != nullptr; }
    void unload() { obj.reset(); }
};

// All state of one run: the module-level variables, the windows and the
// platform services. Tests make a fresh one; nothing is file-static.
class AppContext {
public:
    AppContext();
    ~AppContext();
    AppContext(const AppContext&) = delete;
    AppContext& operator=(const AppContext&) = delete;

    static constexpr const char* kAppTitle = "iSeries Spoolwright";
    static constexpr const char* kSection = "Settings";

    // --- platform services (replaceable before first use) ---
    std::unique_ptr<Clock> clock;
    std::unique_ptr<MessageBoxes> msg;
    std::unique_ptr<SettingsStore> settings;
    std::unique_ptr<MachineRegistry> machineRegistry;
    std::unique_ptr<Presenter> presenter;
    std::unique_ptr<ProcessStarter> processes;
    std::unique_ptr<Paths> paths;
    std::function<std::unique_ptr<HostSocket>()> makeSocket;
    // Runs FTP command scripts (the server start) in place of ftp.exe.
    std::unique_ptr<FtpScriptRunner> ftp;

    // Remembered values of this program, section "Settings"; default "None".
    QString getSetting(const QString& key, const QString& def = QStringLiteral("None"));
    void saveSetting(const QString& key, const QString& value);
    // MsgBox with the original's argument order.
    int msgBox(const QString& text, MsgButtons buttons = MsgButtons::OK, MsgIcon icon = MsgIcon::None,
               const QString& title = QStringLiteral("Tolvane"), int defaultButton = 1);
    // Ends the program (throws ProgramEnd).
    [[noreturn]] void endProgram(int status, const QString& reason = {});

    // --- host link ---
    qint32 gRecvBytes = 0;
    bool gCancelRequested = false;
    QString gHostAddress;
    qint32 gJobPort = 0;
    qint32 gWaitTime = 6;
    std::string gUserId = std::string(10, ' ');     // scrambled once signed on
    std::string gPassword = std::string(128, ' ');  // scrambled once signed on
    bool gSignOnAccepted = false;
    QString gWorkDir;
    // Limits of our own where the original waited for ever (milliseconds).
    qint64 replyTimeoutMs = 120000;
    qint64 signOnReplyTimeoutMs = 60000;
    qint64 signOnDialogTimeoutMs = 600000;  // the sign-on dialog's answer

    // --- start-up, main window ---
    QString gCommandLine;
    QString gSettingsFile;
    bool gNoOutqs = false;

    // --- download control (filled by the spooled-file screen and the batch run) ---
    bool gBatchMode = false;
    bool gBatchNoDialogs = false;
    bool gMinusSignApplicable = false;
    qint32 gSelectedCount = 0;
    bool gSettingsFromFile = false;
    QString gBatchFileName;

    // --- save-as dialogs ---
    bool gTextSaveAccepted = false, gTextSaveCancelled = false, gTextSaveAll = false;
    bool gHtmlSaveAccepted = false, gHtmlSaveCancelled = false, gHtmlSaveAll = false;
    bool gXmlSaveAccepted = false, gXmlSaveCancelled = false, gXmlSaveAll = false;
    bool gPdfSaveAccepted = false, gPdfSaveCancelled = false, gPdfSaveAll = false;
    QString gFullViewFile;

    // --- office and e-mail delivery state read by the stop sequence ---
    bool gExcelMacroFormLoaded = false;
    bool gWordMacroFormLoaded = false;
    bool gWordProAppHeld = false;  // the WordPro automation object is held
    std::function<void()> releaseWordProApp;
    // Excel/Word macro fields, when their windows were loaded.
    std::function<QString(const char* field)> macroField;

    // --- windows ---
    frmMain& mainWindow();
    bool mainWindowLoaded() const;
    void unloadMainWindow();
    frmOptions& optionsWindow();
    bool optionsWindowLoaded() const { return options_ != nullptr; }
    void unloadOptionsWindow();  // safe from inside the window's own handlers
    frmLogin& loginWindow();
    bool loginWindowLoaded() const { return login_ != nullptr; }
    void unloadLoginWindow();
    // The socket window: one socket, discarded and created afresh per attempt.
    HostSocket* socket();              // creates the window when none exists
    HostSocket* socketIfLoaded() const { return socket_.get(); }
    void discardSocket();
    // The spooled-file screen, built by the download control.
    LazyWindow<SplfScreenApi> splfScreen;
    SplfScreenApi& frmSplf();

    // Hooks into higher layers, set by the program's start-up (and by tests).
    std::function<void()> runBatchFromCommandLine;

private:
    std::unique_ptr<frmMain> main_;
    std::unique_ptr<frmOptions> options_;
    std::unique_ptr<frmLogin> login_;
    std::unique_ptr<HostSocket> socket_;
};
