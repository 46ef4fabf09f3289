#include "PopupTestSupport.h"

#include "zentavo_companion.h"

#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <signal.h>

namespace PopupTesting {

TFakeBrowser::TFakeBrowser(const std::string& Folder) : FRecord(Folder + "/opened.txt")
{
    const std::string Bin = Folder + "/bin";
    std::filesystem::create_directories(Bin);
    const std::string Script = Bin + "/xdg-open";
    // The desktop services remember the browser they found first: whichever test's script
    // runs, it writes to the record of the test now running.
    std::ofstream(Script) << "#!/bin/sh\nprintf '%s\\n' \"$@\" >> \"${ZENTAVO_TEST_BROWSER_RECORD:-"
                          << FRecord << "}\"\n";
    setenv("ZENTAVO_TEST_BROWSER_RECORD", FRecord.c_str(), 1);
    std::filesystem::permissions(Script, std::filesystem::perms::owner_all);
    const char* Path = getenv("PATH");
    setenv("PATH", (Bin + ":" + (Path ? Path : "/usr/bin:/bin")).c_str(), 1);
    setenv("BROWSER", Script.c_str(), 1);
}

std::vector<std::string> TFakeBrowser::Opened() const
{
    std::vector<std::string> Lines;
    std::ifstream File(FRecord);
    for (std::string Line; std::getline(File, Line);)
        Lines.push_back(Line);
    return Lines;
}

std::u16string Utf16(const QString& Text)
{
    return Text.toStdU16String();
}

bool IsLoaded(const char* Path)
{
    void* Handle = dlopen(Path, RTLD_LAZY | RTLD_NOLOAD);
    if (Handle == nullptr)
        return false;
    dlclose(Handle);
    return true;
}

bool IsMapped(const std::string& Part)
{
    std::ifstream Maps("/proc/self/maps");
    for (std::string Line; std::getline(Maps, Line);)
        if (Line.find(Part) != std::string::npos)
            return true;
    return false;
}

std::vector<int> Children(int Parent, const std::string& Name)
{
    std::vector<int> Found;
    for (const auto& Entry : std::filesystem::directory_iterator("/proc")) {
        const std::string Number = Entry.path().filename().string();
        if (Number.find_first_not_of("0123456789") != std::string::npos)
            continue;
        std::ifstream Stat(Entry.path() / "stat");
        std::string Text((std::istreambuf_iterator<char>(Stat)), {});
        const size_t Open = Text.find('('), Close = Text.rfind(')');
        if (Open == std::string::npos || Close == std::string::npos || Close + 4 >= Text.size())
            continue;
        const std::string Command = Text.substr(Open + 1, Close - Open - 1);
        const char State = Text[Close + 2];
        const int Of = std::atoi(Text.c_str() + Close + 4);
        if (Of == Parent && Command == Name && State != 'Z')
            Found.push_back(std::stoi(Number));
    }
    return Found;
}

bool IsRunning(int Process)
{
    std::ifstream Stat("/proc/" + std::to_string(Process) + "/stat");
    std::string Text((std::istreambuf_iterator<char>(Stat)), {});
    const size_t Close = Text.rfind(')');
    return Close != std::string::npos && Close + 2 < Text.size() && Text[Close + 2] != 'Z';
}

int32_t CallGetBrowserWin(const char* Library, const QString& Link, const QString& Caption, int Top, int Left,
                          int Width, int Height, int32_t Delay, int32_t Style)
{
    void* Handle = dlopen(Library, RTLD_NOW | RTLD_LOCAL);
    if (Handle == nullptr)
        return -1;
    auto* Function = reinterpret_cast<ZTGetBrowserWinFunction*>(dlsym(Handle, "GetBrowserWin"));
    const std::u16string LinkText = Utf16(Link);
    const std::u16string CaptionText = Utf16(Caption);
    const int32_t Result = Function ? Function(nullptr, reinterpret_cast<const uint16_t*>(LinkText.c_str()),
                                               reinterpret_cast<const uint16_t*>(CaptionText.c_str()), Top,
                                               Left, Width, Height, Delay, Style)
                                    : -1;
    dlclose(Handle);
    return Result;
}

} // namespace PopupTesting
