#pragma once

#include "CityList.h"
#include "WeatherReport.h"
#include "WeatherSettings.h"
#include "zentavo_companion.h"

#include <optional>

// The report of one place: from the cache while the service's period holds,
// from the service (conditionally, when an old answer is kept) otherwise.
class TWeatherFetch
{
public:
    static QString RequestAddress(const TWeatherSettings& Settings, const TWeatherPlace& Place);
    static std::optional<TWeatherReport> Report(const TWeatherSettings& Settings, const TWeatherPlace& Place,
                                                const ZTUserConnection& Connection);
};
