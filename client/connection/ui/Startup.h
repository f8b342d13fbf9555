#pragma once
#include <QString>
#include <QStringList>
#include <optional>

class AppContext;

// The client's start-up: keeps the command line, shows the splash in an
// interactive run, loads and shows the main window, reads and seeds the
// remembered settings, connects when "Auto connect" is on and hands a
// non-empty command line to the batch run. A ProgramEnd from the connect or
// the batch run passes through to the caller.
void Main(AppContext& ctx, const QString& commandLine);

// The command line as the program received it: the arguments after the
// program's name, joined by commas (the batch run splits at commas and tabs).
QString commandLineOf(const QStringList& arguments);

// A remembered truth value as the runtime reads one: "True" or "False" in any
// case, or a number (non-zero is true); nothing for any other text.
std::optional<bool> readAsBoolean(const QString& text);
