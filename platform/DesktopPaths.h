#pragma once
#include "Paths.h"

// The folders of a desktop install: the program's own folder, the user's
// config and cache folders (one "Tolvane" folder each, shared by the client
// and the installer, as the registry's program settings were) and the temp
// folder. Nothing is created until a caller writes there.
class DesktopPaths : public Paths {
public:
    static constexpr const char* kMaker = "Tolvane";
    QString appPath() override;
    QString tempPath() override;
    QString configPath() override;
    QString systemPath() override;
    QString cachePath() override;
    QString dataPath() override;
};
