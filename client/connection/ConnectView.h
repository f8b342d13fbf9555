#pragma once
#include <QString>
#include <QStringList>
#include <optional>

// What a person typed into the sign-on dialog.
struct SignOnAnswer {
    QString userId;
    QString password;
};

// What signing on asks of the windows. The sign-on dialog is not modal: it is
// shown, and the caller waits (letting events run) until it is answered.
class SignOnPrompt {
public:
    virtual ~SignOnPrompt() = default;
    // Shows the sign-on dialog with the user ID filled in, without waiting.
    // The dialog's OK sets gSignOnAccepted.
    virtual void showSignOn(const QString& userId) = 0;
    // The dialog's Cancel was pressed (it has closed the link).
    virtual bool signOnCancelled() const = 0;
    // The texts of the answered dialog.
    virtual SignOnAnswer signOnAnswer() const = 0;
    // Discards the dialog (after a time-out, or once the server start has read it).
    virtual void discardSignOn() = 0;
    // The answered dialog's "Save password" box is ticked.
    virtual bool savePasswordChecked() const = 0;
    // The same dialog for the server start, modal, its "Save password" off:
    // the answer, or nothing when it was cancelled.
    virtual std::optional<SignOnAnswer> askServerStartSignOn(const QString& userId) = 0;
};

// What connecting shows on the main window and asks of its dialogs. The main
// window implements it; tests record it.
class ConnectView : public SignOnPrompt {
public:
    // The connection line reads "Connecting...".
    virtual void connecting() = 0;
    // The first panel of the status bar, repainted at once.
    virtual void status(const QString& text) = 0;
    // The commands and fields a person could use while the connect waits.
    virtual void workingControlsEnabled(bool on) = 0;
    // The connected state: `text` on the connection line, the connection sign
    // and the Connect menu.
    virtual void connected(const QString& text) = 0;
    // The focus goes to "&Open" (an unattended run has none to give).
    virtual void focusOpen() = 0;
    // Nobody watches this connect (the unattended run): a cancel of the link
    // ends the wait for the sign-on reply at once.
    virtual bool unattended() const { return false; }
    // The connection options (host address, wait time), modally.
    virtual void showConnectionOptions() = 0;
    // The naming options, whose window holds the save directory.
    virtual void showNamingOptions() = 0;
};

// Where the output-queue list goes as its blocks arrive.
class OutqListView {
public:
    virtual ~OutqListView() = default;
    // The first panel of the main window's status bar, repainted at once.
    virtual void status(const QString& text) = 0;
    virtual void clearOutqs() = 0;
    virtual void addOutqs(const QStringList& rows) = 0;
};
