// weather.so as the program reaches it: from its working folder, through its
// own binding, into the window's caption and brush bitmap.
#include "LocalHttpServer.h"
#include "platform/LinuxLibraryLoader.h"
#include "services/CompanionWindow.h"
#include "services/RSSWeather.h"
#include "services/WeatherChannel.h"
#include "state/UserConnection.h"
#include "TemporaryHome.h"
#include "WeatherTestSupport.h"

#include <gtest/gtest.h>

#include <QImage>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

class TRecordingWindow : public TCompanionWindow
{
public:
    void SetCaption(const std::string& Value) override { Caption = Value; }
    QImage* BrushBitmap() override { return &Brush; }
    std::string Caption = "watch";
    QImage Brush;
};

TEST(WeatherBindingTest, TheClocksBindingReceivesThePictureTheCaptionAndTheHolder)
{
    const std::string Folder = Zentavo::Testing::MakeScratchFolder("weather-binding");
    std::filesystem::current_path(Folder);
    setenv("XDG_CACHE_HOME", (Folder + "/cache").c_str(), 1);
    std::filesystem::copy_file(ZENTAVO_WEATHER_LIBRARY, "weather.so");
    std::filesystem::permissions("weather.so", std::filesystem::perms::owner_all);
    std::ofstream("weather-cities.txt") << "Rio de Janeiro, Brazil|-22.9064,-43.1822\n";
    Zentavo::Testing::TLocalHttpServer Server;
    Zentavo::Testing::THttpResponse Answer = Zentavo::Testing::THttpResponse::Text(
        WeatherTesting::MadeUpForecast("fair_night", 19.6, -3, WeatherTesting::SixDays()));
    Server.SetResponse("/compact?lat=-22.9064&lon=-43.1822", Answer);
    std::ofstream("sysConf.xml") << "<zentavo><library><weather><forecast service=\""
                                 << Server.Url("/compact") << "\"/></weather></library></zentavo>";

    Platform::TLinuxLibraryLoader Loader;
    TRecordingWindow Window;
    TRSSWeather Weather;
    TWeatherChannel Channel(Loader);
    ASSERT_TRUE(Channel.getWeatherInfo(Window, 0, "-22.9064,-43.1822", TUserConnection(), Weather));
    EXPECT_EQ(Window.Caption, "Rio de Janeiro 20°C, poucas nuvens");
    ASSERT_EQ(Window.Brush.size(), QSize(68, 68));
    EXPECT_EQ(Window.Brush.pixel(0, 67), 0xFFFF00FFu);
    EXPECT_STREQ(Weather.Record().Condition.Text[3], "fair_night");
    EXPECT_EQ(Weather.Record().ForecastCount, 6);

    // A city without weather leaves the window as it was.
    TRecordingWindow Untouched;
    TWeatherChannel Again(Loader);
    EXPECT_FALSE(Again.getWeatherInfo(Untouched, 0, "Atlântida", TUserConnection(), Weather));
    EXPECT_EQ(Untouched.Caption, "watch");
    EXPECT_TRUE(Untouched.Brush.isNull());
    unsetenv("XDG_CACHE_HOME");
}

} // namespace
