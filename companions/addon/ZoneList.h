#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace AddOn {

// The offset from UTC, in seconds, that the zone keeps outside its summer
// time, read from the contents of a compiled zone file (TZif); none when the
// contents are no zone file.
std::optional<std::int32_t> StandardOffset(std::string_view ZoneFile);

// "(GMT -03:00) City, Country", the form the setup dialog reads.
std::string LocationEntry(std::int32_t OffsetSeconds, const std::string& Name);

// One entry per zone of the zone table in Folder (zone.tab, else
// zone1970.tab), sorted by offset, then by name, one per line.
std::string GMTLocations(const std::string& Folder);

// The time-zone database's folder: ZENTAVO_ZONEINFO_DIR (for tests), TZDIR,
// or /usr/share/zoneinfo.
std::string ZoneInfoFolder();

} // namespace AddOn
