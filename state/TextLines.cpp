#include "TextLines.h"

std::vector<std::string> SplitLines(std::string_view Text)
{
    std::vector<std::string> Lines;
    std::size_t Start = 0;
    while (Start < Text.size()) {
        const std::size_t End = Text.find_first_of("\r\n", Start);
        if (End == std::string_view::npos) {
            Lines.emplace_back(Text.substr(Start));
            break;
        }
        Lines.emplace_back(Text.substr(Start, End - Start));
        Start = End + 1;
        if (Text[End] == '\r' && Start < Text.size() && Text[Start] == '\n')
            ++Start;
    }
    return Lines;
}

std::string LeadingText(std::string_view Text, std::size_t MaximumBytes)
{
    if (Text.size() <= MaximumBytes)
        return std::string(Text);
    // Text[Length] is the first byte dropped; while it continues a character,
    // that character starts earlier and is dropped whole.
    std::size_t Length = MaximumBytes;
    while (Length > 0 && (static_cast<unsigned char>(Text[Length]) & 0xC0) == 0x80)
        --Length;
    return std::string(Text.substr(0, Length));
}
