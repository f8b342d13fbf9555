#pragma once
#include <QRect>
#include <memory>

#include "DownloadOptions.h"
#include "SpoolFileRow.h"

class AppContext;
class frmFullView;
class frmPrint;
class frmView;

// The viewers' state for the run: the preview window while it is loaded, and
// the place of each viewer when it was last closed.
class ViewerWindows {
public:
    ~ViewerWindows();
    std::unique_ptr<frmView> view;
    // "Printer format options" while it is loaded: a settings file opened in
    // this run has filled it; its OK or Cancel unloads it.
    std::unique_ptr<frmPrint> print;
    QRect viewPlace;
    QRect fullViewPlace;
};
ViewerWindows& Viewers(AppContext& ctx);
// The preview window, loaded (its load run) on first use.
frmView& PreviewWindow(AppContext& ctx);

// "View a few pages": asks the host for a preview ("P"), collects it in
// memory and shows it modally. 0 when it was shown; -1 when the host refused
// it or the exchange failed or was cancelled (already reported), nothing shown.
// A batch run shows no window.
int TransferSpoolFileToViewer(AppContext& ctx, const DownloadOptions& options, DownloadProgress& progress,
                              const SpoolFileRow& row);

// "View entire report": downloads the report into a new file of the work
// directory ("Replace file" is chosen on the spooled-file screen for it, and
// stays) and shows it modally. 0 when it was shown.
int ProcFullView(AppContext& ctx, const DownloadOptions& options, DownloadProgress& progress, const SpoolFileRow& row);

// "Printer format options", loaded (its values from the remembered ones) on first use.
frmPrint& PrinterFormatWindow(AppContext& ctx);
