#include "platform/testing/FakeClock.h"
#include "state/EventActions.h"
#include "state/GMT_System.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace {

constexpr double Minute = 1.0 / 1440;
constexpr double Seven = 46000 + 7.0 / 24; // 07:00 on some day

// Records every action in order; time moves only by the pauses.
class TRecordingActions : public TEventActions
{
public:
    explicit TRecordingActions(Platform::TFakeClock& Clock) : FClock(Clock) {}

    Platform::TDateTime Now() override { return FClock.Now(); }
    void PlaySound(const std::string& FileName) override
    {
        Log.push_back("play " + FileName);
        ++Plays;
        if (DuringSound)
            DuringSound(Plays);
    }
    void StopSound() override { Log.push_back("stop"); }
    bool Pause(int Milliseconds) override
    {
        Log.push_back("pause " + std::to_string(Milliseconds));
        FClock.Advance(Milliseconds);
        return !Closing;
    }
    bool SaveSettings() override
    {
        Log.push_back(std::string("save ") + (System->Waiting ? "armed" : "disarmed"));
        return SaveSucceeds;
    }
    void ShutDown(Platform::TDateTime Due) override
    {
        Log.push_back(Due == System->DateTime ? "shutdown" : "shutdown at another time");
    }
    void RunApplication(const std::string& CommandLine) override { Log.push_back("run " + CommandLine); }
    void RefreshTrayIcon() override { Log.push_back("tray"); }
    // What the user is told, apart from the actions, with the sound pass it came after.
    void AlarmRinging(Platform::TDateTime Due) override { Told.push_back(Say("ringing", Due)); }
    void AlarmEnded() override { Told.push_back("ended after " + std::to_string(Plays)); }
    void EventMissed(std::uint8_t Task, Platform::TDateTime Due) override
    {
        Told.push_back(Say("missed " + std::to_string(Task), Due));
    }
    void ShutDownComing(Platform::TDateTime Due) override { Told.push_back(Say("shutdown coming", Due)); }

    std::vector<std::string> Log;
    std::vector<std::string> Told;
    std::function<void(int Pass)> DuringSound;
    TGMT_System* System = nullptr;
    bool SaveSucceeds = true;
    bool Closing = false;
    int Plays = 0;

private:
    std::string Say(const std::string& What, Platform::TDateTime Due)
    {
        return What + (Due == System->DateTime ? " at the event's time" : " at another time") + " after " +
               std::to_string(Plays);
    }

    Platform::TFakeClock& FClock;
};

class ScheduledEventTest : public testing::Test
{
protected:
    void Arm(std::uint8_t Task, double When, std::int8_t Playtime = 3)
    {
        System.Waiting = true;
        System.Task = Task;
        System.DateTime = When;
        System.Playtime = Playtime;
        System.SetSound("/sons/alarme.wav");
        System.SetAppChild("gedit notas.txt");
        Actions.System = &System;
    }
    std::vector<std::string> CheckAt(double Now)
    {
        Clock.SetNow(Now);
        Actions.Log.clear();
        Actions.Told.clear();
        Actions.Plays = 0;
        System.CheckEvent(Actions);
        return Actions.Log;
    }

    Platform::TFakeClock Clock;
    TGMT_System System{Clock};
    TRecordingActions Actions{Clock};
};

using TLog = std::vector<std::string>;

TEST_F(ScheduledEventTest, NothingHappensBeforeTheTimeOrWhenDisarmedOrOfNoKind)
{
    for (std::uint8_t Task : {0, 1, 2}) {
        Arm(Task, Seven);
        EXPECT_EQ(CheckAt(Seven - Minute), TLog{}) << int(Task);
        EXPECT_TRUE(System.Waiting);
    }
    Arm(255, Seven);
    EXPECT_EQ(CheckAt(Seven + 10 * Minute), TLog{});
    EXPECT_TRUE(System.Waiting) << "an event of no kind stays armed for ever";
    Arm(0, Seven);
    System.Waiting = false;
    EXPECT_EQ(CheckAt(Seven), TLog{});
}

