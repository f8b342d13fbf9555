#include "FtpClient.h"

#include <QFile>
#include <QRegularExpression>
#include <QTcpServer>
#include <QTcpSocket>

#include "Clock.h"
#include "Codec.h"

namespace {
bool startsWithCode(const std::string& line) {
    if (line.size() < 3) return false;
    for (int i = 0; i < 3; ++i)
        if (line[i] < '0' || line[i] > '9') return false;
    if (line[0] < '1' || line[0] > '5') return false;
    return line.size() == 3 || line[3] == ' ' || line[3] == '-';
}

QString seconds(qint64 ms) { return QString::number(ms / 1000); }
}  // namespace

FtpClient::FtpClient(Clock& clock) : clock_(clock) {}

FtpClient::~FtpClient() { abort(); }

bool FtpClient::takeReply(std::string& buffer, Reply& reply) {
    size_t pos = 0;
    int code = 0;
    QStringList lines;
    for (;;) {
        const size_t nl = buffer.find('\n', pos);
        if (nl == std::string::npos) return false;
        std::string line = buffer.substr(pos, nl - pos);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        pos = nl + 1;
        const bool coded = startsWithCode(line);
        if (code == 0) {
            if (!coded) {
                // A stray line before any reply: drop it.
                buffer.erase(0, pos);
                pos = 0;
                continue;
            }
            code = std::stoi(line.substr(0, 3));
            lines << Codec::toUnicode(line);
            if (line.size() == 3 || line[3] == ' ') break;
        } else {
            lines << Codec::toUnicode(line);
            if (coded && std::stoi(line.substr(0, 3)) == code && (line.size() == 3 || line[3] == ' ')) break;
        }
    }
    buffer.erase(0, pos);
    reply.code = code;
    reply.text = lines.join(QLatin1Char('\n'));
    return true;
}

quint16 FtpClient::passivePort(const Reply& reply) {
    if (reply.code == 227) {
        static const QRegularExpression six(QStringLiteral("(\\d+),(\\d+),(\\d+),(\\d+),(\\d+),(\\d+)"));
        const auto m = six.match(reply.text);
        if (!m.hasMatch()) return 0;
        const int hi = m.captured(5).toInt(), lo = m.captured(6).toInt();
        if (hi > 255 || lo > 255) return 0;
        return static_cast<quint16>(hi * 256 + lo);
    }
    if (reply.code == 229) {
        static const QRegularExpression ext(QStringLiteral("\\(\\|\\|\\|(\\d+)\\|\\)"));
        const auto m = ext.match(reply.text);
        if (!m.hasMatch()) return 0;
        const int port = m.captured(1).toInt();
        return port > 0 && port < 65536 ? static_cast<quint16>(port) : 0;
    }
    return 0;
}

bool FtpClient::waitFor(const std::function<bool()>& cond, qint64 limitMs) {
    return clock_.waitUntil(cond, limitMs);
}

void FtpClient::note(const QString& line) {
    if (trace) trace(line);
}

bool FtpClient::isOpen() const {
    return control_ && control_->state() == QAbstractSocket::ConnectedState;
}

bool FtpClient::open(const QString& host, quint16 port) {
    abort();
    error_.clear();
    last_ = {};
    control_ = std::make_unique<QTcpSocket>();
    control_->connectToHost(host, port);
    const bool settled = waitFor(
        [&] {
            const auto s = control_->state();
            return s == QAbstractSocket::ConnectedState || s == QAbstractSocket::UnconnectedState;
        },
        connectLimitMs);
    if (control_->state() != QAbstractSocket::ConnectedState) {
        error_ = settled ? QStringLiteral("Cannot connect to %1 port %2: %3").arg(host).arg(port).arg(control_->errorString())
                         : QStringLiteral("No connection to %1 port %2 within %3 seconds.")
                               .arg(host)
                               .arg(port)
                               .arg(seconds(connectLimitMs));
        abort();
        return false;
    }
    // "120 ready in n minutes" comes before the real greeting.
    do {
        last_ = readReply();
    } while (last_.code >= 100 && last_.code < 200);
    return last_.code != 0;
}

