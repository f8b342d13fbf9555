#pragma once
#include <QObject>
#include <QString>
#include <stdexcept>
#include <string>

// A run-time error of the socket, with the number and description the
// messages show.
struct SocketError : std::runtime_error {
    SocketError(int number, const std::string& description)
        : std::runtime_error(description), number(number) {}
    int number;
};

// The one TCP client socket of the program, as the Winsock control offered it:
// states 0 closed, 4 resolving, 6 connecting, 7 connected, 9 error; a
// data-arrival signal that reports how many bytes came; reads of at most N bytes.
class HostSocket : public QObject {
    Q_OBJECT
public:
    enum State { Closed = 0, Open = 1, Listening = 2, ConnectionPending = 3, ResolvingHost = 4,
                 HostResolved = 5, Connecting = 6, Connected = 7, Closing = 8, Error = 9 };
    using QObject::QObject;
    ~HostSocket() override = default;

    QString remoteHost;
    int remotePort = 0;

    // Starts connecting to remoteHost:remotePort; throws SocketError when the
    // socket is not closed (as the control did: "wrong protocol or connection state").
    virtual void connectToHost() = 0;
    virtual int state() const = 0;
    // Throws SocketError when not connected.
    virtual void sendData(const std::string& bytes) = 0;
    // Up to maxBytes of what has arrived.
    virtual std::string getData(qsizetype maxBytes) = 0;
    virtual qsizetype bytesAvailable() const = 0;
    virtual void close() = 0;
    // The last error seen while connecting (0 = none), number and description.
    virtual int lastErrorNumber() const = 0;
    virtual QString lastErrorDescription() const = 0;
    virtual void clearError() = 0;

signals:
    void dataArrival(qint64 bytesTotal);
    void peerClosed();
};
