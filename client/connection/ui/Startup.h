#pragma once
#include <QString>
#include <QStringList>

#include "StartupRules.h"

class AppContext;

// The client's start-up with its windows: shows the splash, loads and shows
// the main window, reads and seeds the remembered settings and connects when
// "Auto connect" is on. A ProgramEnd from the connect passes through to the
// caller. (A command line is the batch run's, client/batch, with no window.)
void Main(AppContext& ctx);