FtpClient::Reply FtpClient::readReply() {
    Reply r;
    if (!control_) {
        error_ = QStringLiteral("Not connected.");
        return r;
    }
    bool closed = false;
    const bool settled = waitFor(
        [&] {
            if (control_->bytesAvailable() > 0) inbox_ += control_->readAll().toStdString();
            if (takeReply(inbox_, r)) return true;
            closed = control_->state() != QAbstractSocket::ConnectedState && control_->bytesAvailable() == 0;
            return closed;
        },
        replyLimitMs);
    if (r.code == 0) {
        error_ = closed || settled ? QStringLiteral("The server closed the connection.")
                                   : QStringLiteral("No reply from the server within %1 seconds.").arg(seconds(replyLimitMs));
        // A late reply would be taken for the answer to the next command.
        abort();
        return r;
    }
    for (const QString& line : r.text.split(QLatin1Char('\n'))) note(QStringLiteral("< ") + line);
    return r;
}

FtpClient::Reply FtpClient::sendLine(const std::string& line, const QString& shown) {
    if (!isOpen()) {
        error_ = QStringLiteral("Not connected.");
        return {};
    }
    note(QStringLiteral("> ") + (shown.isEmpty() ? Codec::toUnicode(line) : shown));
    control_->write(QByteArray::fromStdString(line + "\r\n"));
    last_ = readReply();
    return last_;
}

FtpClient::Reply FtpClient::command(const std::string& line, const QString& shown) {
    Reply r = sendLine(line, shown);
    while (r.code >= 100 && r.code < 200) r = readReply();
    last_ = r;
    return r;
}

std::unique_ptr<QTcpSocket> FtpClient::openPassive(Reply& refusal) {
    const bool v6 = control_->peerAddress().protocol() == QAbstractSocket::IPv6Protocol;
    const Reply r = command(v6 ? "EPSV" : "PASV");
    const quint16 port = passivePort(r);
    if (port == 0) {
        refusal = r;
        return nullptr;
    }
    auto data = std::make_unique<QTcpSocket>();
    // The data connection goes to the server we are talking to, whatever
    // address the reply names: a reply cannot send our file elsewhere.
    data->connectToHost(control_->peerAddress(), port);
    waitFor(
        [&] {
            const auto s = data->state();
            return s == QAbstractSocket::ConnectedState || s == QAbstractSocket::UnconnectedState;
        },
        connectLimitMs);
    if (data->state() != QAbstractSocket::ConnectedState) {
        error_ = QStringLiteral("Cannot open the data connection to port %1: %2").arg(port).arg(data->errorString());
        refusal = {};
        return nullptr;
    }
    return data;
}

std::unique_ptr<QTcpServer> FtpClient::openActive(Reply& refusal) {
    auto listener = std::make_unique<QTcpServer>();
    const QHostAddress local = control_->localAddress();
    if (!listener->listen(local, 0)) {
        error_ = QStringLiteral("Cannot listen for the data connection: %1").arg(listener->errorString());
        refusal = {};
        return nullptr;
    }
    const quint16 port = listener->serverPort();
    std::string cmd;
    bool v4 = false;
    const quint32 a = local.toIPv4Address(&v4);
    if (v4) {
        cmd = QStringLiteral("PORT %1,%2,%3,%4,%5,%6")
                  .arg(a >> 24)
                  .arg((a >> 16) & 255)
                  .arg((a >> 8) & 255)
                  .arg(a & 255)
                  .arg(port >> 8)
                  .arg(port & 255)
                  .toStdString();
    } else {
        cmd = QStringLiteral("EPRT |2|%1|%2|").arg(local.toString()).arg(port).toStdString();
    }
    const Reply r = command(cmd);
    if (r.code < 200 || r.code >= 300) {
        refusal = r;
        return nullptr;
    }
    return listener;
}

