#include "ZoneList.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <utility>
#include <vector>

namespace AddOn {

namespace {

constexpr std::size_t HeaderSize = 44;
// Far larger than any real zone file; a bigger file is not read at all.
constexpr std::size_t LargestZoneFile = 1 << 20;

std::uint32_t BigEndian32(std::string_view Bytes, std::size_t At)
{
    std::uint32_t Value = 0;
    for (std::size_t Index = 0; Index < 4; ++Index)
        Value = (Value << 8) | static_cast<unsigned char>(Bytes[At + Index]);
    return Value;
}

struct TZoneHeader
{
    char Version = 0;
    std::uint32_t IsUtCount = 0, IsStdCount = 0, LeapCount = 0, TimeCount = 0, TypeCount = 0, CharCount = 0;
};

std::optional<TZoneHeader> ReadHeader(std::string_view Bytes, std::size_t At)
{
    if (Bytes.size() < At + HeaderSize || Bytes.substr(At, 4) != "TZif")
        return std::nullopt;
    TZoneHeader Header;
    Header.Version = Bytes[At + 4];
    Header.IsUtCount = BigEndian32(Bytes, At + 20);
    Header.IsStdCount = BigEndian32(Bytes, At + 24);
    Header.LeapCount = BigEndian32(Bytes, At + 28);
    Header.TimeCount = BigEndian32(Bytes, At + 32);
    Header.TypeCount = BigEndian32(Bytes, At + 36);
    Header.CharCount = BigEndian32(Bytes, At + 40);
    return Header;
}

// The size of the data block after a header whose transition times are TimeSize bytes.
std::uint64_t DataSize(const TZoneHeader& Header, std::uint64_t TimeSize)
{
    return std::uint64_t(Header.TimeCount) * (TimeSize + 1) + std::uint64_t(Header.TypeCount) * 6 +
           Header.CharCount + std::uint64_t(Header.LeapCount) * (TimeSize + 4) + Header.IsStdCount +
           Header.IsUtCount;
}

// A POSIX TZ offset "[+-]hh[:mm[:ss]]" at Text[At], in seconds as written
// (positive west of Greenwich).
std::optional<std::int32_t> ReadPosixOffset(std::string_view Text, std::size_t& At)
{
    int Sign = 1;
    if (At < Text.size() && (Text[At] == '+' || Text[At] == '-'))
        Sign = Text[At++] == '-' ? -1 : 1;
    std::int32_t Seconds = 0;
    for (int Field = 0; Field < 3; ++Field) {
        if (Field > 0) {
            if (At >= Text.size() || Text[At] != ':')
                break;
            ++At;
        }
        std::size_t Digits = 0;
        std::int32_t Value = 0;
        while (At < Text.size() && Text[At] >= '0' && Text[At] <= '9' && Digits < 3) {
            Value = Value * 10 + (Text[At++] - '0');
            ++Digits;
        }
        if (Digits == 0)
            return std::nullopt;
        Seconds += Value * (Field == 0 ? 3600 : Field == 1 ? 60 : 1);
    }
    return Sign * Seconds;
}

// A zone abbreviation, "EST" or "<-03>".
bool SkipPosixName(std::string_view Text, std::size_t& At)
{
    if (At < Text.size() && Text[At] == '<') {
        const std::size_t Close = Text.find('>', At);
        if (Close == std::string_view::npos)
            return false;
        At = Close + 1;
        return true;
    }
    const std::size_t Start = At;
    while (At < Text.size() && ((Text[At] >= 'A' && Text[At] <= 'Z') || (Text[At] >= 'a' && Text[At] <= 'z')))
        ++At;
    return At - Start >= 3;
}

// The footer's rule "std offset [dst [offset][,rule]]": the lower of its
// two UTC offsets, so that a zone whose summer time is its standard time
// (Europe/Dublin) still gives its winter offset.
std::optional<std::int32_t> FooterOffset(std::string_view Footer)
{
    std::size_t At = 0;
    if (Footer.empty() || !SkipPosixName(Footer, At))
        return std::nullopt;
    const std::optional<std::int32_t> Standard = ReadPosixOffset(Footer, At);
    if (!Standard)
        return std::nullopt;
    const std::int32_t StandardOffset = -*Standard;
    if (At >= Footer.size() || !SkipPosixName(Footer, At))
        return StandardOffset;
    std::int32_t SummerOffset = StandardOffset + 3600;
    if (At < Footer.size() && Footer[At] != ',') {
        if (const std::optional<std::int32_t> Summer = ReadPosixOffset(Footer, At))
            SummerOffset = -*Summer;
    }
    return std::min(StandardOffset, SummerOffset);
}

// Without a footer: the offset of the latest transition to a type outside
// summer time, or the first such type when the zone never changes.
std::optional<std::int32_t> DataOffset(std::string_view Bytes, std::size_t At, const TZoneHeader& Header,
                                       std::size_t TimeSize)
{
    const std::size_t Indices = At + Header.TimeCount * TimeSize;
    const std::size_t Types = Indices + Header.TimeCount;
    const auto TypeOffset = [&](std::uint32_t Type) -> std::optional<std::int32_t> {
        if (Type >= Header.TypeCount || Bytes[Types + Type * 6 + 4] != 0)
            return std::nullopt;
        return static_cast<std::int32_t>(BigEndian32(Bytes, Types + Type * 6));
    };
    for (std::uint32_t Transition = Header.TimeCount; Transition-- > 0;)
        if (const auto Offset = TypeOffset(static_cast<unsigned char>(Bytes[Indices + Transition])))
            return Offset;
    for (std::uint32_t Type = 0; Type < Header.TypeCount; ++Type)
        if (const auto Offset = TypeOffset(Type))
            return Offset;
    return std::nullopt;
}

std::optional<std::string> ReadFile(const std::string& Path)
{
    std::ifstream File(Path, std::ios::binary);
    if (!File)
        return std::nullopt;
    std::string Contents;
    char Buffer[4096];
    while (File.read(Buffer, sizeof Buffer) || File.gcount() > 0) {
        Contents.append(Buffer, static_cast<std::size_t>(File.gcount()));
        if (Contents.size() > LargestZoneFile)
            return std::nullopt;
    }
    return Contents;
}

std::vector<std::vector<std::string>> ReadTable(const std::string& Path)
{
    std::vector<std::vector<std::string>> Rows;
    std::ifstream File(Path);
    std::string Line;
    while (std::getline(File, Line)) {
        if (!Line.empty() && Line.back() == '\r')
            Line.pop_back();
        if (Line.empty() || Line.front() == '#')
            continue;
        std::vector<std::string> Fields;
        std::istringstream Stream(Line);
        std::string Field;
        while (std::getline(Stream, Field, '\t'))
            Fields.push_back(Field);
        Rows.push_back(std::move(Fields));
    }
    return Rows;
}

// Zone names are relative paths of letters, digits, '_', '-', '+' and '/';
// nothing that could reach outside the folder.
bool IsZoneName(const std::string& Name)
{
    if (Name.empty() || Name.front() == '/' || Name.find("..") != std::string::npos)
        return false;
    return std::all_of(Name.begin(), Name.end(), [](char Character) {
        return (Character >= 'A' && Character <= 'Z') || (Character >= 'a' && Character <= 'z') ||
               (Character >= '0' && Character <= '9') || Character == '_' || Character == '-' ||
               Character == '+' || Character == '/';
    });
}

std::string CityName(const std::string& Zone)
{
    std::string City = Zone.substr(Zone.rfind('/') + 1);
    std::replace(City.begin(), City.end(), '_', ' ');
    return City;
}

} // namespace

std::optional<std::int32_t> StandardOffset(std::string_view ZoneFile)
{
    const std::optional<TZoneHeader> First = ReadHeader(ZoneFile, 0);
    if (!First || First->TypeCount == 0)
        return std::nullopt;
    const std::uint64_t FirstEnd = HeaderSize + DataSize(*First, 4);
    if (FirstEnd > ZoneFile.size())
        return std::nullopt;
    if (First->Version == 0)
        return DataOffset(ZoneFile, HeaderSize, *First, 4);
    const std::optional<TZoneHeader> Second = ReadHeader(ZoneFile, FirstEnd);
    if (!Second || Second->TypeCount == 0)
        return DataOffset(ZoneFile, HeaderSize, *First, 4);
    const std::uint64_t SecondEnd = FirstEnd + HeaderSize + DataSize(*Second, 8);
    if (SecondEnd > ZoneFile.size())
        return DataOffset(ZoneFile, HeaderSize, *First, 4);
    std::string_view Rest = ZoneFile.substr(SecondEnd);
    if (Rest.size() >= 2 && Rest.front() == '\n') {
        const std::size_t End = Rest.find('\n', 1);
        if (End != std::string_view::npos)
            if (const std::optional<std::int32_t> Offset = FooterOffset(Rest.substr(1, End - 1)))
                return Offset;
    }
    return DataOffset(ZoneFile, FirstEnd + HeaderSize, *Second, 8);
}

std::string LocationEntry(std::int32_t OffsetSeconds, const std::string& Name)
{
    const long Minutes = std::lround(std::abs(OffsetSeconds) / 60.0);
    char Prefix[32];
    std::snprintf(Prefix, sizeof Prefix, "(GMT %c%02ld:%02ld) ", OffsetSeconds < 0 ? '-' : '+', Minutes / 60,
                  Minutes % 60);
    return Prefix + Name;
}

std::string GMTLocations(const std::string& Folder)
{
    std::map<std::string, std::string> Countries;
    for (const std::vector<std::string>& Row : ReadTable(Folder + "/iso3166.tab"))
        if (Row.size() >= 2)
            Countries.emplace(Row[0], Row[1]);

    std::vector<std::vector<std::string>> Zones = ReadTable(Folder + "/zone.tab");
    if (Zones.empty())
        Zones = ReadTable(Folder + "/zone1970.tab");

    std::vector<std::pair<std::int32_t, std::string>> Locations;
    for (const std::vector<std::string>& Row : Zones) {
        if (Row.size() < 3 || !IsZoneName(Row[2]))
            continue;
        const std::optional<std::string> Contents = ReadFile(Folder + "/" + Row[2]);
        if (!Contents)
            continue;
        const std::optional<std::int32_t> Offset = StandardOffset(*Contents);
        // Real offsets lie within a day; anything else is a damaged file.
        if (!Offset || *Offset <= -86400 || *Offset >= 86400)
            continue;
        // zone1970.tab lists several countries for one zone, the most populous first.
        const std::string Code = Row[0].substr(0, Row[0].find(','));
        const auto Country = Countries.find(Code);
        Locations.emplace_back(*Offset, CityName(Row[2]) + ", " +
                                            (Country != Countries.end() ? Country->second : Code));
    }
    std::sort(Locations.begin(), Locations.end());
    Locations.erase(std::unique(Locations.begin(), Locations.end()), Locations.end());

    std::string Text;
    for (const auto& [Offset, Name] : Locations) {
        if (!Text.empty())
            Text += '\n';
        Text += LocationEntry(Offset, Name);
    }
    return Text;
}

std::string ZoneInfoFolder()
{
    for (const char* Variable : {"ZENTAVO_ZONEINFO_DIR", "TZDIR"})
        if (const char* Value = std::getenv(Variable); Value != nullptr && *Value != '\0')
            return Value;
    return "/usr/share/zoneinfo";
}

} // namespace AddOn
