#pragma once
#include <QHostAddress>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <string>

class Clock;
class QAbstractSocket;
class QTcpServer;
class QTcpSocket;

// The client side of one FTP control connection and its data connections.
// Single-threaded: every wait runs the event loop through the Clock and has
// a limit, so a silent server ends in a failure, never a hang.
class FtpClient {
public:
    struct Reply {
        int code = 0;  // 0: none came (time-out, link broken)
        QString text;  // every line of the reply, joined with '\n'
        bool positive() const { return code >= 100 && code < 400; }
    };

    explicit FtpClient(Clock& clock);
    ~FtpClient();
    FtpClient(const FtpClient&) = delete;
    FtpClient& operator=(const FtpClient&) = delete;

    qint64 connectLimitMs = 30000;
    qint64 replyLimitMs = 60000;
    // A transfer may take as long as it keeps moving; this is the longest stall.
    qint64 transferStallLimitMs = 60000;
    // Passive data connections (PASV/EPSV); active (PORT/EPRT) otherwise, and
    // when the server refuses passive mode.
    bool passive = true;
    // Sees every line sent and received ("> ...", "< ..."), password masked.
    std::function<void(const QString&)> trace;

    // Connects and reads the greeting (in lastReply()); false when none came.
    bool open(const QString& host, quint16 port);
    bool isOpen() const;
    // Sends one command line and returns the final reply (preliminary 1xx
    // replies are read past). `shown` replaces the line in the trace.
    Reply command(const std::string& line, const QString& shown = {});
    // Sends a local file over a data connection with STOR. The reply is the
    // server's last word on it (code 0 when the failure was ours, see error()).
    Reply store(const QString& localPath, const std::string& remotePath);
    // QUIT (answer not required) and close.
    void quit();
    void abort();

    const Reply& lastReply() const { return last_; }
    // Our own description of the last failure that had no server reply.
    const QString& error() const { return error_; }

    // Takes one complete reply off the front of `buffer`; false when none is complete yet.
    static bool takeReply(std::string& buffer, Reply& reply);
    // "(h1,h2,h3,h4,p1,p2)" of a 227 reply, "(|||port|)" of a 229 reply; 0 when absent.
    static quint16 passivePort(const Reply& reply);

private:
    Reply readReply();
    Reply sendLine(const std::string& line, const QString& shown);
    std::unique_ptr<QTcpSocket> openPassive(Reply& refusal);
    std::unique_ptr<QTcpServer> openActive(Reply& refusal);
    bool sendFileOver(QTcpSocket& data, const QString& localPath);
    bool waitFor(const std::function<bool()>& cond, qint64 limitMs);
    void note(const QString& line);

    Clock& clock_;
    std::unique_ptr<QTcpSocket> control_;
    std::string inbox_;
    Reply last_;
    QString error_;
};
