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

// Test double: every folder under one root (a test's temporary folder),
// created at once.
class TempPaths : public Paths {
public:
    explicit TempPaths(const QString& root);
    QString appPath() override { return root_ + QStringLiteral("/app"); }
    QString tempPath() override;
    QString configPath() override { return root_ + QStringLiteral("/config"); }
    QString systemPath() override { return root_ + QStringLiteral("/system"); }
    QString cachePath() override { return root_ + QStringLiteral("/cache"); }
    QString dataPath() override { return root_ + QStringLiteral("/data"); }
    const QString& root() const { return root_; }

private:
    QString root_;
};
