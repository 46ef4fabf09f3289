#pragma once

#include <string>
#include <vector>

class TGMT_System;
class TRSSWeather;
class TWeatherView;

namespace Platform {
class TLibraryLoader;
}

// Fetches the weather of the chosen city into the sprite and the heads-up
// line. The outcome is WeatherOk; nothing is shown when it fails, and the
// scene's change count is always where it was before.
class TWeatherForecast
{
public:
    TWeatherForecast(TGMT_System& System, Platform::TLibraryLoader& Libraries, TRSSWeather& Weather,
                     TWeatherView& View);

    void Run();

    // The code after the first "|" of the first entry that contains City, the
    // entry itself when it has no "|"; City itself when that gives nothing.
    static std::string WeatherCode(const std::vector<std::string>& Provinces, const std::string& City);

private:
    TGMT_System& FSystem;
    Platform::TLibraryLoader& FLibraries;
    TRSSWeather& FWeather;
    TWeatherView& FView;
};
