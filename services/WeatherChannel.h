#pragma once

#include "LibraryBinding.h"

#include <cstdint>
#include <QDomElement>
#include <string>

class TCompanionWindow;
class TRSSWeather;
class TUserConnection;

// Binding of weather.so.
class TWeatherChannel : public TLibraryBinding
{
public:
    explicit TWeatherChannel(Platform::TLibraryLoader& Loader) : TLibraryBinding(Loader) {}

    const QDomElement& ForecastNode() const { return FForecastNode; }
    void SetForecastNode(const QDomElement& Value) { FForecastNode = Value; }

    // Has the library present the forecast service for ForecastNode.
    void WeatherChannel(TCompanionWindow& MainWindow);
    // Fetches the weather of WeatherCode (cut to 255 bytes): the library
    // draws its picture into the window's brush bitmap and leaves its text as
    // the window's caption. False when the library or export is missing.
    bool getWeatherInfo(TCompanionWindow& MainWindow, std::uintptr_t ApplicationWindow,
                        const std::string& WeatherCode, const TUserConnection& Connection,
                        TRSSWeather& Weather);

    static constexpr std::size_t MaximumCodeLength = 255;

private:
    QDomElement FForecastNode;
};
