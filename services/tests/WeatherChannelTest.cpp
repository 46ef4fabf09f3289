#include "services/WeatherChannel.h"

#include "CompanionFakes.h"
#include "CompanionFolder.h"
#include "services/RSSWeather.h"
#include "platform/testing/TestLibraryLoader.h"

#include <cstring>
#include <QDomDocument>

using testing::ElementsAre;

class WeatherChannelTest : public TCompanionFolder
{
protected:
    TTestLibraryLoader Loader;
    TFakeWindow Window;
    TRSSWeather Weather;
    QImage Brush;
};

TEST_F(WeatherChannelTest, ForecastServiceReadsTheElementThroughTheTable)
{
    Install({"weather.so"});
    QDomDocument Document;
    Document.setContent(QByteArray("<zentavo><library><weather><forecast font=\"Previsão do tempo\">"
                                   "<city/><days/></forecast></weather></library></zentavo>"));
    TWeatherChannel Channel(Loader);
    Channel.SetForecastNode(
        Document.documentElement().firstChildElement().firstChildElement().firstChildElement());
    Channel.WeatherChannel(Window);
    EXPECT_EQ(Channel.ForecastNode().tagName(), "forecast");
    EXPECT_EQ(Loader.Held(), 0);
    EXPECT_THAT(Log(), ElementsAre("load weather",
                                   "WeatherChannel window=yes forecast font=Previsão do tempo length=18 "
                                   "small=Pre missing=-1",
                                   "child city", "child days", "unload weather"));
}

TEST_F(WeatherChannelTest, WeatherDrawsIntoTheBrushAndLeavesItsTextAsCaption)
{
    Install({"weather.so"});
    Window.Brush = &Brush;
    TWeatherChannel Channel(Loader);
    EXPECT_TRUE(Channel.getWeatherInfo(Window, 0x1c00003, "BR2", PatternConnection(), Weather));
    EXPECT_EQ(Window.Caption, "Céu limpo 25°");
    ASSERT_EQ(Brush.size(), QSize(4, 4));
    EXPECT_EQ(Brush.pixel(0, 3), 0xFF0000FFu);
    EXPECT_EQ(Brush.pixel(3, 0), 0xFFFFCC00u);
    EXPECT_STREQ(Weather.Record().Condition.Text[0], "clear");
    EXPECT_EQ(Weather.Record().ForecastCount, 1);
    EXPECT_STREQ(Weather.Record().Forecasts[0].Text[5], "rain");
    EXPECT_EQ(ReadFile("getWeatherInfo.record"), PatternRecordBytes());
    EXPECT_THAT(Log(), ElementsAre("load weather", "getWeatherInfo window=29360131 code=BR2 length=3",
                                   "SetCaption 1", "brush 4x4", "unload weather"));
}

TEST_F(WeatherChannelTest, BrushPictureCanBeSavedAsBmp)
{
    Install({"weather.so"});
    Window.Brush = &Brush;
    TWeatherChannel(Loader).getWeatherInfo(Window, 1, "BR2", TUserConnection(), Weather);
    ASSERT_TRUE(Brush.save("weather.bmp", "BMP"));
    const QImage Loaded("weather.bmp");
    EXPECT_EQ(Loaded.pixel(0, 3), qRgb(0, 0, 255));
}

TEST_F(WeatherChannelTest, CodeIsCutTo255Bytes)
{
    Install({"weather.so"});
    TWeatherChannel(Loader).getWeatherInfo(Window, 1, std::string(300, 'c'), TUserConnection(), Weather);
    EXPECT_THAT(Log(),
                testing::Contains("getWeatherInfo window=1 code=" + std::string(255, 'c') + " length=255"));
}

TEST_F(WeatherChannelTest, FailingWindowAndMissingBrushReachTheLibraryAsNeutralResults)
{
    Install({"weather.so"});
    Window.Broken = true;
    EXPECT_TRUE(TWeatherChannel(Loader).getWeatherInfo(Window, 1, "BR2", TUserConnection(), Weather));
    EXPECT_EQ(Window.Caption, "watch");
    EXPECT_THAT(Log(), ElementsAre("load weather", "getWeatherInfo window=1 code=BR2 length=3",
                                   "SetCaption 0", "no brush", "unload weather"));
}

TEST_F(WeatherChannelTest, MissingLibraryOrExportYieldsFalseAndLeavesTheWindowAlone)
{
    Window.Brush = &Brush;
    EXPECT_FALSE(TWeatherChannel(Loader).getWeatherInfo(Window, 1, "BR2", TUserConnection(), Weather));
    InstallHollow({"weather.so"});
    EXPECT_FALSE(TWeatherChannel(Loader).getWeatherInfo(Window, 1, "BR2", TUserConnection(), Weather));
    TWeatherChannel(Loader).WeatherChannel(Window);
    EXPECT_EQ(Window.Caption, "watch");
    EXPECT_TRUE(Brush.isNull());
    EXPECT_EQ(Loader.Held(), 0);
    EXPECT_THAT(Log(), ElementsAre("load weather", "unload weather", "load weather", "unload weather"));
}
