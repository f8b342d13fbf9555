#pragma once
#include "BatchParameters.h"

class AppContext;

// The unattended run of a command line: parameters, settings files, connect,
// one report or every report of the queue, then the stop sequence with an
// exit status that says what happened. Never returns (ProgramEnd).
void RunBatchFromCommandLine(AppContext& ctx);
