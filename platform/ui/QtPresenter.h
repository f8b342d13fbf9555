#pragma once
#include "Presenter.h"

// Windows and dialogs on the screen: QDialog::exec, a window-modal show that
// waits until the window is hidden, QFileDialog and QPrintDialog.
class QtPresenter : public Presenter {
public:
    void showModal(QWidget* window) override;
    QString openFileName(QWidget* parent, const QString& title, const QString& dir, const QString& filter) override;
    QString saveFileName(QWidget* parent, const QString& title, const QString& dir, const QString& filter) override;
    QString saveFileNameCallerAsks(QWidget* parent, const QString& title, const QString& dir,
                                   const QString& filter) override;
    void showModeless(QWidget* window) override;
    QString existingDirectory(QWidget* parent, const QString& title, const QString& dir) override;
    bool printDialog(QWidget* parent, QPrinter* printer) override;
};
