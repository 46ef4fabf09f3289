#include "app/clock/ClockHands.h"
#include "globe/GlobeScene.h"
#include "platform/testing/FakeClock.h"
#include "state/GMT_System.h"

#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

namespace {

constexpr double Day = 46000;

double At(int Hour, int Minute)
{
    return Day + (Hour * 60 + Minute) / 1440.0;
}

class ClockHandsTest : public testing::Test
{
protected:
    void Turn(int Offset, int Hour, int Minute, bool SunTime = false)
    {
        System.GMT = Offset;
        System.SunTime = SunTime;
        Clock.SetNow(At(Hour, Minute));
        Hands.ApplyGMT();
        Hands.ClockStep();
    }

    TGlobeScene Globe;
    Platform::TFakeClock Clock;
    TGMT_System System{Clock};
    int Resets = 0;
    TClockHands Hands{Globe, System, [this] { ++Resets; }};
};

TEST_F(ClockHandsTest, ZoneZeroAtHalfPastTen)
{
    Turn(0, 10, 30);
    EXPECT_FLOAT_EQ(Globe.Horas->TurnAngle(), -157.5f);
    EXPECT_FLOAT_EQ(Globe.Minutos->TurnAngle(), -180.0f);
    EXPECT_FLOAT_EQ(Globe.Axis->TurnAngle(), 0);
    EXPECT_FLOAT_EQ(Globe.TimePoint->TurnAngle(), 0);
}

TEST_F(ClockHandsTest, ThreeHoursWestAtThreeInTheAfternoon)
{
    Turn(-3, 15, 0);
    EXPECT_FLOAT_EQ(Globe.Axis->TurnAngle(), 45);
    EXPECT_FLOAT_EQ(Globe.TimePoint->TurnAngle(), -45);
    EXPECT_FLOAT_EQ(Globe.Horas->TurnAngle(), 90) << "set to -270, stored normalised";
    EXPECT_FLOAT_EQ(Globe.Minutos->TurnAngle(), -45);
    // The hour dome's turn about the polar axis, with the axis it hangs on.
    const float Net = Globe.Horas->TurnAngle() + Globe.Axis->TurnAngle();
    EXPECT_FLOAT_EQ(Net, 135) << "-225 = -(15 x 15), modulo 360";
}

TEST_F(ClockHandsTest, ZonesTwelveAndThirteen)
{
    Turn(12, 9, 30);
    EXPECT_FLOAT_EQ(Globe.TimePoint->TurnAngle(), 180);
    EXPECT_FLOAT_EQ(Globe.Minutos->TurnAngle(), 0);
    Turn(13, 9, 30);
    EXPECT_FLOAT_EQ(Globe.TimePoint->TurnAngle(), -165);
}

TEST_F(ClockHandsTest, TheSunFollowsDaylightSavingAndEachZoneStepResetsTheStatistics)
{
    Turn(0, 8, 0, true);
    EXPECT_FLOAT_EQ(Globe.Sum->TurnAngle(), 15);
    Turn(0, 8, 0, false);
    EXPECT_FLOAT_EQ(Globe.Sum->TurnAngle(), 0);
    EXPECT_EQ(Resets, 2);
}

TEST_F(ClockHandsTest, AZoneEntryTurnsTheAxisAtOnceAndTheDomesAtTheNextStep)
{
    Turn(0, 10, 30);
    const float HoursBefore = Globe.Horas->TurnAngle();
    Hands.GMTChange("(GMT +05:00) Islamabad, Karachi");
    EXPECT_EQ(System.GMT, 5);
    EXPECT_EQ(System.Location, "(GMT +05:00) Islamabad, Karachi");
    EXPECT_FLOAT_EQ(Globe.Axis->TurnAngle(), -75);
    EXPECT_FLOAT_EQ(Globe.Horas->TurnAngle(), HoursBefore) << "the domes wait for the next pass";
    Hands.ClockStep();
    EXPECT_FLOAT_EQ(Globe.Horas->TurnAngle(), 15 * (5 - 10) - 7.5f);
    Hands.GMTChange("(GMT -03:00) Brasília");
    EXPECT_EQ(System.GMT, -3);
}

TEST_F(ClockHandsTest, AnEntryWithoutANumberKeepsTheZoneButTakesTheText)
{
    Turn(2, 10, 0);
    const float Axis = Globe.Axis->TurnAngle();
    EXPECT_THROW(Hands.GMTChange("(GMT) Greenwich"), std::invalid_argument);
    EXPECT_THROW(Hands.GMTChange(""), std::invalid_argument);
    EXPECT_THROW(Hands.GMTChange("(GMT +0x:00) Nowhere"), std::invalid_argument);
    EXPECT_EQ(System.GMT, 2);
    EXPECT_EQ(System.Location, "(GMT +0x:00) Nowhere");
    EXPECT_FLOAT_EQ(Globe.Axis->TurnAngle(), Axis);
    EXPECT_EQ(TClockHands::OffsetOfEntry("(GMT +00:00) London"), 0);
    EXPECT_EQ(TClockHands::OffsetOfEntry("(GMT +05:30) Kolkata, India"), 5);
    EXPECT_EQ(TClockHands::OffsetOfEntry("(GMT -11:00) Midway"), -11);
    EXPECT_THROW(TClockHands::OffsetOfEntry("(GMT-11:00) Midway"), std::invalid_argument)
        << "characters 6 to 8 are 11:";
}

TEST_F(ClockHandsTest, EveryMinuteOfADayTurnsTheDomesOnceAroundAndBack)
{
    System.GMT = 0;
    Hands.ApplyGMT();
    for (int Minute = 0; Minute < 1440; Minute += 7) {
        Clock.SetNow(At(Minute / 60, Minute % 60));
        Hands.ClockStep();
        // Net turns modulo 360: the hour dome -(15 H + M / 4), the minute dome -6 M.
        const double Hour = std::fmod(-(Minute / 4.0) + 720, 360.0);
        const double Got = std::fmod(Globe.Horas->TurnAngle() + 720.0, 360.0);
        EXPECT_NEAR(std::fmod(Got - Hour + 540, 360) - 180, 0, 1e-3) << Minute;
        const double Minutes = std::fmod(-(6.0 * (Minute % 60)) + 720, 360.0);
        const double GotMinutes = std::fmod(Globe.Minutos->TurnAngle() + 720.0, 360.0);
        EXPECT_NEAR(std::fmod(GotMinutes - Minutes + 540, 360) - 180, 0, 1e-3) << Minute;
    }
}

} // namespace
