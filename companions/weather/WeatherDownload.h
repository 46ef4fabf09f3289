#pragma once

#include "zentavo_companion.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

// One HTTP(S) GET through libcurl, with the clock's proxy settings, a limit
// on the time and on the size of the answer.
class TWeatherDownload
{
public:
    struct TResult
    {
        bool Succeeded = false; // a 200 with its body, or a 304
        bool NotModified = false;
        QByteArray Body;
        QDateTime Expires;    // from Expires or Cache-Control max-age; invalid when neither
        QString LastModified; // as the server sent it
    };

    // An answer larger than this is no forecast (the compact form is tens of kilobytes).
    static constexpr qint64 MaximumBodySize = 4 * 1024 * 1024;

    static TResult Get(const QString& Url, const ZTUserConnection& Connection, int TimeoutMilliseconds,
                       const QString& IfModifiedSince = {});

    // Identifies the clock to the service, as its terms ask.
    static const char* UserAgent();
};
