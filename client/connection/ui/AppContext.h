#pragma once
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "RunContext.h"

class QWidget;
class frmAbout;
class frmMain;
class frmOptions;
class frmOutq;
class frmLogin;
class SplfScreenApi;
class DownloadWindows;
class ViewerWindows;
struct OfficeWindows;

// A window of a higher layer that a lower one reaches by name, created on
// first use, as default instances are.
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

// The run with its windows: what RunContext holds below the windows, the
// window registry (single default instances, created on first use) and the
// hooks into higher layers. Tests make a fresh one; nothing is file-static.
class AppContext : public RunContext {
public:
    AppContext();
    ~AppContext() override;

    // An unattended run: message boxes go to standard error and are answered
    // with their default button.
    void useBatchMessageBoxes();
    // ... and windows and dialogs that would wait for a person are not shown.
    void useBatchServices();
    // Reads the remembered settings; false when their file cannot be read or
    // is damaged (already reported through the message boxes).
    bool rememberedSettingsReadable();

    // The connect of "Auto connect" at start-up: ConnectToHost when unset.
    std::function<int()> autoConnect;

    // The save-as and naming windows of the download layer, created on first use.
    std::shared_ptr<DownloadWindows> downloadWindows;
    // The report viewers' windows and places, created on first use.
    std::shared_ptr<ViewerWindows> viewerWindows;
    // The office deliveries' macro dialogs, created on first use.
    std::shared_ptr<OfficeWindows> officeWindows;
    // Excel/Word macro fields, when their windows were loaded:
    // "frmExcel.txtMacroSheet", "frmExcel.txtMacroName", "frmWord.txtMacroFile", "frmWord.txtMacroName".
    std::function<QString(const char* field)> macroField;
    std::function<void(const char* field, const QString& value)> setMacroField;
    // The printer format window's values by settings-file key ("Print font size80",
    // "Print orientation132", ...), when that window is part of the program.
    std::function<QString(const QString& key)> printerFormatValue;
    std::function<void(const QString& key, const QString& value)> setPrinterFormatValue;
    // Fields of the save-as dialogs: "frmSave.txtSave", "frmSave.dlgFile.InitDir", and the
    // same of "frmSaveHtml", "frmSaveXml" and "frmPDF".
    std::function<QString(const char* field)> saveDialogField;

    // --- windows ---
    frmMain& mainWindow();
    bool mainWindowLoaded() const;
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
    // The settings files of the File menu (OpenSettingsFile, SaveSettingsFile).
    std::function<int(const QString& path)> openSettingsFile;
    std::function<int(const QString& path, bool replaceWithoutAsking)> saveSettingsFile;
    // Windows of other layers that the spooled-file screen opens, modally.
    std::function<void()> showPrinterFormat;                          // frmPrint
    std::function<void()> showAutoSendOptions;                        // frmEdit

private:
    // Hands the link's news to the spooled-file screen.
    class ScreenLinkObserver : public LinkObserver {
    public:
        explicit ScreenLinkObserver(AppContext& ctx) : ctx_(ctx) {}
        void linkStatus(const QString& text) override;
        void linkBusy(bool busy) override;

    private:
        AppContext& ctx_;
    } screenObserver_{*this};
    std::unique_ptr<frmMain> main_;
    std::unique_ptr<frmOptions> options_;
    std::unique_ptr<frmAbout> about_;
    std::unique_ptr<frmOutq> outq_;
    std::unique_ptr<frmLogin> login_;
    bool settingsProblem_ = false;
};
