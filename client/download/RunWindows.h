#pragma once
#include <QString>

// What the code below the windows asks of the windows above it, in typed
// calls. These defaults are a run without windows: nothing opens. The
// download windows' layer installs its own (installDownloadWindows).
class RunWindows {
public:
    RunWindows() = default;
    virtual ~RunWindows() = default;
    RunWindows(const RunWindows&) = delete;
    RunWindows& operator=(const RunWindows&) = delete;

    // The naming options window, opened after a "path not found" so that the
    // user can pick another folder, and by the Options menus. `fullName`:
    // "FullName" as remembered.
    virtual void showNamingOptions(const QString& fullName) { (void)fullName; }
};
