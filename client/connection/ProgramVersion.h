#pragma once
#include <QString>

// The program's own version numbers (App.Major, App.Minor, App.Revision).
struct ProgramVersion {
    int major = 10;
    int minor = 0;
    int revision = 0;
    // "Version 10.0.3": the text of every window's lblVersion.
    QString text() const {
        return QStringLiteral("Version %1.%2.%3").arg(major).arg(minor).arg(revision);
    }
};
