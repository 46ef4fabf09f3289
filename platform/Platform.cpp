#include "Platform.h"

#include "DBusNotifications.h"
#include "FileRegistry.h"
#include "LinuxClock.h"
#include "LinuxFileSystem.h"
#include "LinuxLauncher.h"
#include "LinuxLibraryLoader.h"
#include "LinuxSound.h"
#include "LinuxTimeZoneService.h"
#include "X11DesktopWindow.h"
#include "X11WindowShape.h"
#include "XdgAutostart.h"

namespace Platform {

TServices& LinuxServices()
{
    static TFileRegistry Registry;
    static TLinuxTimeZoneService TimeZone;
    static TLinuxClock Clock;
    static TLinuxFileSystem Files;
    static TLinuxLibraryLoader Libraries;
    static TX11DesktopWindow Desktop;
    static TXdgAutostart Autostart;
    static TX11WindowShape Shape;
    static TLinuxSound Sound;
    static TLinuxLauncher Launcher;
    static TDBusNotifications Notifications;
    static TServices Services{&Registry,  &TimeZone, &Clock, &Files,    &Libraries,    &Desktop,
                              &Autostart, &Shape,    &Sound, &Launcher, &Notifications};
    return Services;
}

} // namespace Platform
