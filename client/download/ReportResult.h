#pragma once
#include <QString>

#include "Reporting.h"

// What one report's download came to: done when the whole report reached its
// destination, else stopped (with the failure still to be told, when it
// carries one); the record width code of the host's first reply, once the
// host accepted the request (empty before); and the name the report was
// written under (the one asked for, or the next free one when another run
// took that meanwhile; for an office program the document it saved, empty
// when none).
struct ReportResult {
    Outcome outcome;
    QString recordWidth;
    QString writtenAs;
    // The host accepted the report but sent none of its records: no file was left for it.
    bool nothingArrived = false;

    explicit operator bool() const { return outcome.done; }
};
