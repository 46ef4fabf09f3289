// What one save of the clock's settings costs on a real store: the old way,
// every value written through its key on its own (lock, read, parse, temporary
// file, flush, rename, flush of the folder, per value), against the new one,
// all of them in one transaction (TRegistry::Apply). Counts the system calls
// behind each save through a counting TFileOperations and times the saves.
//
//   zentavo_save_bench [--saves N] [--folder DIR]...
//
// Each folder gets a temporary folder of its own inside it (removed at the
// end); by default the system's temporary folder and the build folder, which
// are often on different file systems (tmpfs against a disk).
#include "app/settings/SettingsKey.h"
#include "app/settings/SettingsTable.h"
#include "platform/FileOperations.h"
#include "platform/FileRegistry.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <exception>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#ifndef ZENTAVO_BUILD_DIR
#define ZENTAVO_BUILD_DIR "."
#endif

namespace {

using Platform::TFileOperations;
using Platform::TFileRegistry;
using Platform::TRegistryChange;
using Platform::TRegistryValue;

struct TCallCounts
{
    long Locks = 0;     // opens of the folder, each held locked for one change
    long FileOpens = 0; // opens of the store (each a read of it)
    long Temporaries = 0;
    long WrittenBytes = 0;
    long FileSyncs = 0;
    long FolderSyncs = 0;
    long Renames = 0;

    long Syncs() const { return FileSyncs + FolderSyncs; }
};

// The real calls, counted.
class TCountingOperations : public TFileOperations
{
public:
    TCallCounts Counts;

    int Open(const char* Path, int Flags, mode_t Mode) override
    {
        ++((Flags & O_DIRECTORY) ? Counts.Locks : Counts.FileOpens);
        return TFileOperations::Open(Path, Flags, Mode);
    }
    int MakeTemporary(char* Template) override
    {
        ++Counts.Temporaries;
        return TFileOperations::MakeTemporary(Template);
    }
    ssize_t Write(int File, const void* Buffer, std::size_t Size) override
    {
        const ssize_t Written = TFileOperations::Write(File, Buffer, Size);
        if (Written > 0)
            Counts.WrittenBytes += Written;
        return Written;
    }
    int SyncFile(int File) override
    {
        ++Counts.FileSyncs;
        return TFileOperations::SyncFile(File);
    }
    int SyncFolder(int Folder) override
    {
        ++Counts.FolderSyncs;
        return TFileOperations::SyncFolder(Folder);
    }
    int Rename(const char* From, const char* To) override
    {
        ++Counts.Renames;
        return TFileOperations::Rename(From, To);
    }
};

// Which values differ from the stored ones at each save.
enum class TScenario
{
    AllChanged,  // every value and the autostart entry: each its own write the old way
    WindowMoved, // Top and Left only, the usual save at the close
    Unchanged,
};

const char* ScenarioName(TScenario Scenario)
{
    switch (Scenario) {
    case TScenario::AllChanged:
        return "every value changed";
    case TScenario::WindowMoved:
        return "window moved (2 values)";
    case TScenario::Unchanged:
        return "nothing changed";
    }
    return "";
}

struct TNamedValue
{
    std::string Name;
    TRegistryValue Value;
};

struct TSaveValues
{
    std::vector<TNamedValue> Settings;
    bool RunOnce = true;
};

constexpr const char* Executable = "/usr/local/bin/zentavo-3d";

// The clock's full set of values in their stored forms, for save number Save
// (the numbers below 0 fill the store and warm up).
TSaveValues ValuesOf(TScenario Scenario, int Save)
{
    const bool Moving = Scenario != TScenario::Unchanged;
    const bool Changing = Scenario == TScenario::AllChanged;
    const int Number = Changing ? Save + 1 : 0;
    TSaveValues Values;
    for (const TSetting& Setting : ClockSettings()) {
        const bool IsPosition =
            std::strcmp(Setting.Name, "Top") == 0 || std::strcmp(Setting.Name, "Left") == 0;
        const int Variation = IsPosition && Moving ? Save + 1 : Number;
        TRegistryValue Stored;
        switch (Setting.Kind) {
        case TSettingKind::Integer:
            Stored = TSettingsKey::IntegerValue(Setting.Default + 100 + Variation);
            break;
        case TSettingKind::Flag: {
            const bool Value = (Setting.Default != 0) != (Variation % 2 != 0);
            if (std::strcmp(Setting.Name, "RunOnce") == 0)
                Values.RunOnce = Value;
            Stored = TSettingsKey::FlagValue(Value);
            break;
        }
        case TSettingKind::Float:
            Stored = TSettingsKey::FloatValue(45000.25 + Variation);
            break;
        case TSettingKind::Text:
            Stored = TSettingsKey::TextValue("(GMT -03:00) " + std::string(Setting.Name) + " " +
                                             std::to_string(Variation));
            break;
        }
        Values.Settings.push_back({Setting.Name, std::move(Stored)});
    }
    return Values;
}

// As the settings were saved before the transaction: a key for the values,
// each value its own change, then the autostart entry through its own key.
void SaveValueByValue(TFileRegistry& Registry, const TSaveValues& Values)
{
    const auto Key = Registry.CreateKey(SettingsKeyPath);
    for (const TNamedValue& Item : Values.Settings)
        Key->SetValue(Item.Name, Item.Value);
    const auto Run = Registry.CreateKey(RunKeyPath);
    if (Values.RunOnce)
        Run->SetValue(RunValueName, TSettingsKey::TextValue(Executable));
    else
        Run->DeleteValue(RunValueName);
}

// As the settings are saved now: one transaction.
void SaveInOneTransaction(TFileRegistry& Registry, const TSaveValues& Values)
{
    std::vector<TRegistryChange> Changes;
    for (const TNamedValue& Item : Values.Settings)
        Changes.push_back({SettingsKeyPath, Item.Name, Item.Value});
    if (Values.RunOnce)
        Changes.push_back({RunKeyPath, RunValueName, TSettingsKey::TextValue(Executable)});
    else
        Changes.push_back({RunKeyPath, RunValueName, std::nullopt});
    Registry.Apply(Changes);
}

double ThreadCpuMilliseconds()
{
    timespec Time;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &Time);
    return static_cast<double>(Time.tv_sec) * 1e3 + static_cast<double>(Time.tv_nsec) / 1e6;
}

