// The longest the online tasks hold the window's event loop: one connected run
// of the online loop with the real companions against servers that never
// answer (the document's address, the weather service, the time server), then
// the same with a document that does arrive and offers four library updates
// whose downloads never answer, so that the live update runs too. Each step
// alone as well. Run under an X server (xvfb-run) from the build folder.
#include "app/ErrorReport.h"
#include "app/Watch.h"
#include "app/ZentavoApplication.h"
#include "LocalHttpServer.h"
#include "LocalSntpServer.h"
#include "platform/Platform.h"
#include "TestKey.h"

#include <QTest>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <string>

using Zentavo::Testing::THttpResponse;
using Zentavo::Testing::TLocalHttpServer;
using Zentavo::Testing::TLocalSntpServer;
using Zentavo::Testing::TSntpAnswer;
using TClock = std::chrono::steady_clock;

namespace {

std::string ReadFile(const std::string& Name)
{
    std::ifstream File(Name);
    return std::string(std::istreambuf_iterator<char>(File), {});
}

double Seconds(const std::function<void()>& Action)
{
    const auto Start = TClock::now();
    Action();
    return std::chrono::duration<double>(TClock::now() - Start).count();
}

// A document whose refresh address and weather service are on Server, with
// four library offers signed with the key the live update's test build trusts.
std::string Document(const TLocalHttpServer& Server, bool Offers)
{
    std::string Text = ReadFile(ZENTAVO_SOURCE_DIR "/data/sysConf.xml");
    Text = std::regex_replace(Text, std::regex("service=\"[^\"]*\""),
                              "service=\"" + Server.Url("/compact") + "\" timeout=\"30000\"");
    Text = std::regex_replace(Text, std::regex(" timeout=\"[0-9]*\"/>"), "/>");
    Text = std::regex_replace(Text, std::regex("<link url=\"[^\"]*\""),
                              "<link url=\"" + Server.Url("/zentavo/") + "\"");
    if (Offers) {
        std::string Library;
        for (const char* Name : {"images", "ztaddon", "connection", "lu"}) {
            Library += std::string("<") + Name;
            for (const auto& [Attribute, Value] : OfferAttributes(
                     Name, "99", Server.Url(std::string("/") + Name + ".so"), std::string(1000, *Name)))
                Library += " " + Attribute + "=\"" + Value + "\"";
            Library += "/>";
        }
        // In place of the bare elements of the same names, which would hide them.
        Text = std::regex_replace(Text, std::regex("<(images|lu)/>"), "");
        Text = std::regex_replace(Text, std::regex("<library>"), "<library>" + Library);
    }
    return Text;
}

} // namespace

