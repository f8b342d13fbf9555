#pragma once
#include <Qt>

// The mouse pointer of one long operation (the runtime's MousePointer): the
// shape is shown for the guard's life and the previous pointer comes back on
// every way out of the scope, a return, an exception or the end of the program.
// Guards nest: an inner Qt::ArrowCursor guard gives the default pointer back
// for a modal dialog in the middle of a busy operation.
class PointerGuard {
public:
    explicit PointerGuard(Qt::CursorShape shape = Qt::WaitCursor);
    ~PointerGuard();
    PointerGuard(const PointerGuard&) = delete;
    PointerGuard& operator=(const PointerGuard&) = delete;
    // Gives the previous pointer back before the scope ends.
    void release();
    bool active() const { return active_; }

private:
    bool active_ = false;
};
