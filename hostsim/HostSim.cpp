#include "HostSim.h"

#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include "Clock.h"
#include "JobSession.h"
#include "SignOnScramble.h"

namespace {
constexpr size_t kListenerFrame = 1024;
constexpr int kClockPollMs = 2;

QHostAddress hostAddress(const QString& text) {
    if (text.compare(QStringLiteral("localhost"), Qt::CaseInsensitive) == 0) return QHostAddress::LocalHost;
    return QHostAddress(text);
}
}  // namespace

struct HostSim::JobPort {
    quint16 port = 0;
    std::string user;
    bool persistent = false;
    QTcpServer* server = nullptr;
};

struct HostSim::Connection {
    QPointer<QTcpSocket> sock;
    FrameLogEntry::Channel channel = FrameLogEntry::Job;
    quint16 port = 0;
    int id = 0;
    std::string buffer;
    int answered = 0;
    qint64 sendFree = 0;  // replies keep their order when delayed
    std::unique_ptr<JobSession> session;
};

HostSim::HostSim(HostSimOptions options, QObject* parent)
    : QObject(parent), options_(std::move(options)), store_(options_.spoolRoot), timer_(new QTimer(this)) {
    elapsed_.start();
    timer_->setSingleShot(true);
    connect(timer_, &QTimer::timeout, this, [this] { runDue(); });
    if (!options_.frameLogFile.isEmpty()) log_.setFile(options_.frameLogFile);
}

HostSim::~HostSim() { stop(); }

bool HostSim::start(QString* error) {
    const QHostAddress addr = hostAddress(options_.address);
    if (addr.isNull()) {
        if (error) *error = QStringLiteral("not an address: %1").arg(options_.address);
        return false;
    }
    if (!options_.listen) return true;
    return startListener(error);
}

bool HostSim::startListener(QString* error) {
    if (listener_) return true;
    const QHostAddress addr = hostAddress(options_.address);
    listener_ = new QTcpServer(this);
    if (!listener_->listen(addr, options_.listenerPort)) {
        if (error)
            *error = QStringLiteral("cannot listen on %1:%2: %3")
                         .arg(options_.address)
                         .arg(options_.listenerPort)
                         .arg(listener_->errorString());
        delete listener_;
        listener_ = nullptr;
        return false;
    }
    QTcpServer* server = listener_;
    connect(server, &QTcpServer::newConnection, this,
            [this, server] { accept(server, FrameLogEntry::Listener, options_.listenerPort); });
    return true;
}

void HostSim::stop() {
    pending_.clear();
    timer_->stop();
    std::vector<QTcpSocket*> socks;
    for (auto& [sock, c] : connections_) socks.push_back(sock);
    connections_.clear();
    for (QTcpSocket* s : socks) {
        s->disconnect(this);
        s->abort();
        s->deleteLater();
    }
    for (auto& [port, jp] : jobPorts_) delete jp->server;
    jobPorts_.clear();
    delete listener_;
    listener_ = nullptr;
}

void HostSim::setClock(Clock* clock) {
    clock_ = clock;
    armTimer();
}

qint64 HostSim::now() const { return clock_ ? clock_->nowMs() : elapsed_.elapsed(); }

void HostSim::schedule(qint64 delayMs, std::function<void()> action) {
    pending_.emplace(now() + qMax<qint64>(0, delayMs), std::move(action));
    armTimer();
}

void HostSim::armTimer() {
    if (pending_.empty()) {
        timer_->stop();
        return;
    }
    // Another clock's time moves on its own: look at it often.
    const qint64 wait = clock_ ? kClockPollMs : qMax<qint64>(0, pending_.begin()->first - now());
    timer_->start(static_cast<int>(qMin<qint64>(wait, 1 << 30)));
}

void HostSim::runDue() {
    while (!pending_.empty() && pending_.begin()->first <= now()) {
        auto action = std::move(pending_.begin()->second);
        pending_.erase(pending_.begin());
        action();
    }
    armTimer();
}

bool HostSim::listenOn(JobPort& jp) {
    auto* server = new QTcpServer(this);
    if (!server->listen(hostAddress(options_.address), jp.port)) {
        delete server;
        return false;
    }
    jp.server = server;
    const quint16 port = jp.port;
    connect(server, &QTcpServer::newConnection, this, [this, server, port] { accept(server, FrameLogEntry::Job, port); });
    return true;
}

