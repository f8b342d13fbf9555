#include "UnattendedConnectView.h"

#include <cstdio>

#include "ConnectionState.h"
#include "HostLink.h"
#include "MessageBoxes.h"

UnattendedConnectView::UnattendedConnectView(ConnectionState& state, HostLink& link, std::optional<SignOnAnswer> given)
    : tell([](const QString& text) {
          // Names from the settings or the host reach a terminal: no escape sequence may act there.
          std::fprintf(stderr, "Tolvane: %s\n", qPrintable(PrintableText(text)));
          std::fflush(stderr);
      }),
      state_(state),
      link_(link),
      given_(std::move(given)) {}

void UnattendedConnectView::showConnectionOptions() {
    tell(QStringLiteral("The connection options (host name, wait time) cannot be changed in an unattended run.  "
                        "Set them once in the program's window."));
}

void UnattendedConnectView::showNamingOptions() {
    tell(QStringLiteral("The naming options (the save path) cannot be changed in an unattended run.  "
                        "Set them once in the program's window."));
}

void UnattendedConnectView::showSignOn(const QString& userId) {
    if (given_) {
        state_.gSignOnAccepted = true;
        return;
    }
    tell(QStringLiteral("There is no saved password for user ") + userId +
         QStringLiteral(", and an unattended run cannot ask for one.  Sign on once in the program's window with "
                        "\"Save password\" ticked."));
    // As the dialog's Cancel does: the link the sign-on was to use is closed.
    Disconnect(link_);
    cancelled_ = true;
}

std::optional<SignOnAnswer> UnattendedConnectView::askServerStartSignOn(const QString& userId) {
    if (given_) return given_;
    tell(QStringLiteral("Starting the host server needs the password of user ") + userId +
         QStringLiteral(", which an unattended run cannot ask for.  Start the server on the host."));
    return std::nullopt;
}
