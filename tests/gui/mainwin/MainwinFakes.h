#pragma once
#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QMap>
#include <QStringList>
#include <QWidget>
#include <deque>

#include "MachineRegistry.h"
#include "MemorySettingsStore.h"
#include "Paths.h"
#include "Presenter.h"
#include "ProcessStarter.h"
#include "TestSupport.h"

// Common dialogs answered from a queue; every call is recorded.
struct FakePresenter : Presenter {
    struct Call {
        QString kind, title, dir, filter;
    };
    std::deque<QString> answers;  // "" = Cancel
    std::vector<Call> calls;
    int modalShows = 0;
    void showModal(QWidget*) override { ++modalShows; }
    QString openFileName(QWidget*, const QString& title, const QString& dir,
                         const QString& filter) override {
        return answer({QStringLiteral("open"), title, dir, filter});
    }
    QString saveFileName(QWidget*, const QString& title, const QString& dir,
                         const QString& filter) override {
        return answer({QStringLiteral("save"), title, dir, filter});
    }

private:
    QString answer(const Call& c) {
        calls.push_back(c);
        if (answers.empty()) return {};
        QString a = answers.front();
        answers.pop_front();
        return a;
    }
};

struct FakeProcesses : ProcessStarter {
    struct Start {
        QString program;
        QStringList args;
    };
    bool startSucceeds = true;
    std::vector<Start> starts;
    bool start(const QString& program, const QStringList& args, bool) override {
        starts.push_back({program, args});
        return startSucceeds;
    }
    int run(const QString&, const QStringList&, int) override { return -1; }
};

struct FakeMachineRegistry : MachineRegistry {
    QMap<QString, QString> values;  // key + "|" + value name
    std::optional<QString> query(const QString& key, const QString& value) override {
        const QString id = key + QLatin1Char('|') + value;
        if (!values.contains(id)) return std::nullopt;
        return values.value(id);
    }
    bool keyExists(const QString&) override { return false; }
};

struct FakePaths : Paths {
    explicit FakePaths(const QString& root) : root(root) {}
    QString root;
    QString appPath() override { return root + QStringLiteral("/app"); }
    QString tempPath() override { return root + QStringLiteral("/tmp/"); }
    QString configPath() override { return root + QStringLiteral("/config"); }
    QString systemPath() override { return root + QStringLiteral("/system"); }
};

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

// A folder for screenshots in the build tree.
inline QString screenshotPath(const QString& name) {
    const QString dir = QStringLiteral(SW_BINARY_DIR "/screenshots");
    QDir().mkpath(dir);
    return dir + QLatin1Char('/') + name;
}
