#pragma once
#include <QString>
#include <QStringList>
#include <optional>

// The command line as the program received it: the arguments after the
// program's name, joined by commas (the batch run splits at commas and tabs).
QString commandLineOf(const QStringList& arguments);

// A remembered truth value as the runtime reads one: "True" or "False" in any
// case, or a number (non-zero is true); nothing for any other text.
std::optional<bool> readAsBoolean(const QString& text);
