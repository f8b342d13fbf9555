#include "AppContext.h"

#include <cstdio>

#include "DesktopAutomation.h"
#include "DesktopPaths.h"
#include "FileMachineRegistry.h"
#include "OfficeStandIns.h"
#include <QDir>
#include "IniSettingsStore.h"
#include "FtpClientRunner.h"
#include "PlainSplfScreen.h"
#include "QProcessStarter.h"
#include "QtMessageBoxes.h"
#include "QtPresenter.h"
#include "QtPrinter.h"
#include "TcpHostSocket.h"
#include "frmAbout.h"
#include "WidgetKeyboard.h"
#include "frmMain.h"
#include "frmLogin.h"
#include "frmOptions.h"
#include "frmOutq.h"
#include "HostLink.h"

AppContext::AppContext() {
    // The desktop services; nothing here touches a file or a device until it is used.
    clock = std::make_unique<RealClock>();
    paths = std::make_unique<DesktopPaths>();
    msg = std::make_unique<QtMessageBoxes>(QString::fromLatin1(kAppTitle));
    settings = std::make_unique<IniSettingsStore>(paths->configPath(), [this](const QString& problem) {
        msgBox(problem, MsgButtons::OK, MsgIcon::Exclamation, QString::fromLatin1(kAppTitle));
    });
    machineRegistry = std::make_unique<FileMachineRegistry>(FileMachineRegistry::defaultPath(paths->appPath()));
    presenter = std::make_unique<QtPresenter>();
    processes = std::make_unique<QProcessStarter>([this] { return clock.get(); });
    keyboard = std::make_unique<WidgetKeyboard>();
    auto desktop = std::make_unique<DesktopAutomation>();
    officeStandIns = std::make_unique<OfficeStandIns>(StandInDesk{
        [this] { return processes.get(); },
        [this] { return QDir(paths->cachePath()).filePath(QStringLiteral("office")); }});
    officeStandIns->registerWith(*desktop);
    automation = std::move(desktop);
    printer = std::make_unique<QtPrinter>();
    makeSocket = [] { return std::make_unique<TcpHostSocket>(); };
    ftp = std::make_unique<FtpClientRunner>();
    splfScreen.make = [] { return std::make_unique<PlainSplfScreen>(); };
}

AppContext::~AppContext() {
    socket_.reset();
    about_.reset();
    outq_.reset();
    login_.reset();
    options_.reset();
    main_.reset();
    splfScreen.unload();
}

QString AppContext::getSetting(const QString& key, const QString& def) {
    return settings ? settings->get(QString::fromLatin1(kAppTitle), QString::fromLatin1(kSection), key, def) : def;
}

void AppContext::saveSetting(const QString& key, const QString& value) {
    if (settings) settings->save(QString::fromLatin1(kAppTitle), QString::fromLatin1(kSection), key, value);
}

int AppContext::msgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title,
                       int defaultButton) {
    if (msg) return msg->show(text, buttons, icon, title, defaultButton);
    std::fprintf(stderr, "%s: %s\n", qPrintable(title), qPrintable(text));
    return MessageBoxes::defaultAnswer(buttons, defaultButton);
}

void AppContext::useBatchMessageBoxes() { msg = std::make_unique<BatchMessageBoxes>(); }

void AppContext::useBatchServices() {
    useBatchMessageBoxes();
    if (presenter) presenter->unattended = true;
}

void AppContext::endProgram(int status, const QString& reason) { throw ProgramEnd{status, reason}; }

void AppContext::runHandler(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const ProgramEnd& e) {
        if (endInEvent) endInEvent(e);
        else programEnded = e;
    }
}

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
void AppContext::unloadMainWindow() { main_.reset(); }

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

HostSocket* AppContext::socket() {
    if (!socket_) {
        socket_ = makeSocket();
        QObject::connect(socket_.get(), &HostSocket::dataArrival, socket_.get(),
                         [this](qint64 n) { socket_DataArrival(*this, n); });
    }
    return socket_.get();
}

void AppContext::discardSocket() {
    if (!socket_) return;
    // The discarded socket must not count bytes for its successor.
    QObject::disconnect(socket_.get(), nullptr, nullptr, nullptr);
    socket_->close();
    socket_.release()->deleteLater();
}

SplfScreenApi& AppContext::frmSplf() { return *splfScreen.get(); }
