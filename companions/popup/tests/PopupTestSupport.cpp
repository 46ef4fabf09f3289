#include "PopupTestSupport.h"

#include <dlfcn.h>
#include <filesystem>
#include <fstream>

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

} // namespace PopupTesting
