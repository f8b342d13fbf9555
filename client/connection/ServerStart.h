#pragma once
#include <QString>
#include <string>

#include "Reporting.h"

class ConnectView;
class ConnectionState;
class Services;

// Starts the host server program through the host's FTP server: asks for the
// user ID and password in the sign-on dialog, logs on and sends the server's
// start command, then gives the server time to come up. Done once the host
// accepted the start command; stopped (after its message) means the program
// must end. Cancel in the dialog ends the program.
Outcome StartHostServerViaFtp(Services& services, const ConnectionState& state, ConnectView& view);

namespace ServerStart {
// The six lines of the server-start script, CR LF after each; the user ID and
// password trimmed and in capitals. It is handed to the runner in memory and
// never written to disk, since it holds the password in plain text.
std::string ftpScript(const QString& host, const QString& userId, const QString& password);
// Why these cannot go into the script (empty when they can): a control
// character would end the line and start another FTP command; a host address
// is one word.
QString refusal(const QString& host, const QString& userId, const QString& password);
}  // namespace ServerStart
