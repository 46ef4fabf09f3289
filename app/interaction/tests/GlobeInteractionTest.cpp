#include "app/interaction/GlobeInteraction.h"
#include "globe/GlobeScene.h"

#include <gtest/gtest.h>

namespace {

using Scene::TShiftState;

class GlobeInteractionTest : public testing::Test
{
protected:
    TViewerCursor MoveTo(int X, int Y, TShiftState Shift)
    {
        Cursor = {X, Y};
        return Interaction.MouseMove(Shift);
    }

    TGlobeScene Globe;
    TScreenPoint Cursor;
    TGlobeInteraction Interaction{Globe, [this] { return Cursor; }};
};

TEST_F(GlobeInteractionTest, TheMiddleButtonTurnsAndRollsByOneStepWhateverTheDistance)
{
    Globe.Planetarium->SetTurnAngle(0);
    Globe.Planetarium->SetRollAngle(0);
    MoveTo(10, 10, {}); // the first move compares with (0, 0): nothing held, nothing turns
    EXPECT_EQ(MoveTo(11, 11, {Scene::ssMiddle}), TViewerCursor::SizeAll);
    EXPECT_FLOAT_EQ(Globe.Planetarium->TurnAngle(), 5);
    EXPECT_FLOAT_EQ(Globe.Planetarium->RollAngle(), 5);
    MoveTo(111, 11, {Scene::ssMiddle});
    EXPECT_FLOAT_EQ(Globe.Planetarium->TurnAngle(), 10) << "100 pixels are one step too";
    EXPECT_FLOAT_EQ(Globe.Planetarium->RollAngle(), 5);
    Globe.Planetarium->SetTurnAngle(178);
    MoveTo(112, 11, {Scene::ssMiddle});
    EXPECT_FLOAT_EQ(Globe.Planetarium->TurnAngle(), -177);
}

TEST_F(GlobeInteractionTest, TheLeftButtonPitchesAndTheRightZoomsDownToOne)
{
    Globe.Planetarium->SetPitchAngle(0);
    MoveTo(50, 50, {});
    EXPECT_EQ(MoveTo(50, 40, {Scene::ssLeft}), TViewerCursor::SizeNorthSouth);
    EXPECT_FLOAT_EQ(Globe.Planetarium->PitchAngle(), -5);
    Globe.Camera_1->SetFocalLength(3);
    EXPECT_EQ(MoveTo(40, 40, {Scene::ssRight}), TViewerCursor::SizeWestEast);
    EXPECT_FLOAT_EQ(Globe.Camera_1->FocalLength(), 1) << "-2 is turned into 1";
    // Several buttons: their steps in order, the last one's cursor.
    EXPECT_EQ(MoveTo(30, 30, {Scene::ssMiddle, Scene::ssLeft}), TViewerCursor::SizeNorthSouth);
}

TEST_F(GlobeInteractionTest, AKeyAloneShowsTheReadOutAndTurnsNothing)
{
    Globe.HUDText->SetText("São Paulo 24°C");
    const float Turn = Globe.Planetarium->TurnAngle();
    EXPECT_EQ(MoveTo(70, 70, {Scene::ssShift}), TViewerCursor::Arrow);
    EXPECT_FLOAT_EQ(Globe.Planetarium->TurnAngle(), Turn);
    EXPECT_EQ(Globe.HUDText->Text(), Interaction.AngleReadOut());
    MoveTo(80, 80, {});
    EXPECT_EQ(Globe.HUDText->Text(), Interaction.AngleReadOut()) << "nothing held: the text stays";
}

TEST_F(GlobeInteractionTest, APressShowsTheReadOutAndTheReleaseOrLeavingBringsTheTextBack)
{
    Globe.Planetarium->SetTurnAngle(-157.5f);
    Globe.Planetarium->SetRollAngle(0);
    Globe.Planetarium->SetPitchAngle(12);
    Globe.Camera_1->SetFocalLength(119.99996f);
    Globe.HUDText->SetText("Recife 30");
    Interaction.MouseLeave();
    EXPECT_EQ(Globe.HUDText->Text(), "Recife 30") << "no hint yet";
    Interaction.MouseDown();
    EXPECT_EQ(Globe.HUDText->Text(), "X:-157.5\r\nY:0\r\nZ:12\r\nFoco:119.999961853027");
    Interaction.MouseUp();
    EXPECT_EQ(Globe.HUDText->Text(), "Recife 30");
    Interaction.MouseDown();
    Interaction.MouseLeave();
    EXPECT_EQ(Globe.HUDText->Text(), "Recife 30");
    Interaction.SetDecimalSeparator(',');
    EXPECT_EQ(Interaction.AngleReadOut().substr(0, 8), "X:-157,5");
}

TEST_F(GlobeInteractionTest, OnlyCtrlWithTheLeftButtonDragsTheWindowFromWhereTheMoonWasPressed)
{
    EXPECT_TRUE(TGlobeInteraction::MoonMoveDragsWindow({Scene::ssCtrl, Scene::ssLeft}));
    EXPECT_FALSE(TGlobeInteraction::MoonMoveDragsWindow({Scene::ssLeft}));
    EXPECT_FALSE(TGlobeInteraction::MoonMoveDragsWindow({Scene::ssCtrl}));
    EXPECT_FALSE(TGlobeInteraction::MoonMoveDragsWindow({Scene::ssCtrl, Scene::ssShift, Scene::ssLeft}));
    EXPECT_FALSE(TGlobeInteraction::MoonMoveDragsWindow({Scene::ssCtrl, Scene::ssLeft, Scene::ssRight}));
    Interaction.MoonMouseDown(12, 7);
    const TScreenPoint Target = Interaction.MoonDragTarget({500, 300});
    EXPECT_EQ(Target.X, 488);
    EXPECT_EQ(Target.Y, 293);
}

} // namespace
