#pragma once
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "Automation.h"
#include "Clock.h"
#include "FtpScriptRunner.h"
#include "HostSocket.h"
#include "Keyboard.h"
#include "MachineRegistry.h"
#include "MessageBoxes.h"
#include "Paths.h"
#include "Presenter.h"
#include "Printer.h"
#include "ProcessStarter.h"
#include "ProgramVersion.h"
#include "SettingsStore.h"

class QWidget;
class frmAbout;
class frmMain;
class frmOptions;
class frmOutq;
class frmLogin;
class frmSocket;
class SplfScreenApi;
class DownloadWindows;
class ViewerWindows;

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
    std::unique_ptr<Keyboard> keyboard;
    std::unique_ptr<Automation> automation;
    std::unique_ptr<Printer> printer;
    // An unattended run: message boxes go to standard error and are answered
    // with their default button.
    void useBatchMessageBoxes();
    // ... and windows and dialogs that would wait for a person are not shown.
    void useBatchServices();
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
    // Runs a window's event handler. A ProgramEnd may not cross the event
    // loop: it goes to endInEvent (the executable ends the process there) or,
    // when that is unset (tests), is kept in programEnded.
    void runHandler(const std::function<void()>& handler);
    std::function<void(const ProgramEnd&)> endInEvent;
    std::optional<ProgramEnd> programEnded;
    // Exit status of the stop sequence's end (a batch run sets what happened).
    int stopExitStatus = 0;
    ProgramVersion version;

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
    // Files that this run created (downloads, work files). The stop sequence
    // deletes those lying in gWorkDir and nothing else there.
    void noteCreatedFile(const QString& path);
    const QStringList& createdFiles() const { return createdFiles_; }
    // Deletes the noted files in gWorkDir, never following a symbolic link, then
    // removes gWorkDir when it is left empty. Never fails; returns the files deleted.
    int clearWorkDirectory();
    // Limits of our own where the original waited for ever (milliseconds).
    qint64 replyTimeoutMs = 120000;
    qint64 signOnReplyTimeoutMs = 60000;
    qint64 signOnDialogTimeoutMs = 600000;  // the sign-on dialog's answer

    // --- start-up, main window ---
    QString gCommandLine;
    // The connect of "Auto connect" at start-up: ConnectToHost when unset.
    std::function<int()> autoConnect;
    QString gSettingsFile;
    bool gNoOutqs = false;
    // Limit of our own: a list that still reads "(MORE)" after this many
    // blocks is cut there (10 spooled files or 14 queues a block).
    int maxListBlocks = 50000;

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
    bool gMailStarted = false;
    // The save-as and naming windows of the download layer, created on first use.
    std::shared_ptr<DownloadWindows> downloadWindows;
    // The report viewers' windows and places, created on first use.
    std::shared_ptr<ViewerWindows> viewerWindows;

    // --- office and e-mail delivery state read by the stop sequence ---
    bool gExcelMacroFormLoaded = false;
    bool gWordMacroFormLoaded = false;
    bool gWordProAppHeld = false;  // the WordPro automation object is held
    std::function<void()> releaseWordProApp;
    // Excel/Word macro fields, when their windows were loaded:
    // "frmExcel.txtMacroSheet", "frmExcel.txtMacroName", "frmWord.txtMacroFile", "frmWord.txtMacroName".
    std::function<QString(const char* field)> macroField;
    // Fields of the save-as dialogs: "frmSave.txtSave", "frmSave.dlgFile.InitDir", and the
    // same of "frmSaveHtml", "frmSaveXml" and "frmPDF".
    std::function<QString(const char* field)> saveDialogField;

    // --- windows ---
    frmMain& mainWindow();
    bool mainWindowLoaded() const;
    void unloadMainWindow();
    frmOptions& optionsWindow();
    bool optionsWindowLoaded() const { return options_ != nullptr; }
    frmAbout& aboutWindow();
    bool aboutWindowLoaded() const { return about_ != nullptr; }
    void unloadAboutWindow();  // safe from inside the window's own handler
    void unloadOptionsWindow();  // safe from inside the window's own handlers
    frmLogin& loginWindow();
    bool loginWindowLoaded() const { return login_ != nullptr; }
    void unloadLoginWindow();
    // The socket window: one socket, discarded and created afresh per attempt.
    HostSocket* socket();              // creates the window when none exists
    HostSocket* socketIfLoaded() const { return socket_.get(); }
    void discardSocket();
    // The output-queue chooser: loaded by the queue list, unloaded after its show.
    frmOutq& outqWindow();
    bool outqWindowLoaded() const { return outq_ != nullptr; }
    void unloadOutqWindow();
    // The spooled-file screen, built by the download control.
    LazyWindow<SplfScreenApi> splfScreen;
    SplfScreenApi& frmSplf();

    // Hooks into higher layers, set by the program's start-up (and by tests).
    std::function<void()> runBatchFromCommandLine;
    // Windows of other layers that the spooled-file screen opens, modally.
    std::function<void(const QString& fullName)> showNamingOptions;  // frmFormat; "None" when not set
    std::function<void()> showPrinterFormat;                          // frmPrint
    std::function<void()> showAutoSendOptions;                        // frmEdit

private:
    std::unique_ptr<frmMain> main_;
    std::unique_ptr<frmOptions> options_;
    std::unique_ptr<frmAbout> about_;
    QStringList createdFiles_;
    std::unique_ptr<frmOutq> outq_;
    std::unique_ptr<frmLogin> login_;
    std::unique_ptr<HostSocket> socket_;
};
