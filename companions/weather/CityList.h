#pragma once

#include <QList>
#include <QString>

#include <optional>

// A place the weather is asked for: its name as the user reads it and its
// coordinates, rounded to the four decimals the service accepts.
struct TWeatherPlace
{
    QString Name;
    double Latitude = 0;
    double Longitude = 0;

    // "lat,lon" with four decimals, the form of the city codes.
    QString Code() const;
};

// The weather city list "weather-cities.txt" of the working folder: one line
// "City, Country|lat,lon" (UTF-8).
class TCityList
{
public:
    // Reads the list from FileName; a missing file is an empty list.
    explicit TCityList(const QString& FileName = QStringLiteral("weather-cities.txt"));

    // The place of a city code: coordinates "lat,lon" (named from the list
    // when it holds them), or a bare city name looked up in the list.
    std::optional<TWeatherPlace> Resolve(const QString& WeatherCode) const;

    static std::optional<TWeatherPlace> ParseCoordinates(const QString& Text);

private:
    struct TEntry
    {
        QString FullName;
        QString CityName;
        TWeatherPlace Place;
    };
    QList<TEntry> FEntries;
};
