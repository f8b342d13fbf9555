#pragma once
#include <QByteArray>
#include <QString>
#include <utility>
#include <vector>

#include "Reporting.h"
#include "RunSettings.h"

class AppContext;

// The windows' side of settings files: the settings the screen, the main
// window and the option dialogs hold, as a RunSettings, and back.
namespace SettingsFile {
// What the windows are set to (the writer's view: it loads the naming and
// printer format dialogs, hidden, when they are not yet).
RunSettings fromWindows(AppContext& ctx);

// File > Open's reading of a file's lines (RunSettings' apply, the window's
// reader): each part the file sets is put into its control as a click would.
void apply(AppContext& ctx, const std::vector<std::pair<QString, QString>>& lines);

// The file's text as SaveSettingsFile writes it.
QByteArray contents(AppContext& ctx);
}  // namespace SettingsFile

// File > Open: applies the file to the windows; done, or stopped after "File
// ... is not found." when it cannot be read.
Outcome OpenSettingsFile(AppContext& ctx, const QString& path);
// File > Save (replaceWithoutAsking) and Save As: writes a new file beside
// the old one and puts it in its place only when it is complete; done, or
// stopped when the user declined to replace the file or it could not be
// written, after its message (the old file is then as it was).
Outcome SaveSettingsFile(AppContext& ctx, const QString& path, bool replaceWithoutAsking);
