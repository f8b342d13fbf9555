#pragma once
#include <QString>

#include "StartupRules.h"

class AppContext;

// The client's start-up: keeps the command line, shows the splash in an
// interactive run, loads and shows the main window, reads and seeds the
// remembered settings, connects when "Auto connect" is on and hands a
// non-empty command line to the batch run. A ProgramEnd from the connect or
// the batch run passes through to the caller.
void Main(AppContext& ctx, const QString& commandLine);
