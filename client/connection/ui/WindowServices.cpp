#include "WindowServices.h"

#include <QAction>
#include <QDialog>
#include <QGuiApplication>
#include <QPointer>
#include <QWidget>

#include "AppContext.h"

void showModalWindow(AppContext& ctx, QWidget* window) {
    if (!window) return;
    if (ctx.services.presenter) {
        ctx.services.presenter->showModal(window);
        return;
    }
    if (auto* dialog = qobject_cast<QDialog*>(window)) {
        dialog->exec();
        return;
    }
    // A plain window: modal until it is hidden.
    QPointer<QWidget> w(window);
    w->setWindowModality(Qt::ApplicationModal);
    w->show();
    while (w && w->isVisible()) ctx.services.clock->waitUntil([&] { return !w || !w->isVisible(); }, 60000);
}

namespace {
bool isEnabled(QObject* o) {
    if (auto* w = qobject_cast<QWidget*>(o)) return w->isEnabled();
    if (auto* a = qobject_cast<QAction*>(o)) return a->isEnabled();
    return false;
}

void setEnabledOf(QObject* o, bool on) {
    if (auto* w = qobject_cast<QWidget*>(o)) w->setEnabled(on);
    else if (auto* a = qobject_cast<QAction*>(o)) a->setEnabled(on);
}
}  // namespace

void HostCommandLock::set(bool busy, std::initializer_list<QObject*> commands) {
    if (busy) {
        if (!saved_.empty()) return;
        for (QObject* o : commands) {
            if (!o) continue;
            saved_.emplace_back(o, isEnabled(o));
            setEnabledOf(o, false);
        }
        return;
    }
    for (auto& [o, was] : saved_)
        if (o) setEnabledOf(o, was);
    saved_.clear();
}
