#include "GlobeInteraction.h"

#include "globe/GlobeScene.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstdlib>

TGlobeInteraction::TGlobeInteraction(TGlobeScene& Globe, TCursorReader Cursor)
    : FGlobe(Globe), FCursor(std::move(Cursor))
{}

void TGlobeInteraction::MouseDown()
{
    FHint = FGlobe.HUDText->Text();
    FGlobe.HUDText->SetText(AngleReadOut());
}

TViewerCursor TGlobeInteraction::MouseMove(Scene::TShiftState Shift)
{
    Scene::TGLDummyCube& Planetarium = *FGlobe.Planetarium;
    Scene::TGLCamera& Camera = *FGlobe.Camera_1;
    // Only the sign of the movement counts: one step per event.
    TViewerCursor Cursor = TViewerCursor::Arrow;
    if (Shift.Contains(Scene::ssMiddle)) {
        Cursor = TViewerCursor::SizeAll;
        if (FCursor().X < FLastMouse.X)
            Planetarium.SetTurnAngle(Planetarium.TurnAngle() - Step);
        if (FCursor().X > FLastMouse.X)
            Planetarium.SetTurnAngle(Planetarium.TurnAngle() + Step);
        if (FCursor().Y < FLastMouse.Y)
            Planetarium.SetRollAngle(Planetarium.RollAngle() - Step);
        if (FCursor().Y > FLastMouse.Y)
            Planetarium.SetRollAngle(Planetarium.RollAngle() + Step);
    }
    if (Shift.Contains(Scene::ssLeft)) {
        Cursor = TViewerCursor::SizeNorthSouth;
        if (FCursor().Y < FLastMouse.Y)
            Planetarium.SetPitchAngle(Planetarium.PitchAngle() - Step);
        if (FCursor().Y > FLastMouse.Y)
            Planetarium.SetPitchAngle(Planetarium.PitchAngle() + Step);
    }
    if (Shift.Contains(Scene::ssRight)) {
        Cursor = TViewerCursor::SizeWestEast;
        if (FCursor().X < FLastMouse.X)
            Camera.SetFocalLength(Camera.FocalLength() - Step);
        if (FCursor().X > FLastMouse.X)
            Camera.SetFocalLength(Camera.FocalLength() + Step);
    }
    if (!Shift.Empty())
        FGlobe.HUDText->SetText(AngleReadOut());
    FLastMouse = FCursor();
    return Cursor;
}

void TGlobeInteraction::MouseUp()
{
    FGlobe.HUDText->SetText(FHint);
}

void TGlobeInteraction::MouseLeave()
{
    if (!FHint.empty())
        FGlobe.HUDText->SetText(FHint);
}

std::string TGlobeInteraction::AngleReadOut() const
{
    const auto Number = [this](double Value) {
        char Text[64];
        std::snprintf(Text, sizeof Text, "%.15g", Value);
        std::string Result = Text;
        for (char& Character : Result)
            if (Character == '.')
                Character = FDecimalSeparator;
        return Result;
    };
    const std::string Break = "\r\n";
    return "X:" + Number(FGlobe.Planetarium->TurnAngle()) + Break +
           "Y:" + Number(FGlobe.Planetarium->RollAngle()) + Break +
           "Z:" + Number(FGlobe.Planetarium->PitchAngle()) + Break +
           QCoreApplication::translate("TGlobeInteraction", "Foco:").toStdString() +
           Number(FGlobe.Camera_1->FocalLength());
}

void TGlobeInteraction::MoonMouseDown(int X, int Y)
{
    FDragOffset = {X, Y};
}

bool TGlobeInteraction::MoonMoveDragsWindow(Scene::TShiftState Shift)
{
    return Shift == Scene::TShiftState{Scene::ssCtrl, Scene::ssLeft};
}

TScreenPoint TGlobeInteraction::MoonDragTarget(TScreenPoint Cursor) const
{
    return {Cursor.X - FDragOffset.X, Cursor.Y - FDragOffset.Y};
}
