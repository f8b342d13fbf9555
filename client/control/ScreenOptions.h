#pragma once
#include "DownloadOptions.h"

class SplfScreenApi;

// The spooled-file screen's option controls as one record, read at the moment
// a download starts; minusSignApplicable is the process type's derived flag.
DownloadOptions ReadScreenOptions(const SplfScreenApi& screen, bool minusSignApplicable);
// Sets the screen's option controls from a record (the settings file and the
// batch run); the dialogs' part is not the screen's and is left alone.
void WriteScreenOptions(SplfScreenApi& screen, const DownloadOptions& options);

// Progress texts of a download go to the screen's status bar.
class ScreenProgress : public DownloadProgress {
public:
    explicit ScreenProgress(SplfScreenApi& screen) : screen_(screen) {}
    void status(const QString& text) override;
    void refresh() override;
    void giveFocus() override;

private:
    SplfScreenApi& screen_;
};
