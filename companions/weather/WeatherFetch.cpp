#include "WeatherFetch.h"

#include "WeatherCache.h"
#include "WeatherDownload.h"

QString TWeatherFetch::RequestAddress(const TWeatherSettings& Settings, const TWeatherPlace& Place)
{
    // The service asks for at most four decimals, so that nearby requests share its cache.
    const QString Query = QString::asprintf("lat=%.4f&lon=%.4f", Place.Latitude, Place.Longitude);
    const QChar Separator =
        Settings.ServiceAddress.contains(QLatin1Char('?')) ? QLatin1Char('&') : QLatin1Char('?');
    return Settings.ServiceAddress + Separator + Query;
}

std::optional<TWeatherReport> TWeatherFetch::Report(const TWeatherSettings& Settings,
                                                    const TWeatherPlace& Place,
                                                    const ZTUserConnection& Connection)
{
    const QString Address = RequestAddress(Settings, Place);
    std::optional<TWeatherCache::TEntry> Kept = TWeatherCache::Load(Address);
    if (Kept && Kept->IsFresh())
        if (std::optional<TWeatherReport> Report = TWeatherReport::Parse(Kept->Body, Place.Longitude))
            return Report;

    const TWeatherDownload::TResult Answer = TWeatherDownload::Get(
        Address, Connection, Settings.TimeoutMilliseconds, Kept ? Kept->LastModified : QString());
    if (!Answer.Succeeded)
        return std::nullopt;
    TWeatherCache::TEntry Entry;
    Entry.Body = Answer.NotModified ? Kept->Body : Answer.Body;
    Entry.LastModified = Answer.LastModified.isEmpty() && Kept ? Kept->LastModified : Answer.LastModified;
    const QDateTime Now = QDateTime::currentDateTimeUtc();
    Entry.Expires =
        Answer.Expires.isValid() ? Answer.Expires : Now.addSecs(TWeatherCache::DefaultPeriodSeconds);
    if (Entry.Expires > Now.addSecs(TWeatherCache::LongestPeriodSeconds))
        Entry.Expires = Now.addSecs(TWeatherCache::LongestPeriodSeconds);

    std::optional<TWeatherReport> Report = TWeatherReport::Parse(Entry.Body, Place.Longitude);
    // Only an answer that reads as a forecast is kept.
    if (Report)
        TWeatherCache::Store(Address, Entry);
    return Report;
}