quint16 HostSim::allocateJobPort(const std::string& user, bool persistent, quint16 wanted, bool late) {
    const quint16 from = wanted ? wanted : options_.firstJobPort;
    const quint16 to = wanted ? wanted : options_.lastJobPort;
    for (quint32 p = from; p <= to; ++p) {
        const auto port = static_cast<quint16>(p);
        if (jobPorts_.count(port)) continue;
        auto jp = std::make_unique<JobPort>();
        jp->port = port;
        jp->user = user;
        jp->persistent = persistent;
        if (late) {
            // A port that cannot be bound later is simply never there.
            QTcpServer probe;
            if (!probe.listen(hostAddress(options_.address), port)) continue;
        } else if (!listenOn(*jp)) {
            continue;
        }
        jobPorts_[port] = std::move(jp);
        return port;
    }
    return 0;
}

quint16 HostSim::openJobPort(quint16 port, const QString& user) {
    const std::string who = (user.isEmpty() ? options_.user : user).toUpper().toStdString();
    return allocateJobPort(who, true, port, false);
}

std::vector<quint16> HostSim::jobPorts() const {
    std::vector<quint16> out;
    for (const auto& [port, jp] : jobPorts_)
        if (jp->server) out.push_back(port);
    return out;
}

void HostSim::sendRaw(quint16 port, const std::string& bytes) {
    for (auto& [sock, c] : connections_)
        if (c->channel == FrameLogEntry::Job && c->port == port) {
            sock->write(bytes.data(), static_cast<qint64>(bytes.size()));
            sock->flush();
        }
}

void HostSim::accept(QTcpServer* server, FrameLogEntry::Channel channel, quint16 port) {
    while (QTcpSocket* sock = server->nextPendingConnection()) {
        // Owned here, so that closing the port's server leaves it alone.
        sock->setParent(this);
        sock->setSocketOption(QAbstractSocket::LowDelayOption, 1);
        auto c = std::make_unique<Connection>();
        c->sock = sock;
        c->channel = channel;
        c->port = port;
        c->id = ++connectionSerial_;
        if (channel == FrameLogEntry::Job) {
            ++jobAccepted_;
            const auto it = jobPorts_.find(port);
            const std::string user = it != jobPorts_.end() ? it->second->user : options_.user.toUpper().toStdString();
            c->session = std::make_unique<JobSession>(store_, user, options_.previewPages, options_.faults);
        }
        connections_[sock] = std::move(c);
        connect(sock, &QTcpSocket::readyRead, this, [this, sock] { onReadyRead(sock); });
        connect(sock, &QTcpSocket::disconnected, this, [this, sock] { onClosed(sock); });
        if (sock->bytesAvailable() > 0) onReadyRead(sock);
    }
}

void HostSim::onReadyRead(QTcpSocket* sock) {
    auto it = connections_.find(sock);
    if (it == connections_.end()) return;
    Connection& c = *it->second;
    const QByteArray in = sock->readAll();
    c.buffer.append(in.constData(), static_cast<size_t>(in.size()));
    const size_t frameSize = c.channel == FrameLogEntry::Listener ? kListenerFrame : HostReply::kRequestLength;
    // A reply may close the connection (and end c) on the way.
    while (connections_.count(sock) && c.buffer.size() >= frameSize) {
        const std::string frame = c.buffer.substr(0, frameSize);
        c.buffer.erase(0, frameSize);
        log_.add({c.channel, c.port, c.id, frame, false});
        if (c.channel == FrameLogEntry::Listener)
            onListenerFrame(c, frame);
        else
            onJobFrame(c, frame);
    }
}

void HostSim::onClosed(QTcpSocket* sock) {
    const auto it = connections_.find(sock);
    if (it == connections_.end()) return;
    std::unique_ptr<Connection> c = std::move(it->second);
    connections_.erase(it);
    sock->deleteLater();
    if (!c->buffer.empty()) log_.add({c->channel, c->port, c->id, c->buffer, true});
    if (c->channel != FrameLogEntry::Job) return;
    // The job ends with its client, unless the port was opened for good.
    const auto jp = jobPorts_.find(c->port);
    if (jp == jobPorts_.end() || jp->second->persistent) return;
    for (const auto& [s, other] : connections_)
        if (other->channel == FrameLogEntry::Job && other->port == c->port) return;
    if (QTcpServer* server = jp->second->server) {
        server->close();
        server->deleteLater();
    }
    jobPorts_.erase(jp);
}

