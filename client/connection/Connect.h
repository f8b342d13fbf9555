#pragma once

class AppContext;

// Brings the client from "Not connected." to a working link on the job port:
// 0 connected; -1 not connected and the program goes on (unresolvable host).
// Every other failure ends the program (ProgramEnd).
int ConnectToHost(AppContext& ctx);