double Percentile(std::vector<double> Values, double Fraction)
{
    if (Values.empty())
        return 0;
    std::sort(Values.begin(), Values.end());
    const double Place = Fraction * static_cast<double>(Values.size() - 1);
    const auto Below = static_cast<std::size_t>(Place);
    const std::size_t Above = std::min(Below + 1, Values.size() - 1);
    return Values[Below] + (Values[Above] - Values[Below]) * (Place - static_cast<double>(Below));
}

struct TWayResult
{
    TCallCounts Counts;       // over all measured saves
    std::vector<double> Wall; // ms per save
    std::vector<double> Cpu;  // ms per save, this thread
};

class TWay
{
public:
    TWay(const std::string& Folder, void (*Save)(TFileRegistry&, const TSaveValues&))
        : FRegistry(Folder + "/registry.reg", FOperations), FSave(Save)
    {}

    void Run(const TSaveValues& Values, bool Measured)
    {
        const TCallCounts Before = FOperations.Counts;
        const double CpuStart = ThreadCpuMilliseconds();
        const auto WallStart = std::chrono::steady_clock::now();
        FSave(FRegistry, Values);
        const auto WallEnd = std::chrono::steady_clock::now();
        const double CpuEnd = ThreadCpuMilliseconds();
        if (!Measured) {
            FOperations.Counts = Before;
            return;
        }
        FResult.Wall.push_back(std::chrono::duration<double, std::milli>(WallEnd - WallStart).count());
        FResult.Cpu.push_back(CpuEnd - CpuStart);
    }

    TWayResult Result()
    {
        FResult.Counts = FOperations.Counts;
        return FResult;
    }

private:
    TCountingOperations FOperations;
    TFileRegistry FRegistry;
    void (*FSave)(TFileRegistry&, const TSaveValues&);
    TWayResult FResult;
};

// The file system holding Folder, from the longest mount point above it.
std::string FileSystemOf(const std::string& Folder)
{
    const std::string Path = std::filesystem::weakly_canonical(Folder).string();
    std::ifstream Mounts("/proc/self/mountinfo");
    std::string Line, Best, Description = "unknown file system";
    while (std::getline(Mounts, Line)) {
        std::istringstream Words(Line);
        std::string Id, Parent, Device, Root, MountPoint, Word;
        Words >> Id >> Parent >> Device >> Root >> MountPoint;
        while (Words >> Word && Word != "-") {
        }
        std::string Type, Source;
        Words >> Type >> Source;
        const bool Above = Path == MountPoint || MountPoint == "/" ||
                           (Path.rfind(MountPoint, 0) == 0 && Path.size() > MountPoint.size() &&
                            Path[MountPoint.size()] == '/');
        if (Above && MountPoint.size() >= Best.size()) {
            Best = MountPoint;
            Description = Type + " (" + Source + " on " + MountPoint + ")";
        }
    }
    return Description;
}

void PrintCounts(const char* Way, const TWayResult& Result, int Saves)
{
    const double Per = Saves > 0 ? 1.0 / Saves : 0;
    const TCallCounts& C = Result.Counts;
    std::printf("    %-14s %6.1f %6.1f %6.1f %6.1f %6.1f %6.1f %7.2f | %7.2f (%6.2f-%6.2f) %6.3f\n", Way,
                C.Locks * Per, C.FileOpens * Per, C.Temporaries * Per, C.FileSyncs * Per, C.FolderSyncs * Per,
                C.Renames * Per, C.WrittenBytes * Per / 1024.0, Percentile(Result.Wall, 0.5),
                Percentile(Result.Wall, 0.1), Percentile(Result.Wall, 0.9), Percentile(Result.Cpu, 0.5));
}

