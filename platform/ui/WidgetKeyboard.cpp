#include "WidgetKeyboard.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QPointer>
#include <QWidget>

#include "SendKeys.h"

namespace {
bool triggerShortcut(QWidget* focus, const KeyStroke& k) {
    if (!(k.modifiers & (Qt::ControlModifier | Qt::AltModifier))) return false;
    QWidget* window = focus->window();
    const QKeySequence seq(QKeyCombination(k.modifiers, static_cast<Qt::Key>(k.key)));
    for (QAction* a : window->findChildren<QAction*>()) {
        if (a->isEnabled() && a->shortcuts().contains(seq)) {
            a->trigger();
            return true;
        }
    }
    if (k.modifiers == Qt::AltModifier) {
        const QKeySequence mnemonic = QKeySequence::mnemonic(QStringLiteral("&") + QChar(char16_t(k.key)));
        for (QAbstractButton* b : window->findChildren<QAbstractButton*>()) {
            if (b->isEnabled() && b->isVisible() && QKeySequence::mnemonic(b->text()) == mnemonic) {
                b->click();
                return true;
            }
        }
    }
    return false;
}
}  // namespace

void WidgetKeyboard::sendKeys(const QString& keys, bool wait) {
    const std::vector<KeyStroke> strokes = SendKeys::parse(keys);  // bad notation throws before any key
    for (const KeyStroke& k : strokes) {
        QPointer<QWidget> to = target ? target() : QApplication::focusWidget();
        if (!to) to = QApplication::activeWindow();
        if (!to) return;  // no window of ours to take the keys
        if (triggerShortcut(to, k)) continue;
        if (wait) {
            QKeyEvent press(QEvent::KeyPress, k.key, k.modifiers, k.text);
            QCoreApplication::sendEvent(to, &press);
            if (!to) continue;
            QKeyEvent release(QEvent::KeyRelease, k.key, k.modifiers, k.text);
            QCoreApplication::sendEvent(to, &release);
        } else {
            QCoreApplication::postEvent(to, new QKeyEvent(QEvent::KeyPress, k.key, k.modifiers, k.text));
            QCoreApplication::postEvent(to, new QKeyEvent(QEvent::KeyRelease, k.key, k.modifiers, k.text));
        }
    }
    if (wait) QCoreApplication::sendPostedEvents();
}

namespace {
// The first visible top-level window that `fits`, raised and activated.
bool activateFirst(const std::function<bool(QWidget*)>& fits) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->isVisible() && fits(w)) {
            w->raise();
            w->activateWindow();
            return true;
        }
    return false;
}
}  // namespace

bool WidgetKeyboard::activate(const QString& title) {
    if (title.isEmpty()) return false;
    // AppActivate: an exact title first, else one that starts with it.
    return activateFirst([&](QWidget* w) { return w->windowTitle().compare(title, Qt::CaseInsensitive) == 0; }) ||
           activateFirst([&](QWidget* w) { return w->windowTitle().startsWith(title, Qt::CaseInsensitive); });
}

bool WidgetKeyboard::activateTask(qint64 taskId) {
    // Only our own process has windows we can reach.
    if (taskId != QCoreApplication::applicationPid()) return false;
    QWidget* active = QApplication::activeWindow();
    return activateFirst([&](QWidget* w) { return !active || w == active; });
}
