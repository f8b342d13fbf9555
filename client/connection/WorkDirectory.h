#pragma once
#include <QString>

#include "Reporting.h"

class ConnectionState;
class Services;

// The per-user folder for downloads the user did not name: "Save Path", a
// separator and the "User" value. Built at each connection and each Apply of
// the naming options.
//
// Creates the folder (mode 0700, so that other users of the machine cannot
// read the reports), and a missing save path above it, and sets gWorkDir.
// Stopped when there is no folder fit for the reports: it could not be made,
// or what stands there is a link, another user's, or writable by others; then
// gWorkDir is empty, so that nothing is written there or cleared from there,
// and the failure names the folder that was refused.
Outcome ApplyWorkDirectoryRule(Services& services, ConnectionState& state);

// The work folder that a "Save Path" gives: the path, a separator and the
// "User" value made safe for one folder name ("Default" when not set).
QString WorkDirectoryUnder(Services& services, const QString& savePath);
// Creates the work folder as the rule does; false when it is refused.
bool MakeWorkDirectory(const QString& dir);
// The rule's failure, found without making anything: "Save Path" is set, is
// not the program's own cache folder, and is no folder. A run nobody watches
// checks it before it connects: it makes no folder a typing error names.
Outcome CheckSavePath(Services& services);

// Whether a file of this path lies directly in the work folder (files there
// are the program's own: created new and for the user only).
bool InWorkDirectory(const ConnectionState& state, const QString& path);

// The folder GetTempPath gave, with a trailing separator: on Windows one of
// the user's own, so here the user's cache folder (XDG_CACHE_HOME, by default
// ~/.cache), never the temporary folder that all users share.
QString SystemTempFolder(Services& services);

// The platform's path separator, and whether a path ends with one.
QChar PathSeparator();
bool EndsWithSeparator(const QString& path);

// A text that may name one file or folder: characters that are not allowed in
// file names, or that would reach another folder, become "_". Host-supplied
// parts of PC file names pass through this.
QString SafeNamePart(const QString& part);
