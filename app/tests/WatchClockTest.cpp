#include "WatchFixture.h"

#include "app/FlatImageButton.h"
#include "services/zentavo_companion.h"

#include <QComboBox>
#include <QElapsedTimer>
#include <QTest>

#include <chrono>

namespace {

using namespace std::chrono_literals;

constexpr double Day = 46000;

double At(int Hour, int Minute)
{
    return Day + (Hour * 60 + Minute) / 1440.0;
}

class WatchClockTest : public TWatchFixture
{
protected:
    void ArmAlarm(double When, int Playtime)
    {
        StoreText("Task", "0");
        StoreText("Waiting", "1");
        StoreFloat("DateTime", When);
        StoreText("Playtime", std::to_string(Playtime));
        StoreText("Sound", "alarme.wav");
    }
    // Closes and tells how long the close took.
    std::chrono::milliseconds TimedClose()
    {
        QElapsedTimer Timer;
        Timer.start();
        Close();
        return std::chrono::milliseconds(Timer.elapsed());
    }
};

TEST_F(WatchClockTest, TheWorkerTurnsTheDomesForTheLocalTimeAndFollowsTheMinutes)
{
    SeedStore();
    StoreText("GMT", "0");
    Clock.SetNow(At(10, 30));
    Twatch& Watch = Start();
    ASSERT_TRUE(WorkerPasses());
    EXPECT_FLOAT_EQ(Watch.Globe->Horas->TurnAngle(), -157.5f);
    EXPECT_FLOAT_EQ(Watch.Globe->Minutos->TurnAngle(), -180);
    Clock.Advance(55 * 1000); // with the five-second sleep: 10:31, within the minute of the last pass
    ASSERT_TRUE(WorkerPasses(1));
    EXPECT_FLOAT_EQ(Watch.Globe->Horas->TurnAngle(), -157.75f);
    EXPECT_FLOAT_EQ(Watch.Globe->Minutos->TurnAngle(), 174) << "-186, stored normalised";
    EXPECT_TRUE(Watch.IsClockWorkerRunning());
}

TEST_F(WatchClockTest, AZoneChosenInTheDialogTurnsTheAxisAtOnce)
{
    SeedStore();
    Twatch& Watch = Start();
    QComboBox List;
    List.addItems({"(GMT -03:00) Brasília", "(GMT +05:00) Islamabad"});
    List.setCurrentIndex(1);
    Watch.zt_GMTChange(&List);
    EXPECT_EQ(Watch.GMTSystem->GMT, 5);
    EXPECT_FLOAT_EQ(Watch.Globe->Axis->TurnAngle(), -75);
    List.setCurrentIndex(-1);
    Watch.zt_GMTChange(&List);
    EXPECT_EQ(Errors.size(), 1u) << "no selection is reported";
    EXPECT_EQ(Watch.GMTSystem->GMT, 5);
}

TEST_F(WatchClockTest, TimerTwelveRunsTheClockEngineOnce)
{
    SeedStore();
    StoreText("GMT", "-3");
    Clock.SetNow(At(15, 0));
    Twatch& Watch = Start();
    Watch.Globe->Horas->SetTurnAngle(1);
    Watch.zt_SetTimer(12, 5, "zt_ClockEnginer");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !Watch.IsTimerArmed(12); }, 2000));
    EXPECT_FLOAT_EQ(Watch.Globe->Horas->TurnAngle(), 90);
    EXPECT_FLOAT_EQ(Watch.Globe->Minutos->TurnAngle(), -45);
}

TEST_F(WatchClockTest, EscapeOnTheMoonDuringTheSecondOfFiveRepetitionsEndsTheAlarm)
{
    SeedStore();
    InstallPicturesLibrary();
    ArmAlarm(At(7, 0), 5);
    Clock.SetNow(At(7, 0));
    int Plays = 0;
    Sound.SetPlayHandler([&](const std::string&) {
        if (++Plays == 2)
            Sound.WaitForStop(10s); // a sound that lasts until it is cut
    });
    Twatch& Watch = Start();
    Clock.GrantSleeps(1); // the pause after the first repetition
    ASSERT_TRUE(QTest::qWaitFor([&] { return Sound.Played().size() == 2; }, 5000));
    TrayRequests.clear();
    QTest::keyClick(Watch.Moon, Qt::Key_Escape);
    EXPECT_FALSE(Watch.GMTSystem->Waiting);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !TrayRequests.empty(); }, 5000))
        << "the alarm ends with a tray refresh";
    EXPECT_EQ(Sound.Played().size(), 2u) << "no further repetition";
    EXPECT_EQ(TrayRequests.back().Operation, 2) << "removed";
}

