#include "MousePointer.h"

#include <QCursor>
#include <QGuiApplication>

namespace {
// Without a window system there is no pointer (command-line tools, unit tests).
bool hasPointer() { return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr; }
}  // namespace

void setMousePointer(MousePointer p) {
    if (!hasPointer()) return;
    while (QGuiApplication::overrideCursor()) QGuiApplication::restoreOverrideCursor();
    if (p == MousePointer::Normal) return;
    QGuiApplication::setOverrideCursor(QCursor(p == MousePointer::Hourglass ? Qt::WaitCursor : Qt::BusyCursor));
}

MousePointer mousePointer() {
    const QCursor* c = hasPointer() ? QGuiApplication::overrideCursor() : nullptr;
    if (!c) return MousePointer::Normal;
    return c->shape() == Qt::BusyCursor ? MousePointer::ArrowHourglass : MousePointer::Hourglass;
}

PointerGuard::PointerGuard(MousePointer p) : previous_(mousePointer()), active_(hasPointer()) { setMousePointer(p); }

PointerGuard::~PointerGuard() { release(); }

void PointerGuard::release() {
    if (!active_) return;
    active_ = false;
    setMousePointer(previous_);
}
