#include "TestPresenter.h"

#include <QPointer>
#include <QWidget>

TestPresenter& TestPresenter::expectModal(const QString& objectName, Hook hook) {
    expected_.emplace_back(objectName, std::move(hook));
    return *this;
}

void TestPresenter::showModal(QWidget* window) {
    const QString name = window ? window->objectName() : QString();
    shown_.push_back({QStringLiteral("modal"), name});
    if (!window || unattended) return;
    Hook hook;
    if (!expected_.empty() && expected_.front().first == name) {
        hook = std::move(expected_.front().second);
        expected_.pop_front();
    } else if (hooks.contains(name)) {
        hook = hooks.value(name);
    } else if (onModal) {
        hook = onModal;
    } else if (strict) {
        const QString wanted = expected_.empty() ? QStringLiteral("none") : expected_.front().first;
        throw UnexpectedWindow(("unexpected modal window " + name + " (expected " + wanted + ")").toStdString());
    }
    if (showWindows) window->show();
    // The hook may unload the window (a chooser that closes itself).
    const QPointer<QWidget> alive(window);
    if (hook) hook(window);
    // A modal show ends with the window hidden.
    if (alive && alive->isVisible()) alive->hide();
}

void TestPresenter::showModeless(QWidget* window) {
    shown_.push_back({QStringLiteral("modeless"), window ? window->objectName() : QString()});
    if (!window || unattended) return;
    if (showWindows) window->show();
    if (onModeless) onModeless(window);
}

QString TestPresenter::nextFileAnswer(const QString& kind, const QString& title, const QString& dir,
                                      const QString& filter) {
    shown_.push_back({kind, title, dir, filter});
    if (unattended || fileAnswers.isEmpty()) return {};
    return fileAnswers.takeFirst();
}

QString TestPresenter::openFileName(QWidget*, const QString& title, const QString& dir, const QString& filter) {
    return nextFileAnswer(QStringLiteral("open"), title, dir, filter);
}

QString TestPresenter::saveFileName(QWidget*, const QString& title, const QString& dir, const QString& filter) {
    return nextFileAnswer(QStringLiteral("save"), title, dir, filter);
}

QString TestPresenter::existingDirectory(QWidget*, const QString& title, const QString& dir) {
    return nextFileAnswer(QStringLiteral("folder"), title, dir);
}

bool TestPresenter::printDialog(QWidget*, QPrinter*) {
    shown_.push_back({QStringLiteral("print"), QString()});
    if (unattended || printAnswers.empty()) return true;
    const bool answer = printAnswers.front();
    printAnswers.pop_front();
    return answer;
}

QStringList TestPresenter::shownNames(const QString& kind) const {
    QStringList out;
    for (const Shown& s : shown_)
        if (s.kind == kind) out << s.name;
    return out;
}
