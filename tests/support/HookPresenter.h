#pragma once
#include <QString>
#include <QStringList>
#include <functional>

#include "Presenter.h"

class AppContext;

// Test double of the presenter: a hook fills and closes each window instead
// of a person; file dialogs answer from a queue (empty = Cancel).
class HookPresenter : public Presenter {
public:
    std::function<void(QWidget*)> onModal;     // none: the window returns at once, untouched
    std::function<void(QWidget*)> onModeless;  // none: the window stays up unanswered
    QStringList nextFileNames;
    QStringList shownModal, shownModeless;      // objectNames, in order

    void showModal(QWidget* window) override;
    void showModeless(QWidget* window) override;
    QString openFileName(QWidget*, const QString&, const QString&, const QString&) override;
    QString saveFileName(QWidget*, const QString&, const QString&, const QString&) override;
};

// Installs a HookPresenter into the context (replacing any) and returns it.
HookPresenter& installHookPresenter(AppContext& ctx);

// Answers the sign-on dialog when it comes up: fills user and password, sets
// "Save password" and presses OK.
void answerSignOn(HookPresenter& p, const QString& user, const QString& password, bool savePassword = false);

// Remembers a user and the scrambled form of a password, as a sign-on with
// "Save password" ticked leaves them, so that a connection asks nothing.
void rememberSignOn(AppContext& ctx, const QString& user, const QString& password);
