#pragma once
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>

#include "ConnectView.h"

class ConnectionState;

// The windows of connecting, signing on and the lists as a test sees them:
// what they were told, in order, and the answers a person would give,
// queued in advance. A sign-on dialog with no answer queued stays unanswered.
class RecordingConnectView : public ConnectView, public OutqListView {
public:
    explicit RecordingConnectView(ConnectionState& state) : state_(state) {}

    // --- what was shown ---
    QStringList statuses;    // the status texts, in order
    QString connectionLine;  // "Connecting..." or the connected text
    bool controlsEnabled = true;
    int openFocused = 0;
    int connectionOptionsShown = 0;
    int namingOptionsShown = 0;
    QStringList signOnUsers;  // the user ID each sign-on dialog started with
    int signOnDiscarded = 0;
    QStringList serverStartUsers;  // the same for the server start's dialog
    QStringList outqs;             // the output-queue list as it arrived
    QString lastStatus() const { return statuses.isEmpty() ? QString() : statuses.last(); }

    // --- what a person answers ---
    std::deque<SignOnAnswer> signOnAnswers;
    bool cancelSignOn = false;  // Cancel in the next sign-on dialog
    bool savePassword = false;
    std::deque<std::optional<SignOnAnswer>> serverStartAnswers;  // nullopt: Cancel
    // Runs inside the connection options window (a test enters a host there).
    std::function<void()> onConnectionOptions;

    // --- ConnectView ---
    void connecting() override { connectionLine = QStringLiteral("Connecting..."); }
    void status(const QString& text) override { statuses << text; }
    void workingControlsEnabled(bool on) override { controlsEnabled = on; }
    void connected(const QString& text) override { connectionLine = text; }
    void focusOpen() override { ++openFocused; }
    void showConnectionOptions() override;
    void showNamingOptions() override { ++namingOptionsShown; }
    void showSignOn(const QString& userId) override;
    bool signOnCancelled() const override { return cancelled_; }
    SignOnAnswer signOnAnswer() const override { return answer_; }
    void discardSignOn() override {
        answer_ = {};
        ++signOnDiscarded;
    }
    bool savePasswordChecked() const override { return savePassword && !signOnUsers.isEmpty(); }
    std::optional<SignOnAnswer> askServerStartSignOn(const QString& userId) override;

    // --- OutqListView ---
    void clearOutqs() override { outqs.clear(); }
    void addOutqs(const QStringList& rows) override { outqs << rows; }

private:
    ConnectionState& state_;
    SignOnAnswer answer_;
    bool cancelled_ = false;
};
