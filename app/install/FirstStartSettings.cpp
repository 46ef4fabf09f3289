#include "FirstStartSettings.h"

#include "app/settings/SettingsKey.h"
#include "app/settings/SettingsTable.h"
#include "state/ZoneEntry.h"

#include <QDateTime>
#include <QTimeZone>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {

// The designed zoom; the globe's angles start at 0.
constexpr double FirstFocalLength = 119.99996;

constexpr const char* SeededNames[] = {"Pitch",    "Roll", "Turn",    "FocalLength", "DateTime",
                                       "Location", "GMT",  "SunTime", "UF",          "TimeServer"};

std::string CityOfZone(const std::string& ZoneName)
{
    std::string City = ZoneName.substr(ZoneName.rfind('/') + 1);
    std::replace(City.begin(), City.end(), '_', ' ');
    return City;
}

// "(GMT -03:00)", the head of every zone entry.
std::string OffsetHead(std::int32_t OffsetSeconds)
{
    const long Minutes = std::lround(std::abs(OffsetSeconds) / 60.0);
    char Head[32];
    std::snprintf(Head, sizeof Head, "(GMT %c%02ld:%02ld)", OffsetSeconds < 0 ? '-' : '+', Minutes / 60,
                  Minutes % 60);
    return Head;
}

std::optional<double> Number(std::string_view Text)
{
    while (!Text.empty() && Text.front() == ' ')
        Text.remove_prefix(1);
    double Value = 0;
    const auto [End, Error] = std::from_chars(Text.data(), Text.data() + Text.size(), Value);
    if (Error != std::errc() || End != Text.data() + Text.size())
        return std::nullopt;
    return Value;
}

// The coordinates after the bar of "name|latitude,longitude".
std::optional<TCoordinates> ProvincePlace(const std::string& Entry)
{
    const std::size_t Bar = Entry.find('|');
    const std::size_t Comma = Entry.find(',', Bar == std::string::npos ? 0 : Bar);
    if (Bar == std::string::npos || Comma == std::string::npos)
        return std::nullopt;
    const std::optional<double> Latitude = Number(std::string_view(Entry).substr(Bar + 1, Comma - Bar - 1));
    const std::optional<double> Longitude = Number(std::string_view(Entry).substr(Comma + 1));
    if (!Latitude || !Longitude || std::abs(*Latitude) > 90 || std::abs(*Longitude) > 180)
        return std::nullopt;
    return TCoordinates{*Latitude, *Longitude};
}

} // namespace

TSystemPlace TSystemPlace::Now(std::int64_t At)
{
    const QTimeZone Zone = QTimeZone::systemTimeZone();
    const QDateTime Moment = QDateTime::fromMSecsSinceEpoch(At, Qt::UTC);
    TSystemPlace Place;
    Place.ZoneName = QTimeZone::systemTimeZoneId().toStdString();
    if (Zone.isValid()) {
        Place.StandardOffset = Zone.standardTimeOffset(Moment);
        Place.DaylightNow = Zone.isDaylightTime(Moment);
    }
    return Place;
}

TFirstStartSettings::TFirstStartSettings(TSystemPlace Place, TZoneTable Zones, TOfferedValues Offered)
    : FPlace(std::move(Place)), FZones(std::move(Zones)), FOffered(std::move(Offered))
{}

std::optional<std::string> TFirstStartSettings::Location() const
{
    if (!FPlace.ZoneName.empty()) {
        const std::string City = CityOfZone(FPlace.ZoneName) + ", ";
        for (const std::string& Entry : FOffered.Locations) {
            const std::size_t Name = Entry.find(") ");
            if (Name != std::string::npos && Entry.compare(Name + 2, City.size(), City) == 0 &&
                ZoneEntryOffset(Entry))
                return Entry;
        }
    }
    const std::string Head = OffsetHead(FPlace.StandardOffset);
    for (const std::string& Entry : FOffered.Locations)
        if (Entry.rfind(Head, 0) == 0 && ZoneEntryOffset(Entry))
            return Entry;
    return std::nullopt;
}

std::optional<std::string> TFirstStartSettings::WeatherCity() const
{
    const std::optional<TCoordinates> Home = FZones.Find(FPlace.ZoneName);
    if (!Home)
        return std::nullopt;
    const std::string* Nearest = nullptr;
    double NearestDistance = std::numeric_limits<double>::infinity();
    for (const std::string& Entry : FOffered.Provinces)
        if (const std::optional<TCoordinates> Place = ProvincePlace(Entry)) {
            const double Distance = TZoneTable::Distance(*Home, *Place);
            if (Distance < NearestDistance) {
                NearestDistance = Distance;
                Nearest = &Entry;
            }
        }
    if (Nearest == nullptr)
        return std::nullopt;
    return Nearest->substr(0, Nearest->find('|'));
}

std::optional<std::string> TFirstStartSettings::TimeServer() const
{
    if (FOffered.TimeServers.empty())
        return std::nullopt;
    return FOffered.TimeServers.front();
}

std::vector<Platform::TRegistryChange> TFirstStartSettings::MissingValues(const Platform::TRegistryKey* Key,
                                                                          double Now) const
{
    std::vector<Platform::TRegistryChange> Changes;
    const auto Missing = [&](const char* Name) { return Key == nullptr || !Key->QueryValue(Name); };
    const auto Add = [&](const char* Name, Platform::TRegistryValue Value) {
        if (Missing(Name))
            Changes.push_back({SettingsKeyPath, Name, std::move(Value)});
    };
    for (const char* Angle : {"Pitch", "Roll", "Turn"})
        Add(Angle, TSettingsKey::FloatValue(0));
    Add("FocalLength", TSettingsKey::FloatValue(FirstFocalLength));
    Add("DateTime", TSettingsKey::FloatValue(Now));
    // The zone's two values belong together: both or neither.
    if (Missing("Location") && Missing("GMT"))
        if (const std::optional<std::string> Entry = Location()) {
            Add("Location", TSettingsKey::TextValue(*Entry));
            Add("GMT", TSettingsKey::IntegerValue(*ZoneEntryOffset(*Entry)));
        }
    Add("SunTime", TSettingsKey::FlagValue(FPlace.DaylightNow));
    if (const std::optional<std::string> City = WeatherCity())
        Add("UF", TSettingsKey::TextValue(*City));
    if (const std::optional<std::string> Server = TimeServer())
        Add("TimeServer", TSettingsKey::TextValue(*Server));
    return Changes;
}

bool TFirstStartSettings::Seed(Platform::TRegistry& Registry, double Now) const
{
    const std::unique_ptr<Platform::TRegistryKey> Key = Registry.OpenKey(SettingsKeyPath);
    const std::vector<Platform::TRegistryChange> Changes = MissingValues(Key.get(), Now);
    if (Changes.empty())
        return false;
    Registry.Apply(Changes);
    return true;
}

bool TFirstStartSettings::IsComplete(const Platform::TRegistryKey* Key)
{
    return Key != nullptr && std::all_of(std::begin(SeededNames), std::end(SeededNames),
                                         [&](const char* Name) { return Key->QueryValue(Name).has_value(); });
}

double TFirstStartSettings::CurrentDateTime()
{
    const QDateTime Now = QDateTime::currentDateTime();
    return static_cast<double>(QDate(1899, 12, 30).daysTo(Now.date())) +
           Now.time().msecsSinceStartOfDay() / 86400000.0;
}
