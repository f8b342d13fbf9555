#pragma once

// How a format's save-as dialog was last answered in this run: accepted (a
// name was chosen), cancelled, or "Save all" (the rest of the run takes the
// same folder without asking).
struct SaveDialogAnswer {
    bool accepted = false;
    bool cancelled = false;
    bool all = false;
};

// The save-as dialogs' answers, one per format, read by the download procedures.
struct SaveDialogFlags {
    SaveDialogAnswer text, html, xml, pdf;
};
