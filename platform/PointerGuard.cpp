#include "PointerGuard.h"

#include <QCursor>
#include <QGuiApplication>

PointerGuard::PointerGuard(Qt::CursorShape shape) {
    // Without a window system there is no pointer to set (command-line tools, unit tests).
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return;
    QGuiApplication::setOverrideCursor(QCursor(shape));
    active_ = true;
}

PointerGuard::~PointerGuard() { release(); }

void PointerGuard::release() {
    if (!active_) return;
    active_ = false;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        QGuiApplication::restoreOverrideCursor();
}
