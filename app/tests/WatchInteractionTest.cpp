#include "WatchFixture.h"

#include <QCursor>
#include <QTest>

using Scene::TShiftState;

namespace {

// The viewer's mouse gestures, with the cursor really moved on the X server.
class WatchInteractionTest : public TWatchFixture
{
protected:
    void SetUp() override
    {
        TWatchFixture::SetUp();
        SeedStore();
        Start();
    }

    void MoveTo(int X, int Y, TShiftState Shift)
    {
        QCursor::setPos(X, Y);
        ASSERT_TRUE(QTest::qWaitFor([&] { return QCursor::pos() == QPoint(X, Y); }, 1000))
            << "the pointer did not reach " << X << ", " << Y;
        Window->CeneViewerMouseMove(Shift);
    }

    std::string Text() const { return Window->HUDText->Text(); }
};

} // namespace

TEST_F(WatchInteractionTest, TheMiddleButtonTurnsAndRollsByFivePerMoveWhateverTheDistance)
{
    MoveTo(200, 200, {Scene::ssMiddle}); // the first move compares against (0, 0)
    EXPECT_FLOAT_EQ(Window->Planetarium->TurnAngle(), 5);
    EXPECT_FLOAT_EQ(Window->Planetarium->RollAngle(), 5);
    MoveTo(201, 201, {Scene::ssMiddle});
    EXPECT_FLOAT_EQ(Window->Planetarium->TurnAngle(), 10);
    EXPECT_FLOAT_EQ(Window->Planetarium->RollAngle(), 10);
    MoveTo(301, 201, {Scene::ssMiddle});
    EXPECT_FLOAT_EQ(Window->Planetarium->TurnAngle(), 15);
    EXPECT_FLOAT_EQ(Window->Planetarium->RollAngle(), 10) << "no vertical move";
    EXPECT_EQ(Window->LastMouseX, 301);
}

TEST_F(WatchInteractionTest, TheLeftButtonPitchesAndTheRightButtonZooms)
{
    MoveTo(100, 100, {});
    MoveTo(100, 90, {Scene::ssLeft});
    EXPECT_FLOAT_EQ(Window->Planetarium->PitchAngle(), -5);
    Window->Camera_1->SetFocalLength(3);
    MoveTo(80, 90, {Scene::ssRight});
    EXPECT_FLOAT_EQ(Window->Camera_1->FocalLength(), 1) << "3 - 5 is no focal length";
    MoveTo(85, 90, {Scene::ssRight});
    EXPECT_FLOAT_EQ(Window->Camera_1->FocalLength(), 6);
}

TEST_F(WatchInteractionTest, TurningPastOneHundredEightyWrapsAround)
{
    Window->Planetarium->SetTurnAngle(178);
    MoveTo(100, 100, {});
    MoveTo(110, 100, {Scene::ssMiddle});
    EXPECT_FLOAT_EQ(Window->Planetarium->TurnAngle(), -177);
}

TEST_F(WatchInteractionTest, AKeyAloneShowsTheReadOutWithoutTurning)
{
    MoveTo(100, 100, {});
    EXPECT_EQ(Text(), "Zentavo 3D Desktop") << "nothing held: the text stays";
    MoveTo(120, 130, {Scene::ssShift});
    EXPECT_FLOAT_EQ(Window->Planetarium->TurnAngle(), 0);
    EXPECT_EQ(Text(), "X:0\r\nY:0\r\nZ:0\r\nFoco:119.999961853027");
}

TEST_F(WatchInteractionTest, APressShowsTheReadOutAndTheReleaseOrLeavingPutsTheTextBack)
{
    Window->Planetarium->SetTurnAngle(-157.5f);
    Window->ScreenViewMouseDown();
    EXPECT_EQ(Text(), "X:-157.5\r\nY:0\r\nZ:0\r\nFoco:119.999961853027");
    EXPECT_EQ(Window->Hint(), QStringLiteral("Zentavo 3D Desktop"));
    Window->ScreenViewMouseUp();
    EXPECT_EQ(Text(), "Zentavo 3D Desktop");
    Window->HUDText->SetText("outro");
    Window->ScreenViewMouseLeave();
    EXPECT_EQ(Text(), "Zentavo 3D Desktop");
}
