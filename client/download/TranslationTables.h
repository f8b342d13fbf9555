#pragma once
#include <QStringList>

// The entries of the screen's translation list: "<Default>" and then one per
// host translation table, each ending in the table's 10-character name.
QStringList translationListEntries();
