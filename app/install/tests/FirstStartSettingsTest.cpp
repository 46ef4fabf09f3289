#include "app/install/FirstStartSettings.h"
#include "app/settings/SettingsKey.h"
#include "app/settings/SettingsTable.h"
#include "platform/testing/FakeRegistry.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QTimeZone>

#include <cstdlib>
#include <ctime>

namespace {

using Platform::TRegistryValue;

// The add-on library's lists as they read on a Debian machine, cut down.
TOfferedValues Offered()
{
    return {{"(GMT -05:00) New York, United States", "(GMT -03:00) Araguaina, Brazil",
             "(GMT -03:00) Sao Paulo, Brazil", "(GMT +01:00) Berlin, Germany", "(GMT +01:00) Paris, France",
             "(GMT +05:30) Kolkata, India"},
            {"Berlin, Germany|52.5244,13.4105", "Campinas, Brazil|-22.9056,-47.0608",
             "Potsdam, Germany|52.3989,13.0657", "Rio de Janeiro, Brazil|-22.9064,-43.1822",
             "São Paulo, Brazil|-23.5475,-46.6361", "Bad entry|north,east"},
            {"ntp.example.net", "pool.ntp.org"}};
}

TZoneTable Zones()
{
    return TZoneTable::FromText("# comment\n"
                                "BR\t-0712-04812\tAmerica/Araguaina\tTocantins\n"
                                "BR\t-2332-04637\tAmerica/Sao_Paulo\tBrazil (southeast)\n"
                                "DE,DK\t+5230+01322\tEurope/Berlin\tmost of Germany\n"
                                "IN\t+2232+08822\tAsia/Kolkata\n");
}

TFirstStartSettings SettingsFor(const std::string& Zone, int Offset, bool Daylight,
                                TOfferedValues Lists = Offered())
{
    return TFirstStartSettings(TSystemPlace{Zone, Offset, Daylight}, Zones(), std::move(Lists));
}

std::string Text(const Platform::TFakeRegistry& Registry, const std::string& Name)
{
    const auto Value = Registry.Value(SettingsKeyPath, Name);
    return Value ? Value->AsText() : "<missing>";
}

TEST(FirstStartSettingsTest, TheSystemZoneGivesItsEntryItsNearestWeatherCityAndTheMachinesTimeServer)
{
    const TFirstStartSettings SaoPaulo = SettingsFor("America/Sao_Paulo", -3 * 3600, false);
    EXPECT_EQ(SaoPaulo.Location(), "(GMT -03:00) Sao Paulo, Brazil")
        << "by its city, not the first of the offset";
    EXPECT_EQ(SaoPaulo.WeatherCity(), "São Paulo, Brazil");
    EXPECT_EQ(SaoPaulo.TimeServer(), "ntp.example.net");

    const TFirstStartSettings Berlin = SettingsFor("Europe/Berlin", 3600, true);
    EXPECT_EQ(Berlin.Location(), "(GMT +01:00) Berlin, Germany");
    EXPECT_EQ(Berlin.WeatherCity(), "Berlin, Germany") << "Potsdam is 27 km away";

    EXPECT_EQ(SettingsFor("Asia/Kolkata", 19800, false).Location(), "(GMT +05:30) Kolkata, India");
}

TEST(FirstStartSettingsTest, AZoneWithoutAnEntryTakesTheFirstOfItsOffsetAndOneWithoutAPlaceNoCity)
{
    // Not in the list, and not in the zone table either.
    const TFirstStartSettings Bahia = SettingsFor("America/Bahia", -3 * 3600, false);
    EXPECT_EQ(Bahia.Location(), "(GMT -03:00) Araguaina, Brazil");
    EXPECT_EQ(Bahia.WeatherCity(), std::nullopt);
    EXPECT_EQ(SettingsFor("", 3600, false).Location(), "(GMT +01:00) Berlin, Germany");
    EXPECT_EQ(SettingsFor("UTC", 0, false).Location(), std::nullopt) << "no entry of offset +00:00";
    EXPECT_EQ(SettingsFor("Europe/Berlin", 3600, false, {}).TimeServer(), std::nullopt);
    EXPECT_EQ(SettingsFor("Europe/Berlin", 3600, false, {}).WeatherCity(), std::nullopt);
}

TEST(FirstStartSettingsTest, AFreshStoreGetsEveryValueTheClockNeedsToLoadAndItsPlace)
{
    Platform::TFakeRegistry Registry;
    EXPECT_TRUE(SettingsFor("America/Sao_Paulo", -3 * 3600, false).Seed(Registry, 46000.25));
    EXPECT_EQ(Registry.Transactions(), 1);
    EXPECT_EQ(Text(Registry, "Location"), "(GMT -03:00) Sao Paulo, Brazil");
    EXPECT_EQ(Text(Registry, "GMT"), "-3");
    EXPECT_EQ(Text(Registry, "SunTime"), "0");
    EXPECT_EQ(Text(Registry, "UF"), "São Paulo, Brazil");
    EXPECT_EQ(Text(Registry, "TimeServer"), "ntp.example.net");
    EXPECT_EQ(Registry.Value(SettingsKeyPath, "DateTime"), TSettingsKey::FloatValue(46000.25));
    EXPECT_EQ(Registry.Value(SettingsKeyPath, "FocalLength"), TSettingsKey::FloatValue(119.99996));
    for (const char* Angle : {"Pitch", "Roll", "Turn"})
        EXPECT_EQ(Registry.Value(SettingsKeyPath, Angle), TSettingsKey::FloatValue(0)) << Angle;
    EXPECT_TRUE(TFirstStartSettings::IsComplete(Registry.OpenKey(SettingsKeyPath).get()));

    Platform::TFakeRegistry Summer;
    SettingsFor("Europe/Berlin", 3600, true).Seed(Summer, 46000);
    EXPECT_EQ(Text(Summer, "SunTime"), "1");
    EXPECT_EQ(Text(Summer, "GMT"), "1");
}

TEST(FirstStartSettingsTest, StoredValuesAreNeverChangedEvenEmptyOnesAndAFullStoreIsNotWritten)
{
    Platform::TFakeRegistry Registry;
    Registry.SetValue(SettingsKeyPath, "UF", TRegistryValue::FromString(""));
    Registry.SetValue(SettingsKeyPath, "TimeServer", TRegistryValue::FromString("my.server"));
    Registry.SetValue(SettingsKeyPath, "GMT", TRegistryValue::FromString("9"));
    Registry.SetValue(SettingsKeyPath, "SunTime", TRegistryValue::FromString("1"));
    Registry.SetValue(SettingsKeyPath, "Turn", TSettingsKey::FloatValue(42));
    EXPECT_FALSE(TFirstStartSettings::IsComplete(Registry.OpenKey(SettingsKeyPath).get()));
    SettingsFor("America/Sao_Paulo", -3 * 3600, false).Seed(Registry, 46000);
    EXPECT_EQ(Text(Registry, "UF"), "");
    EXPECT_EQ(Text(Registry, "TimeServer"), "my.server");
    EXPECT_EQ(Text(Registry, "GMT"), "9");
    EXPECT_EQ(Text(Registry, "Location"), "<missing>") << "a zone of the user's own is not half replaced";
    EXPECT_EQ(Text(Registry, "SunTime"), "1");
    EXPECT_EQ(Registry.Value(SettingsKeyPath, "Turn"), TSettingsKey::FloatValue(42));
    EXPECT_EQ(Registry.Value(SettingsKeyPath, "Pitch"), TSettingsKey::FloatValue(0));

    const int Before = Registry.Transactions();
    Registry.SetValue(SettingsKeyPath, "Location", TRegistryValue::FromString(""));
    EXPECT_FALSE(SettingsFor("Europe/Berlin", 3600, true).Seed(Registry, 47000));
    EXPECT_EQ(Registry.Transactions(), Before);
}

TEST(FirstStartSettingsTest, TheSystemPlaceFollowsTheZoneAndTheMoment)
{
    const char* Saved = std::getenv("TZ");
    const std::string Previous = Saved ? Saved : "";
    const auto At = [](int Year, int Month, int Day) {
        return QDateTime(QDate(Year, Month, Day), QTime(12, 0), Qt::UTC).toMSecsSinceEpoch();
    };
    setenv("TZ", "Europe/Berlin", 1);
    tzset();
    TSystemPlace Winter = TSystemPlace::Now(At(2026, 1, 15));
    TSystemPlace Summer = TSystemPlace::Now(At(2026, 7, 15));
    EXPECT_EQ(Winter.ZoneName, "Europe/Berlin");
    EXPECT_EQ(Winter.StandardOffset, 3600);
    EXPECT_FALSE(Winter.DaylightNow);
    EXPECT_EQ(Summer.StandardOffset, 3600) << "the standard offset, not the summer one";
    EXPECT_TRUE(Summer.DaylightNow);

    setenv("TZ", "America/Sao_Paulo", 1);
    tzset();
    const TSystemPlace SaoPaulo = TSystemPlace::Now(At(2026, 1, 15));
    EXPECT_EQ(SaoPaulo.ZoneName, "America/Sao_Paulo");
    EXPECT_EQ(SaoPaulo.StandardOffset, -3 * 3600);
    EXPECT_FALSE(SaoPaulo.DaylightNow) << "Brazil keeps no summer time since 2019";
    setenv("TZ", Previous.c_str(), 1);
    tzset();
}

TEST(ZoneTableTest, CoordinatesInBothFormsAndDamagedOnesLeftOut)
{
    const auto Place = TZoneTable::ParseCoordinates("-2332-04637");
    ASSERT_TRUE(Place);
    EXPECT_NEAR(Place->Latitude, -23.5333, 1e-3);
    EXPECT_NEAR(Place->Longitude, -46.6167, 1e-3);
    const auto Seconds = TZoneTable::ParseCoordinates("+404251-0740023");
    ASSERT_TRUE(Seconds);
    EXPECT_NEAR(Seconds->Latitude, 40.7142, 1e-3);
    EXPECT_NEAR(Seconds->Longitude, -74.0064, 1e-3);
    for (const char* Bad :
         {"", "+5230", "5230+01322", "+5290+01322", "+52x0+01322", "+9500+01322", "+5230+1322"})
        EXPECT_FALSE(TZoneTable::ParseCoordinates(Bad)) << Bad;

    const TZoneTable Table = Zones();
    EXPECT_TRUE(Table.Find("Europe/Berlin"));
    EXPECT_FALSE(Table.Find("Europe/Paris"));
    EXPECT_NEAR(TZoneTable::Distance({52.5244, 13.4105}, {48.8534, 2.3488}), 878, 5) << "Berlin to Paris";
    EXPECT_NEAR(TZoneTable::Distance({0, 179.5}, {0, -179.5}), 111, 1) << "across the date line";
}

TEST(ZoneTableTest, TheSystemDatabaseKnowsTheZonesOfBothTables)
{
    const TZoneTable Table = TZoneTable::FromFolder("/usr/share/zoneinfo");
    ASSERT_FALSE(Table.Empty()) << "tzdata is installed with the clock's dependencies";
    EXPECT_TRUE(Table.Find("America/Sao_Paulo"));
    EXPECT_TRUE(Table.Find("Europe/Copenhagen")) << "only zone.tab lists it";
    EXPECT_TRUE(TZoneTable::FromFolder("/nonexistent").Empty());
}

} // namespace
