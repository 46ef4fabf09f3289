#pragma once

#include <functional>
#include <string>

namespace Platform {

// Reads one environment variable: null when it is not set.
using TEnvironmentReader = std::function<const char*(const char* Name)>;

// The Qt platform plugin the clock asks for in this session, or an empty
// string to leave the choice to Qt. On a Wayland session it asks for X11
// through XWayland: a Wayland client cannot keep a window on the desktop
// layer, below other windows, on every workspace, nor cut its shape to a
// colour key. A platform the user chose (QT_QPA_PLATFORM) is kept, and so is
// Qt's choice where no X server is reachable.
std::string ChooseQtPlatform(const TEnvironmentReader& Read);

// Applies ChooseQtPlatform to this process's environment; must run before
// the application object is made.
void SelectQtPlatform();

} // namespace Platform
