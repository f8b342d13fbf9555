#include "KeyboardLocks.h"

#include "Services.h"
#include "Keyboard.h"

namespace {
quint8 state(Services& ctx, LockKey key) { return ctx.keyboard ? ctx.keyboard->lockState(key) : 0; }
void toggle(Services& ctx, LockKey key) {
    if (ctx.keyboard) ctx.keyboard->toggleLock(key);
}
}  // namespace

bool IsCapsLockOn(Services& ctx) { return state(ctx, LockKey::CapsLock) != 0; }
bool IsNumLockOn(Services& ctx) { return state(ctx, LockKey::NumLock) != 0; }
quint8 IsScrollLockOn(Services& ctx) { return state(ctx, LockKey::ScrollLock); }
void ToggleCapsLock(Services& ctx) { toggle(ctx, LockKey::CapsLock); }
void ToggleNumLock(Services& ctx) { toggle(ctx, LockKey::NumLock); }
void ToggleScrollLock(Services& ctx) { toggle(ctx, LockKey::ScrollLock); }

void SendKeysKeepingLocks(Services& ctx, const QString& keys, bool wait) {
    const bool numLock = IsNumLockOn(ctx);
    const bool capsLock = IsCapsLockOn(ctx);
    const bool scrollLock = IsScrollLockOn(ctx) != 0;
    if (ctx.keyboard) ctx.keyboard->sendKeys(keys, wait);
    for (int i = 0; i < 25; ++i) ctx.clock->pumpOnce();
    if (IsNumLockOn(ctx) != numLock) ToggleNumLock(ctx);
    if (IsCapsLockOn(ctx) != capsLock) ToggleCapsLock(ctx);
    if ((IsScrollLockOn(ctx) != 0) != scrollLock) ToggleScrollLock(ctx);
}
