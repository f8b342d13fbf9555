#include "UpperWindows.h"

#include "AppContext.h"
#include "ConnectionWindows.h"
#include "PlainSplfScreen.h"

std::unique_ptr<SplfScreenApi> UpperWindows::makeSplfScreen() { return std::make_unique<PlainSplfScreen>(); }

Outcome UpperWindows::autoConnect() { return ConnectToHost(ctx_); }

Outcome UpperWindows::openSettingsFile(const QString&) { return Outcome::Stopped(); }

Outcome UpperWindows::saveSettingsFile(const QString&, bool) { return Outcome::Stopped(); }

std::optional<SaveDialogFields> UpperWindows::saveDialogFields(SaveDialogKind) const { return std::nullopt; }

std::optional<MacroFields> UpperWindows::macroFields(MacroProgram) const { return std::nullopt; }
