#pragma once
#include <QString>
#include <QStringList>
#include <optional>

class Services;

// The command line as the program received it: the arguments after the
// program's name, joined by commas (the batch run splits at commas and tabs).
QString commandLineOf(const QStringList& arguments);

// A remembered truth value as the runtime reads one: "True" or "False" in any
// case, or a number (non-zero is true); nothing for any other text.
std::optional<bool> readAsBoolean(const QString& text);

// Fills in the first start's values (Setting::FirstStart) where nothing usable
// is stored; with a step of the start with windows, only those of that step.
void SeedFirstStart(Services& services, std::optional<int> startStep = std::nullopt);
