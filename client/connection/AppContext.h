#pragma once
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "HostLink.h"
#include "Services.h"

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
class MailStandIns;
struct EmailState;
class OfficeStandIns;

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
class AppContext : public Services {
public:
    AppContext();
    ~AppContext() override;

    // An unattended run: message boxes go to standard error and are answered
    // with their default button.
    void useBatchMessageBoxes();
    // ... and windows and dialogs that would wait for a person are not shown.
    void useBatchServices();

    // --- host link: the socket, the received bytes, the cancel request ---
    HostLink link{*this};

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
    // The mail programs of this platform; a download's end hands their open
    // messages to the user.
    std::shared_ptr<MailStandIns> mailStandIns;
    // What the e-mail deliveries keep between reports and for the run.
    std::shared_ptr<EmailState> emailState;
    // The office programs of this platform, behind the desktop automation.
    std::unique_ptr<OfficeStandIns> officeStandIns;

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
    // Hands the link's news to the spooled-file screen; a lost link ends the job port.
    class ScreenLinkObserver : public LinkObserver {
    public:
        explicit ScreenLinkObserver(AppContext& ctx) : ctx_(ctx) {}
        void linkStatus(const QString& text) override;
        void linkBusy(bool busy) override;
        void linkLost() override { ctx_.gJobPort = 0; }

    private:
        AppContext& ctx_;
    } screenObserver_{*this};
    std::unique_ptr<frmMain> main_;
    std::unique_ptr<frmOptions> options_;
    std::unique_ptr<frmAbout> about_;
    QStringList createdFiles_;
    std::unique_ptr<frmOutq> outq_;
    std::unique_ptr<frmLogin> login_;
};
