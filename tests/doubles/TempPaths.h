#pragma once
#include <QString>

#include "Paths.h"

// Every folder under one root (a test's temporary folder),
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
