#include "WeatherSettings.h"

#include <QFile>
#include <QStringList>
#include <QXmlStreamReader>

#include <algorithm>

#include <vector>

namespace {

std::optional<TWeatherSettings> FromAttributes(const QString& Service, const QString& Timeout)
{
    TWeatherSettings Settings;
    Settings.ServiceAddress = Service.trimmed();
    if (Settings.ServiceAddress.isEmpty())
        return std::nullopt;
    bool Ok = false;
    const int Milliseconds = Timeout.trimmed().toInt(&Ok);
    // A fetch blocks the clock's window: keep it short whatever the document says.
    if (Ok && Milliseconds > 0)
        Settings.TimeoutMilliseconds = std::min(Milliseconds, TWeatherSettings::LongestTimeoutMilliseconds);
    return Settings;
}

QString ElementAttribute(const ZTElement* Element, const char* Name)
{
    const int64_t Length = Element->Methods->Attribute(Element, Name, nullptr, 0);
    if (Length <= 0 || Length > 64 * 1024)
        return {};
    std::vector<char> Buffer(static_cast<size_t>(Length) + 1);
    Element->Methods->Attribute(Element, Name, Buffer.data(), Buffer.size());
    return QString::fromUtf8(Buffer.data());
}

} // namespace

std::optional<TWeatherSettings> TWeatherSettings::FromDocument(const QString& FileName)
{
    QFile File(FileName);
    if (!File.open(QIODevice::ReadOnly))
        return std::nullopt;
    // The document's lookups take the first child of each name on the path.
    const QStringList Path = {QStringLiteral("zentavo"), QStringLiteral("library"), QStringLiteral("weather"),
                              QStringLiteral("forecast")};
    QXmlStreamReader Reader(&File);
    int Depth = 0;
    int Matched = 0;
    while (!Reader.atEnd()) {
        const QXmlStreamReader::TokenType Token = Reader.readNext();
        if (Token == QXmlStreamReader::StartElement) {
            ++Depth;
            if (Depth == Matched + 1 && Reader.name() == Path[Matched]) {
                ++Matched;
                if (Matched == Path.size()) {
                    const QXmlStreamAttributes Attributes = Reader.attributes();
                    return FromAttributes(Attributes.value(QLatin1String("service")).toString(),
                                          Attributes.value(QLatin1String("timeout")).toString());
                }
            }
        } else if (Token == QXmlStreamReader::EndElement) {
            // Leaving an element of the path means its first child of the next name was not there.
            if (Depth == Matched)
                return std::nullopt;
            --Depth;
        }
    }
    return std::nullopt;
}

std::optional<TWeatherSettings> TWeatherSettings::FromElement(const ZTElement* Forecast)
{
    if (Forecast == nullptr || Forecast->Methods == nullptr)
        return std::nullopt;
    return FromAttributes(ElementAttribute(Forecast, "service"), ElementAttribute(Forecast, "timeout"));
}
