#include "app/desktop/DesktopPlacement.h"
#include "platform/testing/FakeDesktopWindow.h"

#include <gtest/gtest.h>
#include <QElapsedTimer>
#include <QTest>
#include <QWidget>

#include <thread>

namespace {

constexpr Platform::TNativeWindow DesktopManagerWindow = 0x400001;
constexpr Platform::TNativeWindow RestartedDesktopManagerWindow = 0x600001;

class DesktopPlacementTest : public testing::Test
{
protected:
    // Milliseconds until the placement has Parent, or -1 after Limit.
    qint64 MillisecondsUntilParent(Platform::TNativeWindow Parent, int Limit = 5000)
    {
        QElapsedTimer Elapsed;
        Elapsed.start();
        if (!QTest::qWaitFor([&] { return Placement.Parent() == Parent && Desktop.Parent() == Parent; },
                             Limit))
            return -1;
        return Elapsed.elapsed();
    }

    Platform::TFakeDesktopWindow Desktop;
    QWidget Clock;
    TDesktopPlacement Placement{Desktop, Clock};
};

TEST_F(DesktopPlacementTest, StartsInsideTheDesktopWindowOrAsAGadgetOfItsOwn)
{
    Placement.Place(DesktopManagerWindow);
    EXPECT_EQ(Desktop.Parent(), DesktopManagerWindow);

    Platform::TFakeDesktopWindow Bare;
    QWidget Other;
    TDesktopPlacement Alone(Bare, Other);
    Alone.Place(0);
    EXPECT_EQ(Bare.Parent(), 0u);
    ASSERT_EQ(Bare.Calls().size(), 1u);
    EXPECT_EQ(Bare.Calls()[0].Window, &Other);
}

TEST_F(DesktopPlacementTest, ADesktopManagerThatEndsAndRestartsKeepsTheClockAtItsPlace)
{
    Desktop.SetProgramManager(DesktopManagerWindow);
    Placement.Place(DesktopManagerWindow);
    Placement.Move({600, 120});
    Placement.Check();

    Desktop.DestroyProgramManager();
    EXPECT_GE(MillisecondsUntilParent(0), 0) << "the clock must not stay inside a window that is gone";
    EXPECT_FALSE(Desktop.WindowLost()) << "a new native window of its own";
    EXPECT_EQ(Desktop.Moves().back(), QPoint(600, 120));
    EXPECT_EQ(Placement.Position(), QPoint(600, 120));

    // The manager's new window is announced (a new client in the window manager's list).
    Desktop.SetProgramManager(RestartedDesktopManagerWindow);
    Desktop.Notify();
    const qint64 Taken = MillisecondsUntilParent(RestartedDesktopManagerWindow);
    EXPECT_GE(Taken, 0);
    EXPECT_LT(Taken, TDesktopPlacement::LookAgainMilliseconds)
        << "taken in on the news, not on the next look";
    EXPECT_EQ(Desktop.Moves().back(), QPoint(600, 120));
}

TEST_F(DesktopPlacementTest, ADesktopWindowThatAppearsWithoutNewsIsTakenInWithinSeconds)
{
    Placement.Place(0);
    Placement.Move({40, 50});
    Desktop.SetProgramManager(DesktopManagerWindow);
    const qint64 Taken = MillisecondsUntilParent(DesktopManagerWindow);
    EXPECT_GE(Taken, 0);
    EXPECT_LE(Taken, 5000);
    EXPECT_EQ(Desktop.Moves().back(), QPoint(40, 50));
    // Taken in once: later looks find it where it is.
    const std::size_t Calls = Desktop.Calls().size();
    Placement.Check();
    Placement.Check();
    EXPECT_EQ(Desktop.Calls().size(), Calls);
}

TEST_F(DesktopPlacementTest, ThePositionIsTheDisplaysNotTheOneLastAskedFor)
{
    Placement.Place(0);
    Placement.Move({100, 100});
    EXPECT_EQ(Placement.Position(), QPoint(100, 100));
    // The window manager put it elsewhere, or the user moved it with the window manager's keys.
    Desktop.SetPosition({330, 215});
    EXPECT_EQ(Placement.Position(), QPoint(330, 215));
}

TEST_F(DesktopPlacementTest, TopThenLeftMoveTheWindowTogetherBeforeTheDisplayHasAnswered)
{
    Placement.Place(0);
    Desktop.SetPosition({10, 10});
    Desktop.SetMovesDelayed(true);
    // The moon drag and the settings' load set the top, then the left, before the display has answered.
    Placement.SetTop(250);
    Placement.SetLeft(480);
    EXPECT_EQ(Desktop.Moves().back(), QPoint(480, 250));
    // What is saved is where the window is, not where it was asked to go.
    EXPECT_EQ(Placement.Position(), QPoint(10, 10));
    Desktop.SetPosition({480, 250});
    EXPECT_EQ(Placement.Position(), QPoint(480, 250));

    // The window manager put it elsewhere at once; a later move of one coordinate starts from there.
    Placement.Move({900, 900});
    Desktop.SetPosition({700, 600});
    EXPECT_EQ(Placement.Position(), QPoint(700, 600));
    std::this_thread::sleep_for(TDesktopPlacement::MoveInFlight + std::chrono::milliseconds(50));
    Placement.SetTop(20);
    EXPECT_EQ(Desktop.Moves().back(), QPoint(700, 20));
}

} // namespace
