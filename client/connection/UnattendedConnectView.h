#pragma once
#include <QString>
#include <functional>
#include <optional>

#include "ConnectView.h"

class ConnectionState;
class HostLink;

// The connect of a run nobody watches (a command line, a scheduled job): no
// window, no dialog. It signs on with the remembered user and saved password
// (or the credentials it is given) and never asks for others; what it would
// have shown a person goes to standard error, and the status texts of a
// status bar nobody sees go nowhere.
class UnattendedConnectView : public ConnectView {
public:
    // `given`: credentials for a sign-on that has none saved (and for the
    // server start); without them such a sign-on ends the run.
    UnattendedConnectView(ConnectionState& state, HostLink& link, std::optional<SignOnAnswer> given = std::nullopt);

    // Where the messages go (standard error unless a caller says otherwise).
    std::function<void(const QString&)> tell;

    // The connected state's text, empty until the connect is through.
    const QString& connectionLine() const { return connectionLine_; }

    void connecting() override {}
    void status(const QString&) override {}
    void workingControlsEnabled(bool) override {}
    void connected(const QString& text) override { connectionLine_ = text; }
    void focusOpen() override {}
    bool unattended() const override { return true; }
    void showConnectionOptions() override;
    void showNamingOptions() override;

    void showSignOn(const QString& userId) override;
    bool signOnCancelled() const override { return cancelled_; }
    SignOnAnswer signOnAnswer() const override { return given_.value_or(SignOnAnswer{}); }
    void discardSignOn() override {}
    // The saved password is the user's to change, in the program's window.
    bool savePasswordChecked() const override { return false; }
    std::optional<SignOnAnswer> askServerStartSignOn(const QString& userId) override;

private:
    ConnectionState& state_;
    HostLink& link_;
    std::optional<SignOnAnswer> given_;
    bool cancelled_ = false;
    QString connectionLine_;
};
