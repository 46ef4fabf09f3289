#pragma once

#include "platform/Registry.h"
#include "ZoneTable.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Where the system says its user is.
struct TSystemPlace
{
    // "America/Sao_Paulo"; empty when the system names no zone.
    std::string ZoneName;
    // Seconds east of UTC outside summer time.
    std::int32_t StandardOffset = 0;
    bool DaylightNow = false;

    // The system's zone as it stands at the moment At (milliseconds since 1970).
    static TSystemPlace Now(std::int64_t At);
};

// What the add-on library offers in the setup dialog's lists.
struct TOfferedValues
{
    // "(GMT -03:00) Sao Paulo, Brazil"
    std::vector<std::string> Locations;
    // "São Paulo, Brazil|-23.5475,-46.6361": the weather city, then its latitude and longitude.
    std::vector<std::string> Provinces;
    // The machine's own servers first.
    std::vector<std::string> TimeServers;
};

// The settings of a first start, as an installer would leave them: the values
// that have no default, and the user's place from the system's time zone.
// A value that is stored already is never part of them.
class TFirstStartSettings
{
public:
    TFirstStartSettings(TSystemPlace Place, TZoneTable Zones, TOfferedValues Offered);

    // The zone entry of the system's zone: its city, else the first with the same standard offset.
    std::optional<std::string> Location() const;
    // The name of the weather city nearest to the system zone's own city.
    std::optional<std::string> WeatherCity() const;
    std::optional<std::string> TimeServer() const;

    // The changes that fill in what Key lacks (Key may be null: nothing is stored).
    // Now is the local date and time, for the scheduled event's first date.
    std::vector<Platform::TRegistryChange> MissingValues(const Platform::TRegistryKey* Key, double Now) const;
    // Writes the missing values in one transaction; true when there were any.
    bool Seed(Platform::TRegistry& Registry, double Now) const;

    // True when Key holds every value a first start seeds, so no list need be read.
    static bool IsComplete(const Platform::TRegistryKey* Key);
    // The local date and time now, as days since 1899-12-30.
    static double CurrentDateTime();

private:
    TSystemPlace FPlace;
    TZoneTable FZones;
    TOfferedValues FOffered;
};
