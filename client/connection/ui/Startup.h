#pragma once
#include <QString>
#include <QStringList>

#include "StartupRules.h"

class AppContext;

// The client's start-up: keeps the command line, shows the splash in an
// interactive run, loads and shows the main window, reads and seeds the
// remembered settings, connects when "Auto connect" is on and hands a
// command line to the batch run. A ProgramEnd from the connect or the batch
// run passes through to the caller.
//
// `arguments`: the program's arguments, each as the shell gave it; any
// argument at all, an empty one included, makes the run unattended.
void Main(AppContext& ctx, const QStringList& arguments);
// The same with the whole command line as one text (empty: interactive).
void Main(AppContext& ctx, const QString& commandLine);
