#pragma once

#include "platform/LibraryLoader.h"

#include <cstdint>
#include <string>
#include <vector>

// Bindings of ztaddon.so: each loads the library, calls its export and
// releases it again. A missing library or export gives 0 or an empty list.

// Shuts the computer down; the result is the library's.
std::int32_t SysShootDown(Platform::TLibraryLoader& Loader);
// The time-zone entries of the setup dialog.
std::vector<std::string> getGMTLocations(Platform::TLibraryLoader& Loader);
// The weather cities, each "name|code".
std::vector<std::string> getProvinces(Platform::TLibraryLoader& Loader);
// Time server host names.
std::vector<std::string> getTimeServers(Platform::TLibraryLoader& Loader);
