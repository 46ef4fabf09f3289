#pragma once

class QImage;
class QWidget;

namespace Platform {

// The colour key: pixels of the key colour in what a window shows are
// see-through on the desktop.
class TWindowShape
{
public:
    virtual ~TWindowShape() = default;
    // Makes every pixel of Frame (the window's client area) that has exactly
    // the key colour see-through; all others stay.
    virtual void ApplyColorKey(QWidget& Window, const QImage& Frame, unsigned KeyRgb) = 0;
    // Opacity of the whole window, 0..255.
    virtual void SetOpacity(QWidget& Window, int Alpha) = 0;
};

} // namespace Platform
