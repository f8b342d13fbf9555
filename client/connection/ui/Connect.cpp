#include "Connect.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

#include "AppContext.h"
#include "Codec.h"
#include "HostLink.h"
#include "MousePointer.h"
#include "ServerStart.h"
#include "SignOn.h"
#include "WorkDirectory.h"
#include "frmLogin.h"
#include "frmMain.h"
#include "frmOptions.h"

int unattendedDefault(const AppContext& ctx) {
    return (ctx.gBatchMode || (ctx.presenter && ctx.presenter->unattended)) ? 2 : 1;
}

namespace {
constexpr int kListenerPort = 17850;
constexpr int kFirstJobPort = 17851;
constexpr int kLastJobPort = 18050;
constexpr int kHostNotFound = 11001;
constexpr int kClosedByHost = 10053;
// How long one job-port connect may take to succeed or fail before the test
// message finds out.
constexpr qint64 kConnectSettleMs = 5000;
// How often the waits for the host's job look whether it is there yet.
constexpr qint64 kHostJobPollMs = 250;
// The pause before the test message, ended early once the connection stands.
constexpr qint64 kBeforeTestMessageMs = 3000;

const QString kTolvane = QStringLiteral("Tolvane");

std::string listenerTestMessage() { return std::string(1020, ' ') + "test"; }
std::string signOnAck() { return std::string(1020, ' ') + "(ok)"; }
std::string jobTestMessage() { return HostWire::field(std::string(120, ' ') + "test", HostWire::kRequestLength); }

bool isBlank(const std::string& s) { return s.find_first_not_of(' ') == std::string::npos; }

// Half the wait time in whole seconds, a half going to the even neighbour.
int halfRoundedToEven(int seconds) {
    const int half = seconds / 2;
    if (seconds % 2 == 0) return half;
    return (half % 2 == 0) ? half : half + 1;
}

// The original skipped a failing statement and looked at the error only where
// a step says so; this holds the latest error until it is cleared.
struct ErrorState {
    int number = 0;
    QString description;
    bool holds() const { return number != 0; }
    void clear() {
        number = 0;
        description.clear();
    }
    void take(int n, const QString& d) {
        number = n;
        description = d;
    }
    QString text() const { return QString::number(number) + QLatin1Char(' ') + description; }
};

class Connection {
public:
    explicit Connection(AppContext& ctx) : ctx_(ctx), main_(ctx.mainWindow()) {}
    int run();

private:
    enum class Pass { Connected, StartOver, BadHostName };
    Pass pass();
    Pass jobPort();
    HostSocket* waitForHostJob();
    void connected();

    // Socket helpers.
    HostSocket* freshSocket(int port);
    void connectSocket(HostSocket* s);
    void send(HostSocket* s, const std::string& bytes);
    int state(HostSocket* s) const;
    bool settled(HostSocket* s) const;
    void waitToSettle(HostSocket* s, qint64 ms);
    void waitSeconds(int s) { ctx_.clock->waitMs(static_cast<qint64>(s) * 1000); }

    // Main window.
    void status(const QString& text) {
        main_.setStatusPanel(text);
        main_.Refresh();
    }
    void setWorkingControlsEnabled(bool on);
    void showOptions();
    bool makeWorkDirectory(QString& folder);

    // Endings.
    [[noreturn]] void endProgram(const QString& reason);
    [[noreturn]] void commonTail(const QString& reason);
    Pass offerServerStart(const QString& variant);
    Pass badHostName(int socketState);
    Pass refusedSignOn();

