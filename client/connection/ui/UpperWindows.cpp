#include "UpperWindows.h"

#include <stdexcept>

#include "AppContext.h"
#include "ConnectionWindows.h"
#include "PlainSplfScreen.h"

std::unique_ptr<SplfScreenApi> UpperWindows::makeSplfScreen() { return std::make_unique<PlainSplfScreen>(); }

int UpperWindows::autoConnect() { return ConnectToHost(ctx_); }

void UpperWindows::runBatchFromCommandLine() { throw std::logic_error("This program has no batch run."); }

int UpperWindows::openSettingsFile(const QString&) { return -1; }

int UpperWindows::saveSettingsFile(const QString&, bool) { return -1; }

std::optional<SaveDialogFields> UpperWindows::saveDialogFields(SaveDialogKind) const { return std::nullopt; }

std::optional<MacroFields> UpperWindows::macroFields(MacroProgram) const { return std::nullopt; }
