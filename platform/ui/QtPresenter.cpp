#include "QtPresenter.h"

#include <QDialog>
#include <QEvent>
#include <QEventLoop>
#include <QFileDialog>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>

namespace {
// Ends the loop once the watched window is hidden (not when it is minimised).
class HideWatcher : public QObject {
public:
    HideWatcher(QWidget* w, QEventLoop& loop) : w_(w), loop_(loop) {}
    bool eventFilter(QObject* o, QEvent* e) override {
        if (o == w_ && (e->type() == QEvent::Hide || e->type() == QEvent::Close) && !w_->isVisible()) loop_.quit();
        return false;
    }

private:
    QWidget* w_;
    QEventLoop& loop_;
};
}  // namespace

void QtPresenter::showModal(QWidget* window) {
    if (!window || unattended) return;
    if (auto* dialog = qobject_cast<QDialog*>(window)) {
        dialog->exec();
        return;
    }
    QPointer<QWidget> guard(window);
    const Qt::WindowModality before = window->windowModality();
    // A window that chose its own modality keeps it.
    if (!window->isVisible() && before == Qt::NonModal) window->setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    HideWatcher watcher(window, loop);
    window->installEventFilter(&watcher);
    QObject::connect(window, &QObject::destroyed, &loop, &QEventLoop::quit);
    window->show();
    window->raise();
    window->activateWindow();
    if (window->isVisible()) loop.exec(QEventLoop::DialogExec);
    if (guard) {
        guard->removeEventFilter(&watcher);
        if (!guard->isVisible()) guard->setWindowModality(before);
    }
}

QString QtPresenter::openFileName(QWidget* parent, const QString& title, const QString& dir, const QString& filter) {
    if (unattended) return {};
    return QFileDialog::getOpenFileName(parent, title, dir, qtFilter(filter));
}

QString QtPresenter::saveFileName(QWidget* parent, const QString& title, const QString& dir, const QString& filter) {
    if (unattended) return {};
    return QFileDialog::getSaveFileName(parent, title, dir, qtFilter(filter));
}

QString QtPresenter::saveFileNameCallerAsks(QWidget* parent, const QString& title, const QString& dir,
                                           const QString& filter) {
    if (unattended) return {};
    return QFileDialog::getSaveFileName(parent, title, dir, qtFilter(filter), nullptr,
                                        QFileDialog::DontConfirmOverwrite);
}

QString QtPresenter::existingDirectory(QWidget* parent, const QString& title, const QString& dir) {
    if (unattended) return {};
    return QFileDialog::getExistingDirectory(parent, title, dir);
}

bool QtPresenter::printDialog(QWidget* parent, QPrinter* printer) {
    if (unattended || !printer) return true;
    QPrintDialog dialog(printer, parent);
    dialog.setOptions(QAbstractPrintDialog::PrintShowPageSize | QAbstractPrintDialog::PrintCollateCopies);
    return dialog.exec() == QDialog::Accepted;
}

void QtPresenter::showModeless(QWidget* window) {
    if (window) window->show();
}
