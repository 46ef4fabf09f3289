#pragma once

#include "zentavo_companion.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

// Answers of the service kept on disk until they expire, one per address,
// in ${XDG_CACHE_HOME:-~/.cache}/zentavo-3d/weather (private to the user).
// The service says how long an answer holds (Expires); within that time no
// request is sent at all, and after it a conditional one.
class TWeatherCache
{
public:
    struct TEntry
    {
        QByteArray Body;
        QDateTime Expires;
        QString LastModified;

        bool IsFresh() const { return Expires.isValid() && QDateTime::currentDateTimeUtc() < Expires; }
    };

    // Used when the service names no period, and the longest we trust one.
    static constexpr qint64 DefaultPeriodSeconds = 30 * 60;
    static constexpr qint64 LongestPeriodSeconds = 6 * 60 * 60;

    static QString Folder();
    static std::optional<TEntry> Load(const QString& Url);
    static bool Store(const QString& Url, const TEntry& Entry);

    // The city and proxy of the last weather fetch, for the forecast window,
    // which is handed neither. The proxy's user and password are not kept: the
    // forecast goes without them, and mostly from the cached answer.
    static bool StoreLastRequest(const QString& WeatherCode, const ZTUserConnection& Connection);
    static std::optional<QString> LastWeatherCode(ZTUserConnection& Connection);
};
