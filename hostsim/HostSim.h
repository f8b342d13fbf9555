#pragma once
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "FrameLog.h"
#include "HostSimOptions.h"
#include "SpoolStore.h"

class Clock;
class QTcpServer;
class QTcpSocket;
class QTimer;

// The substitute host: the listener (test messages, sign-on, the job-port
// reply, the acknowledgement) and the job ports with their "Q", "F", "W", "P"
// and cancel requests, served from a spool folder. It runs in the event loop
// of the thread that owns it, so a test can run it in-process and drive it
// through its own waits.
class HostSim : public QObject {
    Q_OBJECT
public:
    explicit HostSim(HostSimOptions options, QObject* parent = nullptr);
    ~HostSim() override;

    // Starts the listener (when options.listen); false with a reason when the
    // address or port cannot be bound.
    bool start(QString* error = nullptr);
    void stop();
    // The listener alone, as the server's start command brings it up later
    // (after start() with options.listen false, or after stop()).
    bool startListener(QString* error = nullptr);
    bool listening() const { return listener_ != nullptr; }

    const HostSimOptions& options() const { return options_; }
    // The knobs; changes apply to the next frame or block.
    HostSimFaults& faults() { return options_.faults; }
    FrameLog& frameLog() { return log_; }
    // The spool folder served; its onProblem hears of files left out.
    SpoolStore& spoolStore() { return store_; }
    // Delays are measured on this clock (for instance a test's virtual clock)
    // instead of real time.
    void setClock(Clock* clock);

    // Opens a job port without a sign-on, as if `user` had signed on: port 0
    // takes the next free one of the range. It stays open until stop().
    // Returns the port, 0 when none could be opened.
    quint16 openJobPort(quint16 port = 0, const QString& user = {});
    std::vector<quint16> jobPorts() const;
    // Job-port connections accepted since start.
    int jobConnectionsAccepted() const { return jobAccepted_; }
    // Bytes nobody asked for, to every connection on that job port.
    void sendRaw(quint16 port, const std::string& bytes);

private:
    struct Connection;
    struct JobPort;

    qint64 now() const;
    void schedule(qint64 delayMs, std::function<void()> action);
    void runDue();
    void armTimer();

    bool listenOn(JobPort& jp);
    quint16 allocateJobPort(const std::string& user, bool persistent, quint16 wanted, bool late);
    void accept(QTcpServer* server, FrameLogEntry::Channel channel, quint16 port);
    void onReadyRead(QTcpSocket* sock);
    void onClosed(QTcpSocket* sock);
    void onListenerFrame(Connection& c, const std::string& frame);
    void onJobFrame(Connection& c, const std::string& frame);
    // Sends a reply with the delay and pieces of the knobs; closes afterwards
    // when closeAfter >= 0 (after that many bytes of the reply).
    void sendReply(Connection& c, const std::string& reply, int closeAfter = -1);

    HostSimOptions options_;
    SpoolStore store_;
    FrameLog log_;
    Clock* clock_ = nullptr;
    QElapsedTimer elapsed_;
    QTcpServer* listener_ = nullptr;
    std::map<quint16, std::unique_ptr<JobPort>> jobPorts_;
    std::map<QTcpSocket*, std::unique_ptr<Connection>> connections_;
    int connectionSerial_ = 0;
    int jobAccepted_ = 0;
    std::multimap<qint64, std::function<void()>> pending_;
    QTimer* timer_ = nullptr;
};
