// The real clock with the real companions, against local servers: after its
// first online run the sprite shows the weather picture and the heads-up
// line (the window's caption) the weather text.
#include "FakeBusServices.h"
#include "LocalHttpServer.h"
#include "PrivateBus.h"
#include "TemporaryHome.h"
#include "WeatherTestSupport.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QScreen>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <regex>

using namespace WeatherTesting;
using Zentavo::Testing::THttpResponse;

namespace {

constexpr int ClockTop = 40;
constexpr int ClockLeft = 50;

std::string ReadFile(const std::string& Name)
{
    std::ifstream File(Name);
    return std::string(std::istreambuf_iterator<char>(File), {});
}

// The name of the first window whose name matches, "" when none does.
std::string WindowNamed(const std::string& Pattern)
{
    QProcess Search;
    Search.start(QStringLiteral("xdotool"), {QStringLiteral("search"), QStringLiteral("--name"),
                                             QString::fromStdString(Pattern), QStringLiteral("getwindowname")});
    Search.waitForFinished(5000);
    return Search.readAllStandardOutput().trimmed().toStdString();
}

// Pixels of the sun's yellow in the clock's window.
int SunPixels(const QImage& Clock)
{
    int Count = 0;
    for (int Y = 0; Y < Clock.height(); ++Y)
        for (int X = 0; X < Clock.width(); ++X) {
            const QRgb Pixel = Clock.pixel(X, Y);
            Count += qRed(Pixel) > 230 && qGreen(Pixel) > 150 && qGreen(Pixel) < 225 && qBlue(Pixel) < 110;
        }
    return Count;
}

QImage ClockPicture()
{
    return QGuiApplication::primaryScreen()->grabWindow(0, ClockLeft, ClockTop, 329, 345).toImage();
}

TEST(WeatherEndToEndTest, AfterTheFirstOnlineRunTheSpriteShowsTheWeatherAndTheHeadsUpLineItsText)
{
    Zentavo::Testing::TPrivateBus Bus;
    if (!Bus.Installed())
        GTEST_SKIP() << Bus.FailureReason();
    ASSERT_TRUE(Bus.Started()) << Bus.FailureReason();
    Zentavo::Testing::TFakeBusServices::TOptions Options;
    Options.NetworkState = 70u; // connected
    Zentavo::Testing::TFakeBusServices Services(Options);
    ASSERT_TRUE(Services.Started()) << Services.FailureReason();

    Zentavo::Testing::TLocalHttpServer Server;
    THttpResponse Answer = THttpResponse::Text(MadeUpForecast("clearsky_day", 24.2, -3, SixDays()));
    Answer.Headers = {{"Content-Type", "application/json"}, {"Cache-Control", "max-age=3600"}};
    Server.SetResponse("/compact?lat=-22.9064&lon=-43.1822", Answer);

    const std::string Folder = Zentavo::Testing::MakeScratchFolder("weather-end-to-end");
    const std::string Work = Folder + "/work";
    const std::string Config = Folder + "/config";
    std::filesystem::create_directories(Work);
    std::filesystem::create_directories(Config + "/zentavo-3d");
    for (const char* Library : {ZENTAVO_WEATHER_LIBRARY, ZENTAVO_IMAGES_LIBRARY, ZENTAVO_ADDON_LIBRARY,
                                ZENTAVO_CONNECTION_LIBRARY})
        std::filesystem::copy_file(Library, Work + "/" + std::filesystem::path(Library).filename().string());
    std::filesystem::copy(ZENTAVO_SOURCE_DIR "/data/pictures", Work + "/pictures");
    std::filesystem::copy_file(ZENTAVO_SOURCE_DIR "/data/weather-cities.txt", Work + "/weather-cities.txt");
    // The shipped document with both of its addresses on the local server.
    std::string Document = ReadFile(ZENTAVO_SOURCE_DIR "/data/sysConf.xml");
    Document = std::regex_replace(Document, std::regex("service=\"[^\"]*\""),
                                  "service=\"" + Server.Url("/compact") + "\"");
    Document = std::regex_replace(Document, std::regex("<link url=\"[^\"]*\""),
                                  "<link url=\"" + Server.Url("/zentavo/") + "\"");
    std::ofstream(Work + "/sysConf.xml") << Document;
    std::ofstream(Config + "/zentavo-3d/registry.reg")
        << "Windows Registry Editor Version 5.00\r\n\r\n"
        << "[HKEY_CURRENT_USER\\Software\\Zentavo-3D\\geovalues]\r\n"
        // The values an installer seeds, then the clock's place and the city.
        << "\"Pitch\"=hex:00,00,00,00,00,00,00,00\r\n\"Roll\"=hex:00,00,00,00,00,00,00,00\r\n"
        << "\"Turn\"=hex:00,00,00,00,00,00,00,00\r\n\"FocalLength\"=hex:00,00,00,00,00,00,5e,40\r\n"
        << "\"DateTime\"=hex:00,00,00,00,00,00,e0,40\r\n"
        << "\"Top\"=\"" << ClockTop << "\"\r\n\"Left\"=\"" << ClockLeft << "\"\r\n"
        << "\"UF\"=\"Rio de Janeiro\"\r\n\"TimeServer\"=\"127.0.0.1\"\r\n\"RunOnce\"=\"0\"\r\n";

    QProcess Program;
    QProcessEnvironment Environment = QProcessEnvironment::systemEnvironment();
    Environment.insert("HOME", QString::fromStdString(Folder));
    Environment.insert("XDG_CONFIG_HOME", QString::fromStdString(Config));
    Environment.insert("XDG_CACHE_HOME", QString::fromStdString(Folder + "/cache"));
    Environment.remove("QT_QPA_PLATFORM");
    Program.setProcessEnvironment(Environment);
    Program.setWorkingDirectory(QString::fromStdString(Work));
    Program.setProcessChannelMode(QProcess::ForwardedOutputChannel);
    Program.start(ZENTAVO_EXECUTABLE, {});
    ASSERT_TRUE(Program.waitForStarted(10000));

    // Before the first online run, 30 s after the start, the clock is only "watch".
    for (int Wait = 0; Wait < 200 && WindowNamed("^watch$").empty(); ++Wait)
        QTest::qWait(50);
    ASSERT_EQ(WindowNamed("^watch$"), "watch");
    QTest::qWait(2000);
    // The globe's own yellow, before any weather picture.
    const int Before = SunPixels(ClockPicture());

    std::string Caption;
    for (int Wait = 0; Wait < 120 && Caption.empty(); ++Wait) {
        QTest::qWait(500);
        Caption = WindowNamed("Rio de Janeiro");
    }
    EXPECT_EQ(Caption, "Rio de Janeiro 24°C, céu limpo");
    QImage After;
    for (int Wait = 0; Wait < 20; ++Wait) {
        After = ClockPicture();
        if (SunPixels(After) > Before + 30)
            break;
        QTest::qWait(250);
    }
    EXPECT_GT(SunPixels(After), Before + 30) << "the sun of the weather picture is beside the globe";
    if (const char* Shots = getenv("ZENTAVO_SCREENSHOT_DIR"))
        After.save(QString::fromLocal8Bit(Shots) + QStringLiteral("/weather-clock.png"));
    EXPECT_GE(Server.RequestCount(), 1u);

    Program.kill();
    Program.waitForFinished(5000);
}

} // namespace
