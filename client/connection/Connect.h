#pragma once

#include "Reporting.h"

class ConnectView;
class ConnectionState;
class HostLink;
class Services;

// Exit statuses of a run that the connection ends.
constexpr int kExitConnectFailed = 3;    // no link to the host server program
constexpr int kExitSignOnCancelled = 4;  // the user cancelled or let the sign-on time out
constexpr int kExitHostChanged = 5;      // the host address was changed while connected

// "Wait time": the seconds the connect gives the host to start its job.
constexpr int kMinWaitTime = 2;
constexpr int kMaxWaitTime = 30;
constexpr int kDefaultWaitTime = 6;
// The remembered "Wait time", or the default when it is missing or out of range.
int waitTimeSetting(Services& services);

// Brings the client from "Not connected." to a working link on the job port:
// done when connected; stopped, the user told, when not connected and the
// program goes on (unresolvable host). Every other failure ends the program
// (ProgramEnd). What it shows and asks goes to `view`.
Outcome ConnectToHost(HostLink& link, Services& services, ConnectionState& state, ConnectView& view);

// The default button, when nobody watches, of a question whose first answer
// would ask again: the second ("No", "Cancel"), so that such a run ends.
constexpr int kAskAgainNo = 2;
