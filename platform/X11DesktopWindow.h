#pragma once

#include "DesktopWindow.h"

namespace Platform {

// The desktop window of an X11 session: the top-level window of type
// _NET_WM_WINDOW_TYPE_DESKTOP, or else one titled "Program Manager". Without
// an X display (other Qt platforms) there is none, and SetParent(Window, 0)
// still gives the window its desktop-gadget flags.
class TX11DesktopWindow : public TDesktopWindow
{
public:
    TNativeWindow FindProgramManager() override;
    void SetParent(QWidget& Window, TNativeWindow Parent) override;
};

} // namespace Platform
