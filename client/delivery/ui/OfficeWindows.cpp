#include "OfficeWindows.h"

#include <QLineEdit>

#include "AppContext.h"
#include "DownloadWindows.h"
#include "MousePointer.h"
#include "frmMacro.h"

OfficeWindows::OfficeWindows() = default;
OfficeWindows::~OfficeWindows() = default;

namespace {
// The dialog as a delivery shows it: accepted at once for a settings file, else modal.
RunSettings::Macro askMacro(AppContext& ctx, MacroProgram program) {
    MacroDialog& dlg = program == MacroProgram::Excel ? static_cast<MacroDialog&>(ExcelMacroWindow(ctx))
                                                      : static_cast<MacroDialog&>(WordMacroWindow(ctx));
    if (ctx.download.gSettingsFromFile) {
        dlg.showAndAccept();
    } else {
        PointerGuard normal(MousePointer::Normal);
        dlg.showModal();
    }
    RunSettings::Macro m;
    m.document = dlg.txtMacroFileBox->text();
    m.name = dlg.txtMacroName->text();
    m.loaded = true;
    return m;
}

class WindowMacroDialogs : public MacroWindows {
public:
    explicit WindowMacroDialogs(AppContext& ctx) : ctx_(ctx) {}
    RunSettings::Macro askMacro(MacroProgram program) override { return ::askMacro(ctx_, program); }

private:
    AppContext& ctx_;
};

frmSaveAs* loadedTextSave(AppContext& ctx) {
    return ctx.downloadWindows ? ctx.downloadWindows->save[static_cast<int>(frmSaveAs::Kind::Text)].get() : nullptr;
}
}  // namespace

OfficeWindows& OfficeWindowsOf(AppContext& ctx) {
    if (!ctx.officeWindows) {
        ctx.officeWindows = std::make_shared<OfficeWindows>();
        Office(ctx).macroWindows = std::make_unique<WindowMacroDialogs>(ctx);
    }
    return *ctx.officeWindows;
}

std::optional<MacroFields> LoadedMacroFields(const AppContext& ctx, MacroProgram program) {
    if (!ctx.officeWindows) return std::nullopt;
    const OfficeWindows& w = *ctx.officeWindows;
    const MacroDialog* dlg = program == MacroProgram::Excel ? static_cast<const MacroDialog*>(w.excel.get())
                                                            : static_cast<const MacroDialog*>(w.word.get());
    if (!dlg) return MacroFields{};
    return MacroFields{dlg->txtMacroFileBox->text(), dlg->txtMacroName->text()};
}

RunSettings OfficeMailSettings(AppContext& ctx, const DownloadOptions& options) {
    OfficeWindowsOf(ctx);
    RunSettings s;
    s.options = options;
    // A dialog not yet loaded holds no name.
    if (const frmSaveAs* save = loadedTextSave(ctx))
        s.saveNames[RunSettings::TextSave] = {save->txtSave->text(), !save->txtSaveTag().isEmpty(), false};
    return s;
}

void TakeBackOfficeMailSettings(AppContext& ctx, const RunSettings& settings) {
    frmSaveAs* save = loadedTextSave(ctx);
    if (save && !settings.saveNames[RunSettings::TextSave].fromFile) save->setTxtSaveTag(QString());
}

namespace {
using CoreProc = ReportResult (*)(RunContext&, RunSettings&, DownloadProgress&, const SpoolFileRow&);
ReportResult fromWindows(CoreProc proc, AppContext& ctx, const DownloadOptions& options, DownloadProgress& progress,
                         const SpoolFileRow& row) {
    RunSettings settings = OfficeMailSettings(ctx, options);
    ReportResult result = proc(ctx, settings, progress, row);
    TakeBackOfficeMailSettings(ctx, settings);
    return result;
}
}  // namespace

ReportResult ProcExcel(AppContext& ctx, const DownloadOptions& options, DownloadProgress& progress,
                       const SpoolFileRow& row) {
    return fromWindows(ProcExcel, ctx, options, progress, row);
}
ReportResult ProcWord_8(AppContext& ctx, const DownloadOptions& options, DownloadProgress& progress,
                        const SpoolFileRow& row) {
    return fromWindows(ProcWord_8, ctx, options, progress, row);
}
ReportResult ProcLotus123(AppContext& ctx, const DownloadOptions& options, DownloadProgress& progress,
                          const SpoolFileRow& row) {
    return fromWindows(ProcLotus123, ctx, options, progress, row);
}
ReportResult ProcWord_6(AppContext& ctx, const DownloadOptions& options, DownloadProgress& progress,
                        const SpoolFileRow& row) {
    return fromWindows(ProcWord_6, ctx, options, progress, row);
}
ReportResult ProcWordPro(AppContext& ctx, const DownloadOptions& options, DownloadProgress& progress,
                         const SpoolFileRow& row) {
    return fromWindows(ProcWordPro, ctx, options, progress, row);
}
