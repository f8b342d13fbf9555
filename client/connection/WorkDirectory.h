#pragma once
#include <QString>

class AppContext;

// The per-user folder for downloads the user did not name: "Save Path", a
// separator and the "User" value. Built at each connection and each Apply of
// the naming options.
//
// Sets gWorkDir and creates the folder, and a missing save path above it (the
// folder itself mode 0700, so that other users of the machine cannot read the
// reports); a failure to create it is ignored.
void ApplyWorkDirectoryRule(AppContext& ctx);

// The system temporary folder with a trailing separator (GetTempPath).
QString SystemTempFolder(AppContext& ctx);

// The platform's path separator, and whether a path ends with one.
QChar PathSeparator();
bool EndsWithSeparator(const QString& path);

// A text that may name one file or folder: characters that are not allowed in
// file names, or that would reach another folder, become "_". Host-supplied
// parts of PC file names pass through this.
QString SafeNamePart(const QString& part);
