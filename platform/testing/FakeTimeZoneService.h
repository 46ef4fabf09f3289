#pragma once

#include "platform/TimeZoneService.h"

#include <mutex>
#include <vector>

namespace Platform {

// Time-zone information held in memory. Records every write so tests can
// check what the clock asked for; writes are accepted unless told otherwise.
class TFakeTimeZoneService : public TTimeZoneService
{
public:
    TFakeTimeZoneService() = default;
    explicit TFakeTimeZoneService(const TTimeZoneInformation& Information);

    TTimeZoneInformation GetTimeZoneInformation() override;
    bool SetTimeZoneInformation(const TTimeZoneInformation& Information) override;

    void SetInformation(const TTimeZoneInformation& Information);
    // Refused writes are still recorded, and change nothing.
    void SetAcceptWrites(bool Accept);
    std::vector<TTimeZoneInformation> Writes() const;

private:
    mutable std::mutex FLock;
    TTimeZoneInformation FInformation;
    bool FAcceptWrites = true;
    std::vector<TTimeZoneInformation> FWrites;
};

} // namespace Platform
