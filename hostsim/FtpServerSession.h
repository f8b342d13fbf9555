#pragma once
#include <QHostAddress>
#include <QObject>
#include <QString>
#include <string>

class FtpServer;
class QTcpServer;
class QTcpSocket;

// One control connection of the FTP server and its data connections.
// Commands are served one at a time: while a file arrives, the next command
// waits in the buffer.
class FtpServerSession : public QObject {
    Q_OBJECT
public:
    FtpServerSession(FtpServer& server, QTcpSocket* control);
    ~FtpServerSession() override;

private:
    void onReadyRead();
    void serveBuffered();
    void handle(const std::string& line);
    void reply(const QString& text);
    void replyLines(int code, const QStringList& lines);

    void commandPass(const QString& arg);
    void commandPasv(bool extended);
    void commandPort(const QString& arg, bool extended);
    void commandStor(const QString& path);
    void commandRcmd(const QString& arg);

    void closeData();
    void startReceiving(QTcpSocket* data);
    void finishReceiving();

    FtpServer& server_;
    QTcpSocket* control_;
    std::string inbox_;
    QString pendingUser_;
    QString user_;
    bool loggedOn_ = false;
    bool binary_ = false;
    // Data connection: a passive listener, or an address given by PORT.
    QTcpServer* passive_ = nullptr;
    QHostAddress activeAddress_;
    quint16 activePort_ = 0;
    // The transfer under way.
    QTcpSocket* data_ = nullptr;
    QString storPath_;
    std::string received_;
    bool receiving_ = false;
};
