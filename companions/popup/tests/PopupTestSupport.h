#pragma once

#include <cstdint>
#include <QString>
#include <string>
#include <vector>

namespace PopupTesting {

// A fake desktop browser: an "xdg-open" (also named by BROWSER) first on
// PATH that records each address it is given, one per line.
class TFakeBrowser
{
public:
    explicit TFakeBrowser(const std::string& Folder);
    std::vector<std::string> Opened() const;

private:
    std::string FRecord;
};

// "text" as the clock hands it over.
std::u16string Utf16(const QString& Text);

// True when the library at Path is loaded in this process.
bool IsLoaded(const char* Path);

// True when a mapping of this process names a file whose name holds Part.
bool IsMapped(const std::string& Part);

// The running children of Parent (its zombies aside) whose command is Name.
std::vector<int> Children(int Parent, const std::string& Name);
bool IsRunning(int Process);

// GetBrowserWin as the clock calls it: the library loaded, called, released at once.
int32_t CallGetBrowserWin(const char* Library, const QString& Link, const QString& Caption, int Top, int Left,
                          int Width, int Height, int32_t Delay = 0, int32_t Style = 0);

} // namespace PopupTesting
