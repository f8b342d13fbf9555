#pragma once
#include <QString>

class Services;

// The lock keys and simulated keystrokes. Every keystroke send of the program
// goes through SendKeysKeepingLocks, so that a send that flips a lock key
// leaves it as the user had it.
bool IsCapsLockOn(Services& ctx);
bool IsNumLockOn(Services& ctx);
// The raw Scroll Lock state byte.
quint8 IsScrollLockOn(Services& ctx);
void ToggleCapsLock(Services& ctx);
void ToggleNumLock(Services& ctx);
void ToggleScrollLock(Services& ctx);
// Sends the keys (keystroke notation, e.g. "{Home}+{End}"), lets pending window
// events run 25 times, then toggles back each lock key whose state changed.
void SendKeysKeepingLocks(Services& ctx, const QString& keys, bool wait);
