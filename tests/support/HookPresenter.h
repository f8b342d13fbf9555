#pragma once
#include <QWidget>
#include <functional>
#include <stdexcept>

#include "AppContext.h"
#include "Presenter.h"

// Test double of the modal windows and common dialogs: a hook plays the
// person. A modal window that no hook expects fails the test.
class HookPresenter : public Presenter {
public:
    // Must close or hide the window (press one of its buttons).
    std::function<void(QWidget*)> onModal;
    std::function<QString(const QString& title, const QString& dir, const QString& filter)> onSaveFileName;
    int modalShows = 0;
    QStringList shownWindows;  // objectNames, in order

    void showModal(QWidget* w) override {
        ++modalShows;
        shownWindows << w->objectName();
        if (!onModal) throw std::runtime_error("unexpected modal window " + w->objectName().toStdString());
        onModal(w);
    }
    QString openFileName(QWidget*, const QString&, const QString&, const QString&) override {
        throw std::runtime_error("unexpected open-file dialog");
    }
    QString saveFileName(QWidget*, const QString& title, const QString& dir, const QString& filter) override {
        if (!onSaveFileName) throw std::runtime_error("unexpected save-file dialog");
        return onSaveFileName(title, dir, filter);
    }
};

// Installs a HookPresenter into ctx and returns it.
inline HookPresenter* UseHookPresenter(AppContext& ctx) {
    auto p = std::make_unique<HookPresenter>();
    HookPresenter* raw = p.get();
    ctx.presenter = std::move(p);
    return raw;
}
