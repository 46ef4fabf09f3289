// ztaddon.so: the setup dialog's lists.
//
// getGMTLocations lists the zones of the system's time-zone database with
// their standard offsets; getTimeServers the machine's configured time
// servers, then public ones; getProvinces the weather cities of the working
// folder's list. Each text lives in a static string until the
// next call of its function. SysShootDown is not here yet;
// the clock treats a missing export as an empty list or a refusal.
#include "ProvinceList.h"
#include "TimeServerList.h"
#include "zentavo_companion.h"
#include "ZoneList.h"

#include <string>

ZT_EXPORT ZTGetGMTLocationsFunction getGMTLocations;
ZT_EXPORT ZTGetTimeServersFunction getTimeServers;
ZT_EXPORT ZTGetProvincesFunction getProvinces;

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
