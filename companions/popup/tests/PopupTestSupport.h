#pragma once

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

} // namespace PopupTesting
