// How long the online tasks keep the window's event loop busy, with
// companions that answer at once: one run of the online loop doing all three
// tasks against a run that finds no connection (one beep and one library
// load: the floor), each task alone, and the weather step from the library's
// return to the redrawn frame. Wall time and the thread's own CPU time, the
// medians of 20 runs. Run under an X server (xvfb-run) from the build folder.
#include "app/ErrorReport.h"
#include "app/Watch.h"
#include "app/ZentavoApplication.h"
#include "platform/Platform.h"
#include "scene/GLSceneBuffer.h"
#include "scene/qt/GLSceneViewer.h"
#include "services/zentavo_companion.h"

#include <QCoreApplication>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int Runs = 20;
using TClock = std::chrono::steady_clock;

double Median(std::vector<double> Values)
{
    std::sort(Values.begin(), Values.end());
    return Values[Values.size() / 2];
}

double ThreadMilliseconds()
{
    timespec Now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &Now);
    return static_cast<double>(Now.tv_sec) * 1e3 + static_cast<double>(Now.tv_nsec) / 1e6;
}

struct TFigure
{
    double Wall = 0;
    double Processor = 0;
};

TFigure Measure(const std::function<void()>& Prepare, const std::function<void()>& Action)
{
    std::vector<double> Wall, Processor;
    for (int Run = 0; Run < Runs; ++Run) {
        Prepare();
        const auto Start = TClock::now();
        const double Cpu = ThreadMilliseconds();
        Action();
        Processor.push_back(ThreadMilliseconds() - Cpu);
        Wall.push_back(std::chrono::duration<double, std::milli>(TClock::now() - Start).count());
        QTest::qWait(5);
    }
    return {Median(Wall), Median(Processor)};
}

TClock::time_point LibraryReturned;

// The weather library of the last measurement, in this process so that its
// return can be stamped: a sprite-sized picture and a caption, at once.
uint8_t InstantWeather(ZTWindow* MainWindow, uintptr_t, const char*, ZTUserConnection, ZTRSSWeather**)
{
    MainWindow->Methods->SetCaption(MainWindow, "São Paulo 24°C, parcialmente nublado");
    ZTBitmap* Brush = MainWindow->Methods->BrushBitmap(MainWindow);
    static std::vector<uint32_t> Pixels(68 * 68, 0xFF3366CCu);
    Brush->Methods->SetPixels(Brush, 68, 68, Pixels.data());
    LibraryReturned = TClock::now();
    return 1;
}

// The system's loader, with weather.so served from this process.
class TBenchLoader : public Platform::TLibraryLoader
{
public:
    explicit TBenchLoader(Platform::TLibraryLoader& System) : FSystem(System) {}
    Platform::TLibraryHandle Load(const std::string& FileName) override
    {
        return ServeWeather && FileName == ZT_WEATHER_LIBRARY ? &FWeather : FSystem.Load(FileName);
    }
    void* Resolve(Platform::TLibraryHandle Library, const char* ExportName) override
    {
        if (Library == &FWeather)
            return std::string(ExportName) == "getWeatherInfo" ? reinterpret_cast<void*>(&InstantWeather) : nullptr;
        return FSystem.Resolve(Library, ExportName);
    }
    void Release(Platform::TLibraryHandle Library) override
    {
        if (Library != &FWeather)
            FSystem.Release(Library);
    }
    bool ServeWeather = false;

private:
    Platform::TLibraryLoader& FSystem;
    int FWeather = 0;
};

