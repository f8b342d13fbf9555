#include "WindowServices.h"

#include <QDialog>
#include <QGuiApplication>
#include <QPointer>
#include <QWidget>

#include "AppContext.h"

void showModalWindow(AppContext& ctx, QWidget* window) {
    if (!window) return;
    if (ctx.presenter) {
        ctx.presenter->showModal(window);
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
    while (w && w->isVisible()) ctx.clock->waitUntil([&] { return !w || !w->isVisible(); }, 60000);
}
