#pragma once

#include <cstdint>

class QWidget;

namespace Platform {

using TNativeWindow = std::uintptr_t;

// Places the clock on the desktop: inside the desktop window when one exists,
// otherwise as a window that stays below others on every workspace, with no
// task-bar or pager entry.
class TDesktopWindow
{
public:
    virtual ~TDesktopWindow() = default;
    // The desktop window (the analogue of "Program Manager"), or 0.
    virtual TNativeWindow FindProgramManager() = 0;
    // Makes Window a child of Parent (0: an ordinary top-level desktop gadget).
    virtual void SetParent(QWidget& Window, TNativeWindow Parent) = 0;
};

} // namespace Platform
