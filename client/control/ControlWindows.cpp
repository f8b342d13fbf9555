#include "AppContext.h"
#include "DownloadWindows.h"
#include "OfficeWindows.h"
#include "SettingsFile.h"
#include "frmSplf.h"

namespace {
class ControlWindows : public UpperWindows {
public:
    using UpperWindows::UpperWindows;

    std::unique_ptr<SplfScreenApi> makeSplfScreen() override {
        auto screen = std::make_unique<frmSplf>(ctx_);
        screen->Form_Load();
        return screen;
    }
    Outcome openSettingsFile(const QString& path) override { return OpenSettingsFile(ctx_, path); }
    Outcome saveSettingsFile(const QString& path, bool replaceWithoutAsking) override {
        return SaveSettingsFile(ctx_, path, replaceWithoutAsking);
    }
    std::optional<SaveDialogFields> saveDialogFields(SaveDialogKind dialog) const override {
        return LoadedSaveDialogFields(ctx_, SaveDialogKindOf(dialog));
    }
    std::optional<MacroFields> macroFields(MacroProgram program) const override {
        return LoadedMacroFields(ctx_, program);
    }
};
}  // namespace

void installWindows(AppContext& ctx) { ctx.installUpperWindows(std::make_unique<ControlWindows>(ctx)); }
