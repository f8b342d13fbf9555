#pragma once
#include <QString>
#include <QStringList>
#include <QWidget>
#include <functional>

class QDialog;
class QWidget;

// Modal windows and common dialogs. Tests replace it with a hook that fills
// and closes the window instead of waiting for a person.
class Presenter {
public:
    virtual ~Presenter() = default;
    // Shows the window modally; returns when it is hidden or closed.
    virtual void showModal(QWidget* window) = 0;
    // Shows the window without waiting; the caller polls for its answer.
    virtual void showModeless(QWidget* window) { window->show(); }
    // Common dialogs; an empty result is Cancel.
    virtual QString openFileName(QWidget* parent, const QString& title, const QString& dir,
                                 const QString& filter) = 0;
    virtual QString saveFileName(QWidget* parent, const QString& title, const QString& dir,
                                 const QString& filter) = 0;
};
