// How long each list of ztaddon.so keeps the setup dialog's caller busy: one
// load, call, copy into lines and release, as the program's binding does it,
// against a load and release with no call in the same run. Works in a folder
// of its own holding the real library and the shipped city list.
#include <dlfcn.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int Runs = 200;

double Median(std::vector<double> Values)
{
    std::sort(Values.begin(), Values.end());
    return Values[Values.size() / 2];
}

std::vector<std::string> Lines(const char* Text)
{
    std::vector<std::string> Result;
    if (Text == nullptr)
        return Result;
    const char* Start = Text;
    for (const char* At = Text;; ++At)
        if (*At == '\n' || *At == '\r' || *At == '\0') {
            if (At != Start || (*At != '\0'))
                Result.emplace_back(Start, At);
            if (*At == '\0')
                break;
            if (*At == '\r' && At[1] == '\n')
                ++At;
            Start = At + 1;
        }
    return Result;
}

// Milliseconds of one load, call (when ExportName is given), copy and release; the entry count.
double Once(const char* ExportName, std::size_t& Count)
{
    const auto Start = std::chrono::steady_clock::now();
    void* Library = dlopen("./ztaddon.so", RTLD_NOW | RTLD_LOCAL);
    if (Library == nullptr) {
        std::fprintf(stderr, "%s\n", dlerror());
        std::exit(1);
    }
    if (ExportName != nullptr) {
        auto* Function = reinterpret_cast<const char* (*)()>(dlsym(Library, ExportName));
        Count = Function != nullptr ? Lines(Function()).size() : 0;
    }
    dlclose(Library);
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - Start).count();
}

} // namespace

int main()
{
    const std::filesystem::path Work = std::filesystem::temp_directory_path() / "zentavo-list-bench";
    std::filesystem::remove_all(Work);
    std::filesystem::create_directories(Work);
    std::filesystem::copy_file(ZENTAVO_ADDON_LIBRARY, Work / "ztaddon.so");
    std::filesystem::copy_file(ZENTAVO_SOURCE_DIR "/data/weather-cities.txt", Work / "weather-cities.txt");
    std::filesystem::current_path(Work);

    std::size_t Count = 0;
    std::vector<double> Floor;
    for (int Run = 0; Run < Runs; ++Run)
        Floor.push_back(Once(nullptr, Count));
    std::printf("ztaddon.so lists: load, call, copy, release; median of %d runs (ms)\n", Runs);
    std::printf("  load and release alone (floor)   %8.3f\n", Median(Floor));
    for (const char* Export : {"getGMTLocations", "getTimeServers", "getProvinces"}) {
        std::vector<double> Times;
        for (int Run = 0; Run < Runs; ++Run)
            Times.push_back(Once(Export, Count));
        std::printf("  %-16s %6zu entries %8.3f   %.1fx the floor\n", Export, Count, Median(Times),
                    Median(Times) / Median(Floor));
    }
    std::filesystem::current_path(std::filesystem::temp_directory_path());
    std::filesystem::remove_all(Work);
    return 0;
}
