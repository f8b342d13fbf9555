#pragma once

// Screen.MousePointer: one pointer for the whole program, not a stack.
enum class MousePointer { Normal, Hourglass, ArrowHourglass };
void setMousePointer(MousePointer p);
MousePointer mousePointer();

// The pointer of one long operation: set for the guard's life, and the pointer
// that was there before comes back on every way out of the scope (a return, an
// exception, the end of the program), whatever the operation set in between.
// Guards nest: an inner MousePointer::Normal guard gives the default pointer
// for a modal dialog in the middle of a busy operation.
class PointerGuard {
public:
    explicit PointerGuard(MousePointer p = MousePointer::Hourglass);
    ~PointerGuard();
    PointerGuard(const PointerGuard&) = delete;
    PointerGuard& operator=(const PointerGuard&) = delete;
    // Gives the earlier pointer back before the scope ends (once).
    void release();
    bool active() const { return active_; }

private:
    MousePointer previous_ = MousePointer::Normal;
    bool active_ = false;
};
