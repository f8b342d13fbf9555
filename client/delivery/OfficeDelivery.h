#pragma once
#include <QString>
#include <memory>
#include <optional>

#include "Automation.h"
#include "DownloadOptions.h"
#include "ReportResult.h"
#include "RunSettings.h"
#include "SettingKeys.h"
#include "SpoolFileRow.h"

class RunContext;
class Services;

// The office deliveries: the report goes through the core transfer into a
// text work file, which the office program opens, formats and (Excel, Word)
// saves under a name built from the report. Each is done when the report
// reached the program (and, where it saves, was saved), else stopped: the
// user has been told why. The result's writtenAs is the document saved, when
// one was (empty otherwise).
//
// They read the run's settings: the options, the macro fields, and the name a
// settings file gave the document (the text save name it marks `fromFile`),
// which names one report only: a delivery that used it takes the mark off.
ReportResult ProcExcel(RunContext& ctx, RunSettings& settings, DownloadProgress& progress, const SpoolFileRow& row);
ReportResult ProcWord_8(RunContext& ctx, RunSettings& settings, DownloadProgress& progress, const SpoolFileRow& row);
ReportResult ProcLotus123(RunContext& ctx, RunSettings& settings, DownloadProgress& progress, const SpoolFileRow& row);
ReportResult ProcWord_6(RunContext& ctx, RunSettings& settings, DownloadProgress& progress, const SpoolFileRow& row);
ReportResult ProcWordPro(RunContext& ctx, RunSettings& settings, DownloadProgress& progress, const SpoolFileRow& row);

enum class MacroProgram { Excel, Word };

// The macro dialog as the windows show it when a delivery comes to its
// macro: its fields as the user left them.
class MacroWindows {
public:
    virtual ~MacroWindows() = default;
    virtual RunSettings::Macro askMacro(MacroProgram program) = 0;
};

// What the office deliveries keep for the run: the WordPro application
// object (kept until the program ends) and the macro fields.
struct OfficeState {
    std::shared_ptr<AutomationObject> gWordProApp;
    // Limit of our own on the Word 6/95 link attempts after its start, and the wait between them.
    int ddeRetryLimit = 50;
    int ddeRetryWaitMs = 200;
    // The macro fields of a run without the macro dialogs, once loaded.
    std::optional<RunSettings::Macro> excelMacro, wordMacro;
    // The macro dialogs, set by the windows. None: the fields kept above.
    std::unique_ptr<MacroWindows> macroWindows;
};
OfficeState& Office(RunContext& ctx);

// The macro a delivery runs: the macro dialog's answer where the windows
// show it; else the fields as the dialog would hold them (its defaults and
// the remembered values, with a settings file's on top), checked as its Open
// checks them.
RunSettings::Macro MacroFor(RunContext& ctx, const RunSettings& settings, MacroProgram program);
// The folder offered when no macro file is named.
QString MacroDefaultFolder();
// The macro file's check of the dialog's Open: a path (with either separator)
// must name a file that can be read; false after the message.
bool MacroFileReadable(Services& ctx, MacroProgram program, const QString& path);
// The remembered values of a macro dialog.
const SettingKey& MacroFileSetting(MacroProgram program);
const SettingKey& MacroNameSetting(MacroProgram program);

// VB's Str of a whole number: a blank before a number that is not negative.
QString VbNumber(int n);
