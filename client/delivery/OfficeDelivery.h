#pragma once
#include <QString>
#include <memory>

#include "Automation.h"
#include "DownloadOptions.h"
#include "SpoolFileRow.h"

class AppContext;
class frmExcel;
class frmWord;

// The office deliveries: the report goes through the core transfer into a
// text work file, which the office program opens, formats and (Excel, Word)
// saves under a name built from the report. Each returns 0 when the report
// reached the program (and, where it saves, was saved), else -1; the user has
// been told why. `document` receives the document saved, when one was (the
// others leave it as it is).
int ProcExcel(AppContext& ctx, const DownloadOptions& options, DownloadProgress& progress, const SpoolFileRow& row,
              QString* document = nullptr);
int ProcWord_8(AppContext& ctx, const DownloadOptions& options, DownloadProgress& progress, const SpoolFileRow& row,
               QString* document = nullptr);
int ProcLotus123(AppContext& ctx, const DownloadOptions& options, DownloadProgress& progress, const SpoolFileRow& row,
                 QString* document = nullptr);
int ProcWord_6(AppContext& ctx, const DownloadOptions& options, DownloadProgress& progress, const SpoolFileRow& row,
               QString* document = nullptr);
int ProcWordPro(AppContext& ctx, const DownloadOptions& options, DownloadProgress& progress, const SpoolFileRow& row,
                QString* document = nullptr);

// What the office deliveries keep for the run: the macro dialogs and the
// WordPro application object (kept until the main window unloads).
struct OfficeWindows {
    OfficeWindows();
    ~OfficeWindows();
    std::unique_ptr<frmExcel> excel;
    std::unique_ptr<frmWord> word;
    std::shared_ptr<AutomationObject> gWordProApp;
    // Limit of our own on the Word 6/95 link attempts after its start, and the wait between them.
    int ddeRetryLimit = 50;
    int ddeRetryWaitMs = 200;
};
OfficeWindows& OfficeWindowsOf(AppContext& ctx);

// VB's Str of a whole number: a blank before a number that is not negative.
QString VbNumber(int n);
