// weather.so: the current weather of the clock's city and a five-day forecast.
//
// Source: MET Norway's locationforecast 2.0 ("compact"), free and keyless,
// data under CC BY 4.0 with no restriction to non-commercial use. Its terms
// are the ones this library keeps: an identifying User-Agent, coordinates
// of at most four decimals, and no request before the Expires time of the
// last answer (then a conditional one with If-Modified-Since). Its symbol
// codes carry day and night, and Yr's symbols (icons/, MIT) draw them.
//
// The address comes from the "service" attribute of the configuration
// document's zentavo/library/weather/forecast element ("timeout" in
// milliseconds is optional, default 8000); without it nothing is fetched.
// The city code is "lat,lon" or a bare city name, looked up in the working
// folder's "weather-cities.txt" ("City, Country|lat,lon" per line), which
// also names the city of a coordinate code.
//
// getWeatherInfo draws a 68 x 68 picture into the window's brush bitmap (the
// icon above the temperature, on the key colour 0xFFFF00FF, which is its
// bottom-left pixel) and leaves "<city> <t>°C, <condição>" as the caption.
// On any failure it returns false and neither draws nor sets a caption.
//
// Layout of the weather holder it fills (UTF-8 texts):
//   Condition.Text[0]   city name ("São Paulo"), or the code when unnamed
//   Condition.Text[1]   condition in the clock's language ("parcialmente nublado")
//   Condition.Text[2]   temperature, whole degrees Celsius ("24")
//   Condition.Text[3]   the service's symbol code ("partlycloudy_day")
//   ForecastCount       the days that follow today, up to 16
//   Forecasts[i].Text   [0] date "yyyy-MM-dd" (local to the place), [1] day
//                       name, [2] minimum, [3] maximum (whole degrees),
//                       [4] symbol code, [5] condition
// The condition, the day names and the forecast window speak the clock's
// language: Portuguese, or English where the user's environment asks for it.
//   Value1              temperature in tenths of a degree Celsius
//   Value2              time of the current step, seconds since 1970 (UTC)
//
// WeatherChannel shows the forecast window for the city of the last
// getWeatherInfo (kept with its proxy settings in the cache folder, which
// only the user can read) and blocks until it is closed.
#include "CityList.h"
#include "Condition.h"
#include "ForecastWindow.h"
#include "WeatherCache.h"
#include "WeatherFetch.h"
#include "WeatherLanguage.h"
#include "WeatherPicture.h"
#include "WeatherSettings.h"
#include "zentavo_companion.h"

#include <QApplication>
#include <QLocale>

#include <cstring>
#include <vector>

ZT_EXPORT ZTGetWeatherInfoFunction getWeatherInfo;
ZT_EXPORT ZTWeatherChannelFunction WeatherChannel;

