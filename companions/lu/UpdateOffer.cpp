#include "UpdateOffer.h"

namespace Updates {

namespace {

constexpr std::size_t LongestName = 64;
constexpr std::size_t LongestUrl = 2048;
constexpr std::size_t LongestVersion = 64;

bool IsAlphanumeric(char Character)
{
    return (Character >= 'a' && Character <= 'z') || (Character >= 'A' && Character <= 'Z') ||
           (Character >= '0' && Character <= '9');
}

// The name becomes a file name in the working folder: no separator, no dot.
bool IsLibraryName(std::string_view Name)
{
    if (Name.empty() || Name.size() > LongestName)
        return false;
    for (const char Character : Name)
        if (!IsAlphanumeric(Character) && Character != '_' && Character != '-')
            return false;
    return true;
}

bool IsVersion(std::string_view Version)
{
    if (Version.empty() || Version.size() > LongestVersion)
        return false;
    for (const char Character : Version)
        if (!IsAlphanumeric(Character) && Character != '.' && Character != '+' && Character != '_' &&
            Character != '~' && Character != '-')
            return false;
    return true;
}

bool StartsWithIgnoringCase(std::string_view Text, std::string_view Prefix)
{
    if (Text.size() < Prefix.size())
        return false;
    for (std::size_t At = 0; At < Prefix.size(); ++At) {
        char Character = Text[At];
        if (Character >= 'A' && Character <= 'Z')
            Character = static_cast<char>(Character - 'A' + 'a');
        if (Character != Prefix[At])
            return false;
    }
    return true;
}

bool IsUrl(std::string_view Url)
{
    if (Url.size() > LongestUrl)
        return false;
    std::size_t Host = 0;
    if (StartsWithIgnoringCase(Url, "https://"))
        Host = 8;
    else if (StartsWithIgnoringCase(Url, "http://"))
        Host = 7;
    else
        return false;
    if (Url.size() == Host)
        return false;
    for (const char Character : Url)
        if (static_cast<unsigned char>(Character) <= 0x20 || static_cast<unsigned char>(Character) >= 0x7f)
            return false;
    return true;
}

int HexDigit(char Character)
{
    if (Character >= '0' && Character <= '9')
        return Character - '0';
    if (Character >= 'a' && Character <= 'f')
        return Character - 'a' + 10;
    if (Character >= 'A' && Character <= 'F')
        return Character - 'A' + 10;
    return -1;
}

} // namespace

bool ReadHex(std::string_view Text, std::uint8_t* Bytes, std::size_t Count)
{
    if (Text.size() != Count * 2)
        return false;
    for (std::size_t Index = 0; Index < Count; ++Index) {
        const int High = HexDigit(Text[2 * Index]), Low = HexDigit(Text[2 * Index + 1]);
        if (High < 0 || Low < 0)
            return false;
        Bytes[Index] = static_cast<std::uint8_t>(High << 4 | Low);
    }
    return true;
}

std::string HexText(const std::uint8_t* Bytes, std::size_t Count)
{
    static constexpr char Digits[] = "0123456789abcdef";
    std::string Text;
    Text.reserve(Count * 2);
    for (std::size_t Index = 0; Index < Count; ++Index) {
        Text += Digits[Bytes[Index] >> 4];
        Text += Digits[Bytes[Index] & 0xf];
    }
    return Text;
}

std::optional<TUpdateOffer> ParseUpdateOffer(std::string_view Name, const TUpdateAttributes& Attributes)
{
    if (!Attributes.Url || !Attributes.Sha256 || !Attributes.Version || !Attributes.Signature)
        return std::nullopt;
    if (!IsLibraryName(Name) || !IsUrl(*Attributes.Url) || !IsVersion(*Attributes.Version))
        return std::nullopt;
    TUpdateOffer Offer;
    if (!ReadHex(*Attributes.Sha256, Offer.Sha256.data(), Offer.Sha256.size()) ||
        !ReadHex(*Attributes.Signature, Offer.Signature.data(), Offer.Signature.size()))
        return std::nullopt;
    Offer.Name = Name;
    Offer.Url = *Attributes.Url;
    Offer.Version = *Attributes.Version;
    return Offer;
}

std::string SignedMessage(std::string_view Name, std::string_view Version,
                          const std::array<std::uint8_t, 32>& Sha256)
{
    // Neither name nor version may hold a line break, so the lines cannot shift.
    std::string Message = "zentavo-3d live update 1\n";
    Message.append(Name);
    Message += '\n';
    Message.append(Version);
    Message += '\n';
    Message += HexText(Sha256.data(), Sha256.size());
    Message += '\n';
    return Message;
}

} // namespace Updates
