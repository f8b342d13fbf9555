#pragma once
#include <QString>
#include <stdexcept>

// The lock keys, by their virtual-key codes.
enum class LockKey { CapsLock = 20, NumLock = 144, ScrollLock = 145 };

// A key string that the keystroke notation cannot read (run-time error 5).
struct KeysError : std::runtime_error {
    explicit KeysError(const std::string& what) : std::runtime_error(what) {}
    int number = 5;
};

// Simulated keystrokes and window activation (SendKeys, keybd_event,
// AppActivate). On Linux keystrokes reach only the program's own widgets and
// the lock keys have no state to keep.
class Keyboard {
public:
    virtual ~Keyboard() = default;
    // The key's byte of the keyboard state; non-zero means on.
    virtual quint8 lockState(LockKey key) = 0;
    // Flips the lock key (one press and release), where the platform allows it.
    virtual void toggleLock(LockKey key) = 0;
    // Sends keys in the keystroke notation ("%F", "+{TAB}", "{Home}+{End}");
    // wait: return only when they have been processed. Throws KeysError.
    virtual void sendKeys(const QString& keys, bool wait) = 0;
    // Brings the window with this title (or the first whose title starts with
    // it) to the front; false when there is none.
    virtual bool activate(const QString& title) = 0;
    // The same for the program started as this task.
    virtual bool activateTask(qint64 taskId) = 0;
};
