#include "state/DateTimeText.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

namespace {

constexpr double June15 = 46188;    // 2026-06-15, summer time in Europe
constexpr double January15 = 46037; // 2026-01-15
constexpr double March29 = 46110;   // 2026-03-29, the night Europe moves to summer time

// The process's zone for one test: the texts must not depend on it.
class TZone
{
public:
    explicit TZone(const char* Name)
    {
        if (const char* Old = std::getenv("TZ"))
            FOld = Old;
        setenv("TZ", Name, 1);
        tzset();
    }
    ~TZone()
    {
        setenv("TZ", FOld.c_str(), 1);
        tzset();
    }

private:
    std::string FOld = "UTC";
};

const QLocale Brazil(QLocale::Portuguese, QLocale::Brazil);

TEST(DateTimeTextTest, SummerDatesShowTheirOwnHourAndMidnightTheDateAlone)
{
    for (const char* Zone : {"Europe/Berlin", "America/New_York", "Australia/Sydney", "UTC"}) {
        SCOPED_TRACE(Zone);
        TZone Within(Zone);
        EXPECT_EQ(DateTimeText(June15 + 7.5 / 24, Brazil), QStringLiteral("15/06/2026 07:30:00"));
        EXPECT_EQ(DateTimeText(June15, Brazil), QStringLiteral("15/06/2026"));
        EXPECT_EQ(DateTimeText(January15 + 7.5 / 24, Brazil), QStringLiteral("15/01/2026 07:30:00"));
        EXPECT_EQ(DateTimeText(June15 + (23 * 60 + 59) / 1440.0, Brazil),
                  QStringLiteral("15/06/2026 23:59:00"));
    }
}

TEST(DateTimeTextTest, ZonesWhoseOffsetOf1899WasLocalMeanTimeAreNotOffByMinutes)
{
    // São Paulo kept -03:06:28 until 1914, Amsterdam +00:19:32 until 1909.
    for (const char* Zone : {"America/Sao_Paulo", "Europe/Amsterdam", "Asia/Kolkata"}) {
        SCOPED_TRACE(Zone);
        TZone Within(Zone);
        EXPECT_EQ(DateTimeText(January15 + 7.5 / 24, Brazil), QStringLiteral("15/01/2026 07:30:00"));
        EXPECT_EQ(DateTimeText(January15, Brazil), QStringLiteral("15/01/2026"));
        const QLocale States(QLocale::English, QLocale::UnitedStates);
        EXPECT_EQ(DateTimeText(June15 + 19.25 / 24, States), QStringLiteral("6/15/26 7:15:00 PM"));
    }
}

TEST(DateTimeTextTest, AnHourThatTheClockSkipsIsShownAsWritten)
{
    // 02:30 does not exist in Berlin that night; the event still names the time that was set.
    TZone Within("Europe/Berlin");
    EXPECT_EQ(DateTimeText(March29 + 2.5 / 24, Brazil), QStringLiteral("29/03/2026 02:30:00"));
}

} // namespace
