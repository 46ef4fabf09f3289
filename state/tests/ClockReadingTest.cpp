#include "platform/testing/FakeClock.h"
#include "state/GMT_System.h"

#include <gtest/gtest.h>

namespace {

constexpr double Day = 46000;

TEST(ClockReadingTest, HourAndMinuteOfTheLocalClock)
{
    Platform::TFakeClock Clock(Day + (10 * 60 + 30) / 1440.0);
    const TGMT_System System(Clock);
    EXPECT_EQ(System.CurrentHour(), 10);
    EXPECT_EQ(System.CurrentMinute(), 30);
    Clock.SetNow(Day + (23 * 60 + 59) / 1440.0 + 59.0 / 86400);
    EXPECT_EQ(System.CurrentHour(), 23);
    EXPECT_EQ(System.CurrentMinute(), 59);
    Clock.Advance(1000);
    EXPECT_EQ(System.CurrentHour(), 0) << "each call reads the clock anew";
    EXPECT_EQ(System.CurrentMinute(), 0);
}

TEST(ClockReadingTest, AMinuteStoredAsAFractionJustBelowIsStillThatMinute)
{
    // 15:00 as days is not exact in binary: the reading must not fall back to 14:59.
    Platform::TFakeClock Clock(Day + 15.0 / 24);
    const TGMT_System System(Clock);
    EXPECT_EQ(System.CurrentHour(), 15);
    EXPECT_EQ(System.CurrentMinute(), 0);
}

TEST(ClockReadingTest, EventTextsAreReadAndWrittenWhole)
{
    Platform::TFakeClock Clock;
    TGMT_System System(Clock);
    EXPECT_EQ(System.Sound(), "");
    System.SetSound("/home/ana/sino.wav");
    System.SetAppChild("\"/opt/my app/run\" --now");
    EXPECT_EQ(System.Sound(), "/home/ana/sino.wav");
    EXPECT_EQ(System.AppChild(), "\"/opt/my app/run\" --now");
    EXPECT_EQ(System.Task, 0);
    EXPECT_FALSE(System.Waiting);
    EXPECT_EQ(System.DateTime, 0.0);
}

} // namespace
