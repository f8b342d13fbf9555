#include "Connect.h"

#include "Codec.h"
#include "ConnectView.h"
#include "ConnectionState.h"
#include "HostLink.h"
#include "MousePointer.h"
#include "ServerStart.h"
#include "Services.h"
#include "SignOn.h"
#include "SettingValues.h"
#include "WorkDirectory.h"

int waitTimeSetting(Services& services) {
    bool ok = false;
    const int v = services.getSetting(Setting::WaitTime).trimmed().toInt(&ok);
    return (ok && v >= kMinWaitTime && v <= kMaxWaitTime) ? v : kDefaultWaitTime;
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


bool isBlank(const std::string& s) { return s.find_first_not_of(' ') == std::string::npos; }

// Half the wait time in whole seconds, a half going to the even neighbour.
int halfRoundedToEven(int seconds) {
    const int half = seconds / 2;
    if (seconds % 2 == 0) return half;
    return (half % 2 == 0) ? half : half + 1;
}

// The connect skips a failing statement and looks at the error only where
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

// What the socket says went wrong, in its own words; its state's number only
// when it says nothing.
QString socketTrouble(HostSocket* s, int state) {
    const QString said = s->lastErrorDescription().trimmed();
    if (!said.isEmpty()) return said;
    return QStringLiteral("Invalid socket state (%1)").arg(state);
}

class Connection {
public:
    Connection(HostLink& link, Services& services, ConnectionState& state, ConnectView& view)
        : link_(link), svc_(services), state_(state), view_(view) {}
    Outcome run();

private:
    enum class Pass { Connected, StartOver, BadHostName };
    Pass pass();
    Pass jobPort();
    HostSocket* waitForHostJob();
    void connected();

    // Socket helpers. The socket's own errors end here, held in err_.
    HostSocket* freshSocket(int port);
    template <class F>
    void attempt(F&& call);
    void connectSocket(HostSocket* s);
    void send(HostSocket* s, const std::string& bytes);
    int state(HostSocket* s) const;
    bool settled(HostSocket* s) const;
    void waitToSettle(HostSocket* s, qint64 ms);
    void waitSeconds(int s) { svc_.clock->waitMs(static_cast<qint64>(s) * 1000); }

    void status(const QString& text) { view_.status(text); }
    void showOptions();

    // Endings.
    [[noreturn]] void endProgram(const QString& reason);
    // A stop signal of an unattended run (a window's cancel is left to the transfer it ends).
    bool stopped() const { return view_.unattended() && link_.cancelRequested(); }
    [[noreturn]] void commonTail(const QString& reason);
    Pass offerServerStart(const QString& variant);
    Pass badHostName(int socketState);
    Pass refusedSignOn();

    HostLink& link_;
    Services& svc_;
    ConnectionState& state_;
    ConnectView& view_;
    ErrorState err_;
    int restarts_ = 1;
    int attempts_ = 0;
};

Outcome Connection::run() {
    for (;;) {
        switch (pass()) {
            case Pass::Connected: return Outcome::Done();
            case Pass::BadHostName: return Outcome::Stopped();
            case Pass::StartOver: break;
        }
    }
}

HostSocket* Connection::freshSocket(int port) {
    link_.discardSocket();
    HostSocket* s = link_.socket();
    s->remoteHost = state_.gHostAddress;
    s->remotePort = port;
    return s;
}

template <class F>
void Connection::attempt(F&& call) {
    try {
        call();
    } catch (const SocketError& e) {
        err_.take(e.number, QString::fromStdString(e.what()));
    }
}

void Connection::connectSocket(HostSocket* s) {
    s->clearError();
    attempt([s] { s->connectToHost(); });
}

void Connection::send(HostSocket* s, const std::string& bytes) {
    attempt([&] { s->sendData(bytes); });
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
    svc_.clock->waitUntil([&] { return settled(s); }, ms);
}

void Connection::showOptions() {
    setMousePointer(MousePointer::Normal);
    view_.showConnectionOptions();
    setMousePointer(MousePointer::Hourglass);
}

void Connection::endProgram(const QString& reason) {
    svc_.saveTruth(Setting::AutoConnect, false);
    Disconnect(link_);
    svc_.endProgram(kExitConnectFailed, reason);
}

void Connection::commonTail(const QString& reason) {
    svc_.saveTruth(Setting::AutoConnect, false);
    setMousePointer(MousePointer::Normal);
    if (svc_.ask(Question{QStringLiteral("Would you like to modify the URL name?"), MsgButtons::YesNo, MsgIcon::None,
                          kTolvane, 1, kAskAgainNo}) == vbYes) {
        const QString before = svc_.getSetting(Setting::URL);
        view_.showConnectionOptions();
        if (svc_.getSetting(Setting::URL) != before)
            svc_.report(
                Failure{QStringLiteral("The selected iSeries URL name has been changed.  This utility will deallocate "
                                       "any conversations and end.  You may then restart."),
                        MsgIcon::None, kTolvane});
    }
    Disconnect(link_);
    svc_.clock->pumpOnce();
    svc_.endProgram(kExitConnectFailed, reason);
}

Connection::Pass Connection::offerServerStart(const QString& variant) {
    const int answer = svc_.ask(Question{
        QStringLiteral("Please note:  The Spoolwright server program on the iSeries may not be active. ") +
            QStringLiteral("Would you like to attempt to start the server from this program?  ") +
            QStringLiteral("(FTP must be active on the iSeries and you'll be asked for your password.)") + variant,
        MsgButtons::YesNo, MsgIcon::None, kTolvane, 1, kAskAgainNo});
    if (answer == vbYes) {
        if (HostSocket* s = link_.socketIfOpen()) s->close();
        if (!StartHostServerViaFtp(svc_, state_, view_))
            endProgram(QStringLiteral("The host server could not be started"));
        return Pass::StartOver;
    }
    svc_.report(Failure{QStringLiteral("Please key 'SPWLB/STRSPWRT' from an iSeries command line to start the server."),
                        MsgIcon::None, kTolvane});
    setMousePointer(MousePointer::Normal);
    endProgram(QStringLiteral("The host server is not active"));
}

Connection::Pass Connection::badHostName(int socketState) {
    svc_.report(Failure{QStringLiteral("Invalid socket state (%1).  The specified host name '%2' may not be valid.")
                            .arg(socketState)
                            .arg(state_.gHostAddress),
                        MsgIcon::Critical, kTolvane});
    Disconnect(link_);
    view_.workingControlsEnabled(true);
    view_.focusOpen();
    setMousePointer(MousePointer::Normal);
    return Pass::BadHostName;
}

Connection::Pass Connection::refusedSignOn() {
    Disconnect(link_);
    svc_.saveNotKept(Setting::Password);
    state_.gUserId.assign(state_.gUserId.size(), ' ');
    state_.gPassword.assign(state_.gPassword.size(), ' ');
    setMousePointer(MousePointer::Normal);
    if (svc_.nobodyAnswers()) {
        // Nobody can type another password: say what happened to the saved one.
        svc_.report(
            Failure{QStringLiteral("The host refused the sign-on of user ") + svc_.getSetting(Setting::User).trimmed() +
                        QStringLiteral(" (User ID validation failed).  The saved password has been cleared: sign on "
                                       "once in the program's window with \"Save password\" ticked.  Note that "
                                       "unsuccessful signon attempts are counted - too many and you can disable your "
                                       "user profile."),
                    MsgIcon::Critical, kTolvane});
        svc_.saveTruth(Setting::AutoConnect, false);
        svc_.endProgram(kExitSignOnCancelled, QStringLiteral("Sign-on refused"));
    }
    const int answer =
        svc_.ask(Question{QStringLiteral("User ID validation failed. Note that unsuccessful signon attempts are "
                                         "counted - too many and you can disable your user profile."),
                          MsgButtons::OKCancel, MsgIcon::None, kTolvane, 1, kAskAgainNo});
    svc_.saveNotKept(Setting::Password);
    svc_.saveTruth(Setting::AutoConnect, false);
    if (answer == vbCancel) svc_.endProgram(kExitConnectFailed, QStringLiteral("Sign-on refused"));
    err_.clear();
    return Pass::StartOver;
}

Connection::Pass Connection::pass() {
    // Phase 1: the listener.
    setMousePointer(MousePointer::Hourglass);
    view_.connecting();
    status(QStringLiteral("Getting iSeries TCP/IP URL."));

    state_.gHostAddress = svc_.getSetting(Setting::URL);
    while (!IsStored(state_.gHostAddress)) {
        const int answer = svc_.ask(
            Question{QStringLiteral("Please note:  No iSeries TCP/IP host name or IP address has been specified.  "
                                    "Would you like to enter a host name or IP address now?"),
                     MsgButtons::YesNo, MsgIcon::Information, kTolvane, 1, kAskAgainNo});
        if (answer != vbYes) endProgram(QStringLiteral("No host address"));
        showOptions();
        state_.gHostAddress = svc_.getSetting(Setting::URL);
    }
    state_.gWaitTime = waitTimeSetting(svc_);
    err_.clear();

    status(QStringLiteral("Attaching to iSeries server program at ") + state_.gHostAddress + QLatin1Char('.'));
    view_.workingControlsEnabled(false);

    HostSocket* s = freshSocket(kListenerPort);
    connectSocket(s);
    waitToSettle(s, 5000);
    if (err_.holds()) {
        svc_.report(Failure{
            QStringLiteral("Could not attach to the server program on the iSeries IP address ") + state_.gHostAddress +
                QStringLiteral(". ") +
                QStringLiteral("Possible cause: Spoolwright server is not started - key command STRSPWRT at an ") +
                QStringLiteral("iSeries command entry screen (you must have sufficient authority,) ") +
                QStringLiteral("TCP/IP support has not been started on the iSeries - key commands STRTCP and "
                               "STRSPWRT, ") +
                QStringLiteral("an invalid IP address has been specified - specify a valid IP address.  Socket "
                               "state is ") +
                QString::number(state(s)) + QStringLiteral(".  Error number is ") + err_.text(),
            MsgIcon::Critical, kTolvane});
        commonTail(QStringLiteral("Could not attach to the host server"));
    }
    int st = state(s);
    if (st != HostSocket::Connecting && st != HostSocket::Connected) {
        waitToSettle(s, 15000);
        st = state(s);
        if (st == HostSocket::ResolvingHost) return badHostName(st);
        if (st != HostSocket::Connecting && st != HostSocket::Connected)
            return offerServerStart(QStringLiteral("  (%1.) ").arg(socketTrouble(s, st)));
    }

    status(QStringLiteral("Server contacted - requesting a unique socket connection. Please wait..."));
    send(s, ListenerTestMessage());
    svc_.clock->pumpOnce();
    if (state(s) != HostSocket::Connected) waitToSettle(s, 8000);
    send(s, ListenerTestMessage());
    svc_.clock->pumpOnce();
    st = state(s);
    if (st != HostSocket::Connected) return offerServerStart(QStringLiteral("   -Invalid socket state (%1). ").arg(st));

    if (isBlank(state_.gUserId)) {
        const std::string user = state_.gUserId, password = state_.gPassword;
        if (!SignOn(svc_, state_, link_, view_).outcome) {
            // The pass starts over with the credentials it had.
            state_.gUserId = user;
            state_.gPassword = password;
            return Pass::StartOver;
        }
    }

    if (const Outcome work = ApplyWorkDirectoryRule(svc_, state_); !work) {
        svc_.report(*work.failure);
        view_.showNamingOptions();
        endProgram(QStringLiteral("No work directory"));
    }

    link_.clearReceived();
    send(s, SignOnMessage(state_.gUserId, state_.gPassword));
    svc_.clock->pumpOnce();
    svc_.clock->waitUntil(
        [&] {
            return link_.receivedBytes() >= HostWire::kReplyLength || s->state() != HostSocket::Connected ||
                   stopped();
        },
        state_.signOnReplyTimeoutMs);
    // An unattended run told to stop: no failed connection to report or remember.
    if (link_.receivedBytes() < HostWire::kReplyLength && stopped()) {
        Disconnect(link_);
        svc_.endProgram(kExitConnectFailed, QStringLiteral("Stopped before the sign-on reply"));
    }
    if (link_.receivedBytes() < HostWire::kReplyLength) {
        if (!err_.holds() && s->state() != HostSocket::Connected)
            err_.take(kClosedByHost, QStringLiteral("The connection was closed by the host"));
        svc_.report(Failure{
            QStringLiteral("Could not attach to the server program on the iSeries.  ") +
                QStringLiteral("Possible causes: (1)Spoolwright server is not started - key command STRSPWRT at an ") +
                QStringLiteral("iSeries command entry screen. (2)The server is in an invalid state.  End the server "
                               "(SPWLB/ENDSPWRT) and restart (SPWLB/STRSPWRT).  ") +
                QStringLiteral("(3)TCP/IP support has not been started on the iSeries - key commands STRTCP and "
                               "STRSPWRT, ") +
                QStringLiteral("an invalid IP address has been specified - specify a valid IP address. ") + err_.text(),
            MsgIcon::Critical, kTolvane});
        commonTail(QStringLiteral("No sign-on reply"));
    }

    status(QStringLiteral("Getting response..."));
    const SignOnReply reply(s->getData(HostWire::kReplyLength));
    if (reply.refused()) return refusedSignOn();

    const std::string portText = reply.portText();
    const QString portDigits = QString::fromLatin1(portText.data(), 5).trimmed();
    bool isNumber = !portDigits.isEmpty();
    for (QChar c : portDigits) isNumber = isNumber && c.isDigit() && c.unicode() < 0x80;
    state_.gJobPort = isNumber ? portDigits.toInt() : 0;
    if (state_.gJobPort < kFirstJobPort || state_.gJobPort > kLastJobPort) {
        svc_.report(Failure{QStringLiteral("Invalid socket number returned: ") + Codec::toUnicode(portText) +
                                QStringLiteral(".  Error number: ") + err_.text(),
                            MsgIcon::None, kTolvane});
        endProgram(QStringLiteral("Bad job port"));
    }
    if (reply.versionLetter() != 'E') {
        svc_.report(
            Failure{QStringLiteral("Please note: There is a version mismatch between this program and the ") +
                        QStringLiteral("iSeries server program.  Install the matching version of the iSeries portion "
                                       "of the Spoolwright."),
                    MsgIcon::None, kTolvane});
        endProgram(QStringLiteral("Version mismatch"));
    }

    status(QStringLiteral("Sending acknowledgement..."));
    send(s, SignOnAck());
    svc_.clock->pumpOnce();
    if (view_.savePasswordChecked()) svc_.saveSetting(Setting::Password, Codec::toUnicode(state_.gPassword));
    Disconnect(link_);

    return jobPort();
}

Connection::Pass Connection::jobPort() {
    view_.connecting();
    freshSocket(state_.gJobPort);
    status(QStringLiteral("Waiting for iSeries to start submitted job SW%1. (Waiting %2 seconds.)")
               .arg(state_.gJobPort)
               .arg(state_.gWaitTime));
    HostSocket* s = waitForHostJob();

    attempts_ = 1;
    for (;;) {
        status(QStringLiteral("Attempting to connect to port %1...").arg(state_.gJobPort));
        err_.clear();
        // The first attempt is the connection that ended the wait, if one did;
        // every other attempt is a new connect on a fresh socket.
        if (attempts_ > 1 || s->state() != HostSocket::Connected) {
            s = freshSocket(state_.gJobPort);
            connectSocket(s);
            svc_.clock->pumpOnce();
            waitToSettle(s, kConnectSettleMs);
            if (!err_.holds() && s->state() == HostSocket::Error)
                err_.take(s->lastErrorNumber(), s->lastErrorDescription());
        }

        if (err_.holds() && attempts_ < 20) {
            waitSeconds(halfRoundedToEven(state_.gWaitTime));
            ++attempts_;
            continue;
        }
        if (err_.holds() && restarts_ < 3) {
            ++restarts_;
            return Pass::StartOver;
        }

        // The pause gave the host time to take the connection; it ends as
        // soon as the connection stands.
        svc_.clock->waitUntil([s] { return s->state() == HostSocket::Connected; }, kBeforeTestMessageMs);
        status(QStringLiteral("Sending test message..."));
        err_.clear();
        send(s, JobTestMessage());
        svc_.clock->pumpOnce();
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
        svc_.report(
            Failure{QStringLiteral("Test transmission failed.") + err_.text(), MsgIcon::None, QStringLiteral("TLV")});
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
    const qint64 limitMs = static_cast<qint64>(state_.gWaitTime) * 1000;
    const qint64 end = svc_.clock->nowMs() + limitMs;
    for (qint64 now = svc_.clock->nowMs(); now < end; now = svc_.clock->nowMs()) {
        HostSocket* s = freshSocket(state_.gJobPort);
        s->clearError();
        try {
            s->connectToHost();
        } catch (const SocketError&) {
            // A failed probe is only "not yet".
        }
        waitToSettle(s, end - now);
        if (s->state() == HostSocket::Connected) return s;
        const qint64 next = qMin(now + kHostJobPollMs, end);
        svc_.clock->waitMs(next - svc_.clock->nowMs());
    }
    return freshSocket(state_.gJobPort);
}

void Connection::connected() {
    status(QStringLiteral("Please specify a user, an outq or both.  "));
    view_.connected(QStringLiteral("Connected to %1, Job:SWR%2").arg(state_.gHostAddress).arg(state_.gJobPort));
    view_.workingControlsEnabled(true);
    view_.focusOpen();
    setMousePointer(MousePointer::Normal);
}
}  // namespace

Outcome ConnectToHost(HostLink& link, Services& services, ConnectionState& state, ConnectView& view) {
    // The steps set the pointer as they go; whichever way the procedure ends,
    // the pointer it found comes back.
    PointerGuard pointer;
    return Connection(link, services, state, view).run();
}
