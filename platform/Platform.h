#pragma once

#include "Autostart.h"
#include "DesktopWindow.h"
#include "FileSystem.h"
#include "Launcher.h"
#include "LibraryLoader.h"
#include "LocalClock.h"
#include "Notifications.h"
#include "Registry.h"
#include "Sound.h"
#include "TimeZoneService.h"
#include "WindowShape.h"

namespace Platform {

// The platform services one program run uses. The program holds one made by
// LinuxServices(); tests assemble their own from fakes.
struct TServices
{
    TRegistry* Registry = nullptr;
    TTimeZoneService* TimeZone = nullptr;
    TLocalClock* Clock = nullptr;
    TFileSystem* Files = nullptr;
    TLibraryLoader* Libraries = nullptr;
    TDesktopWindow* Desktop = nullptr;
    TAutostart* Autostart = nullptr;
    TWindowShape* Shape = nullptr;
    TSound* Sound = nullptr;
    TLauncher* Launcher = nullptr;
    TNotifications* Notifications = nullptr;
};

// The Linux services, created on first use and kept for the life of the process.
TServices& LinuxServices();

} // namespace Platform
