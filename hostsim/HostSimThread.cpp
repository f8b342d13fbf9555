#include "HostSimThread.h"

#include <QMetaObject>

#include "HostSim.h"

HostSimThread::HostSimThread(HostSimOptions options) : options_(std::move(options)) {}

HostSimThread::~HostSimThread() { stop(); }

bool HostSimThread::start(QString* error) {
    if (sim_) return true;
    thread_.start();
    sim_ = new HostSim(options_);
    sim_->moveToThread(&thread_);
    bool ok = false;
    QString err;
    QMetaObject::invokeMethod(sim_, [&] { ok = sim_->start(&err); }, Qt::BlockingQueuedConnection);
    if (!ok) {
        stop();
        if (error) *error = err;
    }
    return ok;
}

void HostSimThread::stop() {
    if (sim_) {
        HostSim* sim = sim_;
        sim_ = nullptr;
        QMetaObject::invokeMethod(sim, [sim] { delete sim; }, Qt::BlockingQueuedConnection);
    }
    if (thread_.isRunning()) {
        thread_.quit();
        thread_.wait();
    }
}

quint16 HostSimThread::openJobPort(quint16 port, const QString& user) {
    quint16 result = 0;
    if (sim_)
        QMetaObject::invokeMethod(sim_, [&] { result = sim_->openJobPort(port, user); }, Qt::BlockingQueuedConnection);
    return result;
}

void HostSimThread::setFaults(const HostSimFaults& faults) {
    if (sim_) QMetaObject::invokeMethod(sim_, [&] { sim_->faults() = faults; }, Qt::BlockingQueuedConnection);
}

FrameLog& HostSimThread::frameLog() { return sim_->frameLog(); }
