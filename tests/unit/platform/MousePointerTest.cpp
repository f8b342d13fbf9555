#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <stdexcept>

#include "MousePointer.h"
#include "TestSupport.h"

namespace {

TEST(PointerGuard, GivesThePointerBackOnEveryWayOut) {
    ensureApplication();
    ASSERT_EQ(QApplication::overrideCursor(), nullptr);
    try {
        PointerGuard busy;
        ASSERT_NE(QApplication::overrideCursor(), nullptr);
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        {
            PointerGuard normal(MousePointer::Normal);  // a dialog in the middle of the work
            EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        }
        EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        throw std::runtime_error("failed half way");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);

    PointerGuard early;
    early.release();
    early.release();  // once only
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

// The operations set the one pointer as they go; the guard around them puts
// back what it found, whatever they left.
TEST(PointerGuard, UndoesWhatTheOperationSetInBetween) {
    ensureApplication();
    struct Case {
        MousePointer before, setInside, after;
    };
    const Case cases[] = {
        {MousePointer::Normal, MousePointer::Hourglass, MousePointer::Normal},
        {MousePointer::Normal, MousePointer::ArrowHourglass, MousePointer::Normal},
        {MousePointer::Hourglass, MousePointer::Normal, MousePointer::Hourglass},
        {MousePointer::ArrowHourglass, MousePointer::Normal, MousePointer::ArrowHourglass},
    };
    for (const Case& c : cases) {
        setMousePointer(c.before);
        {
            PointerGuard busy;
            EXPECT_EQ(mousePointer(), MousePointer::Hourglass);
            setMousePointer(c.setInside);
            setMousePointer(c.setInside);  // one pointer, not a stack
            EXPECT_EQ(mousePointer(), c.setInside);
        }
        EXPECT_EQ(mousePointer(), c.after);
        setMousePointer(MousePointer::Normal);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }
}

}  // namespace
