#include "platform/testing/FakeTimeZoneService.h"

namespace Platform {

TFakeTimeZoneService::TFakeTimeZoneService(const TTimeZoneInformation& Information)
    : FInformation(Information)
{}

TTimeZoneInformation TFakeTimeZoneService::GetTimeZoneInformation()
{
    std::lock_guard Guard(FLock);
    return FInformation;
}

bool TFakeTimeZoneService::SetTimeZoneInformation(const TTimeZoneInformation& Information)
{
    std::lock_guard Guard(FLock);
    FWrites.push_back(Information);
    if (FAcceptWrites)
        FInformation = Information;
    return FAcceptWrites;
}

void TFakeTimeZoneService::SetInformation(const TTimeZoneInformation& Information)
{
    std::lock_guard Guard(FLock);
    FInformation = Information;
}

void TFakeTimeZoneService::SetAcceptWrites(bool Accept)
{
    std::lock_guard Guard(FLock);
    FAcceptWrites = Accept;
}

std::vector<TTimeZoneInformation> TFakeTimeZoneService::Writes() const
{
    std::lock_guard Guard(FLock);
    return FWrites;
}

} // namespace Platform
