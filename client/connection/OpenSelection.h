#pragma once
#include <QString>

// The selection of the main window's "&Open": output queue, library, user.
struct SpoolSelection {
    QString outq, library, user;
};

// Trims and upper-cases the three texts, fills in "*ALL" where the selection is
// incomplete and spells the keywords. False when the selection is refused (no
// queue, or a named queue without library); the keywords are then left as keyed.
bool normaliseSelection(SpoolSelection& s);

class SplfGrid;

// Clears the spooled-file grid, columns too, and defines its nine columns.
void defineSplfGridColumns(SplfGrid& grid);

// The caption of the spooled-file screen for a listed selection.
QString splfScreenCaption(const QString& library, const QString& outq, const QString& user);
