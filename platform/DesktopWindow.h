#pragma once

#include <QPoint>

#include <cstdint>
#include <functional>
#include <optional>

class QWidget;

namespace Platform {

using TNativeWindow = std::uintptr_t;

// Places the clock on the desktop: inside the desktop window when one exists,
// otherwise as a window of its own that stays below others on every
// workspace, with no task-bar, pager or window-switcher entry. Desktop
// windows belong to desktop managers that start late, restart or never run,
// so the clock may move between the two forms while it runs.
class TDesktopWindow
{
public:
    virtual ~TDesktopWindow() = default;
    // The desktop window (the analogue of "Program Manager"), or 0. Never one
    // of the program's own windows.
    virtual TNativeWindow FindProgramManager() = 0;
    // Makes Window a child of Parent (0: a desktop gadget of its own). A
    // native window the display has already lost with its parent is made anew.
    virtual void SetParent(QWidget& Window, TNativeWindow Parent) = 0;
    // Whether Window's native window still exists inside Parent (0: inside no
    // desktop window).
    virtual bool IsInside(const QWidget& Window, TNativeWindow Parent) = 0;
    // Where the window's top-left corner is on the screen, in the window's
    // logical pixels, as the display server has it now; nothing while the
    // window has no native window.
    virtual std::optional<QPoint> ScreenPosition(const QWidget& Window) = 0;
    // Puts the window's top-left corner at Position on the screen, whatever
    // its parent.
    virtual void MoveTo(QWidget& Window, QPoint Position) = 0;
    // Called on the window's thread when a desktop window may have come or
    // gone, or the clock's own native window was destroyed.
    virtual void SetOnDesktopChange(std::function<void()> Handler) = 0;
};

} // namespace Platform
