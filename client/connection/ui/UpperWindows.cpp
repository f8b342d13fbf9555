#include "UpperWindows.h"

#include "AppContext.h"
#include "ConnectionWindows.h"
#include "PlainSplfScreen.h"

std::unique_ptr<SplfScreenApi> UpperWindows::makeSplfScreen() { return std::make_unique<PlainSplfScreen>(); }

Outcome UpperWindows::autoConnect() { return ConnectToHost(ctx_); }

int UpperWindows::openSettingsFile(const QString&) { return -1; }

int UpperWindows::saveSettingsFile(const QString&, bool) { return -1; }

std::optional<SaveDialogFields> UpperWindows::saveDialogFields(SaveDialogKind) const { return std::nullopt; }

std::optional<MacroFields> UpperWindows::macroFields(MacroProgram) const { return std::nullopt; }
