#include "AppContext.h"

#include "DesktopPaths.h"
#include "FileMachineRegistry.h"
#include "OfficeSetup.h"
#include "IniSettingsStore.h"
#include "FtpClientRunner.h"
#include "QProcessStarter.h"
#include "QtMessageBoxes.h"
#include "QtPresenter.h"
#include "QtPrinter.h"
#include "frmAbout.h"
#include "WidgetKeyboard.h"
#include "frmMain.h"
#include "frmLogin.h"
#include "frmOptions.h"
#include "frmOutq.h"
#include "HostLink.h"
#include "SplfScreenApi.h"

AppContext::AppContext() {
    // The desktop services; nothing here touches a file or a device until it is used.
    services.clock = std::make_unique<RealClock>();
    services.paths = std::make_unique<DesktopPaths>();
    services.msg = std::make_unique<QtMessageBoxes>(QString::fromLatin1(Services::kAppTitle));
    services.settings = std::make_unique<IniSettingsStore>(services.paths->configPath(), [this](const QString& problem) {
        services.msgBox(problem, MsgButtons::OK, MsgIcon::Exclamation, QString::fromLatin1(Services::kAppTitle));
    });
    services.machineRegistry = std::make_unique<FileMachineRegistry>(FileMachineRegistry::defaultPath(services.paths->appPath()));
    services.presenter = std::make_unique<QtPresenter>();
    services.processes = std::make_unique<QProcessStarter>([this] { return services.clock.get(); });
    services.keyboard = std::make_unique<WidgetKeyboard>();
    InstallOfficeStandIns(*this);
    services.printer = std::make_unique<QtPrinter>();
    services.ftp = std::make_unique<FtpClientRunner>();
    upper_ = std::make_unique<UpperWindows>(*this);
    link.addObserver(&screenObserver_);
}

AppContext::~AppContext() {
    link.removeObserver(&screenObserver_);
    about_.reset();
    outq_.reset();
    login_.reset();
    options_.reset();
    main_.reset();
    splfScreen.unload();
}

void AppContext::useBatchMessageBoxes() { services.msg = std::make_unique<BatchMessageBoxes>(); }

namespace {
// Unloads a window that may be running one of its own handlers right now:
// hidden at once, deleted when the event loop is back.
template <class T>
void unloadLater(std::unique_ptr<T>& window) {
    if (!window) return;
    window->hide();
    window.release()->deleteLater();
}
}  // namespace

frmMain& AppContext::mainWindow() {
    if (!main_) {
        main_ = std::make_unique<frmMain>(*this);
        main_->Form_Load();
    }
    return *main_;
}

bool AppContext::mainWindowLoaded() const { return main_ != nullptr; }

frmOptions& AppContext::optionsWindow() {
    if (!options_) options_ = std::make_unique<frmOptions>(*this);
    return *options_;
}

frmAbout& AppContext::aboutWindow() {
    if (!about_) {
        about_ = std::make_unique<frmAbout>(*this);
        about_->Form_Load();
    }
    return *about_;
}

void AppContext::unloadAboutWindow() {
    unloadLater(about_);
}

frmOutq& AppContext::outqWindow() {
    if (!outq_) outq_ = std::make_unique<frmOutq>(*this);
    return *outq_;
}

void AppContext::unloadOutqWindow() { outq_.reset(); }

void AppContext::unloadOptionsWindow() {
    unloadLater(options_);
}

frmLogin& AppContext::loginWindow() {
    if (!login_) login_ = std::make_unique<frmLogin>(*this);
    return *login_;
}

void AppContext::unloadLoginWindow() {
    unloadLater(login_);
}

SplfScreenApi& AppContext::frmSplf() {
    if (!splfScreen.obj) splfScreen.obj = upper_->makeSplfScreen();
    return *splfScreen.obj;
}

void AppContext::installUpperWindows(std::unique_ptr<UpperWindows> windows) { upper_ = std::move(windows); }

void AppContext::ScreenLinkObserver::linkStatus(const QString& text) { ctx_.frmSplf().setStatus(text); }

void AppContext::ScreenLinkObserver::linkBusy(bool busy) {
    if (ctx_.splfScreen.loaded()) ctx_.splfScreen.obj->linkBusy(busy);
}
