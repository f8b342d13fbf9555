#pragma once
#include "HostSocket.h"

class QTcpSocket;

// HostSocket over QTcpSocket. Error numbers are those the control reported
// (10061 refused, 11001 host not found, 40006 wrong state, ...), since the
// messages show them.
class TcpHostSocket : public HostSocket {
    Q_OBJECT
public:
    explicit TcpHostSocket(QObject* parent = nullptr);
    ~TcpHostSocket() override;
    void connectToHost() override;
    int state() const override;
    void sendData(const std::string& bytes) override;
    std::string getData(qsizetype maxBytes) override;
    qsizetype bytesAvailable() const override;
    void close() override;
    int lastErrorNumber() const override { return errNumber_; }
    QString lastErrorDescription() const override { return errText_; }
    void clearError() override {
        errNumber_ = 0;
        errText_.clear();
    }

private:
    void onError();
    QTcpSocket* sock_;
    int errNumber_ = 0;
    QString errText_;
    bool failed_ = false;
    qint64 reported_ = 0;
};
