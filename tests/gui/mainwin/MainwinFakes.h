#pragma once
#include <QApplication>
#include <QKeyEvent>

#include "MemorySettingsStore.h"
#include "TestSupport.h"

// Remembered values in memory that also keep the order of the writes.
struct RecordingStore : MemorySettingsStore {
    QStringList written;
    void save(const QString& app, const QString& section, const QString& key,
              const QString& value) override {
        written << key;
        MemorySettingsStore::save(app, section, key, value);
    }
};

// A key press as the window system delivers it: shortcuts first, unless the
// focused widget claims the key for itself.
Q_GUI_EXPORT bool qt_sendShortcutOverrideEvent(QObject* o, ulong timestamp, int k,
                                               Qt::KeyboardModifiers mods, const QString& text,
                                               bool autorep, ushort count);
inline void pressKey(QWidget* w, Qt::Key key, Qt::KeyboardModifiers mods) {
    if (qt_sendShortcutOverrideEvent(w, 0, key, mods, QString(), false, 1)) return;
    QKeyEvent press(QEvent::KeyPress, key, mods);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, mods);
    QApplication::sendEvent(w, &release);
}