bool FtpClient::sendFileOver(QTcpSocket& data, const QString& localPath) {
    QFile file(localPath);
    if (!file.open(QIODevice::ReadOnly)) {
        error_ = QStringLiteral("Cannot read %1: %2").arg(localPath, file.errorString());
        return false;
    }
    // Writes until at most `keep` bytes wait in the socket, or the transfer stalls.
    auto drain = [&](qint64 keep) {
        while (data.bytesToWrite() > keep) {
            const qint64 before = data.bytesToWrite();
            waitFor([&] { return data.bytesToWrite() < before || data.state() != QAbstractSocket::ConnectedState; },
                    transferStallLimitMs);
            if (data.state() != QAbstractSocket::ConnectedState) {
                error_ = QStringLiteral("The server closed the data connection.");
                return false;
            }
            if (data.bytesToWrite() >= before) {
                error_ = QStringLiteral("The transfer stalled for %1 seconds.").arg(seconds(transferStallLimitMs));
                return false;
            }
        }
        return true;
    };
    constexpr qint64 kChunk = 64 * 1024;
    while (!file.atEnd()) {
        const QByteArray chunk = file.read(kChunk);
        if (chunk.isEmpty()) {
            error_ = QStringLiteral("Cannot read %1: %2").arg(localPath, file.errorString());
            return false;
        }
        data.write(chunk);
        if (!drain(16 * kChunk)) return false;
    }
    if (!drain(0)) return false;
    data.disconnectFromHost();
    waitFor([&] { return data.state() == QAbstractSocket::UnconnectedState; }, transferStallLimitMs);
    if (data.state() != QAbstractSocket::UnconnectedState) {
        error_ = QStringLiteral("The data connection did not close within %1 seconds.").arg(seconds(transferStallLimitMs));
        return false;
    }
    return true;
}

FtpClient::Reply FtpClient::store(const QString& localPath, const std::string& remotePath) {
    error_.clear();
    if (!isOpen()) {
        error_ = QStringLiteral("Not connected.");
        return {};
    }
    if (!QFile::exists(localPath)) {
        error_ = QStringLiteral("File %1 not found.").arg(localPath);
        return {};
    }
    Reply refusal;
    std::unique_ptr<QTcpSocket> data;
    std::unique_ptr<QTcpServer> listener;
    if (passive) {
        data = openPassive(refusal);
        // A server without passive mode may still take an active connection.
        if (!data && refusal.code < 500) return refusal;
    }
    if (!data) {
        listener = openActive(refusal);
        if (!listener) return refusal;
    }
    const Reply go = sendLine("STOR " + remotePath, {});
    if (go.code < 100 || go.code >= 200) return go;
    if (listener) {
        waitFor([&] { return listener->hasPendingConnections() || !isOpen(); }, connectLimitMs);
        QTcpSocket* in = listener->nextPendingConnection();
        if (!in) {
            error_ = QStringLiteral("The server opened no data connection within %1 seconds.").arg(seconds(connectLimitMs));
            abort();
            return {};
        }
        in->setParent(nullptr);
        data.reset(in);
    }
    if (!sendFileOver(*data, localPath)) {
        data->abort();
        // The server's answer to the broken transfer, when it gives one.
        Reply after = readReply();
        if (after.code != 0 && !(after.code >= 200 && after.code < 300)) return after;
        abort();
        return {};
    }
    Reply done = readReply();
    while (done.code >= 100 && done.code < 200) done = readReply();
    last_ = done;
    return done;
}

void FtpClient::quit() {
    if (isOpen()) command("QUIT");
    abort();
}

void FtpClient::abort() {
    if (control_) {
        control_->abort();
        control_.reset();
    }
    inbox_.clear();
}
