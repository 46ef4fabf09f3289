#pragma once

#include "CityList.h"
#include "WeatherReport.h"

#include <QDialog>

#include <optional>

// The forecast of the next five days for one place: for each day its name,
// date, picture, minimum and maximum. Without a report it says so.
class TForecastWindow : public QDialog
{
public:
    static constexpr int DayCount = 5;

    TForecastWindow(const std::optional<TWeatherPlace>& Place, const std::optional<TWeatherReport>& Report);
};
