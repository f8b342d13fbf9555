#pragma once
#include <QImage>
#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <memory>

class QWidget;

#include "AppContext.h"
#include "CoreTestSupport.h"
#include "TestPresenter.h"

// The test context of the windows: the same doubles, and windows closed by
// presenter hooks.
struct TestContext : BasicTestContext<AppContext> {
    TestContext();
    TestPresenter* presenter = nullptr;
};

// The windows above the main window's layer as a test answers for them: a
// hook that is set stands in for the default of a program without them.
struct HookedUpperWindows : UpperWindows {
    using UpperWindows::UpperWindows;
    std::function<Outcome()> onAutoConnect;
    std::function<Outcome(const QString& path)> onOpenSettingsFile;
    std::function<Outcome(const QString& path, bool replaceWithoutAsking)> onSaveSettingsFile;
    std::function<std::optional<SaveDialogFields>(SaveDialogKind)> onSaveDialogFields;
    std::function<std::optional<MacroFields>(MacroProgram)> onMacroFields;

    Outcome autoConnect() override { return onAutoConnect ? onAutoConnect() : UpperWindows::autoConnect(); }
    Outcome openSettingsFile(const QString& path) override {
        return onOpenSettingsFile ? onOpenSettingsFile(path) : UpperWindows::openSettingsFile(path);
    }
    Outcome saveSettingsFile(const QString& path, bool replace) override {
        return onSaveSettingsFile ? onSaveSettingsFile(path, replace) : UpperWindows::saveSettingsFile(path, replace);
    }
    std::optional<SaveDialogFields> saveDialogFields(SaveDialogKind d) const override {
        return onSaveDialogFields ? onSaveDialogFields(d) : UpperWindows::saveDialogFields(d);
    }
    std::optional<MacroFields> macroFields(MacroProgram p) const override {
        return onMacroFields ? onMacroFields(p) : UpperWindows::macroFields(p);
    }
};
// Installs them in ctx; the reference lives as long as ctx keeps them.
HookedUpperWindows& installHookedUpperWindows(AppContext& ctx);

// The QApplication of a test program (offscreen); created on first call.
void ensureApplication();

// Shows the window (offscreen), takes its picture and saves it as
// <build>/screenshots/<fileName> for a person to look at. Returns the picture,
// or a null image when it could not be taken or saved.
QImage saveScreenshot(QWidget& window, const QString& fileName);

// The spooled-file screen of ctx as the widgetless screen, with the options
// a "Text file" download starts from (TextFileOptions()).
class PlainSplfScreen;
PlainSplfScreen& TextFileScreen(AppContext& ctx);
