#pragma once
#include <QString>
#include <QThread>

#include "FrameLog.h"
#include "HostSimOptions.h"

class HostSim;

// A HostSim with an event loop of its own, for clients that block (the
// benchmarks' bare socket loop) and for runs where the server must not share
// the client's thread.
class HostSimThread {
public:
    explicit HostSimThread(HostSimOptions options);
    ~HostSimThread();
    HostSimThread(const HostSimThread&) = delete;
    HostSimThread& operator=(const HostSimThread&) = delete;

    bool start(QString* error = nullptr);
    void stop();
    // HostSim::openJobPort, run in the server's thread.
    quint16 openJobPort(quint16 port = 0, const QString& user = {});
    void setFaults(const HostSimFaults& faults);
    // The running server's frame log (between start() and stop()).
    FrameLog& frameLog();

private:
    HostSimOptions options_;
    QThread thread_;
    HostSim* sim_ = nullptr;
};
