#pragma once
#include <QtGlobal>
#include <functional>

// Every wait of the program goes through a Clock: it lets window and socket
// events run while it waits, so the window stays responsive and Cancel works.
// A wait for a condition ends as soon as the condition holds; every wait has a
// limit.
class Clock {
public:
    virtual ~Clock() = default;
    // Monotonic milliseconds.
    virtual qint64 nowMs() = 0;
    // Let pending events run once, without blocking.
    virtual void pumpOnce() = 0;
    // Let events run until cond() holds or limitMs have passed; true when cond held.
    virtual bool waitUntil(const std::function<bool()>& cond, qint64 limitMs) = 0;
    // A timed pause that lets events run.
    void waitMs(qint64 ms) { waitUntil([] { return false; }, ms); }
};

// Real time: blocks in the event dispatcher until the next event or the limit.
class RealClock : public Clock {
public:
    qint64 nowMs() override;
    void pumpOnce() override;
    bool waitUntil(const std::function<bool()>& cond, qint64 limitMs) override;
};

// Virtual time for tests: events are served as they come; whenever none is
// pending, time jumps ahead by a step, so a 45-second wait costs almost nothing
// while real loopback traffic still flows.
class VirtualClock : public Clock {
public:
    explicit VirtualClock(qint64 stepMs = 250) : step_(stepMs) {}
    qint64 nowMs() override { return now_; }
    void pumpOnce() override;
    bool waitUntil(const std::function<bool()>& cond, qint64 limitMs) override;
    void advance(qint64 ms) { now_ += ms; }
    // Total virtual time spent in waits (for assertions on the retry ladder).
    qint64 waited() const { return waited_; }

private:
    qint64 now_ = 1'000'000;
    qint64 step_;
    qint64 waited_ = 0;
};
