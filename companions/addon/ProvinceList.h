#pragma once

#include <string>
#include <string_view>

namespace AddOn {

// The weather city entries "City, Country|lat,lon" of the list's contents,
// one per line ending in LF: lines without a "|" or with an empty name are
// left out, a leading byte-order mark and NUL bytes are dropped, and CR LF
// or CR line ends become LF.
std::string ProvinceEntries(std::string_view Contents);

// The entries of the list file; empty when it is missing, unreadable or
// larger than any real list.
std::string Provinces(const std::string& FileName);

// The list file: ZENTAVO_WEATHER_CITIES (for tests), or "weather-cities.txt"
// in the working folder.
std::string ProvinceFile();

} // namespace AddOn
