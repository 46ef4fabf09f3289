#include "platform/testing/FakeServices.h"

namespace Platform {

TFakeServices::TFakeServices()
    : FServices{&Registry,  &TimeZone, &Clock, &Files,    &Libraries,    &Desktop,
                &Autostart, &Shape,    &Sound, &Launcher, &Notifications}
{}

} // namespace Platform