namespace {

void CopyText(char (&Target)[ZT_WEATHER_TEXT_SIZE], const QString& Text)
{
    QByteArray Bytes = Text.toUtf8();
    // Never cut a character in two.
    while (Bytes.size() > ZT_WEATHER_TEXT_SIZE - 1) {
        Bytes.chop(1);
        while (!Bytes.isEmpty() && (static_cast<unsigned char>(Bytes.back()) & 0xC0) == 0x80)
            Bytes.chop(1);
        if (!Bytes.isEmpty() && (static_cast<unsigned char>(Bytes.back()) & 0x80))
            Bytes.chop(1);
    }
    std::memset(Target, 0, sizeof Target);
    std::memcpy(Target, Bytes.constData(), static_cast<size_t>(Bytes.size()));
}

void FillHolder(ZTRSSWeather& Holder, const QString& CityName, const TWeatherReport& Report)
{
    std::memset(&Holder, 0, sizeof Holder);
    const TCondition Condition(Report.SymbolCode);
    CopyText(Holder.Condition.Text[0], CityName);
    CopyText(Holder.Condition.Text[1], Condition.Text());
    CopyText(Holder.Condition.Text[2], TemperatureText(Report.Temperature));
    CopyText(Holder.Condition.Text[3], Report.SymbolCode);
    const QLocale& Language = TWeatherLanguage::Current().Locale();
    const int Count = std::min<int>(ZT_FORECAST_CAPACITY, Report.Days.size());
    Holder.ForecastCount = Count;
    for (int Index = 0; Index < Count; ++Index) {
        const TWeatherReport::TDay& Day = Report.Days[Index];
        ZTForecast& Forecast = Holder.Forecasts[Index];
        CopyText(Forecast.Text[0], Day.Date.toString(Qt::ISODate));
        CopyText(Forecast.Text[1], Language.dayName(Day.Date.dayOfWeek()));
        CopyText(Forecast.Text[2], TemperatureText(Day.Minimum));
        CopyText(Forecast.Text[3], TemperatureText(Day.Maximum));
        CopyText(Forecast.Text[4], Day.SymbolCode);
        CopyText(Forecast.Text[5], TCondition(Day.SymbolCode).Text());
    }
    Holder.Value1 = static_cast<int32_t>(std::lround(Report.Temperature * 10.0));
    Holder.Value2 = static_cast<int32_t>(Report.Time.toSecsSinceEpoch());
}

bool FetchWeather(ZTWindow* MainWindow, const char* WeatherCode, const ZTUserConnection& Connection,
                  ZTRSSWeather** Weather)
{
    if (MainWindow == nullptr || MainWindow->Methods == nullptr || WeatherCode == nullptr)
        return false;
    const QString Code = QString::fromUtf8(WeatherCode, static_cast<qsizetype>(strnlen(WeatherCode, 255)));
    const std::optional<TWeatherSettings> Settings = TWeatherSettings::FromDocument();
    if (!Settings)
        return false;
    const std::optional<TWeatherPlace> Place = TCityList().Resolve(Code);
    if (!Place)
        return false;
    TWeatherCache::StoreLastRequest(Code, Connection);
    const std::optional<TWeatherReport> Report = TWeatherFetch::Report(*Settings, *Place, Connection);
    if (!Report)
        return false;
    const TCondition Condition(Report->SymbolCode);
    if (!Condition.IsKnown())
        return false;
    const QString Temperature = TemperatureText(Report->Temperature);
    const QImage Picture = TWeatherPicture::Draw(Condition, Temperature);
    if (Picture.isNull())
        return false;

    ZTBitmap* Brush = MainWindow->Methods->BrushBitmap(MainWindow);
    if (Brush == nullptr || Brush->Methods == nullptr)
        return false;
    std::vector<uint32_t> Pixels(static_cast<size_t>(Picture.width()) * Picture.height());
    for (int Y = 0; Y < Picture.height(); ++Y)
        std::memcpy(&Pixels[static_cast<size_t>(Y) * Picture.width()], Picture.constScanLine(Y),
                    static_cast<size_t>(Picture.width()) * 4);
    if (!Brush->Methods->SetPixels(Brush, Picture.width(), Picture.height(), Pixels.data()))
        return false;

    const QString CityName = Place->Name.isEmpty() ? QString() : Place->Name;
    QString Caption = Temperature + QStringLiteral("°C, ") + Condition.Text();
    if (!CityName.isEmpty())
        Caption = CityName + QLatin1Char(' ') + Caption;
    MainWindow->Methods->SetCaption(MainWindow, Caption.toUtf8().constData());
    if (Weather != nullptr && *Weather != nullptr)
        FillHolder(**Weather, CityName.isEmpty() ? Place->Code() : CityName, *Report);
    return true;
}

} // namespace

uint8_t getWeatherInfo(ZTWindow* MainWindow, uintptr_t, const char* WeatherCode, ZTUserConnection Connection,
                       ZTRSSWeather** Weather)
{
    try {
        return FetchWeather(MainWindow, WeatherCode, Connection, Weather) ? 1 : 0;
    } catch (...) {
        return 0;
    }
}

int32_t WeatherChannel(ZTWindow*, ZTElement* Forecast)
{
    try {
        // A window needs the widgets of the clock's application.
        if (qobject_cast<QApplication*>(QCoreApplication::instance()) == nullptr)
            return 0;
        ZTUserConnection Connection;
        std::memset(&Connection, 0, sizeof Connection);
        const std::optional<QString> Code = TWeatherCache::LastWeatherCode(Connection);
        const std::optional<TWeatherSettings> Settings = TWeatherSettings::FromElement(Forecast);
        std::optional<TWeatherPlace> Place;
        std::optional<TWeatherReport> Report;
        if (Code)
            Place = TCityList().Resolve(*Code);
        if (Place && Settings)
            Report = TWeatherFetch::Report(*Settings, *Place, Connection);
        TForecastWindow Window(Place, Report);
        Window.exec();
        return 1;
    } catch (...) {
        return 0;
    }
}
