#pragma once

#include "TimeZoneService.h"

namespace Platform {

// The local zone as the C library knows it (TZ or /etc/localtime). A user
// program may not change the system's zone, so every write is refused.
class TLinuxTimeZoneService : public TTimeZoneService
{
public:
    TTimeZoneInformation GetTimeZoneInformation() override;
    bool SetTimeZoneInformation(const TTimeZoneInformation& Information) override;
};

} // namespace Platform
