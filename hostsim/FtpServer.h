#pragma once
#include <QHostAddress>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <map>
#include <memory>

#include "FtpHostState.h"

class HostSim;
class QTcpServer;

// The host's FTP server as the server start and the install meet it: logon,
// TYPE, PASV/EPSV and PORT/EPRT, binary STOR, RCMD with the host's replies
// (FtpHostState), QUIT. Every command received is logged, a password as
// "PASS ****".
class FtpServer : public QObject {
    Q_OBJECT
public:
    explicit FtpServer(QObject* parent = nullptr);
    ~FtpServer() override;

    // Port 21 of the host's address; port 0 takes a free one (port() tells
    // which), so that a test needs no privilege.
    bool listen(const QHostAddress& address, quint16 port = 21);
    QString errorString() const;
    quint16 port() const;
    void close();

    // A user that may log on; the password is compared exactly, the user without regard to case.
    void addUser(const QString& user, const QString& password);
    bool acceptAnyUser = false;
    FtpHostState& host() { return host_; }
    // The server's start and end commands start and stop this spool server's
    // listener (port 17850 of its address).
    void attachSpoolServer(HostSim& sim);
    // The FTP server of a spool server: on `port` of its address, with its
    // user (or any user), the server library installed unless freshHost.
    // Null, with a reason, when the port cannot be bound.
    static std::unique_ptr<FtpServer> forSpoolServer(HostSim& sim, quint16 port, bool freshHost, QString* error);

    // Fault knob: connections are accepted but never greeted or answered.
    bool silent = false;

    // Every command line received, in order (all connections).
    QStringList commandLog() const;
    void clearLog();
    // Also sees each logged line as it comes (hostsim's own log).
    std::function<void(const QString&)> onLog;

    // For the sessions.
    bool checkLogon(const QString& user, const QString& password) const;
    void logCommand(const QString& line);

private:
    QTcpServer* server_;
    FtpHostState host_;
    std::map<QString, QString> users_;  // upper-cased user -> password
    mutable QMutex logMutex_;
    QStringList log_;
};
