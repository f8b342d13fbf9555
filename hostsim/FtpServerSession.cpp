#include "FtpServerSession.h"

#include <QTcpServer>
#include <QTcpSocket>

#include "Codec.h"
#include "FtpServer.h"

FtpServerSession::FtpServerSession(FtpServer& server, QTcpSocket* control)
    : QObject(&server), server_(server), control_(control) {
    control_->setParent(this);
    connect(control_, &QTcpSocket::readyRead, this, &FtpServerSession::onReadyRead);
    connect(control_, &QTcpSocket::disconnected, this, &QObject::deleteLater);
    replyLines(220, {QStringLiteral("QTCP at hostsim."), QStringLiteral("Connection will close if idle more than 5 minutes.")});
}

FtpServerSession::~FtpServerSession() = default;

void FtpServerSession::reply(const QString& text) {
    if (server_.silent || control_->state() != QAbstractSocket::ConnectedState) return;
    control_->write(QByteArray::fromStdString(Codec::fromUnicode(text) + "\r\n"));
}

void FtpServerSession::replyLines(int code, const QStringList& lines) {
    QStringList out;
    for (int i = 0; i < lines.size(); ++i)
        out << QString::number(code) + (i + 1 < lines.size() ? QLatin1Char('-') : QLatin1Char(' ')) + lines[i];
    reply(out.join(QStringLiteral("\r\n")));
}

void FtpServerSession::onReadyRead() {
    inbox_ += control_->readAll().toStdString();
    serveBuffered();
}

void FtpServerSession::serveBuffered() {
    while (!receiving_ && control_->state() == QAbstractSocket::ConnectedState) {
        const size_t nl = inbox_.find('\n');
        if (nl == std::string::npos) return;
        std::string line = inbox_.substr(0, nl);
        inbox_.erase(0, nl + 1);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        handle(line);
    }
}

void FtpServerSession::handle(const std::string& raw) {
    const QString line = Codec::toUnicode(raw);
    const int blank = line.indexOf(QLatin1Char(' '));
    const QString verb = (blank < 0 ? line : line.left(blank)).toUpper();
    const QString arg = blank < 0 ? QString() : line.mid(blank + 1);
    server_.logCommand(verb == QLatin1String("PASS") ? QStringLiteral("PASS ****") : line);

    if (verb == QLatin1String("USER")) {
        pendingUser_ = arg.trimmed();
        loggedOn_ = false;
        reply(QStringLiteral("331 Enter password."));
    } else if (verb == QLatin1String("PASS")) {
        commandPass(arg);
    } else if (verb == QLatin1String("QUIT")) {
        reply(QStringLiteral("221 QUIT subcommand received."));
        control_->disconnectFromHost();
    } else if (verb == QLatin1String("NOOP")) {
        reply(QStringLiteral("200 NOOP subcommand was successful."));
    } else if (!loggedOn_) {
        reply(QStringLiteral("530 Not logged in."));
    } else if (verb == QLatin1String("TYPE")) {
        const QString t = arg.trimmed().toUpper();
        if (t.startsWith(QLatin1Char('I')) || t == QLatin1String("L 8")) {
            binary_ = true;
            reply(QStringLiteral("200 Representation type is binary IMAGE."));
        } else if (t.startsWith(QLatin1Char('A'))) {
            binary_ = false;
            reply(QStringLiteral("200 Representation type is ASCII nonprint."));
        } else {
            reply(QStringLiteral("504 Representation type %1 not supported.").arg(t));
        }
    } else if (verb == QLatin1String("PASV") || verb == QLatin1String("EPSV")) {
        commandPasv(verb == QLatin1String("EPSV"));
    } else if (verb == QLatin1String("PORT") || verb == QLatin1String("EPRT")) {
        commandPort(arg.trimmed(), verb == QLatin1String("EPRT"));
    } else if (verb == QLatin1String("STOR")) {
        commandStor(arg);
    } else if (verb == QLatin1String("RCMD")) {
        commandRcmd(arg.trimmed());
    } else if (verb == QLatin1String("SYST")) {
        reply(QStringLiteral("215 OS/400 is the remote operating system. The TCP/IP version is \"V7R4M0\"."));
    } else if (verb == QLatin1String("PWD")) {
        reply(QStringLiteral("257 \"QGPL\" is current library."));
    } else {
        reply(QStringLiteral("500 Subcommand %1 not valid.").arg(verb));
    }
}

void FtpServerSession::commandPass(const QString& arg) {
    if (pendingUser_.isEmpty()) {
        reply(QStringLiteral("503 Send USER first."));
        return;
    }
    const QString user = pendingUser_.toUpper();
    pendingUser_.clear();
    if (!server_.checkLogon(user, arg)) {
        reply(QStringLiteral("530 Log on attempt by user %1 rejected.").arg(user));
        return;
    }
    user_ = user;
    loggedOn_ = true;
    reply(QStringLiteral("230 %1 logged on.").arg(user));
}

