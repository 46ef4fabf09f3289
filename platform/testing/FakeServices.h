#pragma once

#include "platform/LinuxFileSystem.h"
#include "platform/Platform.h"
#include "platform/testing/FakeAutostart.h"
#include "platform/testing/FakeClock.h"
#include "platform/testing/FakeDesktopWindow.h"
#include "platform/testing/FakeLauncher.h"
#include "platform/testing/FakeLibraryLoader.h"
#include "platform/testing/FakeNotifications.h"
#include "platform/testing/FakeRegistry.h"
#include "platform/testing/FakeSound.h"
#include "platform/testing/FakeTimeZoneService.h"
#include "platform/testing/FakeWindowShape.h"

namespace Platform {

// One of every fake, wired into a TServices. Files are the real ones of the
// current directory, which the test main makes a scratch folder.
class TFakeServices
{
public:
    TFakeServices();
    TFakeServices(const TFakeServices&) = delete;
    TFakeServices& operator=(const TFakeServices&) = delete;

    TServices& Services() { return FServices; }

    TFakeRegistry Registry;
    TFakeTimeZoneService TimeZone;
    TFakeClock Clock;
    TLinuxFileSystem Files;
    TFakeLibraryLoader Libraries;
    TFakeDesktopWindow Desktop;
    TFakeAutostart Autostart;
    TFakeWindowShape Shape;
    TFakeSound Sound;
    TFakeLauncher Launcher;
    TFakeNotifications Notifications;

private:
    TServices FServices;
};

} // namespace Platform
