#include "platform/testing/FakeTimeZoneService.h"
#include "platform/LinuxTimeZoneService.h"

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <gtest/gtest.h>

using namespace Platform;

namespace {

class TZone
{
public:
    explicit TZone(const char* Zone)
    {
        setenv("TZ", Zone, 1);
        ::tzset();
    }
    ~TZone()
    {
        setenv("TZ", "UTC", 1);
        ::tzset();
    }
};

TTimeZoneInformation Zone(std::int32_t Bias, const char* StandardName, std::int32_t DaylightBias,
                          const char* DaylightName)
{
    TTimeZoneInformation Information;
    Information.Bias = Bias;
    Information.StandardName = StandardName;
    Information.DaylightBias = DaylightBias;
    Information.DaylightName = DaylightName;
    return Information;
}

} // namespace

TEST(LinuxTimeZoneService, DescribesTheLocalZoneAsBiasesInMinutes)
{
    TLinuxTimeZoneService Service;
    struct TCase
    {
        const char* Zone;
        TTimeZoneInformation Expected;
    };
    const TCase Cases[] = {
        {"UTC", Zone(0, "UTC", 0, "")},
        {"EST5EDT,M3.2.0,M11.1.0", Zone(300, "EST", -60, "EDT")},
        {"CET-1CEST,M3.5.0,M10.5.0/3", Zone(-60, "CET", -60, "CEST")},
        {"<+0530>-5:30", Zone(-330, "+0530", 0, "")},
        {"<-03>3", Zone(180, "-03", 0, "")},
        // Southern summer time spans the new year; half an hour of it on Lord Howe.
        {"<+1030>-10:30<+11>-11,M10.1.0,M4.1.0", Zone(-630, "+1030", -30, "+11")},
    };
    for (const TCase& Case : Cases) {
        TZone Local(Case.Zone);
        EXPECT_EQ(Service.GetTimeZoneInformation(), Case.Expected) << Case.Zone;
    }
}

TEST(LinuxTimeZoneService, ReadsTheZoneDatabase)
{
    if (!std::filesystem::exists("/usr/share/zoneinfo/Europe/Lisbon"))
        GTEST_SKIP() << "no zone database";
    TLinuxTimeZoneService Service;
    TZone Lisbon("Europe/Lisbon");
    EXPECT_EQ(Service.GetTimeZoneInformation(), Zone(0, "WET", -60, "WEST"));
}

TEST(LinuxTimeZoneService, RefusesToChangeTheSystemsZone)
{
    TLinuxTimeZoneService Service;
    TZone Local("EST5EDT,M3.2.0,M11.1.0");
    TTimeZoneInformation Information = Service.GetTimeZoneInformation();
    Information.DaylightBias = 0;
    EXPECT_FALSE(Service.SetTimeZoneInformation(Information));
    EXPECT_EQ(Service.GetTimeZoneInformation().DaylightBias, -60);
}

TEST(FakeTimeZoneService, RecordsEveryWrite)
{
    TFakeTimeZoneService Service(Zone(180, "BRT", 0, "BRST"));
    TTimeZoneInformation Information = Service.GetTimeZoneInformation();
    Information.DaylightBias = -60;
    EXPECT_TRUE(Service.SetTimeZoneInformation(Information));
    EXPECT_EQ(Service.GetTimeZoneInformation().DaylightBias, -60);
    Service.SetAcceptWrites(false);
    Information.DaylightBias = 0;
    EXPECT_FALSE(Service.SetTimeZoneInformation(Information));
    EXPECT_EQ(Service.GetTimeZoneInformation().DaylightBias, -60);
    const auto Writes = Service.Writes();
    ASSERT_EQ(Writes.size(), 2u);
    EXPECT_EQ(Writes[0].DaylightBias, -60);
    EXPECT_EQ(Writes[1].DaylightBias, 0);
    EXPECT_EQ(Writes[1].Bias, 180);
}
