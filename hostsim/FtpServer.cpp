#include "FtpServer.h"

#include <QMutexLocker>
#include <QTcpServer>
#include <QTcpSocket>

#include "FtpServerSession.h"
#include "HostSim.h"

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

void FtpServer::attachSpoolServer(HostSim& sim) {
    host_.serverActive = sim.listening();
    host_.startServer = [&sim] { return sim.startListener(); };
    host_.endServer = [&sim] { sim.stop(); };
}

std::unique_ptr<FtpServer> FtpServer::forSpoolServer(HostSim& sim, quint16 port, bool freshHost, QString* error) {
    auto ftp = std::make_unique<FtpServer>();
    const HostSimOptions& o = sim.options();
    const QHostAddress addr = o.address.compare(QStringLiteral("localhost"), Qt::CaseInsensitive) == 0
                                  ? QHostAddress(QHostAddress::LocalHost)
                                  : QHostAddress(o.address);
    if (!ftp->listen(addr, port)) {
        if (error) *error = QStringLiteral("cannot serve FTP on %1:%2: %3").arg(o.address).arg(port).arg(ftp->errorString());
        return nullptr;
    }
    ftp->addUser(o.user, o.password);
    ftp->acceptAnyUser = o.acceptAnyUser;
    if (!freshHost) ftp->host().installServerLibrary();
    ftp->attachSpoolServer(sim);
    return ftp;
}

bool FtpServer::checkLogon(const QString& user, const QString& password) const {
    if (acceptAnyUser) return true;
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