void HostSim::onListenerFrame(Connection& c, const std::string& frame) {
    if (frame.compare(0, 7, "new 128") != 0) return;  // test messages and the acknowledgement need no answer
    const HostSimFaults& f = options_.faults;
    if (f.silentSignOn) return;
    const std::string userField = frame.substr(15, 10);
    const std::string passField = frame.substr(25, 128);
    const std::string user = options_.user.toUpper().toStdString();
    const bool valid = options_.acceptAnyUser ||
                       (userField == SignOnScramble::scrambledField(user, 10) &&
                        passField == SignOnScramble::scrambledField(options_.password.toStdString(), 128));
    if (f.refuseSignOn || !valid) {
        sendReply(c, HostReply::field("(INVALID)", kListenerFrame));
        return;
    }
    const std::string who =
        options_.acceptAnyUser ? HostText::trimmed(SignOnScramble::unscrambleUserId(userField)) : user;
    const quint16 port = allocateJobPort(who, false, 0, f.lateJobPortMs > 0);
    if (port && f.lateJobPortMs > 0) {
        schedule(f.lateJobPortMs, [this, port] {
            const auto it = jobPorts_.find(port);
            if (it != jobPorts_.end() && !it->second->server) listenOn(*it->second);
        });
    }
    const std::string portText = f.jobPortReply ? std::to_string(*f.jobPortReply) : std::to_string(port ? port : 0);
    std::string reply = HostReply::field(portText, 5) + " " + f.versionLetter;
    if (!f.jobPortReply && !port) reply = "00000 " + std::string(1, f.versionLetter);
    sendReply(c, HostReply::field(reply, kListenerFrame));
}

void HostSim::onJobFrame(Connection& c, const std::string& frame) {
    const std::optional<std::string> reply = c.session->answer(frame);
    if (!reply) return;
    const HostSimFaults& f = options_.faults;
    const int n = c.answered++;
    if (f.dropAfter >= 0 && n >= f.dropAfter) {
        sendReply(c, *reply, qMax(0, f.dropPartialBytes));
        return;
    }
    if (f.silentAfter >= 0 && n >= f.silentAfter) return;
    sendReply(c, *reply);
}

void HostSim::sendReply(Connection& c, const std::string& reply, int closeAfter) {
    const HostSimFaults& f = options_.faults;
    const std::string bytes = closeAfter >= 0 ? reply.substr(0, static_cast<size_t>(closeAfter)) : reply;
    const size_t piece = f.byteEveryMs > 0  ? 1
                         : f.pieceBytes > 0 ? static_cast<size_t>(f.pieceBytes)
                                            : qMax<size_t>(1, bytes.size());
    const int gap = f.byteEveryMs > 0 ? f.byteEveryMs : qMax(0, f.pieceGapMs);
    QPointer<QTcpSocket> sock = c.sock;
    const auto write = [sock](std::string part) {
        if (!sock) return;
        sock->write(part.data(), static_cast<qint64>(part.size()));
        sock->flush();
    };
    const auto close = [sock] {
        if (sock) sock->disconnectFromHost();
    };
    // Straight out when nothing waits: the common case costs no timer.
    const qint64 t0 = now();
    if (f.replyDelayMs <= 0 && c.sendFree <= t0 && bytes.size() <= piece) {
        write(bytes);
        if (closeAfter >= 0) close();
        return;
    }
    qint64 at = qMax(t0 + qMax(0, f.replyDelayMs), c.sendFree);
    for (size_t off = 0; off < bytes.size(); off += piece) {
        if (off > 0) at += gap;
        schedule(at - t0, [write, part = bytes.substr(off, piece)] { write(part); });
    }
    if (closeAfter >= 0) schedule(at - t0, close);
    c.sendFree = at + 1;
    // Pieces due now go at once.
    runDue();
}
