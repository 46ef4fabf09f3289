#pragma once

#include "services/UserConnection.h"

#include <cstdint>
#include <string>

// The chosen time zone: its whole-hour offset and the entry it came from.
struct TGMT_Item
{
    std::int32_t GMT = 0;
    std::string Location;
};

// Everything the user sets for the clock, and the status of the online tasks.
// A new record is all zeros; only the settings load and save touch the store.
class TGMT_System : public TGMT_Item
{
public:
    double DateTime = 0;          // the scheduled event, days since 1899-12-30, local
    TUserConnection Connection{}; // proxy settings, handed by value to the companions
    std::uint8_t Task = 0;        // 0 alarm, 1 shut down, 2 run AppChild; others: no kind
    std::uint8_t ConnectCount = 0;
    std::int8_t Playtime = 0;
    std::string TimeServer;
    std::string Sound;
    std::string AppChild;
    std::string UF;
    bool Waiting = false;
    bool RunOnce = false;
    bool Connected = false;
    bool SystemUpdated = false;
    bool SysConfOk = false;
    bool WeatherOk = false;
    bool TimeSyncOk = false;
    bool SunTime = false;
};
