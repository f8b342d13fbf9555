#pragma once
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>
#include <string>

#include "RunContext.h"
#include "UpperWindows.h"

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

// A window of a higher layer that a lower one reaches, created on first use
// (by the upper windows' maker), as default instances are.
template <class T>
struct LazyWindow {
    std::unique_ptr<T> obj;
    bool loaded() const { return obj != nullptr; }
    void unload() { obj.reset(); }
};

// The run with its windows: what RunContext holds below the windows and the
// window registry (single default instances, created on first use; those of
// the layers above made by their UpperWindows). Tests make a fresh one;
// nothing is file-static.
class AppContext : public RunContext {
public:
    AppContext();
    ~AppContext() override;

    // An unattended run: message boxes go to standard error and are answered
    // with their default button.
    void useBatchMessageBoxes();

    // The save-as and naming windows of the download layer, created on first use.
    std::shared_ptr<DownloadWindows> downloadWindows;
    // The report viewers' windows and places, created on first use.
    std::shared_ptr<ViewerWindows> viewerWindows;
    // The office deliveries' macro dialogs, created on first use.
    std::shared_ptr<OfficeWindows> officeWindows;
    // The windows of the layers above, and what this layer asks of them.
    UpperWindows& upperWindows() { return *upper_; }
    void installUpperWindows(std::unique_ptr<UpperWindows> windows);

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
    std::unique_ptr<UpperWindows> upper_;
};
