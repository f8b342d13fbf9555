#include "FtpServer.h"

#include <QMutexLocker>
#include <QTcpServer>
#include <QTcpSocket>

#include "FtpServerSession.h"

FtpServer::FtpServer(QObject* parent) : QObject(parent), server_(new QTcpServer(this)) {
    connect(server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* s = server_->nextPendingConnection()) new FtpServerSession(*this, s);
    });
}

FtpServer::~FtpServer() = default;

bool FtpServer::listen(const QHostAddress& address, quint16 port) { return server_->listen(address, port); }

QString FtpServer::errorString() const { return server_->errorString(); }

quint16 FtpServer::port() const { return server_->serverPort(); }

void FtpServer::close() { server_->close(); }

void FtpServer::addUser(const QString& user, const QString& password) {
    users_[user.trimmed().toUpper()] = password;
    host_.userProfiles.insert(user.trimmed().toUpper());
}

bool FtpServer::checkLogon(const QString& user, const QString& password) const {
    const auto it = users_.find(user.trimmed().toUpper());
    return it != users_.end() && it->second == password;
}

void FtpServer::logCommand(const QString& line) {
    {
        QMutexLocker lock(&logMutex_);
        log_ << line;
    }
    if (onLog) onLog(line);
}

QStringList FtpServer::commandLog() const {
    QMutexLocker lock(&logMutex_);
    return log_;
}

void FtpServer::clearLog() {
    QMutexLocker lock(&logMutex_);
    log_.clear();
}
