// weather.so's getWeatherInfo from the call to its return, against a local
// forecast server: uncached (the answer fetched and kept), cached (within
// the service's period, nothing sent), each with the library kept loaded and
// as the clock calls it (load, call, release). The floor is the same call
// when the document names no service, which returns before any work.
#include "LocalHttpServer.h"
#include "zentavo_companion.h"

#include <QDateTime>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <vector>

namespace {

const char* Library = nullptr;
std::vector<uint32_t> LastPixels;

uint8_t SetCaption(ZTWindow*, const char*)
{
    return 1;
}
uint8_t LoadFromFile(ZTBitmap*, const char*)
{
    return 0;
}
uint8_t SetPixels(ZTBitmap*, int32_t Width, int32_t Height, const uint32_t* Pixels)
{
    LastPixels.assign(Pixels, Pixels + static_cast<size_t>(Width) * Height);
    return 1;
}
int32_t Size(const ZTBitmap*)
{
    return 0;
}
const ZTBitmapMethods BitmapMethods = {sizeof(ZTBitmapMethods), &LoadFromFile, &SetPixels, &Size, &Size};
ZTBitmap Bitmap = {&BitmapMethods};
ZTBitmap* BrushBitmap(ZTWindow*)
{
    return &Bitmap;
}
const ZTWindowMethods WindowMethods = {sizeof(ZTWindowMethods), &SetCaption, &BrushBitmap};
ZTWindow Window = {&WindowMethods};

std::string Forecast()
{
    QJsonArray Series;
    QDateTime Time = QDateTime::currentDateTimeUtc();
    Time.setTime(QTime(Time.time().hour(), 0));
    // The shape of a real answer: 60 hourly steps, then six-hourly to nine days.
    for (int Step = 0; Step < 90; ++Step) {
        const QJsonObject Summary{
            {QStringLiteral("summary"),
             QJsonObject{{QStringLiteral("symbol_code"), QStringLiteral("partlycloudy_day")}}}};
        QJsonObject Data{{QStringLiteral("instant"),
                          QJsonObject{{QStringLiteral("details"),
                                       QJsonObject{{QStringLiteral("air_temperature"), 20.0 + Step % 7}}}}},
                         {QStringLiteral("next_6_hours"), Summary}};
        if (Step < 60)
            Data.insert(QStringLiteral("next_1_hours"), Summary);
        Series.append(QJsonObject{{QStringLiteral("time"), Time.toString(Qt::ISODate)},
                                  {QStringLiteral("data"), Data}});
        Time = Time.addSecs(Step < 60 ? 3600 : 6 * 3600);
    }
    const QJsonObject Root{
        {QStringLiteral("properties"), QJsonObject{{QStringLiteral("timeseries"), Series}}}};
    return QJsonDocument(Root).toJson(QJsonDocument::Compact).toStdString();
}

double MedianMicroseconds(std::vector<double> Samples)
{
    std::sort(Samples.begin(), Samples.end());
    return Samples[Samples.size() / 2];
}

// One call; with LoadEach, loads and releases the library around it as the clock does.
double TimeCall(void* Kept, bool LoadEach, bool& Result)
{
    ZTUserConnection Connection;
    std::memset(&Connection, 0, sizeof Connection);
    ZTRSSWeather Holder;
    std::memset(&Holder, 0, sizeof Holder);
    ZTRSSWeather* Reference = &Holder;
    const auto Start = std::chrono::steady_clock::now();
    void* Handle = LoadEach ? dlopen(Library, RTLD_NOW | RTLD_LOCAL) : Kept;
    auto* Function = reinterpret_cast<ZTGetWeatherInfoFunction*>(dlsym(Handle, "getWeatherInfo"));
    Result = Function(&Window, 0, "-23.5475,-46.6361", Connection, &Reference) != 0;
    if (LoadEach)
        dlclose(Handle);
    return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - Start).count();
}

void WriteDocument(const std::string& Service)
{
    std::ofstream("sysConf.xml") << "<zentavo><library><weather><forecast service=\"" << Service
                                 << "\" timeout=\"4000\"/></weather></library></zentavo>";
}

} // namespace

int main(int ArgumentCount, char** Arguments)
{
    if (ArgumentCount < 2) {
        std::fprintf(stderr, "usage: %s WEATHER_SO\n", Arguments[0]);
        return 2;
    }
    Library = Arguments[1];
    char Template[] = "/tmp/zentavo-weather-bench-XXXXXX";
    const std::filesystem::path Folder = mkdtemp(Template);
    setenv("HOME", Folder.c_str(), 1);
    setenv("XDG_CACHE_HOME", (Folder / "cache").c_str(), 1);
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    std::filesystem::current_path(Folder);
    QGuiApplication Application(ArgumentCount, Arguments);

    Zentavo::Testing::TLocalHttpServer Server;
    const std::string Body = Forecast();
    Zentavo::Testing::THttpResponse Response = Zentavo::Testing::THttpResponse::Text(Body);
    Response.Headers = {{"Content-Type", "application/json"}, {"Cache-Control", "max-age=3600"}};
    Server.SetResponse("/compact?lat=-23.5475&lon=-46.6361", Response);
    void* Kept = dlopen(Library, RTLD_NOW | RTLD_LOCAL);
    if (Kept == nullptr) {
        std::fprintf(stderr, "%s\n", dlerror());
        return 1;
    }

    bool Result = false;
    std::vector<double> Floor, Uncached, Cached, UncachedLoaded, CachedLoaded;
    WriteDocument("");
    for (int Run = 0; Run < 200; ++Run)
        Floor.push_back(TimeCall(Kept, false, Result));
    WriteDocument(Server.Url("/compact"));
    for (int Run = 0; Run < 60; ++Run) {
        std::filesystem::remove_all(Folder / "cache");
        Uncached.push_back(TimeCall(Kept, false, Result));
        if (!Result)
            return std::fprintf(stderr, "the uncached fetch failed\n"), 1;
        std::filesystem::remove_all(Folder / "cache");
        UncachedLoaded.push_back(TimeCall(Kept, true, Result));
    }
    const size_t RequestsBefore = Server.RequestCount();
    for (int Run = 0; Run < 200; ++Run) {
        Cached.push_back(TimeCall(Kept, false, Result));
        CachedLoaded.push_back(TimeCall(Kept, true, Result));
    }
    const double FloorTime = MedianMicroseconds(Floor);
    std::printf("answer: %zu bytes; requests sent by 400 cached calls: %zu\n", Body.size(),
                Server.RequestCount() - RequestsBefore);
    std::printf("floor (no service named)        %8.1f us\n", FloorTime);
    std::printf("uncached, library kept loaded   %8.1f us  (%.1fx floor)\n", MedianMicroseconds(Uncached),
                MedianMicroseconds(Uncached) / FloorTime);
    std::printf("cached,   library kept loaded   %8.1f us  (%.1fx floor)\n", MedianMicroseconds(Cached),
                MedianMicroseconds(Cached) / FloorTime);
    std::printf("uncached, load + call + release %8.1f us\n", MedianMicroseconds(UncachedLoaded));
    std::printf("cached,   load + call + release %8.1f us\n", MedianMicroseconds(CachedLoaded));
    dlclose(Kept);
    std::filesystem::current_path("/");
    std::filesystem::remove_all(Folder);
    return 0;
}
