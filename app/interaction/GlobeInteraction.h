#pragma once

#include "scene/GLShiftState.h"

#include <functional>
#include <string>

class TGlobeScene;

// The cursor a viewer mouse move asks for.
enum class TViewerCursor
{
    Arrow,
    SizeAll,
    SizeNorthSouth,
    SizeWestEast,
};

struct TScreenPoint
{
    int X = 0;
    int Y = 0;
};

// The mouse on the globe and on the moon button: dragging in the viewer turns
// the globe or zooms the camera by steps of 5, a press shows the angle
// read-out on the heads-up line, Ctrl and the left button on the moon drag
// the window. Works on the scene alone; the cursor position comes from the
// caller, read afresh for each comparison.
class TGlobeInteraction
{
public:
    using TCursorReader = std::function<TScreenPoint()>;

    TGlobeInteraction(TGlobeScene& Globe, TCursorReader Cursor);

    void MouseDown();
    TViewerCursor MouseMove(Scene::TShiftState Shift);
    void MouseUp();
    void MouseLeave();

    // "X:" turn, "Y:" roll, "Z:" pitch, "Foco:" focal length, a line each,
    // numbers in the shortest form of up to 15 digits with the given decimal separator.
    std::string AngleReadOut() const;
    void SetDecimalSeparator(char Value) { FDecimalSeparator = Value; }

    // The heads-up text of before a press in the viewer.
    const std::string& Hint() const { return FHint; }
    TScreenPoint LastMouse() const { return FLastMouse; }

    // The moon button: where it was pressed, and whether a move drags the window.
    void MoonMouseDown(int X, int Y);
    static bool MoonMoveDragsWindow(Scene::TShiftState Shift);
    // The window's new top-left for the cursor, in screen coordinates.
    TScreenPoint MoonDragTarget(TScreenPoint Cursor) const;
    TScreenPoint DragOffset() const { return FDragOffset; }

    static constexpr float Step = 5;

private:
    TGlobeScene& FGlobe;
    TCursorReader FCursor;
    TScreenPoint FLastMouse;
    TScreenPoint FDragOffset;
    std::string FHint;
    char FDecimalSeparator = '.';
};
