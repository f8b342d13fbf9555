#include "AppContext.h"

#include <cstdio>

#include "FtpClientRunner.h"
#include "PlainSplfScreen.h"
#include "TcpHostSocket.h"
#include "frmMain.h"
#include "frmLogin.h"
#include "frmOptions.h"
#include "HostLink.h"

AppContext::AppContext() {
    clock = std::make_unique<RealClock>();
    makeSocket = [] { return std::make_unique<TcpHostSocket>(); };
    ftp = std::make_unique<FtpClientRunner>();
    splfScreen.make = [] { return std::make_unique<PlainSplfScreen>(); };
}

AppContext::~AppContext() {
    socket_.reset();
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

void AppContext::endProgram(int status, const QString& reason) { throw ProgramEnd{status, reason}; }

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

void AppContext::unloadOptionsWindow() {
    if (!options_) return;
    options_->hide();
    options_.release()->deleteLater();
}

frmLogin& AppContext::loginWindow() {
    if (!login_) login_ = std::make_unique<frmLogin>(*this);
    return *login_;
}

void AppContext::unloadLoginWindow() {
    if (!login_) return;
    login_->hide();
    login_.release()->deleteLater();
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
