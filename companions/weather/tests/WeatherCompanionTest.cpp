// weather.so loaded as the clock loads it, against a local forecast server.
#include "LocalHttpProxy.h"
#include "LocalHttpServer.h"
#include "TemporaryHome.h"
#include "WeatherTestSupport.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTimer>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>

using namespace WeatherTesting;
using Zentavo::Testing::THttpResponse;
using Zentavo::Testing::TLocalHttpProxy;
using Zentavo::Testing::TLocalHttpServer;

namespace {

constexpr const char* SaoPauloQuery = "/compact?lat=-23.5475&lon=-46.6361";
constexpr QRgb KeyColour = 0xFFFF00FF;
const QRect IconPlace(9, 0, 50, 50);
const QRect TemperaturePlace(0, 50, 68, 18);

class WeatherCompanionTest : public testing::Test
{
protected:
    void SetUp() override
    {
        FPrevious = std::filesystem::current_path();
        FFolder = Zentavo::Testing::MakeScratchFolder("weather");
        std::filesystem::current_path(FFolder);
        setenv("XDG_CACHE_HOME", (FFolder + "/cache").c_str(), 1);
        std::ofstream("weather-cities.txt") << "Rio de Janeiro, Brazil|-22.9064,-43.1822\n"
                                               "São Paulo, Brazil|-23.5475,-46.6361\n"
                                               "Tromsø, Norway|69.6496,18.9560\n";
        WriteDocument(Server.Url("/compact"), "1500");
        FLibrary = dlopen(ZENTAVO_WEATHER_LIBRARY, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(FLibrary, nullptr) << dlerror();
        GetWeatherInfo = reinterpret_cast<ZTGetWeatherInfoFunction*>(dlsym(FLibrary, "getWeatherInfo"));
        WeatherChannel = reinterpret_cast<ZTWeatherChannelFunction*>(dlsym(FLibrary, "WeatherChannel"));
        ASSERT_NE(GetWeatherInfo, nullptr);
        ASSERT_NE(WeatherChannel, nullptr);
    }

    void TearDown() override
    {
        if (FLibrary != nullptr)
            dlclose(FLibrary);
        unsetenv("XDG_CACHE_HOME");
        setenv("LANGUAGE", "", 1);
        std::filesystem::current_path(FPrevious);
    }

    static void WriteDocument(const std::string& Service, const std::string& Timeout)
    {
        std::ofstream("sysConf.xml")
            << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<zentavo><library><weather>"
               "<channel font=\"Weather Channel\" link=\"http://127.0.0.1/\"/>"
               "<forecast font=\"Weather Forecast\" service=\""
            << Service << "\" timeout=\"" << Timeout << "\"/></weather></library></zentavo>\n";
    }

    static THttpResponse Forecast(const std::string& Symbol, double Temperature, int MaxAge = 3600)
    {
        THttpResponse Response = THttpResponse::Text(MadeUpForecast(Symbol, Temperature, -3, SixDays()));
        Response.Headers = {{"Content-Type", "application/json"},
                            {"Date", HttpDate(QDateTime::currentDateTimeUtc())},
                            {"Expires", HttpDate(QDateTime::currentDateTimeUtc().addSecs(MaxAge))},
                            {"Last-Modified", "Tue, 08 Dec 2026 10:00:00 GMT"}};
        return Response;
    }

    bool Fetch(TFakeWindow& Window, const char* Code, ZTRSSWeather* Holder = nullptr,
               const ZTUserConnection& Record = Connection())
    {
        ZTRSSWeather Scratch;
        std::memset(&Scratch, 0, sizeof Scratch);
        ZTRSSWeather* Reference = Holder != nullptr ? Holder : &Scratch;
        return GetWeatherInfo(Window.Object(), 0, Code, Record, &Reference) != 0;
    }

    // Mean colour distance between the drawn icon and a picture of the set, over the picture's opaque pixels.
    static double IconDistance(const QImage& Drawn, const char* IconFile)
    {
        const QImage Expected = QImage(QStringLiteral(ZENTAVO_WEATHER_ICONS "/") + QLatin1String(IconFile))
                                    .convertToFormat(QImage::Format_ARGB32)
                                    .scaled(IconPlace.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
        double Sum = 0;
        int Count = 0;
        for (int Y = 0; Y < Expected.height(); ++Y)
            for (int X = 0; X < Expected.width(); ++X) {
                const QRgb Want = Expected.pixel(X, Y);
                if (qAlpha(Want) < 255)
                    continue;
                const QRgb Got = Drawn.pixel(IconPlace.x() + X, IconPlace.y() + Y);
                Sum += std::abs(qRed(Want) - qRed(Got)) + std::abs(qGreen(Want) - qGreen(Got)) +
                       std::abs(qBlue(Want) - qBlue(Got));
                ++Count;
            }
        return Count == 0 ? 1e9 : Sum / Count;
    }

    static int WhitePixels(const QImage& Picture, const QRect& Place)
    {
        int Count = 0;
        for (int Y = Place.top(); Y <= Place.bottom(); ++Y)
            for (int X = Place.left(); X <= Place.right(); ++X)
                if (qRed(Picture.pixel(X, Y)) > 240 && qGreen(Picture.pixel(X, Y)) > 240 &&
                    qBlue(Picture.pixel(X, Y)) > 240)
                    ++Count;
        return Count;
    }

    TLocalHttpServer Server;
    ZTGetWeatherInfoFunction* GetWeatherInfo = nullptr;
    ZTWeatherChannelFunction* WeatherChannel = nullptr;
    std::string FFolder;

private:
    std::filesystem::path FPrevious;
    void* FLibrary = nullptr;
};

TEST_F(WeatherCompanionTest, DayAndNightDrawTheirIconAndTemperatureOnTheKeyColourWithThePortugueseCaption)
{
    Server.SetResponse(SaoPauloQuery, Forecast("clearsky_day", 24.4));
    TFakeWindow Day;
    ASSERT_TRUE(Fetch(Day, "-23.5475,-46.6361"));
    ASSERT_EQ(Day.Picture().size(), QSize(68, 68));
    EXPECT_EQ(Day.Picture().pixel(0, 67), KeyColour);
    EXPECT_EQ(Day.Caption(), std::optional<std::string>("São Paulo 24°C, céu limpo"));
    EXPECT_LT(IconDistance(Day.Picture(), "01d.png"), 12.0);
    EXPECT_GT(IconDistance(Day.Picture(), "01n.png"), 40.0);

    // The cache folder is per address, so a new server answer needs the cache emptied.
    std::filesystem::remove_all(FFolder + "/cache");
    Server.SetResponse(SaoPauloQuery, Forecast("clearsky_night", -3.2));
    TFakeWindow Night;
    ASSERT_TRUE(Fetch(Night, "-23.5475,-46.6361"));
    ASSERT_EQ(Night.Picture().size(), QSize(68, 68));
    EXPECT_EQ(Night.Picture().pixel(0, 67), KeyColour);
    EXPECT_EQ(Night.Caption(), std::optional<std::string>("São Paulo -3°C, céu limpo"));
    EXPECT_LT(IconDistance(Night.Picture(), "01n.png"), 12.0);
    EXPECT_GT(IconDistance(Night.Picture(), "01d.png"), 40.0);

    // The temperature is white figures below the icon, and they follow the value.
    EXPECT_GT(WhitePixels(Day.Picture(), TemperaturePlace), 40);
    EXPECT_GT(WhitePixels(Night.Picture(), TemperaturePlace), 40);
    EXPECT_NE(Day.Picture().copy(TemperaturePlace), Night.Picture().copy(TemperaturePlace));
    // Outside the icon and the figures the picture is the key colour: the corners are see-through.
    for (const QPoint Corner : {QPoint(0, 0), QPoint(67, 0), QPoint(67, 67)}) {
        EXPECT_EQ(Day.Picture().pixel(Corner), KeyColour);
        EXPECT_EQ(Night.Picture().pixel(Corner), KeyColour);
    }

    ASSERT_EQ(Server.RequestCount(), 2u);
    const auto Request = Server.Requests().at(0);
    EXPECT_EQ(Request.Target(), SaoPauloQuery) << "four decimals at most";
    EXPECT_NE(Request.Header("User-Agent").find("Zentavo-3D"), std::string::npos);
}

TEST_F(WeatherCompanionTest, ABareCityNameIsLookedUpInTheCityList)
{
    Server.SetResponse("/compact?lat=69.6496&lon=18.9560", Forecast("partlycloudy_night", 7.6));
    TFakeWindow Window;
    ASSERT_TRUE(Fetch(Window, "Tromsø"));
    EXPECT_EQ(Window.Caption(), std::optional<std::string>("Tromsø 8°C, parcialmente nublado"));
    // Coordinates the list does not hold are still a place, only without a name.
    Server.SetResponse("/compact?lat=10.1235&lon=-0.5000", Forecast("fog", 0.3));
    TFakeWindow Unnamed;
    ASSERT_TRUE(Fetch(Unnamed, "10.12345, -0.5"));
    EXPECT_EQ(Unnamed.Caption(), std::optional<std::string>("0°C, nevoeiro"));
    TFakeWindow Unknown;
    EXPECT_FALSE(Fetch(Unknown, "Atlântida"));
    EXPECT_FALSE(Fetch(Unknown, ""));
    EXPECT_EQ(Unknown.SetPixelsCalls(), 0);
    EXPECT_EQ(Server.RequestCount(), 2u);
}

TEST_F(WeatherCompanionTest, EveryBadAnswerIsFalseWithinTheTimeoutAndDrawsNothing)
{
    THttpResponse Slow = Forecast("clearsky_day", 20);
    Slow.Delay = std::chrono::milliseconds(4000);
    THttpResponse Stalled = Forecast("clearsky_day", 20);
    Stalled.StallInBody = true;
    THttpResponse Huge =
        THttpResponse::Text("{\"properties\":{\"timeseries\":[" + std::string(6 << 20, ' ') + "]}}");
    THttpResponse Unknown = Forecast("sunnywithmeatballs_day", 20);
    const std::pair<const char*, THttpResponse> Cases[] = {
        {"malformed", THttpResponse::Text("{\"properties\": {\"timeseries\": [")},
        {"empty", THttpResponse::Text("")},
        {"no series", THttpResponse::Text("{\"properties\":{}}")},
        {"no temperature",
         THttpResponse::Text("{\"properties\":{\"timeseries\":[{\"time\":\"2026-12-08T10:00:00Z\","
                             "\"data\":{\"next_1_hours\":{\"summary\":{\"symbol_code\":\"fog\"}}}}]}}")},
        {"server error", THttpResponse::Text(MadeUpForecast("clearsky_day", 20, -3, SixDays()), 500)},
        {"unknown symbol", Unknown},
        {"huge", Huge},
        {"slow", Slow},
        {"stalled", Stalled},
        {"silent", THttpResponse::Silent()},
    };
    for (const auto& [Name, Response] : Cases) {
        Server.SetResponse(SaoPauloQuery, Response);
        std::filesystem::remove_all(FFolder + "/cache");
        TFakeWindow Window;
        ZTRSSWeather Holder;
        std::memset(&Holder, 0x5A, sizeof Holder);
        const auto Start = std::chrono::steady_clock::now();
        EXPECT_FALSE(Fetch(Window, "São Paulo", &Holder)) << Name;
        const auto Elapsed = std::chrono::steady_clock::now() - Start;
        EXPECT_LT(Elapsed, std::chrono::milliseconds(1500 + 700)) << Name;
        EXPECT_EQ(Window.SetPixelsCalls(), 0) << Name;
        EXPECT_FALSE(Window.Caption().has_value()) << Name;
        EXPECT_EQ(Holder.Condition.Text[0][0], 0x5A) << Name << ": the holder is left alone";
    }
    // Nothing of it was kept: the next call asks again.
    const std::size_t Before = Server.RequestCount();
    TFakeWindow Window;
    EXPECT_FALSE(Fetch(Window, "São Paulo"));
    EXPECT_EQ(Server.RequestCount(), Before + 1);
}

TEST_F(WeatherCompanionTest, ASilentServerHoldsTheWindowNoMoreThanFourSecondsWhateverTheDocumentAsks)
{
    Server.SetResponse(SaoPauloQuery, THttpResponse::Silent());
    for (const char* Timeout : {"30000", "", "8000"}) {
        WriteDocument(Server.Url("/compact"), Timeout);
        TFakeWindow Window;
        const auto Start = std::chrono::steady_clock::now();
        EXPECT_FALSE(Fetch(Window, "São Paulo")) << Timeout;
        const auto Elapsed = std::chrono::steady_clock::now() - Start;
        EXPECT_LT(Elapsed, std::chrono::milliseconds(4500)) << "timeout \"" << Timeout << "\"";
        EXPECT_GE(Elapsed, std::chrono::milliseconds(3500)) << "it did wait for the server";
    }
}

TEST_F(WeatherCompanionTest, WithoutAServiceAddressNothingIsFetched)
{
    std::ofstream("sysConf.xml") << "<zentavo><library><weather><forecast font=\"Weather Forecast\"/>"
                                    "</weather></library></zentavo>";
    Server.SetResponse(SaoPauloQuery, Forecast("clearsky_day", 20));
    TFakeWindow Window;
    EXPECT_FALSE(Fetch(Window, "São Paulo"));
    std::filesystem::remove("sysConf.xml");
    EXPECT_FALSE(Fetch(Window, "São Paulo"));
    EXPECT_EQ(Server.RequestCount(), 0u);
    EXPECT_EQ(Window.SetPixelsCalls(), 0);
}

TEST_F(WeatherCompanionTest, WithinTheServicePeriodASecondCallSendsNothingAndAfterItAConditionalOne)
{
    Server.SetResponse(SaoPauloQuery, Forecast("rain", 15.2));
    TFakeWindow First;
    ASSERT_TRUE(Fetch(First, "São Paulo"));
    TFakeWindow Second;
    ASSERT_TRUE(Fetch(Second, "-23.5475,-46.6361"));
    EXPECT_EQ(Server.RequestCount(), 1u);
    EXPECT_EQ(Second.Caption(), First.Caption());
    EXPECT_EQ(Second.Picture(), First.Picture());

    // An answer that expires at once: the next call asks whether it changed.
    std::filesystem::remove_all(FFolder + "/cache");
    Server.SetResponse(SaoPauloQuery, Forecast("rain", 15.2, 0));
    TFakeWindow Third;
    ASSERT_TRUE(Fetch(Third, "São Paulo"));
    THttpResponse NotModified = THttpResponse::Text("", 304);
    NotModified.Headers = {{"Expires", HttpDate(QDateTime::currentDateTimeUtc().addSecs(600))}};
    Server.SetResponse(SaoPauloQuery, NotModified);
    TFakeWindow Fourth;
    ASSERT_TRUE(Fetch(Fourth, "São Paulo"));
    EXPECT_EQ(Fourth.Caption(), std::optional<std::string>("São Paulo 15°C, chuva"));
    ASSERT_EQ(Server.RequestCount(), 3u);
    EXPECT_EQ(Server.Requests().at(2).Header("If-Modified-Since"), "Tue, 08 Dec 2026 10:00:00 GMT");
    // The 304 renewed the period.
    TFakeWindow Fifth;
    ASSERT_TRUE(Fetch(Fifth, "São Paulo"));
    EXPECT_EQ(Server.RequestCount(), 3u);
}

TEST_F(WeatherCompanionTest, TheProxyOfTheConnectionRecordCarriesTheRequestWithItsCredentials)
{
    Server.SetResponse(SaoPauloQuery, Forecast("cloudy", 21));
    TLocalHttpProxy Proxy;
    Proxy.RequireCredentials("ana", "s3cret");
    const std::string Port = std::to_string(Proxy.Port());
    TFakeWindow Refused;
    EXPECT_FALSE(Fetch(Refused, "São Paulo", nullptr, Connection("127.0.0.1", Port, "ana", "wrong")));
    TFakeWindow Window;
    ASSERT_TRUE(Fetch(Window, "São Paulo", nullptr, Connection("127.0.0.1", Port, "ana", "s3cret")));
    EXPECT_EQ(Window.Caption(), std::optional<std::string>("São Paulo 21°C, nublado"));
    // Any scheme the proxy asks for: each fetch first learns it from a 407.
    const auto Requests = Proxy.Requests();
    ASSERT_GE(Requests.size(), 2u);
    EXPECT_EQ(Requests.back().Header("Proxy-Authorization"),
              TLocalHttpProxy::BasicCredentials("ana", "s3cret"));
    EXPECT_EQ(Requests.back().Target(), Server.Url(SaoPauloQuery));
    EXPECT_EQ(Proxy.ForwardedCount(), 1u);
    EXPECT_EQ(Server.RequestCount(), 1u) << "the server saw only what the proxy forwarded";
}

TEST_F(WeatherCompanionTest, BehindAProxyOfTheEnvironmentOnlyTheWeatherStillLoads)
{
    Server.SetResponse(SaoPauloQuery, Forecast("cloudy", 21));
    TLocalHttpProxy Proxy;
    const std::string Address = "http://127.0.0.1:" + std::to_string(Proxy.Port());
    setenv("http_proxy", Address.c_str(), 1);
    TFakeWindow Window;
    const bool Fetched = Fetch(Window, "São Paulo");
    unsetenv("http_proxy");
    EXPECT_TRUE(Fetched);
    EXPECT_EQ(Proxy.ForwardedCount(), 1u) << "the request went around the desktop's proxy";
}

TEST_F(WeatherCompanionTest, AProxyPortThatIsNoNumberSendsNothingRatherThanGoingAnotherWay)
{
    Server.SetResponse(SaoPauloQuery, Forecast("cloudy", 21));
    TLocalHttpProxy Proxy;
    // The server's own port written into the address: a port that is ignored would still reach the proxy.
    const std::string Address = "127.0.0.1:" + std::to_string(Proxy.Port());
    TFakeWindow Window;
    EXPECT_FALSE(Fetch(Window, "São Paulo", nullptr, Connection(Address, "80a")));
    EXPECT_FALSE(Fetch(Window, "São Paulo", nullptr, Connection(Address, "70000")));
    EXPECT_TRUE(Proxy.Requests().empty());
    EXPECT_EQ(Server.RequestCount(), 0u);
}

TEST_F(WeatherCompanionTest, TheProxysUserAndPasswordNeverReachTheCache)
{
    Server.SetResponse(SaoPauloQuery, Forecast("cloudy", 21));
    TLocalHttpProxy Proxy;
    Proxy.RequireCredentials("usuario-do-proxy", "s3cret-do-proxy");
    TFakeWindow Window;
    ASSERT_TRUE(
        Fetch(Window, "São Paulo", nullptr,
              Connection("127.0.0.1", std::to_string(Proxy.Port()), "usuario-do-proxy", "s3cret-do-proxy")));
    const std::string Cache = std::string(std::getenv("XDG_CACHE_HOME")) + "/zentavo-3d";
    int Files = 0;
    for (const auto& Entry : std::filesystem::recursive_directory_iterator(Cache)) {
        if (!Entry.is_regular_file())
            continue;
        ++Files;
        std::ifstream File(Entry.path());
        const std::string Contents(std::istreambuf_iterator<char>(File), {});
        EXPECT_EQ(Contents.find("s3cret-do-proxy"), std::string::npos) << Entry.path();
        EXPECT_EQ(Contents.find("usuario-do-proxy"), std::string::npos) << Entry.path();
    }
    EXPECT_GT(Files, 0) << "the cache was written";
}

TEST_F(WeatherCompanionTest, TheHolderCarriesTheConditionAndTheNextDays)
{
    Server.SetResponse(SaoPauloQuery, Forecast("partlycloudy_day", 24.46));
    TFakeWindow Window;
    ZTRSSWeather Holder;
    std::memset(&Holder, 0, sizeof Holder);
    ASSERT_TRUE(Fetch(Window, "São Paulo", &Holder));
    EXPECT_STREQ(Holder.Condition.Text[0], "São Paulo");
    EXPECT_STREQ(Holder.Condition.Text[1], "parcialmente nublado");
    EXPECT_STREQ(Holder.Condition.Text[2], "24");
    EXPECT_STREQ(Holder.Condition.Text[3], "partlycloudy_day");
    EXPECT_EQ(Holder.Value1, 245);
    ASSERT_EQ(Holder.ForecastCount, 6);
    const QDate Tomorrow = QDateTime::currentDateTimeUtc().addSecs(-3 * 3600).date().addDays(1);
    EXPECT_EQ(QString::fromUtf8(Holder.Forecasts[0].Text[0]), Tomorrow.toString(Qt::ISODate));
    EXPECT_STREQ(Holder.Forecasts[0].Text[2], "18");
    EXPECT_STREQ(Holder.Forecasts[0].Text[3], "27");
    EXPECT_STREQ(Holder.Forecasts[0].Text[4], "rain");
    EXPECT_STREQ(Holder.Forecasts[0].Text[5], "chuva");
    EXPECT_STREQ(Holder.Forecasts[3].Text[2], "-2");
    EXPECT_STREQ(Holder.Forecasts[3].Text[5], "neve");
}

TEST_F(WeatherCompanionTest, TheForecastWindowListsFiveDaysOfTheLastCityFromTheCache)
{
    Server.SetResponse(SaoPauloQuery, Forecast("clearsky_day", 25));
    TFakeWindow Window;
    ASSERT_TRUE(Fetch(Window, "São Paulo"));

    TFakeElement Element({{"font", "Weather Forecast"}, {"service", Server.Url("/compact")}});
    struct TSeen
    {
        QString Title;
        QStringList Maxima, Minima, Dates;
        int Icons = 0;
        bool SixthDay = true;
    } Seen;
    bool Found = false;
    QTimer::singleShot(200, [&] {
        for (QWidget* Top : QApplication::topLevelWidgets()) {
            auto* Dialog = qobject_cast<QDialog*>(Top);
            if (Dialog == nullptr || Top->objectName() != QLatin1String("ZentavoForecastWindow") ||
                !Top->isVisible())
                continue;
            Found = true;
            Seen.Title = Top->windowTitle();
            for (int Day = 0; Day < 5; ++Day) {
                const QString Prefix = QStringLiteral("Day%1").arg(Day);
                auto Text = [&](const char* Part) {
                    auto* Label = Top->findChild<QLabel*>(Prefix + QLatin1String(Part));
                    return Label != nullptr ? Label->text() : QStringLiteral("?");
                };
                Seen.Maxima << Text("Maximum");
                Seen.Minima << Text("Minimum");
                Seen.Dates << Text("Date");
                auto* Icon = Top->findChild<QLabel*>(Prefix + QStringLiteral("Icon"));
                if (Icon != nullptr && !Icon->pixmap().isNull())
                    ++Seen.Icons;
            }
            Seen.SixthDay = Top->findChild<QLabel*>(QStringLiteral("Day5Maximum")) != nullptr;
            Dialog->reject();
        }
    });
    // Blocks until the window is closed.
    WeatherChannel(Window.Object(), Element.Object());
    ASSERT_TRUE(Found);
    EXPECT_EQ(Seen.Title, QStringLiteral("Previsão do tempo - São Paulo"));
    EXPECT_EQ(Seen.Maxima, QStringList({"27°", "29°", "30°", "5°", "21°"}));
    EXPECT_EQ(Seen.Minima, QStringList({"18°", "17°", "16°", "-2°", "12°"}));
    const QDate Tomorrow = QDateTime::currentDateTimeUtc().addSecs(-3 * 3600).date().addDays(1);
    EXPECT_EQ(Seen.Dates.value(0), Tomorrow.toString(QStringLiteral("dd/MM")));
    EXPECT_EQ(Seen.Icons, 5);
    EXPECT_FALSE(Seen.SixthDay);
    EXPECT_EQ(Server.RequestCount(), 1u) << "the window read the cache";
}

TEST_F(WeatherCompanionTest, WhereTheUserReadsEnglishTheCaptionTheDaysAndTheForecastWindowAreInEnglish)
{
    setenv("LANGUAGE", "en_US", 1);
    Server.SetResponse(SaoPauloQuery, Forecast("partlycloudy_day", 24.46));
    TFakeWindow Window;
    ZTRSSWeather Holder;
    std::memset(&Holder, 0, sizeof Holder);
    ASSERT_TRUE(Fetch(Window, "São Paulo", &Holder));
    EXPECT_EQ(Window.Caption(), std::optional<std::string>("São Paulo 24°C, partly cloudy"));
    EXPECT_STREQ(Holder.Condition.Text[1], "partly cloudy");
    EXPECT_STREQ(Holder.Forecasts[0].Text[5], "rain");
    EXPECT_STREQ(Holder.Forecasts[3].Text[5], "snow");
    const QDate Tomorrow = QDateTime::currentDateTimeUtc().addSecs(-3 * 3600).date().addDays(1);
    EXPECT_EQ(QString::fromUtf8(Holder.Forecasts[0].Text[1]),
              QLocale(QLocale::English).dayName(Tomorrow.dayOfWeek()));

    TFakeElement Element({{"font", "Weather Forecast"}, {"service", Server.Url("/compact")}});
    QString Title, Close, DayName;
    QTimer::singleShot(200, [&] {
        for (QWidget* Top : QApplication::topLevelWidgets())
            if (auto* Dialog = qobject_cast<QDialog*>(Top);
                Dialog != nullptr && Top->objectName() == QLatin1String("ZentavoForecastWindow") &&
                Top->isVisible()) {
                Title = Top->windowTitle();
                if (auto* Button = Top->findChild<QPushButton*>())
                    Close = Button->text();
                if (auto* Name = Top->findChild<QLabel*>(QStringLiteral("Day0Name")))
                    DayName = Name->text();
                Dialog->reject();
            }
    });
    WeatherChannel(Window.Object(), Element.Object());
    EXPECT_EQ(Title, QStringLiteral("Weather forecast - São Paulo"));
    EXPECT_EQ(Close, QStringLiteral("Close"));
    EXPECT_EQ(DayName, QLocale(QLocale::English).dayName(Tomorrow.dayOfWeek(), QLocale::ShortFormat));

    // Back in Portuguese with the next call: the choice is made again each time.
    setenv("LANGUAGE", "", 1);
    TFakeWindow Again;
    ASSERT_TRUE(Fetch(Again, "São Paulo"));
    EXPECT_EQ(Again.Caption(), std::optional<std::string>("São Paulo 24°C, parcialmente nublado"));
}

} // namespace
