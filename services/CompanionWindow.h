#pragma once

#include <string>

class QImage;

// What a companion library may do with the clock's main window; the main
// window implements it.
class TCompanionWindow
{
public:
    virtual ~TCompanionWindow() = default;
    // The weather library leaves its weather text here (UTF-8).
    virtual void SetCaption(const std::string& Caption) = 0;
    // The bitmap attached as the brush pattern of the window's drawing
    // surface, or null when none is attached.
    virtual QImage* BrushBitmap() = 0;
};
