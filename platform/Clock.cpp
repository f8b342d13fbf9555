#include "Clock.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <climits>
#include <thread>

namespace {
qint64 monotonicMs() {
    static QElapsedTimer t = [] {
        QElapsedTimer e;
        e.start();
        return e;
    }();
    return t.elapsed();
}

bool dispatchPending() {
    QAbstractEventDispatcher* d = QThread::currentThread()->eventDispatcher();
    if (!d) return false;
    QCoreApplication::sendPostedEvents();
    return d->processEvents(QEventLoop::AllEvents);
}
}  // namespace

qint64 RealClock::nowMs() { return monotonicMs(); }

void RealClock::pumpOnce() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

bool RealClock::waitUntil(const std::function<bool()>& cond, qint64 limitMs) {
    if (cond()) return true;
    const qint64 deadline = monotonicMs() + limitMs;
    // The timer only wakes the dispatcher at the deadline; data arrival wakes it earlier.
    // A timer may fire a little early; it is armed again for the rest.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    QAbstractEventDispatcher* d = QThread::currentThread()->eventDispatcher();
    while (!cond()) {
        const qint64 left = deadline - monotonicMs();
        if (left <= 0) return false;
        // A timer that fired a little early would leave the dispatcher
        // waiting with nothing to wake it: arm it again for what is left.
        if (!wake.isActive()) wake.start(static_cast<int>(std::clamp<qint64>(left, 1, INT_MAX)));
        if (d) {
            QCoreApplication::sendPostedEvents();
            d->processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    return true;
}

void VirtualClock::pumpOnce() { dispatchPending(); }

bool VirtualClock::waitUntil(const std::function<bool()>& cond, qint64 limitMs) {
    const qint64 deadline = now_ + limitMs;
    int idle = 0;
    while (!cond()) {
        if (now_ >= deadline) return false;
        if (dispatchPending()) {
            idle = 0;
            continue;
        }
        // Give a peer in another thread or process a moment before time moves on.
        if (++idle < 3) {
            std::this_thread::sleep_for(std::chrono::microseconds(300));
            continue;
        }
        idle = 0;
        const qint64 step = qMin(step_, deadline - now_);
        now_ += step;
        waited_ += step;
    }
    return true;
}
