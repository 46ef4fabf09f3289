#pragma once

#include <cstdint>
#include <string>

namespace Platform {

// The parts of the system's time-zone information the clock reads and writes.
// Biases are minutes to add to local time to reach UTC.
struct TTimeZoneInformation
{
    std::int32_t Bias = 0;
    std::string StandardName;
    std::int32_t StandardBias = 0;
    std::string DaylightName;
    std::int32_t DaylightBias = 0;

    friend bool operator==(const TTimeZoneInformation&, const TTimeZoneInformation&) = default;
};

class TTimeZoneService
{
public:
    virtual ~TTimeZoneService() = default;
    virtual TTimeZoneInformation GetTimeZoneInformation() = 0;
    // False when the system refused (on Linux a user program may not change it).
    virtual bool SetTimeZoneInformation(const TTimeZoneInformation& Information) = 0;
};

} // namespace Platform
