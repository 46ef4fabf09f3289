#include "LinuxTimeZoneService.h"

#include <ctime>
#include <optional>

namespace Platform {

TTimeZoneInformation TLinuxTimeZoneService::GetTimeZoneInformation()
{
    ::tzset();
    // Offsets east of UTC in seconds, found by looking at the coming year.
    std::optional<long> Standard;
    std::optional<long> Daylight;
    const std::time_t Now = std::time(nullptr);
    for (int Day = 0; Day <= 366 && !(Standard && Daylight); Day += 7) {
        const std::time_t Moment = Now + static_cast<std::time_t>(Day) * 86400;
        std::tm Local{};
        if (::localtime_r(&Moment, &Local) == nullptr)
            continue;
        if (Local.tm_isdst > 0 && !Daylight)
            Daylight = Local.tm_gmtoff;
        else if (Local.tm_isdst == 0 && !Standard)
            Standard = Local.tm_gmtoff;
    }
    if (!Standard) // a zone on summer time all year
        Standard = Daylight ? *Daylight - 3600 : 0;

    TTimeZoneInformation Information;
    Information.Bias = static_cast<std::int32_t>(-*Standard / 60);
    Information.StandardName = ::tzname[0] != nullptr ? ::tzname[0] : "";
    if (Daylight) {
        Information.DaylightBias = static_cast<std::int32_t>(-(*Daylight - *Standard) / 60);
        Information.DaylightName = ::tzname[1] != nullptr ? ::tzname[1] : "";
    }
    return Information;
}

bool TLinuxTimeZoneService::SetTimeZoneInformation(const TTimeZoneInformation&)
{
    return false;
}

} // namespace Platform