    AppContext& ctx_;
    frmMain& main_;
    ErrorState err_;
    int restarts_ = 1;
    int attempts_ = 0;
};

int Connection::run() {
    for (;;) {
        switch (pass()) {
            case Pass::Connected: return 0;
            case Pass::BadHostName: return -1;
            case Pass::StartOver: break;
        }
    }
}

HostSocket* Connection::freshSocket(int port) {
    ctx_.link.discardSocket();
    HostSocket* s = ctx_.link.socket();
    s->remoteHost = ctx_.gHostAddress;
    s->remotePort = port;
    return s;
}

void Connection::connectSocket(HostSocket* s) {
    s->clearError();
    try {
        s->connectToHost();
    } catch (const SocketError& e) {
        err_.take(e.number, QString::fromStdString(e.what()));
    }
}

void Connection::send(HostSocket* s, const std::string& bytes) {
    try {
        s->sendData(bytes);
    } catch (const SocketError& e) {
        err_.take(e.number, QString::fromStdString(e.what()));
    }
}

int Connection::state(HostSocket* s) const {
    const int st = s->state();
    // A name that never resolved is still "resolving" to the user.
    if (st == HostSocket::Error && s->lastErrorNumber() == kHostNotFound) return HostSocket::ResolvingHost;
    return st;
}

bool Connection::settled(HostSocket* s) const {
    const int st = s->state();
    return st == HostSocket::Connected || st == HostSocket::Error || st == HostSocket::Closed;
}

void Connection::waitToSettle(HostSocket* s, qint64 ms) {
    ctx_.clock->waitUntil([&] { return settled(s); }, ms);
}

void Connection::setWorkingControlsEnabled(bool on) {
    for (QWidget* w : std::initializer_list<QWidget*>{main_.cmdExit, main_.cmdListOutqs, main_.cmdOK, main_.mnuConnect,
                                                      main_.mnuFile, main_.mnuHelp, main_.txtOutq, main_.cboLibrary,
                                                      main_.txtWrkSplf})
        w->setEnabled(on);
    main_.mnuOptions->setEnabled(on);
}

void Connection::showOptions() {
    setMousePointer(MousePointer::Normal);
    ctx_.optionsWindow().showModal();
    setMousePointer(MousePointer::Hourglass);
}

bool Connection::makeWorkDirectory(QString& folder) { return ApplyWorkDirectoryRule(ctx_, ctx_, &folder); }

void Connection::endProgram(const QString& reason) {
    ctx_.saveSetting(QStringLiteral("Auto connect"), QStringLiteral("False"));
    Disconnect(ctx_.link);
    ctx_.endProgram(kExitConnectFailed, reason);
}

void Connection::commonTail(const QString& reason) {
    ctx_.saveSetting(QStringLiteral("Auto connect"), QStringLiteral("False"));
    setMousePointer(MousePointer::Normal);
    if (ctx_.msgBox(QStringLiteral("Would you like to modify the URL name?"), MsgButtons::YesNo, MsgIcon::None,
                    kTolvane, unattendedDefault(ctx_)) == vbYes) {
        const QString before = ctx_.getSetting(QStringLiteral("URL"));
        ctx_.optionsWindow().showModal();
        if (ctx_.getSetting(QStringLiteral("URL")) != before)
            ctx_.msgBox(QStringLiteral("The selected iSeries URL name has been changed.  This utility will deallocate "
                                       "any conversations and end.  You may then restart."),
                        MsgButtons::OK, MsgIcon::None, kTolvane);
    }
    Disconnect(ctx_.link);
    ctx_.clock->pumpOnce();
    ctx_.endProgram(kExitConnectFailed, reason);
}

Connection::Pass Connection::offerServerStart(const QString& variant) {
    const int answer = ctx_.msgBox(
        QStringLiteral("Please note:  The Spoolwright server program on the iSeries may not be active. ") +
            QStringLiteral("Would you like to attempt to start the server from this program?  ") +
            QStringLiteral("(FTP must be active on the iSeries and you'll be asked for your password.)") + variant,
        MsgButtons::YesNo, MsgIcon::None, kTolvane, unattendedDefault(ctx_));
    if (answer == vbYes) {
        if (HostSocket* s = ctx_.link.socketIfOpen()) s->close();
        if (StartHostServerViaFtp(ctx_) != 0) endProgram(QStringLiteral("The host server could not be started"));
        return Pass::StartOver;
    }
    ctx_.msgBox(QStringLiteral("Please key 'SPWLB/STRSPWRT' from an iSeries command line to start the server."),
                MsgButtons::OK, MsgIcon::None, kTolvane);
    setMousePointer(MousePointer::Normal);
    endProgram(QStringLiteral("The host server is not active"));
}

Connection::Pass Connection::badHostName(int socketState) {
    ctx_.msgBox(QStringLiteral("Invalid socket state (%1).  The specified host name '%2' may not be valid.")
                    .arg(socketState)
                    .arg(ctx_.gHostAddress),
                MsgButtons::OK, MsgIcon::Critical, kTolvane);
    Disconnect(ctx_.link);
    setWorkingControlsEnabled(true);
    if (!ctx_.gBatchMode) main_.cmdOK->setFocus();
    setMousePointer(MousePointer::Normal);
    return Pass::BadHostName;
}

Connection::Pass Connection::refusedSignOn() {
    Disconnect(ctx_.link);
    ctx_.saveSetting(QStringLiteral("century"), QStringLiteral("-None"));
    ctx_.gUserId.assign(ctx_.gUserId.size(), ' ');
    ctx_.gPassword.assign(ctx_.gPassword.size(), ' ');
    setMousePointer(MousePointer::Normal);
    const int answer = ctx_.msgBox(QStringLiteral("User ID validation failed. Note that unsuccessful signon attempts are "
                                                  "counted - too many and you can disable your user profile."),
                                   MsgButtons::OKCancel, MsgIcon::None, kTolvane, unattendedDefault(ctx_));
    ctx_.saveSetting(QStringLiteral("century"), QStringLiteral("-None"));
    ctx_.saveSetting(QStringLiteral("Auto connect"), QStringLiteral("False"));
    if (answer == vbCancel) ctx_.endProgram(kExitConnectFailed, QStringLiteral("Sign-on refused"));
    err_.clear();
    return Pass::StartOver;
}

Connection::Pass Connection::pass() {
    // Phase 1: the listener.
    setMousePointer(MousePointer::Hourglass);
    main_.lblStatus->setText(QStringLiteral("Connecting..."));
    status(QStringLiteral("Getting iSeries TCP/IP URL."));

    ctx_.gHostAddress = ctx_.getSetting(QStringLiteral("URL"));
    while (ctx_.gHostAddress == QLatin1String("None")) {
        const int answer =
            ctx_.msgBox(QStringLiteral("Please note:  No iSeries TCP/IP host name or IP address has been specified.  "
                                       "Would you like to enter a host name or IP address now?"),
                        MsgButtons::YesNo, MsgIcon::Information, kTolvane, unattendedDefault(ctx_));
        if (answer != vbYes) endProgram(QStringLiteral("No host address"));
        showOptions();
        ctx_.gHostAddress = ctx_.getSetting(QStringLiteral("URL"));
    }
    ctx_.gWaitTime = frmOptions::waitTimeSetting(ctx_);
    err_.clear();

    status(QStringLiteral("Attaching to iSeries server program at ") + ctx_.gHostAddress + QLatin1Char('.'));
    setWorkingControlsEnabled(false);

    HostSocket* s = freshSocket(kListenerPort);
    connectSocket(s);
    waitToSettle(s, 5000);
    if (err_.holds()) {
        ctx_.msgBox(QStringLiteral("Could not attach to the server program on the iSeries IP address ") +
                        ctx_.gHostAddress + QStringLiteral(". ") +
                        QStringLiteral("Possible cause: Spoolwright server is not started - key command STRSPWRT at an ") +
                        QStringLiteral("iSeries command entry screen (you must have sufficient authority,) ") +
                        QStringLiteral("TCP/IP support has not been started on the iSeries - key commands STRTCP and "
                                       "STRSPWRT, ") +
                        QStringLiteral("an invalid IP address has been specified - specify a valid IP address.  Socket "
                                       "state is ") +
                        QString::number(state(s)) + QStringLiteral(".  Error number is ") + err_.text(),
                    MsgButtons::OK, MsgIcon::Critical, kTolvane);
        commonTail(QStringLiteral("Could not attach to the host server"));
    }
    int st = state(s);
    if (st != HostSocket::Connecting && st != HostSocket::Connected) {
        waitToSettle(s, 15000);
        st = state(s);
        if (st == HostSocket::ResolvingHost) return badHostName(st);
        if (st != HostSocket::Connecting && st != HostSocket::Connected)
            return offerServerStart(QStringLiteral("  (Invalid socket state (%1).) ").arg(st));
    }

    status(QStringLiteral("Server contacted - requesting a unique socket connection. Please wait..."));
    send(s, listenerTestMessage());
    ctx_.clock->pumpOnce();
    if (state(s) != HostSocket::Connected) waitToSettle(s, 8000);
    send(s, listenerTestMessage());
    ctx_.clock->pumpOnce();
    st = state(s);
    if (st != HostSocket::Connected) return offerServerStart(QStringLiteral("   -Invalid socket state (%1). ").arg(st));

    if (isBlank(ctx_.gUserId)) {
        std::string user = ctx_.gUserId, password = ctx_.gPassword;
        const bool again = SignOn(ctx_, user, password);
        ctx_.gUserId = user;
        ctx_.gPassword = password;
        if (again) return Pass::StartOver;
    }

    QString workFolder;
    if (!makeWorkDirectory(workFolder)) {
        ctx_.msgBox(QStringLiteral("Directory ") + workFolder +
                        QStringLiteral(" not found.  Please specify a valid directory in the following screen and then "
                                       "restart the Spoolwright."),
                    MsgButtons::OK, MsgIcon::None, QStringLiteral("iSeries Spoolwright"));
        main_.mnuOptions_Click();
        endProgram(QStringLiteral("No work directory"));
    }

    const std::string signOnMessage =
        HostWire::field("new 128        " + ctx_.gUserId + ctx_.gPassword, HostWire::kReplyLength);
    ctx_.link.clearReceived();
    send(s, signOnMessage);
    ctx_.clock->pumpOnce();
    ctx_.clock->waitUntil(
        [&] { return ctx_.link.receivedBytes() >= HostWire::kReplyLength || s->state() != HostSocket::Connected; },
        ctx_.signOnReplyTimeoutMs);
    if (ctx_.link.receivedBytes() < HostWire::kReplyLength) {
        if (!err_.holds() && s->state() != HostSocket::Connected)
            err_.take(kClosedByHost, QStringLiteral("The connection was closed by the host"));
        ctx_.msgBox(
            QStringLiteral("Could not attach to the server program on the iSeries.  ") +
                QStringLiteral("Possible causes: (1)Spoolwright server is not started - key command STRSPWRT at an ") +
                QStringLiteral("iSeries command entry screen. (2)The server is in an invalid state.  End the server "
                               "(SPWLB/ENDSPWRT) and restart (SPWLB/STRSPWRT).  ") +
                QStringLiteral("(3)TCP/IP support has not been started on the iSeries - key commands STRTCP and "
                               "STRSPWRT, ") +
                QStringLiteral("an invalid IP address has been specified - specify a valid IP address. ") + err_.text(),
            MsgButtons::OK, MsgIcon::Critical, kTolvane);
        commonTail(QStringLiteral("No sign-on reply"));
    }

    status(QStringLiteral("Getting response..."));
    const std::string reply = HostWire::field(s->getData(HostWire::kReplyLength), HostWire::kReplyLength);
    if (reply.compare(0, 9, "(INVALID)") == 0) return refusedSignOn();

    const std::string portText = reply.substr(0, 5);
    const QString portDigits = QString::fromLatin1(portText.data(), 5).trimmed();
    bool isNumber = !portDigits.isEmpty();
    for (QChar c : portDigits) isNumber = isNumber && c.isDigit() && c.unicode() < 0x80;
    ctx_.gJobPort = isNumber ? portDigits.toInt() : 0;
    if (ctx_.gJobPort < kFirstJobPort || ctx_.gJobPort > kLastJobPort) {
        ctx_.msgBox(QStringLiteral("Invalid socket number returned: ") + Codec::toUnicode(portText) +
                        QStringLiteral(".  Error number: ") + err_.text(),
                    MsgButtons::OK, MsgIcon::None, kTolvane);
        endProgram(QStringLiteral("Bad job port"));
    }
    if (reply[6] != 'E') {
        ctx_.msgBox(QStringLiteral("Please note: There is a version mismatch between this program and the ") +
                        QStringLiteral("iSeries server program.  Install the matching version of the iSeries portion "
                                       "of the Spoolwright."),
                    MsgButtons::OK, MsgIcon::None, kTolvane);
        endProgram(QStringLiteral("Version mismatch"));
    }

    status(QStringLiteral("Sending acknowledgement..."));
    send(s, signOnAck());
    ctx_.clock->pumpOnce();
    if (ctx_.loginWindowLoaded() && ctx_.loginWindow().chkSavePassword->isChecked())
        ctx_.saveSetting(QStringLiteral("century"), Codec::toUnicode(ctx_.gPassword));
    Disconnect(ctx_.link);

    return jobPort();
}

Connection::Pass Connection::jobPort() {
    main_.lblStatus->setText(QStringLiteral("Connecting..."));
    freshSocket(ctx_.gJobPort);
    status(QStringLiteral("Waiting for iSeries to start submitted job SW%1. (Waiting %2 seconds.)")
               .arg(ctx_.gJobPort)
               .arg(ctx_.gWaitTime));
    HostSocket* s = waitForHostJob();

    attempts_ = 1;
    for (;;) {
        status(QStringLiteral("Attempting to connect to port %1...").arg(ctx_.gJobPort));
        err_.clear();
        // The first attempt is the connection that ended the wait, if one did;
        // every other attempt is a new connect on a fresh socket.
        if (attempts_ > 1 || s->state() != HostSocket::Connected) {
            s = freshSocket(ctx_.gJobPort);
            connectSocket(s);
            ctx_.clock->pumpOnce();
            waitToSettle(s, kConnectSettleMs);
            if (!err_.holds() && s->state() == HostSocket::Error)
                err_.take(s->lastErrorNumber(), s->lastErrorDescription());
        }

        if (err_.holds() && attempts_ < 20) {
            waitSeconds(halfRoundedToEven(ctx_.gWaitTime));
            ++attempts_;
            continue;
        }
        if (err_.holds() && restarts_ < 3) {
            ++restarts_;
            return Pass::StartOver;
        }

        // The pause gave the host time to take the connection; it ends as
        // soon as the connection stands.
        ctx_.clock->waitUntil([s] { return s->state() == HostSocket::Connected; }, kBeforeTestMessageMs);
        status(QStringLiteral("Sending test message..."));
        err_.clear();
        send(s, jobTestMessage());
        ctx_.clock->pumpOnce();
        if (!err_.holds()) break;
        if (attempts_ < 50) {
            ++attempts_;
            waitSeconds(2);
            continue;
        }
        if (restarts_ < 2) {
            ++restarts_;
            return Pass::StartOver;
        }
        ctx_.msgBox(QStringLiteral("Test transmission failed.") + err_.text(), MsgButtons::OK, MsgIcon::None,
                    QStringLiteral("TLV"));
        endProgram(QStringLiteral("Test transmission failed"));
    }
    connected();
    return Pass::Connected;
}

// The wait for the host to start the submitted job: a connect to the job port
// every quarter second until one stands, within "Wait time". The host's job
// serves the first client that reaches it, so the connect that succeeds is
// kept as the link; otherwise a fresh socket is left for the attempts.
HostSocket* Connection::waitForHostJob() {
    const qint64 limitMs = static_cast<qint64>(ctx_.gWaitTime) * 1000;
    const qint64 end = ctx_.clock->nowMs() + limitMs;
    for (qint64 now = ctx_.clock->nowMs(); now < end; now = ctx_.clock->nowMs()) {
        HostSocket* s = freshSocket(ctx_.gJobPort);
        s->clearError();
        try {
            s->connectToHost();
        } catch (const SocketError&) {
            // A failed probe is only "not yet".
        }
        waitToSettle(s, end - now);
        if (s->state() == HostSocket::Connected) return s;
        const qint64 next = qMin(now + kHostJobPollMs, end);
        ctx_.clock->waitMs(next - ctx_.clock->nowMs());
    }
    return freshSocket(ctx_.gJobPort);
}

void Connection::connected() {
    status(QStringLiteral("Please specify a user, an outq or both.  "));
    main_.showConnected(QStringLiteral("Connected to %1, Job:SWR%2").arg(ctx_.gHostAddress).arg(ctx_.gJobPort));
    main_.Refresh();
    setWorkingControlsEnabled(true);
    if (!ctx_.gBatchMode) main_.cmdOK->setFocus();
    setMousePointer(MousePointer::Normal);
}
}  // namespace

int ConnectToHost(AppContext& ctx) {
    // The steps set the pointer as they go; whichever way the procedure ends,
    // the pointer it found comes back.
    PointerGuard pointer;
    return Connection(ctx).run();
}
