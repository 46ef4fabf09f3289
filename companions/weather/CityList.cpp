#include "CityList.h"

#include <QFile>
#include <QStringList>

#include <cmath>

namespace {

double RoundToFourDecimals(double Value)
{
    return std::round(Value * 10000.0) / 10000.0;
}

} // namespace

QString TWeatherPlace::Code() const
{
    return QString::asprintf("%.4f,%.4f", Latitude, Longitude);
}

TCityList::TCityList(const QString& FileName)
{
    QFile File(FileName);
    if (!File.open(QIODevice::ReadOnly))
        return;
    // The list is a few thousand short lines; anything far larger is not it.
    if (File.size() > 16 * 1024 * 1024)
        return;
    const QStringList Lines = QString::fromUtf8(File.readAll()).split(QLatin1Char('\n'));
    for (QString Line : Lines) {
        Line = Line.trimmed();
        const qsizetype Bar = Line.indexOf(QLatin1Char('|'));
        if (Bar <= 0)
            continue;
        const std::optional<TWeatherPlace> Place = ParseCoordinates(Line.mid(Bar + 1));
        if (!Place)
            continue;
        TEntry Entry;
        Entry.FullName = Line.left(Bar).trimmed();
        Entry.CityName = Entry.FullName.section(QLatin1Char(','), 0, 0).trimmed();
        Entry.Place = *Place;
        Entry.Place.Name = Entry.CityName;
        FEntries.append(Entry);
    }
}

std::optional<TWeatherPlace> TCityList::ParseCoordinates(const QString& Text)
{
    const QStringList Parts = Text.trimmed().split(QLatin1Char(','));
    if (Parts.size() != 2)
        return std::nullopt;
    bool LatitudeOk = false;
    bool LongitudeOk = false;
    const double Latitude = Parts[0].trimmed().toDouble(&LatitudeOk);
    const double Longitude = Parts[1].trimmed().toDouble(&LongitudeOk);
    if (!LatitudeOk || !LongitudeOk || !std::isfinite(Latitude) || !std::isfinite(Longitude) ||
        std::fabs(Latitude) > 90.0 || std::fabs(Longitude) > 180.0)
        return std::nullopt;
    TWeatherPlace Place;
    Place.Latitude = RoundToFourDecimals(Latitude);
    Place.Longitude = RoundToFourDecimals(Longitude);
    return Place;
}

std::optional<TWeatherPlace> TCityList::Resolve(const QString& WeatherCode) const
{
    const QString Code = WeatherCode.trimmed();
    if (Code.isEmpty())
        return std::nullopt;
    if (std::optional<TWeatherPlace> Place = ParseCoordinates(Code)) {
        for (const TEntry& Entry : FEntries)
            if (Entry.Place.Code() == Place->Code())
                return Entry.Place;
        return Place;
    }
    // A bare name: the exact city or "City, Country" first, then the first entry that contains it.
    for (const TEntry& Entry : FEntries)
        if (Entry.CityName.compare(Code, Qt::CaseInsensitive) == 0 ||
            Entry.FullName.compare(Code, Qt::CaseInsensitive) == 0)
            return Entry.Place;
    for (const TEntry& Entry : FEntries)
        if (Entry.FullName.contains(Code, Qt::CaseInsensitive))
            return Entry.Place;
    return std::nullopt;
}
