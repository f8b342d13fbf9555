#pragma once
#include <QString>

// Where the program lives and keeps its files (App.Path, GetTempPath, ...).
class Paths {
public:
    virtual ~Paths() = default;
    virtual QString appPath() = 0;     // folder of the program (SpwHosts.ini, help file)
    virtual QString tempPath() = 0;    // ends with the separator, as GetTempPath did
    virtual QString configPath() = 0;  // per-user settings folder
    virtual QString systemPath() = 0;  // GetSystemDirectory
    // GetShortPathName: on Linux the identity.
    virtual QString shortPath(const QString& p) { return p; }
    // Per-user folder for files that may be thrown away.
    virtual QString cachePath() { return tempPath(); }
    // Per-user folder for documents the program keeps for the user (drafts).
    virtual QString dataPath() { return configPath(); }
};
