#include "WeatherChannel.h"

#include "HostElement.h"
#include "HostWindow.h"
#include "RSSWeather.h"
#include "state/TextLines.h"
#include "state/UserConnection.h"

void TWeatherChannel::WeatherChannel(TCompanionWindow& MainWindow)
{
    Call<ZTWeatherChannelFunction>(ZT_WEATHER_LIBRARY, "WeatherChannel",
                                   [&](ZTWeatherChannelFunction* Function) {
                                       THostWindow Window(MainWindow);
                                       THostElement Forecast(FForecastNode);
                                       Function(Window.Object(), Forecast.Object());
                                   });
}

bool TWeatherChannel::getWeatherInfo(TCompanionWindow& MainWindow, std::uintptr_t ApplicationWindow,
                                     const std::string& WeatherCode, const TUserConnection& Connection,
                                     TRSSWeather& Weather)
{
    bool Result = false;
    const std::string Code = LeadingText(WeatherCode, MaximumCodeLength);
    Call<ZTGetWeatherInfoFunction>(ZT_WEATHER_LIBRARY, "getWeatherInfo",
                                   [&](ZTGetWeatherInfoFunction* Function) {
                                       THostWindow Window(MainWindow);
                                       ZTRSSWeather* Reference = &Weather.Record();
                                       Result = Function(Window.Object(), ApplicationWindow, Code.c_str(),
                                                         Connection.Record(), &Reference) != 0;
                                   });
    return Result;
}
