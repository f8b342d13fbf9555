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

bool WidgetKeyboard::activate(const QString& title) {
    if (title.isEmpty()) return false;
    QWidget* found = nullptr;
    const QWidgetList tops = QApplication::topLevelWidgets();
    for (QWidget* w : tops)
        if (w->isVisible() && w->windowTitle().compare(title, Qt::CaseInsensitive) == 0) {
            found = w;
            break;
        }
    if (!found)
        for (QWidget* w : tops)
            if (w->isVisible() && w->windowTitle().startsWith(title, Qt::CaseInsensitive)) {
                found = w;
                break;
            }
    if (!found) return false;
    found->raise();
    found->activateWindow();
    return true;
}

bool WidgetKeyboard::activateTask(qint64 taskId) {
    // Only our own process has windows we can reach.
    if (taskId != QCoreApplication::applicationPid()) return false;
    QWidget* w = QApplication::activeWindow();
    if (!w) {
        for (QWidget* t : QApplication::topLevelWidgets())
            if (t->isVisible()) {
                w = t;
                break;
            }
    }
    if (!w) return false;
    w->raise();
    w->activateWindow();
    return true;
}
