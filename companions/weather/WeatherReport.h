#pragma once

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

// The current conditions and the next days, read from the service's
// locationforecast answer (GeoJSON: properties.timeseries, hourly then
// six-hourly steps, each with instant.details.air_temperature and a
// symbol_code for the next 1, 6 or 12 hours).
struct TWeatherReport
{
    struct TDay
    {
        QDate Date; // local date at the place
        double Minimum = 0;
        double Maximum = 0;
        QString SymbolCode; // for the middle of the day
    };

    QDateTime Time; // of the step describing "now"
    double Temperature = 0;
    QString SymbolCode;
    QList<TDay> Days; // after today, in order

    // Longitude tells the place's day: the answer carries no time zone, and
    // days split at local midnight, taken as UTC + longitude / 15 hours.
    static std::optional<TWeatherReport> Parse(const QByteArray& Json, double Longitude,
                                               const QDateTime& Now = QDateTime::currentDateTimeUtc());
};

// A temperature as the clock writes it: whole degrees, no "-0".
QString TemperatureText(double Celsius);