TEST_F(WatchClockTest, CtrlAOnTheMoonDisarmsAnEventThatIsNotDue)
{
    SeedStore();
    StoreText("Task", "1");
    StoreText("Waiting", "1");
    StoreFloat("DateTime", At(9, 0));
    Clock.SetNow(At(8, 0));
    Twatch& Watch = Start();
    QTest::keyClick(Watch.Moon, Qt::Key_A, Qt::ControlModifier);
    EXPECT_FALSE(Watch.GMTSystem->Waiting);
    QTest::keyClick(Watch.Moon, Qt::Key_B);
    Close();
    EXPECT_EQ(StoredText("Waiting"), "0");
}

TEST_F(WatchClockTest, AShutdownIsRequestedOnlyOnceTheDisarmedEventIsStored)
{
    SeedStore();
    StoreText("Task", "1");
    StoreText("Waiting", "1");
    StoreFloat("DateTime", At(7, 0));
    Clock.SetNow(At(7, 0) + 1.0 / 86400);
    static TWatchFixture* Self = nullptr;
    static std::string WaitingAtShutdown;
    Self = this;
    WaitingAtShutdown.clear();
    Libraries.AddLibrary("ztaddon.so", {{"SysShootDown", reinterpret_cast<void*>(+[]() -> int32_t {
                                             WaitingAtShutdown = Self->StoredTextOf("Waiting");
                                             return 1;
                                         })}});
    Start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !WaitingAtShutdown.empty(); }, 5000));
    EXPECT_EQ(WaitingAtShutdown, "0");
}

// Each round is a whole start and close of the window: a deadlock that shows
// once in fifty closes must fail here.
TEST_F(WatchClockTest, ClosingIsPromptWhileTheWorkerSleepsWaitsForAHandOverOrPlaysAnAlarm)
{
    SeedStore();
    for (int Round = 0; Round < 200; ++Round) {
        // The worker parked in its five-second sleep.
        Start();
        ASSERT_TRUE(WorkerPasses());
        ASSERT_LT(TimedClose(), 2s) << "sleeping, round " << Round;

        // The worker waiting for the window's thread to take its hand-over.
        Start();
        if (Round % 2 == 1)
            QTest::qWait(1);
        ASSERT_LT(TimedClose(), 2s) << "handing over, round " << Round;
    }
    ArmAlarm(At(7, 0), 5);
    Clock.SetNow(At(7, 0));
    Sound.SetPlayHandler([&](const std::string&) { Sound.WaitForStop(10s); });
    for (int Round = 0; Round < 200; ++Round) {
        Registry.SetValue(KeyPath, "Waiting", Platform::TRegistryValue::FromString("1"));
        const std::size_t Before = Sound.Played().size();
        Start();
        ASSERT_TRUE(QTest::qWaitFor([&] { return Sound.Played().size() > Before; }, 5000)) << Round;
        ASSERT_LT(TimedClose(), 2s) << "playing, round " << Round;
    }
}

} // namespace

namespace {

std::string* ServerAsked = nullptr;

uint8_t Online()
{
    return 1;
}

uint8_t Synchronise(uint8_t Always, const char* TimeServer, ZTUserConnection, double*)
{
    *ServerAsked = std::string(TimeServer) + (Always ? " interactive" : "");
    return 1;
}

TEST_F(WatchClockTest, TimerOneRunsTheOnlineTasksAndComesAgainWhileSomeAreLeft)
{
    SeedStore();
    StoreText("TimeServer", "a.st1.ntp.br");
    Twatch& Watch = Start();
    EXPECT_EQ(Watch.TimerInterval(1), 30000);
    // No connection library: offline, a beep, and again in 30 seconds.
    const int Beeps = Sound.Beeps();
    Watch.zt_SetSystemParams();
    EXPECT_EQ(Sound.Beeps(), Beeps + 1);
    EXPECT_FALSE(Watch.GMTSystem->Connected);
    EXPECT_TRUE(Watch.IsTimerArmed(1));

    std::string Asked;
    ServerAsked = &Asked;
    Libraries.AddLibrary("connection.so", {{"getConnectionStatus", reinterpret_cast<void*>(&Online)},
                                           {"SincNetworkTime", reinterpret_cast<void*>(&Synchronise)}});
    Watch.zt_SetSystemParams();
    EXPECT_TRUE(Watch.GMTSystem->Connected);
    EXPECT_EQ(Watch.GMTSystem->ConnectCount, 1);
    EXPECT_TRUE(Watch.GMTSystem->TimeSyncOk);
    EXPECT_EQ(Asked, "a.st1.ntp.br") << "a background run may not ask the user";
    EXPECT_FALSE(Watch.GMTSystem->SystemUpdated) << "the document and the weather are still to come";
    EXPECT_TRUE(Watch.IsTimerArmed(1));
    EXPECT_EQ(Watch.TimerInterval(1), 30000);
}

} // namespace
