#pragma once
#include <functional>

#include "Keyboard.h"

class QWidget;

// Keystrokes for the program's own widgets: each key becomes a key press and
// release for the focus widget (an enabled action or button of its window
// whose shortcut or mnemonic matches takes it first). Other programs' windows
// are out of reach; lock keys keep no state, so their toggles do nothing.
class WidgetKeyboard : public Keyboard {
public:
    quint8 lockState(LockKey) override { return 0; }
    void toggleLock(LockKey) override {}
    void sendKeys(const QString& keys, bool wait) override;
    bool activate(const QString& title) override;
    bool activateTask(qint64 taskId) override;
    // Where the keys go; unset: the focus widget, else the active window.
    std::function<QWidget*()> target;
};