int main(int ArgumentCount, char** Arguments)
{
    TLocalHttpServer Server;
    TLocalSntpServer TimeServer;
    TimeServer.SetAnswer(TSntpAnswer::Silent);
    for (const char* Path : {"/zentavo/sysConf.xml", "/compact?lat=-23.5475&lon=-46.6361", "/images.so",
                             "/lu.so", "/ztaddon.so", "/connection.so"})
        Server.SetResponse(Path, THttpResponse::Silent());

    const std::filesystem::path Scratch = std::filesystem::temp_directory_path() / "zentavo-silent-bench";
    std::filesystem::remove_all(Scratch);
    const std::filesystem::path Work = Scratch / "work", Config = Scratch / "config",
                                Routes = Scratch / "routes";
    for (const auto& Folder : {Work, Config / "zentavo-3d", Routes})
        std::filesystem::create_directories(Folder);
    std::filesystem::permissions(Work, std::filesystem::perms::owner_all);
    for (const char* Library : {ZENTAVO_CONNECTION_LIBRARY, ZENTAVO_WEATHER_LIBRARY, ZENTAVO_LU_LIBRARY})
        std::filesystem::copy_file(Library, Work / std::filesystem::path(Library).filename());
    std::ofstream(Work / "weather-cities.txt") << "São Paulo, Brazil|-23.5475,-46.6361\n";
    std::ofstream(Work / "sysConf.xml") << Document(Server, false);
    std::ofstream(Routes / "route")
        << "Iface\tDestination\tGateway \tFlags\tRefCnt\tUse\tMetric\tMask\t\tMTU\tWindow\tIRTT\n"
        << "eth0\t00000000\t010200C0\t0003\t0\t0\t0\t00000000\t0\t0\t0\n";
    std::ofstream(Config / "zentavo-3d" / "registry.reg")
        << "Windows Registry Editor Version "
           "5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Zentavo-3D\\geovalues]\r\n"
        << "\"Pitch\"=hex:00,00,00,00,00,00,00,00\r\n\"Roll\"=hex:00,00,00,00,00,00,00,00\r\n"
        << "\"Turn\"=hex:00,00,00,00,00,00,00,00\r\n\"FocalLength\"=hex:00,00,00,00,00,00,5e,40\r\n"
        << "\"DateTime\"=hex:00,00,00,00,00,00,e0,40\r\n\"RunOnce\"=\"0\"\r\n";
    setenv("HOME", Scratch.c_str(), 1);
    setenv("XDG_CONFIG_HOME", Config.c_str(), 1);
    setenv("XDG_CACHE_HOME", (Scratch / "cache").c_str(), 1);
    setenv("XDG_STATE_HOME", (Scratch / "state").c_str(), 1);
    setenv("PULSE_SERVER", (Scratch / "no-sound-server").c_str(), 1);
    // No NetworkManager to ask: a default route of the bench's own says "connected".
    setenv("DBUS_SYSTEM_BUS_ADDRESS", ("unix:path=" + (Scratch / "no-bus").string()).c_str(), 1);
    setenv("ZENTAVO_ROUTE_FOLDER", Routes.c_str(), 1);
    for (const char* Name :
         {"http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY", "all_proxy", "ALL_PROXY"})
        unsetenv(Name);
    std::filesystem::current_path(Work);

    TZentavoApplication Application(ArgumentCount, Arguments);
    SetErrorBoxHandler([](const QString& Text) { std::fprintf(stderr, "error: %s\n", qPrintable(Text)); });
    Platform::TServices Services = Platform::LinuxServices();
    Twatch Watch(Services, 0);
    Watch.show();
    if (!QTest::qWaitForWindowExposed(&Watch))
        return 1;
    TGMT_System& System = *Watch.GMTSystem;
    System.UF = "São Paulo";
    System.TimeServer = TimeServer.Address();
    const auto NothingDone = [&] {
        System.SysConfOk = System.WeatherOk = System.TimeSyncOk = System.SystemUpdated = false;
        System.ConnectCount = 0;
    };

    std::printf("Servers that never answer, the real companions (seconds the window's thread is held):\n");
    NothingDone();
    std::printf("  one online run                          %6.2f\n",
                Seconds([&] { Watch.zt_SetSystemParams(); }));
    std::printf("    configuration refresh (HTTPRequest)   %6.2f\n",
                Seconds([&] { Watch.zt_UpdateSysConf(); }));
    std::printf("    weather (getWeatherInfo)              %6.2f\n",
                Seconds([&] { Watch.zt_WeatherForecast(); }));

    // The document arrives and offers updates whose downloads never answer.
    Server.SetResponse("/zentavo/sysConf.xml", THttpResponse::Text(Document(Server, true)));
    NothingDone();
    std::printf("  one online run, with the live update    %6.2f\n",
                Seconds([&] { Watch.zt_SetSystemParams(); }));
    std::printf("    live update (LiveUpdate)              %6.2f\n", Seconds([&] { Watch.zt_LiveUpdate(); }));
    std::printf("  (the document was %s; requests:", System.SysConfOk ? "refreshed" : "not refreshed");
    for (const auto& Request : Server.Requests())
        std::printf(" %s", Request.Target().c_str());
    std::printf(")\n");
    return 0;
}