void FtpServerSession::commandPasv(bool extended) {
    closeData();
    passive_ = new QTcpServer(this);
    const QHostAddress local = control_->localAddress();
    if (!passive_->listen(local, 0)) {
        reply(QStringLiteral("425 Cannot open passive connection."));
        closeData();
        return;
    }
    const quint16 port = passive_->serverPort();
    if (extended) {
        reply(QStringLiteral("229 Entering Extended Passive Mode (|||%1|).").arg(port));
        return;
    }
    bool v4 = false;
    const quint32 a = local.toIPv4Address(&v4);
    if (!v4) {
        reply(QStringLiteral("522 Network protocol not supported, use EPSV."));
        closeData();
        return;
    }
    reply(QStringLiteral("227 Entering Passive Mode (%1,%2,%3,%4,%5,%6).")
              .arg(a >> 24)
              .arg((a >> 16) & 255)
              .arg((a >> 8) & 255)
              .arg(a & 255)
              .arg(port >> 8)
              .arg(port & 255));
}

void FtpServerSession::commandPort(const QString& arg, bool extended) {
    closeData();
    QHostAddress address;
    int port = -1;
    if (extended) {
        // |proto|address|port|
        const QStringList f = arg.split(arg.isEmpty() ? QLatin1Char('|') : arg.front());
        if (f.size() >= 4) {
            address = QHostAddress(f[2]);
            port = f[3].toInt();
        }
    } else {
        const QStringList f = arg.split(QLatin1Char(','));
        if (f.size() == 6) {
            bool good = true;
            int n[6];
            for (int i = 0; i < 6; ++i) {
                bool ok = false;
                n[i] = f[i].trimmed().toInt(&ok);
                good = good && ok && n[i] >= 0 && n[i] <= 255;
            }
            if (good) {
                address = QHostAddress(QStringLiteral("%1.%2.%3.%4").arg(n[0]).arg(n[1]).arg(n[2]).arg(n[3]));
                port = n[4] * 256 + n[5];
            }
        }
    }
    if (address.isNull() || port < 1 || port > 65535) {
        reply(QStringLiteral("501 Parameter not valid."));
        return;
    }
    // Data goes only to the client that asked for it.
    if (!address.isEqual(control_->peerAddress(), QHostAddress::TolerantConversion)) {
        reply(QStringLiteral("501 Data connection address must be the client's."));
        return;
    }
    activeAddress_ = address;
    activePort_ = static_cast<quint16>(port);
    reply(QStringLiteral("200 PORT subcommand request successful."));
}

void FtpServerSession::commandStor(const QString& path) {
    if (!passive_ && activePort_ == 0) {
        reply(QStringLiteral("425 Use PORT or PASV first."));
        return;
    }
    const FtpHostState::Result allowed = server_.host().canStore(path, binary_);
    if (!allowed.ok) {
        reply(QStringLiteral("550 ") + allowed.message);
        closeData();
        return;
    }
    reply(QStringLiteral("150 Sending file to %1").arg(path));
    receiving_ = true;
    storPath_ = path;
    received_.clear();
    if (passive_) {
        if (passive_->hasPendingConnections()) {
            startReceiving(passive_->nextPendingConnection());
        } else {
            connect(passive_, &QTcpServer::newConnection, this,
                    [this] {
                        if (!data_ && passive_) startReceiving(passive_->nextPendingConnection());
                    });
        }
        return;
    }
    auto* s = new QTcpSocket(this);
    connect(s, &QTcpSocket::connected, this, [this, s] { startReceiving(s); });
    connect(s, &QTcpSocket::errorOccurred, this, [this, s] {
        if (data_ == s) return;  // the end of a transfer, seen by finishReceiving
        s->deleteLater();
        receiving_ = false;
        activePort_ = 0;
        reply(QStringLiteral("425 Cannot open data connection."));
        serveBuffered();
    });
    s->connectToHost(activeAddress_, activePort_);
}

void FtpServerSession::startReceiving(QTcpSocket* data) {
    if (!data) return;
    data->setParent(this);
    data_ = data;
    connect(data_, &QTcpSocket::readyRead, this, [this] { received_ += data_->readAll().toStdString(); });
    connect(data_, &QTcpSocket::disconnected, this, &FtpServerSession::finishReceiving);
    received_ += data_->readAll().toStdString();
    if (data_->state() == QAbstractSocket::UnconnectedState) finishReceiving();
}

void FtpServerSession::finishReceiving() {
    if (!receiving_ || !data_) return;
    received_ += data_->readAll().toStdString();
    receiving_ = false;
    const FtpHostState::Result stored = server_.host().store(storPath_, received_, binary_);
    received_.clear();
    closeData();
    reply(stored.ok ? QStringLiteral("226 File transfer completed successfully.") : QStringLiteral("550 ") + stored.message);
    serveBuffered();
}

void FtpServerSession::commandRcmd(const QString& arg) {
    if (arg.isEmpty()) {
        reply(QStringLiteral("501 Command missing."));
        return;
    }
    const FtpHostState::Result r = server_.host().runCommand(arg);
    if (r.ok)
        reply(QStringLiteral("250 Command %1 successful.").arg(arg));
    else
        replyLines(550, {QStringLiteral("Command %1 not successful.").arg(arg), r.message});
}

void FtpServerSession::closeData() {
    if (data_) {
        data_->disconnect(this);
        data_->abort();
        data_->deleteLater();
        data_ = nullptr;
    }
    if (passive_) {
        passive_->disconnect(this);
        passive_->close();
        passive_->deleteLater();
        passive_ = nullptr;
    }
    activePort_ = 0;
}
