#pragma once
#include <QStringList>
#include <functional>
#include <map>
#include <vector>

#include "Keyboard.h"

// Test double: records the keys sent and the windows activated. It keeps a
// state byte for each lock key; the keys {CAPSLOCK}, {NUMLOCK} and
// {SCROLLLOCK} in a key string flip it as a real keyboard would.
class RecordingKeyboard : public Keyboard {
public:
    struct Sent {
        QString keys;
        bool wait;
    };
    quint8 lockState(LockKey key) override;
    void toggleLock(LockKey key) override;
    void sendKeys(const QString& keys, bool wait) override;
    bool activate(const QString& title) override;
    bool activateTask(qint64 taskId) override;

    void setLock(LockKey key, bool on) { state_[key] = on ? 1 : 0; }
    bool lockOn(LockKey key) { return lockState(key) != 0; }
    // False plays a platform on which toggling does nothing.
    bool togglesWork = true;
    // Decides whether an activation finds its window; unset: always.
    std::function<bool(const QString& titleOrTask)> canActivate;

    const std::vector<Sent>& sent() const { return sent_; }
    QStringList keys() const;
    const std::vector<LockKey>& toggles() const { return toggles_; }
    // Titles, and "#<task id>" for activations by task, that were asked for.
    const QStringList& activations() const { return activations_; }

private:
    std::map<LockKey, quint8> state_;
    std::vector<Sent> sent_;
    std::vector<LockKey> toggles_;
    QStringList activations_;
};
