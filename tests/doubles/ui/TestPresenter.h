#pragma once
#include <QMap>
#include <QStringList>
#include <deque>
#include <stdexcept>
#include <vector>

#include "Presenter.h"

// A modal window that no test expected.
struct UnexpectedWindow : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Test double: instead of waiting for a person, a hook fills the window and
// closes it. A modal window takes, in this order, the next expectation when it
// names the window (by objectName, once each), the window's standing hook in
// `hooks` (every time it comes up), or `onModal`; a window that none of them
// covers is closed at once, or throws when `strict` is set, so that the test
// fails at that spot. Every window and dialog is recorded with its title,
// folder and filter.
class TestPresenter : public Presenter {
public:
    using Hook = std::function<void(QWidget*)>;
    struct Shown {
        QString kind;  // "modal", "modeless", "open", "save", "folder", "print"
        QString name;  // objectName of the window, or the dialog's title
        QString dir, filter;  // of a file or folder dialog
    };

    TestPresenter& expectModal(const QString& objectName, Hook hook = {});
    // Standing hooks by objectName, used each time the window is shown modally.
    QMap<QString, Hook> hooks;
    // For modal windows that no expectation or standing hook names.
    Hook onModal;
    // For modeless windows (the sign-on dialog): fills and answers the window.
    Hook onModeless;
    // A modal window that nothing expects throws UnexpectedWindow.
    bool strict = false;
    // Answers of the file and folder dialogs in order; when none is left, "" (Cancel).
    QStringList fileAnswers;
    // Answers of the print dialog in order; when none is left, true.
    std::deque<bool> printAnswers;
    // The window is shown (offscreen) while its hook runs.
    bool showWindows = true;

    void showModal(QWidget* window) override;
    void showModeless(QWidget* window) override;
    QString openFileName(QWidget* parent, const QString& title, const QString& dir, const QString& filter) override;
    QString saveFileName(QWidget* parent, const QString& title, const QString& dir, const QString& filter) override;
    QString existingDirectory(QWidget* parent, const QString& title, const QString& dir) override;
    bool printDialog(QWidget* parent, QPrinter* printer) override;

    const std::vector<Shown>& shown() const { return shown_; }
    QStringList shownNames(const QString& kind = QStringLiteral("modal")) const;
    void clearShown() { shown_.clear(); }
    bool done() const { return expected_.empty(); }

private:
    QString nextFileAnswer(const QString& kind, const QString& title, const QString& dir = {},
                           const QString& filter = {});
    std::deque<std::pair<QString, Hook>> expected_;
    std::vector<Shown> shown_;
};
