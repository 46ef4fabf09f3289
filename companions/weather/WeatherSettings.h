#pragma once

#include "zentavo_companion.h"

#include <QString>

#include <optional>

// This library's own attributes of the configuration document's
// zentavo/library/weather/forecast element:
//   service  the forecast address (MET Norway's locationforecast "compact"
//            form, or anything that answers like it); required
//   timeout  milliseconds one fetch may take in all; optional, at most 4000:
//            the clock's window waits for it
struct TWeatherSettings
{
    QString ServiceAddress;
    int TimeoutMilliseconds = DefaultTimeoutMilliseconds;

    static constexpr int LongestTimeoutMilliseconds = 4000;
    static constexpr int DefaultTimeoutMilliseconds = LongestTimeoutMilliseconds;

    // From the document "sysConf.xml" in the working folder.
    static std::optional<TWeatherSettings>
    FromDocument(const QString& FileName = QStringLiteral("sysConf.xml"));
    // From the element the clock hands over.
    static std::optional<TWeatherSettings> FromElement(const ZTElement* Forecast);
};
