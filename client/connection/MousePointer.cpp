#include "MousePointer.h"

#include <QCursor>
#include <QGuiApplication>

void setMousePointer(MousePointer p) {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return;
    if (p == MousePointer::Normal) {
        while (QGuiApplication::overrideCursor()) QGuiApplication::restoreOverrideCursor();
        return;
    }
    const QCursor c(p == MousePointer::Hourglass ? Qt::WaitCursor : Qt::BusyCursor);
    if (QGuiApplication::overrideCursor())
        QGuiApplication::changeOverrideCursor(c);
    else
        QGuiApplication::setOverrideCursor(c);
}
