#pragma once

class AppContext;
class QWidget;

#include "MousePointer.h"

// Shows a window modally through the context's presenter (tests fill and close
// it there); without one, a dialog runs its own loop. Returns when it is hidden.
void showModalWindow(AppContext& ctx, QWidget* window);

#include <QPointer>
#include <initializer_list>
#include <utility>
#include <vector>

class QObject;

// Turns a window's commands that talk to the host (buttons, menu items) off
// while the link is busy, and back to what each was when it ends.
class HostCommandLock {
public:
    void set(bool busy, std::initializer_list<QObject*> commands);
    bool active() const { return !saved_.empty(); }

private:
    std::vector<std::pair<QPointer<QObject>, bool>> saved_;
};