// "-" when there is nothing to divide by.
std::string Ratio(double A, double B)
{
    if (B <= 0)
        return A > 0 ? "inf" : "-";
    char Text[32];
    std::snprintf(Text, sizeof Text, "%.1fx", A / B);
    return Text;
}

void MeasureFolder(const std::string& Parent, int Saves)
{
    std::string Template = Parent + "/zentavo-save-bench-XXXXXX";
    if (::mkdtemp(Template.data()) == nullptr) {
        std::printf("\n%s: cannot make a temporary folder: %s\n", Parent.c_str(), std::strerror(errno));
        return;
    }
    const std::string Root = Template;
    std::printf("\nFolder %s: %s\n", Root.c_str(), FileSystemOf(Root).c_str());
    std::printf(
        "  %d saves each way per row, the two ways alternating, each on its own store;\n"
        "  per save: folder locks, opens of the store (reads), temporary files, fsyncs of files (fsyncF)\n"
        "  and of the folder (fsyncD), renames, KiB written | wall ms median (10th-90th percentile), CPU ms "
        "median\n",
        Saves);
    std::printf("    %-14s %6s %6s %6s %6s %6s %6s %7s | %s\n", "", "locks", "reads", "temps", "fsyncF",
                "fsyncD", "renam", "KiB", "wall ms                   CPU ms");
    for (const TScenario Scenario : {TScenario::AllChanged, TScenario::WindowMoved, TScenario::Unchanged}) {
        const std::string Folder = Root + "/" + std::to_string(static_cast<int>(Scenario));
        std::filesystem::create_directories(Folder + "/value-by-value");
        std::filesystem::create_directories(Folder + "/transaction");
        TWay Old(Folder + "/value-by-value", SaveValueByValue);
        TWay New(Folder + "/transaction", SaveInOneTransaction);
        // Both stores start with the full set (keys made, leftovers looked for) and warm up, uncounted.
        const TSaveValues First = ValuesOf(TScenario::AllChanged, -2);
        Old.Run(First, false);
        New.Run(First, false);
        constexpr int Warmup = 2;
        for (int Save = -Warmup; Save < Saves; ++Save) {
            const TSaveValues Values = ValuesOf(Scenario, Save);
            Old.Run(Values, Save >= 0);
            New.Run(Values, Save >= 0);
        }
        const TWayResult OldResult = Old.Result();
        const TWayResult NewResult = New.Result();
        std::printf("  %s\n", ScenarioName(Scenario));
        PrintCounts("value by value", OldResult, Saves);
        PrintCounts("one Apply", NewResult, Saves);
        std::printf("    old/new: fsyncs %.1f / %.1f = %s, renames %s, locks %s, wall %s (median), CPU %s\n",
                    static_cast<double>(OldResult.Counts.Syncs()) / Saves,
                    static_cast<double>(NewResult.Counts.Syncs()) / Saves,
                    Ratio(OldResult.Counts.Syncs(), NewResult.Counts.Syncs()).c_str(),
                    Ratio(OldResult.Counts.Renames, NewResult.Counts.Renames).c_str(),
                    Ratio(OldResult.Counts.Locks, NewResult.Counts.Locks).c_str(),
                    Ratio(Percentile(OldResult.Wall, 0.5), Percentile(NewResult.Wall, 0.5)).c_str(),
                    Ratio(Percentile(OldResult.Cpu, 0.5), Percentile(NewResult.Cpu, 0.5)).c_str());
    }
    std::error_code Ignored;
    std::filesystem::remove_all(Root, Ignored);
}

void PrintUsage()
{
    std::puts("usage: zentavo_save_bench [--saves N] [--folder DIR]...\n"
              "  --saves N     measured saves per way and row (default 50)\n"
              "  --folder DIR  measure in a temporary folder made in DIR (repeatable; default:\n"
              "                $TMPDIR or /tmp, and the build folder)");
}

} // namespace

int main(int ArgumentCount, char** Arguments)
{
    int Saves = 50;
    std::vector<std::string> Folders;
    for (int Index = 1; Index < ArgumentCount; ++Index) {
        const std::string Argument = Arguments[Index];
        if (Argument == "--saves" && Index + 1 < ArgumentCount) {
            Saves = std::max(1, std::atoi(Arguments[++Index]));
        } else if (Argument == "--folder" && Index + 1 < ArgumentCount) {
            Folders.push_back(Arguments[++Index]);
        } else {
            PrintUsage();
            return Argument == "--help" ? 0 : 2;
        }
    }
    if (Folders.empty()) {
        const char* Temporary = std::getenv("TMPDIR");
        Folders.push_back(Temporary && *Temporary ? Temporary : "/tmp");
        Folders.push_back(ZENTAVO_BUILD_DIR);
    }
    std::printf("One save of the clock's %zu settings and its autostart entry, on TFileRegistry\n",
                ClockSettings().size());
    try {
        for (const std::string& Folder : Folders)
            MeasureFolder(Folder, Saves);
    } catch (const std::exception& Error) {
        std::fprintf(stderr, "zentavo_save_bench: %s\n", Error.what());
        return 1;
    }
    return 0;
}