TEST_F(ScheduledEventTest, AnAlarmPlaysItsRepetitionsWithPausesThenStopsAndRefreshesTheTray)
{
    Arm(0, Seven, 3);
    const TLog Expected{"play /sons/alarme.wav",
                        "pause 1500",
                        "play /sons/alarme.wav",
                        "pause 1500",
                        "play /sons/alarme.wav",
                        "pause 1500",
                        "stop",
                        "tray"};
    EXPECT_EQ(CheckAt(Seven), Expected) << "due at the very moment";
    EXPECT_FALSE(System.Waiting);
    EXPECT_EQ(System.PlayCount, 3);
    EXPECT_EQ(CheckAt(Seven + Minute), TLog{}) << "fires once";
}

TEST_F(ScheduledEventTest, ZeroOrNegativeRepetitionsPassSilentlyButDisarm)
{
    for (std::int8_t Playtime : {0, -3, -56}) {
        Arm(0, Seven, Playtime);
        EXPECT_EQ(CheckAt(Seven + Minute), (TLog{"stop", "tray"})) << int(Playtime);
        EXPECT_FALSE(System.Waiting);
    }
}

TEST_F(ScheduledEventTest, TheHourOfGraceFiresLateEventsAndDropsOlderOnes)
{
    Arm(2, Seven);
    EXPECT_EQ(CheckAt(Seven + 40 * Minute), (TLog{"run gedit notas.txt", "tray"})) << "started at 07:40";
    Arm(2, Seven);
    EXPECT_EQ(CheckAt(Seven + 60 * Minute), (TLog{"run gedit notas.txt", "tray"})) << "exactly an hour late";
    Arm(2, Seven);
    EXPECT_EQ(CheckAt(Seven + 61 * Minute), TLog{}) << "started at 08:01: dropped";
    EXPECT_FALSE(System.Waiting);
    Arm(0, Seven);
    EXPECT_EQ(CheckAt(Seven + 61 * Minute), TLog{});
    EXPECT_FALSE(System.Waiting);
    Arm(1, Seven);
    EXPECT_EQ(CheckAt(Seven + 61 * Minute), TLog{});
    EXPECT_FALSE(System.Waiting);
}

TEST_F(ScheduledEventTest, AShutdownSavesTheDisarmedEventBeforeItAsks)
{
    Arm(1, Seven);
    EXPECT_EQ(CheckAt(Seven + Minute), (TLog{"save disarmed", "shutdown"}));
    Arm(1, Seven);
    Actions.SaveSucceeds = false;
    EXPECT_EQ(CheckAt(Seven + Minute), TLog{"save disarmed"}) << "no shutdown without the save";
}

TEST_F(ScheduledEventTest, AnArmedShutdownIsToldInItsLastMinuteAndStillComesAtItsMoment)
{
    Arm(1, Seven);
    EXPECT_EQ(CheckAt(Seven - 2 * Minute), TLog{});
    EXPECT_TRUE(Actions.Told.empty()) << "two minutes ahead is too early";
    EXPECT_EQ(CheckAt(Seven - Minute / 2), TLog{});
    EXPECT_EQ(Actions.Told, TLog{"shutdown coming at the event's time after 0"});
    EXPECT_TRUE(System.Waiting);
    EXPECT_EQ(CheckAt(Seven), (TLog{"save disarmed", "shutdown"})) << "no later than its moment";
    EXPECT_TRUE(Actions.Told.empty());
    for (std::uint8_t Task : {0, 2}) {
        Arm(Task, Seven);
        CheckAt(Seven - Minute / 2);
        EXPECT_TRUE(Actions.Told.empty()) << int(Task);
    }
}

