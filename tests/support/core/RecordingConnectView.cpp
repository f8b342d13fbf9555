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
    if (serverStartAnswers.empty()) return std::nullopt;
    std::optional<SignOnAnswer> a = serverStartAnswers.front();
    serverStartAnswers.pop_front();
    return a;
}
