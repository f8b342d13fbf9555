#pragma once
#include <QString>
#include <QStringList>
#include <functional>

class QDialog;
class QPrinter;
class QWidget;

// Modal windows and common dialogs. Tests replace it with a hook that fills
// and closes the window instead of waiting for a person.
class Presenter {
public:
    virtual ~Presenter() = default;
    // Shows the window modally; returns when it is hidden or closed.
    virtual void showModal(QWidget* window) = 0;
    // Common dialogs; an empty result is Cancel. `filter` may be in the
    // described form ("Text (*.txt)|*.txt|All (*.*)|*.*") or in Qt's.
    virtual QString openFileName(QWidget* parent, const QString& title, const QString& dir,
                                 const QString& filter) = 0;
    virtual QString saveFileName(QWidget* parent, const QString& title, const QString& dir,
                                 const QString& filter) = 0;
    // A save dialog that does not itself ask whether to replace an existing
    // file: its caller asks (once, and about the name it will really write).
    virtual QString saveFileNameCallerAsks(QWidget* parent, const QString& title, const QString& dir,
                                           const QString& filter) {
        return saveFileName(parent, title, dir, filter);
    }
    // Shows the window and returns at once.
    virtual void showModeless(QWidget* window) = 0;
    // A folder; "" is Cancel.
    virtual QString existingDirectory(QWidget* parent, const QString& title, const QString& dir);
    // The print dialog for `printer` (no selection, no page range, no printing
    // to a file); false is Cancel. `printer` is null for a printer double.
    virtual bool printDialog(QWidget* parent, QPrinter* printer);

    // Set for an unattended run: windows and dialogs that would wait for a
    // person are not shown (modal windows return at once, file dialogs answer
    // Cancel, the print dialog keeps the current printer).
    bool unattended = false;

    // "Text (*.txt)|*.txt|Excel|*.xl*;*.xls" -> "Text (*.txt);;Excel (*.xl* *.xls)"; a filter
    // without '|' is taken as Qt's already.
    static QString qtFilter(const QString& filter);
};