TEST_F(ScheduledEventTest, ARunWithNoCommandLineStartsNothingButRefreshesTheTray)
{
    Arm(2, Seven);
    System.SetAppChild("");
    EXPECT_EQ(CheckAt(Seven), TLog{"tray"});
    EXPECT_FALSE(System.Waiting);
}

TEST_F(ScheduledEventTest, TheStopKeyDuringTheSecondOfFiveEndsTheAlarm)
{
    Arm(0, Seven, 5);
    Actions.DuringSound = [&](int Pass) {
        if (Pass == 2)
            System.StopEvent(Actions);
    };
    const TLog Expected{
        "play /sons/alarme.wav", "pause 1500", "play /sons/alarme.wav", "stop", "stop", "tray"};
    EXPECT_EQ(CheckAt(Seven), Expected);
    EXPECT_EQ(Actions.Plays, 2);
    EXPECT_FALSE(System.Waiting);
}

TEST_F(ScheduledEventTest, TheStopKeyDisarmsAnEventThatIsNotDue)
{
    Arm(1, Seven);
    Actions.Log.clear();
    System.StopEvent(Actions);
    EXPECT_FALSE(System.Waiting);
    EXPECT_EQ(CheckAt(Seven + Minute), TLog{}) << "never fires";
}

TEST_F(ScheduledEventTest, ClosingDuringAPauseEndsTheRepetitions)
{
    Arm(0, Seven, 5);
    Actions.Closing = true;
    EXPECT_EQ(CheckAt(Seven), (TLog{"play /sons/alarme.wav", "pause 1500", "stop", "tray"}));
}

TEST_F(ScheduledEventTest, ARingingAlarmIsToldBeforeItsFirstSoundAndEndedAfterItsLast)
{
    Arm(0, Seven, 3);
    CheckAt(Seven + Minute);
    EXPECT_EQ(Actions.Told, (TLog{"ringing at the event's time after 0", "ended after 3"}));
    Arm(0, Seven, 5);
    Actions.DuringSound = [&](int Pass) {
        if (Pass == 2)
            System.StopEvent(Actions);
    };
    CheckAt(Seven);
    EXPECT_EQ(Actions.Told, (TLog{"ringing at the event's time after 0", "ended after 2"})) << "stopped";
    Actions.DuringSound = nullptr;
    Arm(0, Seven, 0);
    CheckAt(Seven);
    EXPECT_EQ(Actions.Told, TLog{}) << "an alarm with no repetitions never rings";
    Arm(0, Seven, 3);
    CheckAt(Seven - Minute);
    EXPECT_EQ(Actions.Told, TLog{}) << "not due";
}

TEST_F(ScheduledEventTest, AnEventDroppedForBeingLateIsToldOnceAndStaysStoredAsBefore)
{
    for (std::uint8_t Task : {0, 1, 2}) {
        Arm(Task, Seven);
        EXPECT_EQ(CheckAt(Seven + 61 * Minute), TLog{}) << "no action, no tray, no save";
        EXPECT_EQ(Actions.Told, TLog{"missed " + std::to_string(Task) + " at the event's time after 0"});
        EXPECT_FALSE(System.Waiting);
        EXPECT_EQ(System.Task, Task);
        EXPECT_EQ(System.DateTime, Seven);
        EXPECT_EQ(System.Playtime, 3);
        EXPECT_EQ(System.Sound(), "/sons/alarme.wav");
        EXPECT_EQ(System.AppChild(), "gedit notas.txt");
        CheckAt(Seven + 62 * Minute);
        EXPECT_EQ(Actions.Told, TLog{}) << "told once: the event is disarmed";
    }
    Arm(1, Seven);
    CheckAt(Seven + 60 * Minute);
    EXPECT_EQ(Actions.Told, TLog{}) << "an hour late is still in time";
    Arm(255, Seven);
    CheckAt(Seven + 61 * Minute);
    EXPECT_EQ(Actions.Told, TLog{}) << "an event of no kind is never missed";
}

} // namespace
