#include <gtest/gtest.h>

#include "KeyboardLocks.h"
#include "RecordingKeyboard.h"
#include "TestSupport.h"

namespace {
struct LocksContext : TestContext {
    RecordingKeyboard* keys = keyboard;
};
}  // namespace

TEST(SendKeysKeepingLocks, ALockKeyThatTheKeysSwitchedIsSwitchedBack) {
    LocksContext t;
    t.keys->setLock(LockKey::NumLock, true);
    SendKeysKeepingLocks(t.ctx.services, QStringLiteral("{CAPSLOCK}abc"), true);
    EXPECT_FALSE(IsCapsLockOn(t.ctx.services));
    EXPECT_TRUE(IsNumLockOn(t.ctx.services));
    EXPECT_EQ(t.keys->toggles(), std::vector<LockKey>{LockKey::CapsLock});
    EXPECT_EQ(t.keys->keys(), QStringList({"{CAPSLOCK}abc"}));
}

TEST(SendKeysKeepingLocks, UnchangedLocksAreLeftAlone) {
    LocksContext t;
    t.keys->setLock(LockKey::ScrollLock, true);
    SendKeysKeepingLocks(t.ctx.services, QStringLiteral("{Home}+{End}"), true);
    EXPECT_NE(IsScrollLockOn(t.ctx.services), 0);
    EXPECT_TRUE(t.keys->toggles().empty());
}

TEST(SendKeysKeepingLocks, ToggledBackInOrderNumCapsScroll) {
    LocksContext t;
    SendKeysKeepingLocks(t.ctx.services, QStringLiteral("{SCROLLLOCK}{CAPSLOCK}{NUMLOCK}"), false);
    EXPECT_EQ(t.keys->toggles(), (std::vector<LockKey>{LockKey::NumLock, LockKey::CapsLock, LockKey::ScrollLock}));
    EXPECT_FALSE(IsNumLockOn(t.ctx.services) || IsCapsLockOn(t.ctx.services) || IsScrollLockOn(t.ctx.services));
}

TEST(SendKeysKeepingLocks, WhereTogglingDoesNothingTheKeysChangesStay) {
    LocksContext t;
    t.keys->togglesWork = false;
    SendKeysKeepingLocks(t.ctx.services, QStringLiteral("{CAPSLOCK}"), true);
    EXPECT_TRUE(IsCapsLockOn(t.ctx.services));
    EXPECT_EQ(t.keys->toggles().size(), 1u);
}
