#pragma once
#include <QString>
#include <string>

#include "Connect.h"
#include "ConnectView.h"
#include "Lists.h"
#include "ServerStart.h"
#include "SignOn.h"

class AppContext;

// The main window, its connection options and the sign-on dialog, as
// connecting and signing on see them.
class MainWindowConnectView : public ConnectView {
public:
    explicit MainWindowConnectView(AppContext& ctx) : ctx_(ctx) {}
    void connecting() override;
    void status(const QString& text) override;
    void workingControlsEnabled(bool on) override;
    void connected(const QString& text) override;
    void focusOpen() override;
    void showConnectionOptions() override;
    void showNamingOptions() override;
    void showSignOn(const QString& userId) override;
    bool signOnCancelled() const override;
    SignOnAnswer signOnAnswer() const override;
    void discardSignOn() override;
    bool savePasswordChecked() const override;
    std::optional<SignOnAnswer> askServerStartSignOn(const QString& userId) override;

private:
    AppContext& ctx_;
};

// The output-queue chooser's list, filled while hidden, and the main window's status.
class OutqChooserList : public OutqListView {
public:
    explicit OutqChooserList(AppContext& ctx) : ctx_(ctx) {}
    void status(const QString& text) override;
    void clearOutqs() override;
    void addOutqs(const QStringList& rows) override;

private:
    AppContext& ctx_;
};

// The connection's procedures on the program's own windows.
Outcome ConnectToHost(AppContext& ctx);
SignOnResult SignOn(AppContext& ctx);
Outcome StartHostServerViaFtp(AppContext& ctx);
// The queues of the library in the main window, into the chooser.
Outcome ListOutputQueues(AppContext& ctx);
// Into the grid of the spooled-file screen.
Outcome GetSpoolFiles(AppContext& ctx, const QString& outq, const QString& library, const QString& user);