void PrepareFolders()
{
    const std::filesystem::path Scratch = std::filesystem::temp_directory_path() / "zentavo-online-bench";
    std::filesystem::remove_all(Scratch);
    const std::filesystem::path Work = Scratch / "work", Config = Scratch / "config";
    std::filesystem::create_directories(Work);
    std::filesystem::create_directories(Config / "zentavo-3d");
    std::filesystem::permissions(Work, std::filesystem::perms::owner_all);
    std::filesystem::copy_file(ZENTAVO_SOURCE_DIR "/data/sysConf.xml", Work / "sysConf.xml");
    // The refresh brings the same document back, so that every run writes it.
    std::filesystem::copy_file(ZENTAVO_SOURCE_DIR "/data/sysConf.xml", Work / "response.txt");
    for (const char* Name : {"connection.so", "weather.so", "ztaddon.so", "lu.so"})
        std::filesystem::copy_file(std::filesystem::path(ZENTAVO_STAND_IN_DIR) / Name, Work / Name);
    std::ofstream(Work / "getProvinces.txt") << "São Paulo, Brazil|-23.5475,-46.6361\n";
    std::ofstream(Config / "zentavo-3d" / "registry.reg")
        << "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Zentavo-3D\\geovalues]\r\n"
        << "\"Pitch\"=hex:00,00,00,00,00,00,00,00\r\n\"Roll\"=hex:00,00,00,00,00,00,00,00\r\n"
        << "\"Turn\"=hex:00,00,00,00,00,00,00,00\r\n\"FocalLength\"=hex:00,00,00,00,00,00,5e,40\r\n"
        << "\"DateTime\"=hex:00,00,00,00,00,00,e0,40\r\n\"RunOnce\"=\"0\"\r\n";
    setenv("HOME", Scratch.c_str(), 1);
    setenv("XDG_CONFIG_HOME", Config.c_str(), 1);
    // No sound server: the beep is the toolkit's, as on a desktop without one.
    setenv("PULSE_SERVER", (Scratch / "no-sound-server").c_str(), 1);
    std::filesystem::current_path(Work);
}

void Print(const char* What, const TFigure& Figure, const TFigure& Floor)
{
    std::printf("%-44s %8.2f ms wall %8.2f ms cpu   %5.1fx the floor's cpu\n", What, Figure.Wall, Figure.Processor,
                Floor.Processor > 0 ? Figure.Processor / Floor.Processor : 0.0);
}

} // namespace

int main(int ArgumentCount, char** Arguments)
{
    PrepareFolders();
    TZentavoApplication Application(ArgumentCount, Arguments);
    // A box nobody confirms would hold the measurement.
    SetErrorBoxHandler([](const QString& Text) { std::fprintf(stderr, "error: %s\n", qPrintable(Text)); });
    Platform::TServices Services = Platform::LinuxServices();
    TBenchLoader Loader(*Services.Libraries);
    Services.Libraries = &Loader;
    Twatch Watch(Services, 0);
    Watch.show();
    if (!QTest::qWaitForWindowExposed(&Watch))
        return 1;
    QTest::qWait(300);
    TGMT_System& System = *Watch.GMTSystem;
    System.UF = "São Paulo";
    System.TimeServer = "pool.ntp.org";
    const auto Offline = [] { std::filesystem::remove("online.flag"); };
    const auto Online = [] { std::ofstream("online.flag"); };
    const auto NothingDone = [&] {
        Online();
        System.SysConfOk = System.WeatherOk = System.TimeSyncOk = System.SystemUpdated = false;
        System.ConnectCount = 0;
        std::filesystem::remove("companion.log");
    };

    const TFigure Floor = Measure(Offline, [&] { Watch.zt_SetSystemParams(); });
    const TFigure Full = Measure(NothingDone, [&] { Watch.zt_SetSystemParams(); });
    const TFigure Refresh = Measure(NothingDone, [&] { Watch.zt_UpdateSysConf(); });
    const TFigure Weather = Measure(NothingDone, [&] { Watch.zt_WeatherForecast(); });
    std::printf("One run of the online tasks, companions answering at once (median of %d):\n", Runs);
    Print("no connection (beep, query: the floor)", Floor, Floor);
    Print("all three tasks", Full, Floor);
    Print("  configuration refresh (parse, durable save)", Refresh, Floor);
    Print("  weather step (stand-in library)", Weather, Floor);

    // From the weather library's return to the redrawn frame.
    std::vector<double> Own, ToFrame;
    Loader.ServeWeather = true;
    for (int Run = 0; Run < Runs; ++Run) {
        const auto Frames = Watch.ScreenView->Buffer().RenderedFrames();
        Watch.zt_WeatherForecast();
        const auto Returned = TClock::now();
        const auto GiveUp = TClock::now() + std::chrono::seconds(5);
        while (Watch.ScreenView->Buffer().RenderedFrames() == Frames && TClock::now() < GiveUp)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
        const auto Drawn = TClock::now();
        Own.push_back(std::chrono::duration<double, std::milli>(Returned - LibraryReturned).count());
        ToFrame.push_back(std::chrono::duration<double, std::milli>(Drawn - LibraryReturned).count());
        QTest::qWait(20);
    }
    std::printf("Weather step, library's return to the step's end: %.2f ms; to the redrawn frame: %.2f ms\n",
                Median(Own), Median(ToFrame));
    return 0;
}
