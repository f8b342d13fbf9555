#pragma once
#include <QString>
#include <memory>
#include <vector>

#include "Automation.h"
#include "DownloadOptions.h"
#include "MessageBoxes.h"
#include "ReportResult.h"
#include "RunSettings.h"
#include "SpoolFileRow.h"

class RunContext;

// The flow all office deliveries share: status texts, the work file from the
// core transfer, the running-or-new program, the batch run's output name.
namespace OfficeFlow {
struct Run {
    RunContext& ctx;
    RunSettings& settings;
    DownloadOptions options;
    DownloadProgress& progress;
    const SpoolFileRow& row;
    bool macroUnavailableTold = false;

    // The first panel of the spooled-file screen's status bar.
    void status(const QString& text);
    // The output name a settings file gave (the text save name it marked), empty when none.
    QString batchName() const;
    // ... used: it names no later report.
    void clearBatchTag();
    // "macros are not available on this platform", once per delivery.
    void macrosUnavailable();
    // "Error 5 text" (`withDescriptionLabel`: "Error 5 Description: text").
    void errorBox(const AutomationError& e, bool withDescriptionLabel, MsgIcon icon);
};

// The report into a work file of `folder` with the core transfer: the
// transfer's result, whose writtenAs is the work file; stopped (the transfer
// has told the user) when it did not arrive whole. `replace` writes the work
// file anew whatever the screen's Add/Replace choice.
ReportResult TransferToWorkFile(Run& run, const QString& folder, bool fullNames, const QString& extension,
                                const QString& processCode, bool replace);
// A document whose name leads to something that is no plain file (a folder,
// device, pipe or socket) is refused with a message before the host is asked:
// true then.
bool RefuseDocumentTarget(Run& run, const QString& document);
// "Checking for an existing instance of X..." and the running program, else
// "Starting a new instance of X." and a new one; null after "X could not be
// started." was shown.
std::shared_ptr<AutomationObject> Connect(Run& run, const QString& progId, const QString& program, bool lookForRunning);
// The registry's "Save Path"; not set: the work directory.
QString SaveFolder(RunContext& ctx);
// gWorkDir, in its short form for a program version that needs one.
QString WorkFolder(RunContext& ctx, bool shortForm);
// Lines of the work file that hold only the page-break mark, and blank lines before the first text.
struct WorkFileShape {
    int marks = 0;
    // One entry for each character 149 in the file, in order: whether it is a mark.
    std::vector<bool> bulletIsMark;
    int leadingBlank = 0;
    int lines = 0;
};
WorkFileShape ShapeOf(const QString& workFile);
// A report of more rows than a worksheet holds is refused with a message
// before the program is asked for anything: true then.
bool RefuseOverRowLimit(Run& run, qint64 rows, const QString& program);
// "10" to "17": a version that takes the work folder as it stands.
bool IsOfficeVersion(const QString& version);
// Runs a step whose failure leaves the document as it is.
template <class F>
void IgnoringErrors(F&& f) {
    try {
        f();
    } catch (const AutomationError&) {
    }
}
// "'book name'!macro": the file part of `path` after its last separator.
QString MacroReference(const QString& path, const QString& macro);
// A save's folder is missing: the message and the naming dialog, so that the user can set "Save Path".
void AskForSaveFolder(Run& run);
}  // namespace OfficeFlow
