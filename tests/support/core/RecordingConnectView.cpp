#include "RecordingConnectView.h"

#include "ConnectionState.h"

void RecordingConnectView::showConnectionOptions() {
    ++connectionOptionsShown;
    if (onConnectionOptions) onConnectionOptions();
}

void RecordingConnectView::showSignOn(const QString& userId) {
    signOnUsers << userId;
    cancelled_ = false;
    if (cancelSignOn) {
        cancelSignOn = false;
        cancelled_ = true;
        return;
    }
    if (signOnAnswers.empty()) return;
    answer_ = signOnAnswers.front();
    signOnAnswers.pop_front();
    // The dialog's OK.
    state_.gSignOnAccepted = true;
}

std::optional<SignOnAnswer> RecordingConnectView::askServerStartSignOn(const QString& userId) {
    serverStartUsers << userId;
    const bool answered = !serverStartAnswers.empty() && serverStartAnswers.front().has_value();
    SignOnAnswer a;
    if (answered) a = *serverStartAnswers.front();
    if (!serverStartAnswers.empty()) serverStartAnswers.pop_front();
    if (!answered) return std::nullopt;
    return a;
}
