#pragma once
#include <memory>

#include "frmFormat.h"
#include "ProcessType.h"
#include "UpperWindows.h"
#include "frmSaveAs.h"

class AppContext;

// The download layer's single default instances, created on first use.
class DownloadWindows {
public:
    std::unique_ptr<frmSaveAs> save[4];
    std::unique_ptr<frmFormat> format;
};

// frmSave, frmSaveHtml, frmSaveXml or frmPDF, loaded on first use.
frmSaveAs& SaveDialog(AppContext& ctx, frmSaveAs::Kind kind);
// The extension of the files a save dialog names ("txt", "html", "xml", "pdf").
QString SaveDialogExtension(frmSaveAs::Kind kind);
// The dialog that names a destination's files (Text for one that has none).
frmSaveAs::Kind SaveDialogKindOf(SaveDialogKind dialog);
// frmFormat, loaded (Form_Load run) on first use and after a Cancel.
frmFormat& NamingOptionsWindow(AppContext& ctx);
bool NamingOptionsLoaded(AppContext& ctx);

// The "&Naming Options" command of the main window and of the spooled-file
// screen: "FullName" (read by the caller, "None" when not set) into
// chkFullName, then the window, modally.
void ShowNamingOptions(AppContext& ctx, const QString& fullName);
void ShowNamingOptions(AppContext& ctx);

// Installs what these windows answer for the code below them (RunWindows):
// the naming options.
void installDownloadWindows(AppContext& ctx);

// A save-as dialog's fields as the stop sequence remembers them (empty for
// one not loaded).
SaveDialogFields LoadedSaveDialogFields(const AppContext& ctx, frmSaveAs::Kind kind);
