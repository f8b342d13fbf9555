#pragma once

class AppContext;

// Exit statuses of a run that the connection ends.
constexpr int kExitConnectFailed = 3;     // no link to the host server program
constexpr int kExitSignOnCancelled = 4;   // the user cancelled or let the sign-on time out
constexpr int kExitHostChanged = 5;       // the host address was changed while connected

// Brings the client from "Not connected." to a working link on the job port:
// 0 connected; -1 not connected and the program goes on (unresolvable host).
// Every other failure ends the program (ProgramEnd).
int ConnectToHost(AppContext& ctx);

// The default button of a question whose first answer would ask again: an
// unattended run answers with it and must come to an end, not loop.
int unattendedDefault(const AppContext& ctx);
