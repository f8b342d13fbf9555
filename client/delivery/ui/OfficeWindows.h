#pragma once
#include <QString>
#include <memory>
#include <optional>

#include "OfficeDelivery.h"
#include "RunSettings.h"
#include "UpperWindows.h"

class AppContext;
class frmExcel;
class frmWord;

// The office deliveries' windows: the macro dialogs, kept (hidden) for the run.
struct OfficeWindows {
    OfficeWindows();
    ~OfficeWindows();
    std::unique_ptr<frmExcel> excel;
    std::unique_ptr<frmWord> word;
};
// Made on first use; from then on a delivery that runs a macro asks for it
// through its dialog, and the stop sequence reads the dialogs' fields.
OfficeWindows& OfficeWindowsOf(AppContext& ctx);
// A macro dialog's fields; nothing before the office windows are made, empty
// fields for a dialog not yet loaded.
std::optional<MacroFields> LoadedMacroFields(const AppContext& ctx, MacroProgram program);

// What an office or e-mail delivery started from the windows is given: the
// report's options and the document name a settings file put into the text
// save dialog. The delivery's windows are made ready.
RunSettings OfficeMailSettings(AppContext& ctx, const DownloadOptions& options);
// After the delivery: a document name it used is taken out of the dialog, so
// that it names no later report.
void TakeBackOfficeMailSettings(AppContext& ctx, const RunSettings& settings);

// The office deliveries as the windows start them: with OfficeMailSettings
// before and TakeBackOfficeMailSettings after.
ReportResult ProcExcel(AppContext& ctx, const DownloadOptions& options, DownloadProgress& progress,
                       const SpoolFileRow& row);
ReportResult ProcWord_8(AppContext& ctx, const DownloadOptions& options, DownloadProgress& progress,
                        const SpoolFileRow& row);
ReportResult ProcLotus123(AppContext& ctx, const DownloadOptions& options, DownloadProgress& progress,
                          const SpoolFileRow& row);
ReportResult ProcWord_6(AppContext& ctx, const DownloadOptions& options, DownloadProgress& progress,
                        const SpoolFileRow& row);
ReportResult ProcWordPro(AppContext& ctx, const DownloadOptions& options, DownloadProgress& progress,
                         const SpoolFileRow& row);
