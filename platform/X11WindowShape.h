#pragma once

#include "WindowShape.h"

#include <QRect>
#include <QSize>
#include <vector>

namespace Platform {

// The colour key on X11: the pixels of the key colour are cut out of the
// window's shape (bounding and input) with the X Shape extension, so they are
// see-through and let clicks through with or without a compositor. KeyRgb is
// 0xRRGGBB as qRgb() gives it; alpha is ignored. Without an X display the
// shape goes to the window through Qt.
class TX11WindowShape : public TWindowShape
{
public:
    void ApplyColorKey(QWidget& Window, const QImage& Frame, unsigned KeyRgb) override;
    // Through the window manager's opacity (_NET_WM_WINDOW_OPACITY).
    void SetOpacity(QWidget& Window, int Alpha) override;

    // The pixels of a window of WindowSize that stay: every pixel of Frame that
    // is not the key colour, and whatever of the window Frame does not cover.
    // Rows with the same runs share one rectangle.
    static std::vector<QRect> OpaqueRectangles(const QImage& Frame, unsigned KeyRgb, QSize WindowSize);
};

} // namespace Platform
