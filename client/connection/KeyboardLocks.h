#pragma once
#include <QString>

class AppContext;

// The lock keys and simulated keystrokes. Every keystroke send of the program
// goes through SendKeysKeepingLocks, so that a send that flips a lock key
// leaves it as the user had it.
bool IsCapsLockOn(AppContext& ctx);
bool IsNumLockOn(AppContext& ctx);
// The raw Scroll Lock state byte.
quint8 IsScrollLockOn(AppContext& ctx);
void ToggleCapsLock(AppContext& ctx);
void ToggleNumLock(AppContext& ctx);
void ToggleScrollLock(AppContext& ctx);
// Sends the keys (keystroke notation, e.g. "{Home}+{End}"), lets pending window
// events run 25 times, then toggles back each lock key whose state changed.
void SendKeysKeepingLocks(AppContext& ctx, const QString& keys, bool wait);
