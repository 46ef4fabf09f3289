#include "platform/testing/FakeClock.h"
#include "platform/LinuxClock.h"

#include <chrono>
#include <cmath>
#include <ctime>
#include <gtest/gtest.h>
#include <thread>

using namespace Platform;

namespace {

// Days from 1970-01-01 to a civil date (proleptic Gregorian), computed apart from the clock.
long DaysFromCivil(long Year, long Month, long Day)
{
    Year -= Month <= 2;
    const long Era = (Year >= 0 ? Year : Year - 399) / 400;
    const long YearOfEra = Year - Era * 400;
    const long DayOfYear = (153 * (Month + (Month > 2 ? -3 : 9)) + 2) / 5 + Day - 1;
    const long DayOfEra = YearOfEra * 365 + YearOfEra / 4 - YearOfEra / 100 + DayOfYear;
    return Era * 146097 + DayOfEra - 719468;
}

void ExpectMatchesLocalTime(TDateTime Now)
{
    const std::time_t Seconds = std::time(nullptr);
    std::tm Local{};
    localtime_r(&Seconds, &Local);
    const long Days =
        DaysFromCivil(Local.tm_year + 1900, Local.tm_mon + 1, Local.tm_mday) - DaysFromCivil(1899, 12, 30);
    const double Expected = Days + (Local.tm_hour * 3600 + Local.tm_min * 60 + Local.tm_sec) / 86400.0;
    EXPECT_NEAR(Now, Expected, 2.0 / 86400); // two seconds
}

} // namespace

TEST(LinuxClock, GivesLocalTimeAsDaysSince18991230)
{
    TLinuxClock Clock;
    ExpectMatchesLocalTime(Clock.Now());
    EXPECT_GT(Clock.Now(), DaysFromCivil(2024, 1, 1) - DaysFromCivil(1899, 12, 30));

    setenv("TZ", "<+0530>-5:30", 1);
    tzset();
    const TDateTime India = Clock.Now();
    ExpectMatchesLocalTime(India);
    setenv("TZ", "UTC", 1);
    tzset();
    EXPECT_NEAR(India - Clock.Now(), 5.5 / 24, 2.0 / 86400);
}

TEST(LinuxClock, SleepsForRealTime)
{
    TLinuxClock Clock;
    const auto Start = std::chrono::steady_clock::now();
    Clock.Sleep(60);
    Clock.Sleep(-5);
    EXPECT_GE(std::chrono::steady_clock::now() - Start, std::chrono::milliseconds(60));
}

TEST(FakeClock, SleepMovesTheTimeAtOnceWithoutDrift)
{
    TFakeClock Clock(45000.25);
    const auto Start = std::chrono::steady_clock::now();
    for (int Pass = 0; Pass < 720; ++Pass)
        Clock.Sleep(5000);
    EXPECT_LT(std::chrono::steady_clock::now() - Start, std::chrono::seconds(5));
    EXPECT_DOUBLE_EQ(Clock.Now(), 45000.25 + 1.0 / 24);
    EXPECT_EQ(Clock.SleepCount(), 720u);
    EXPECT_EQ(Clock.Sleeps().front(), 5000);
    Clock.Advance(-3600000);
    EXPECT_DOUBLE_EQ(Clock.Now(), 45000.25);
    Clock.SetNow(1.5);
    EXPECT_DOUBLE_EQ(Clock.Now(), 1.5);
}

TEST(FakeClock, AWorkerThreadCanBeDrivenAndStopped)
{
    TFakeClock Clock(0);
    std::atomic<bool> Stop = false;
    Clock.SetSleepHandler([&](int) {
        if (Clock.SleepCount() >= 100)
            Stop = true;
    });
    std::thread Worker([&] {
        while (!Stop)
            Clock.Sleep(5000);
    });
    std::thread Other([&] {
        for (int Pass = 0; Pass < 50; ++Pass)
            Clock.Sleep(1);
    });
    EXPECT_TRUE(Clock.WaitForSleeps(100, std::chrono::seconds(10)));
    Worker.join();
    Other.join();
    std::int64_t Total = 0;
    for (int Milliseconds : Clock.Sleeps())
        Total += Milliseconds;
    EXPECT_DOUBLE_EQ(Clock.Now(), Total / 86400000.0);
    EXPECT_FALSE(Clock.WaitForSleeps(100000, std::chrono::milliseconds(10)));
}
