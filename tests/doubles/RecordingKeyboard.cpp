#include "RecordingKeyboard.h"

#include "SendKeys.h"

quint8 RecordingKeyboard::lockState(LockKey key) {
    const auto it = state_.find(key);
    return it == state_.end() ? 0 : it->second;
}

void RecordingKeyboard::toggleLock(LockKey key) {
    toggles_.push_back(key);
    if (togglesWork) state_[key] = lockState(key) ? 0 : 1;
}

void RecordingKeyboard::sendKeys(const QString& keys, bool wait) {
    const std::vector<KeyStroke> strokes = SendKeys::parse(keys);
    sent_.push_back({keys, wait});
    for (const KeyStroke& k : strokes) {
        if (k.key == Qt::Key_CapsLock) state_[LockKey::CapsLock] = lockState(LockKey::CapsLock) ? 0 : 1;
        if (k.key == Qt::Key_NumLock) state_[LockKey::NumLock] = lockState(LockKey::NumLock) ? 0 : 1;
        if (k.key == Qt::Key_ScrollLock) state_[LockKey::ScrollLock] = lockState(LockKey::ScrollLock) ? 0 : 1;
    }
}

bool RecordingKeyboard::activate(const QString& title) {
    activations_ << title;
    return canActivate ? canActivate(title) : true;
}

bool RecordingKeyboard::activateTask(qint64 taskId) {
    const QString id = QStringLiteral("#%1").arg(taskId);
    activations_ << id;
    return canActivate ? canActivate(id) : taskId != 0;
}

QStringList RecordingKeyboard::keys() const {
    QStringList out;
    for (const Sent& s : sent_) out << s.keys;
    return out;
}
