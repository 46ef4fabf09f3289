#pragma once

#include <map>
#include <optional>
#include <string>

// A place on the Earth in degrees, north and east positive.
struct TCoordinates
{
    double Latitude = 0;
    double Longitude = 0;
};

// The coordinates of the time-zone database's zones, from its zone table
// (zone.tab and zone1970.tab): the principal city of each zone.
class TZoneTable
{
public:
    // The table of the database in Folder; empty when it has none.
    static TZoneTable FromFolder(const std::string& Folder);
    // The database ztaddon.so lists the zones of: ZENTAVO_ZONEINFO_DIR (for
    // tests), TZDIR, or /usr/share/zoneinfo.
    static std::string DatabaseFolder();
    // The table's text, one zone a line: codes, coordinates, name, comment.
    static TZoneTable FromText(const std::string& Text);

    std::optional<TCoordinates> Find(const std::string& ZoneName) const;
    bool Empty() const { return FZones.empty(); }

    // "+DDMM+DDDMM" or "+DDMMSS+DDDMMSS"; none for anything else.
    static std::optional<TCoordinates> ParseCoordinates(const std::string& Text);
    // Great-circle distance in kilometres.
    static double Distance(const TCoordinates& From, const TCoordinates& To);

private:
    std::map<std::string, TCoordinates> FZones;
};
