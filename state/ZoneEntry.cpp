#include "ZoneEntry.h"

#include <charconv>

std::optional<int> ZoneEntryOffset(const std::string& Entry)
{
    if (Entry.size() < 6)
        return std::nullopt;
    const std::string Characters = Entry.substr(5, 3);
    const char* First = Characters.data();
    const char* Last = First + Characters.size();
    if (First != Last && *First == '+')
        ++First;
    int Offset = 0;
    const auto [End, Error] = std::from_chars(First, Last, Offset);
    if (First == Last || Error != std::errc() || End != Last)
        return std::nullopt;
    return Offset;
}
