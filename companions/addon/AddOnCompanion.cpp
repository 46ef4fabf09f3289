// ztaddon.so: the setup dialog's lists and the scheduled shutdown.
//
// getGMTLocations lists the zones of the system's time-zone database with
// their standard offsets; getTimeServers the machine's configured time
// servers, then public ones; getProvinces the weather cities of the working
// folder's list. Each text lives in a static string until the
// next call of its function. SysShootDown hands the power-off to the
// desktop's session manager or logind (ShutDownRequest.h).
#include "ProvinceList.h"
#include "ShutDownRequest.h"
#include "TimeServerList.h"
#include "zentavo_companion.h"
#include "ZoneList.h"

#include <string>

ZT_EXPORT ZTGetGMTLocationsFunction getGMTLocations;
ZT_EXPORT ZTGetTimeServersFunction getTimeServers;
ZT_EXPORT ZTGetProvincesFunction getProvinces;
ZT_EXPORT ZTSysShootDownFunction SysShootDown;

namespace {

// Nothing may cross the C interface: a list that cannot be made is empty (null).
template <typename TMake> const char* Keep(std::string& Store, TMake Make)
{
    try {
        Store = Make();
        return Store.empty() ? nullptr : Store.c_str();
    } catch (...) {
        Store.clear();
        return nullptr;
    }
}

} // namespace

const char* getGMTLocations(void)
{
    static std::string Locations;
    return Keep(Locations, [] { return AddOn::GMTLocations(AddOn::ZoneInfoFolder()); });
}

const char* getTimeServers(void)
{
    static std::string Servers;
    return Keep(Servers, [] { return AddOn::TimeServers(AddOn::EtcFolder()); });
}

const char* getProvinces(void)
{
    static std::string Provinces;
    return Keep(Provinces, [] { return AddOn::Provinces(AddOn::ProvinceFile()); });
}

// Called from the clock's worker thread right after the settings were saved;
// 1 when the desktop took the request.
int32_t SysShootDown(void)
{
    try {
        return AddOn::RequestShutDown() != AddOn::TShutDownRoute::Refused ? 1 : 0;
    } catch (...) {
        return 0;
    }
}
