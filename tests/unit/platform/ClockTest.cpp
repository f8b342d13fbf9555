#include <gtest/gtest.h>

#include <QTimer>

#include "Clock.h"
#include "TestSupport.h"

namespace {

TEST(VirtualClock, LongWaitsCostNoRealTimeAndEndAtTheirLimit) {
    ensureApplication();
    struct Case {
        qint64 stepMs, limitMs;
    };
    // The last step is cut to the limit: a wait never runs past it.
    for (const Case c : {Case{250, 45000}, Case{250, 100}, Case{1000, 2500}, Case{250, 0}}) {
        VirtualClock clock(c.stepMs);
        const qint64 start = clock.nowMs();
        EXPECT_FALSE(clock.waitUntil([] { return false; }, c.limitMs)) << c.limitMs;
        EXPECT_EQ(clock.nowMs() - start, c.limitMs) << c.limitMs;
        EXPECT_EQ(clock.waited(), c.limitMs) << c.limitMs;
    }
}

TEST(VirtualClock, AWaitForAConditionEndsAsSoonAsItHolds) {
    ensureApplication();
    VirtualClock clock;
    const qint64 start = clock.nowMs();
    EXPECT_TRUE(clock.waitUntil([] { return true; }, 5000));
    EXPECT_EQ(clock.nowMs(), start);

    // Made true by time: at the first step that reaches it.
    EXPECT_TRUE(clock.waitUntil([&] { return clock.nowMs() >= start + 1000; }, 60000));
    EXPECT_EQ(clock.nowMs(), start + 1000);

    // Made true by an event: served before time moves on.
    bool fired = false;
    QTimer::singleShot(0, [&] { fired = true; });
    const qint64 before = clock.nowMs();
    EXPECT_TRUE(clock.waitUntil([&] { return fired; }, 60000));
    EXPECT_EQ(clock.nowMs(), before);
}

TEST(VirtualClock, PumpOnceServesPendingEventsWithoutMovingTime) {
    ensureApplication();
    VirtualClock clock;
    int fired = 0;
    QTimer::singleShot(0, [&] { ++fired; });
    const qint64 before = clock.nowMs();
    clock.pumpOnce();
    EXPECT_EQ(fired, 1);
    EXPECT_EQ(clock.nowMs(), before);
}

TEST(RealClock, AWaitEndsWhenItsConditionHoldsOrAtItsLimit) {
    ensureApplication();
    RealClock clock;
    bool fired = false;
    QTimer::singleShot(0, [&] { fired = true; });
    EXPECT_TRUE(clock.waitUntil([&] { return fired; }, 60000));

    const qint64 start = clock.nowMs();
    EXPECT_FALSE(clock.waitUntil([] { return false; }, 30));
    EXPECT_GE(clock.nowMs() - start, 30);
}

}  // namespace
