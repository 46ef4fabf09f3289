#include "ProvinceList.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace AddOn {

namespace {

// The shipped list is well under 1 MiB; anything far larger is no list of ours.
constexpr std::streamoff LargestList = 16 << 20;

void AppendEntry(std::string& Entries, std::string_view Line)
{
    const std::size_t Bar = Line.find('|');
    if (Bar == std::string_view::npos || Line.find_first_not_of(' ') >= Bar)
        return;
    Entries.append(Line);
    Entries += '\n';
}

} // namespace

std::string ProvinceEntries(std::string_view Contents)
{
    if (Contents.substr(0, 3) == "\xEF\xBB\xBF")
        Contents.remove_prefix(3);
    std::string Entries;
    Entries.reserve(Contents.size() + 1);
    std::string Line;
    for (std::size_t At = 0; At < Contents.size(); ++At) {
        const char Character = Contents[At];
        if (Character == '\r' || Character == '\n') {
            AppendEntry(Entries, Line);
            Line.clear();
            if (Character == '\r' && At + 1 < Contents.size() && Contents[At + 1] == '\n')
                ++At;
        } else if (Character != '\0') {
            Line += Character;
        }
    }
    AppendEntry(Entries, Line);
    return Entries;
}

std::string Provinces(const std::string& FileName)
{
    std::ifstream File(FileName, std::ios::binary | std::ios::ate);
    if (!File)
        return {};
    const std::streamoff Size = File.tellg();
    if (Size <= 0 || Size > LargestList)
        return {};
    std::string Contents(static_cast<std::size_t>(Size), '\0');
    File.seekg(0);
    if (!File.read(Contents.data(), Size))
        return {};
    return ProvinceEntries(Contents);
}

std::string ProvinceFile()
{
    if (const char* Value = std::getenv("ZENTAVO_WEATHER_CITIES"); Value != nullptr && *Value != '\0')
        return Value;
    return "weather-cities.txt";
}

} // namespace AddOn
