#include "ZoneTable.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <numbers>
#include <sstream>
#include <vector>

namespace {

// One signed angle of ISO 6709 with DegreeDigits digits of degrees, then
// minutes and optional seconds.
std::optional<double> ParseAngle(const std::string& Text, std::size_t DegreeDigits)
{
    if (Text.size() != DegreeDigits + 3 && Text.size() != DegreeDigits + 5)
        return std::nullopt;
    if (Text[0] != '+' && Text[0] != '-')
        return std::nullopt;
    for (std::size_t Index = 1; Index < Text.size(); ++Index)
        if (Text[Index] < '0' || Text[Index] > '9')
            return std::nullopt;
    const double Degrees = std::stod(Text.substr(1, DegreeDigits));
    const double Minutes = std::stod(Text.substr(1 + DegreeDigits, 2));
    const double Seconds = Text.size() == DegreeDigits + 5 ? std::stod(Text.substr(3 + DegreeDigits, 2)) : 0;
    if (Minutes >= 60 || Seconds >= 60)
        return std::nullopt;
    const double Angle = Degrees + Minutes / 60 + Seconds / 3600;
    return Text[0] == '-' ? -Angle : Angle;
}

} // namespace

TZoneTable TZoneTable::FromFolder(const std::string& Folder)
{
    // zone.tab also names the zones that zone1970.tab folds into others.
    TZoneTable Table;
    for (const char* Name : {"/zone.tab", "/zone1970.tab"}) {
        std::ifstream File(Folder + Name);
        if (!File)
            continue;
        std::ostringstream Text;
        Text << File.rdbuf();
        Table.FZones.merge(FromText(Text.str()).FZones);
    }
    return Table;
}

std::string TZoneTable::DatabaseFolder()
{
    for (const char* Variable : {"ZENTAVO_ZONEINFO_DIR", "TZDIR"})
        if (const char* Value = std::getenv(Variable); Value != nullptr && *Value != '\0')
            return Value;
    return "/usr/share/zoneinfo";
}

TZoneTable TZoneTable::FromText(const std::string& Text)
{
    TZoneTable Table;
    std::istringstream Lines(Text);
    std::string Line;
    while (std::getline(Lines, Line)) {
        if (Line.empty() || Line.front() == '#')
            continue;
        std::vector<std::string> Fields;
        std::istringstream Row(Line);
        std::string Field;
        while (std::getline(Row, Field, '\t'))
            Fields.push_back(Field);
        if (Fields.size() < 3)
            continue;
        if (!Fields[1].empty() && Fields[1].back() == '\r')
            Fields[1].pop_back();
        if (const std::optional<TCoordinates> Place = ParseCoordinates(Fields[1]))
            Table.FZones.emplace(Fields[2], *Place);
    }
    return Table;
}

std::optional<TCoordinates> TZoneTable::Find(const std::string& ZoneName) const
{
    const auto Found = FZones.find(ZoneName);
    if (Found == FZones.end())
        return std::nullopt;
    return Found->second;
}

std::optional<TCoordinates> TZoneTable::ParseCoordinates(const std::string& Text)
{
    // The longitude's sign is the second sign of the text.
    const std::size_t Split = Text.find_first_of("+-", 1);
    if (Split == std::string::npos)
        return std::nullopt;
    const std::optional<double> Latitude = ParseAngle(Text.substr(0, Split), 2);
    const std::optional<double> Longitude = ParseAngle(Text.substr(Split), 3);
    if (!Latitude || !Longitude || std::abs(*Latitude) > 90 || std::abs(*Longitude) > 180)
        return std::nullopt;
    return TCoordinates{*Latitude, *Longitude};
}

double TZoneTable::Distance(const TCoordinates& From, const TCoordinates& To)
{
    constexpr double EarthRadius = 6371.0;
    constexpr double Radians = std::numbers::pi / 180;
    const double Latitude1 = From.Latitude * Radians, Latitude2 = To.Latitude * Radians;
    const double HalfLatitude = std::sin((Latitude2 - Latitude1) / 2);
    const double HalfLongitude = std::sin((To.Longitude - From.Longitude) * Radians / 2);
    const double Chord = HalfLatitude * HalfLatitude +
                         std::cos(Latitude1) * std::cos(Latitude2) * HalfLongitude * HalfLongitude;
    return 2 * EarthRadius * std::asin(std::sqrt(std::min(1.0, Chord)));
}
