#include "app/online/OnlineLoop.h"
#include "platform/testing/FakeClock.h"
#include "state/GMT_System.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

class TScriptedActions : public TOnlineActions
{
public:
    explicit TScriptedActions(TGMT_System& System) : FSystem(System) {}

    bool ConnectionAvailable() override
    {
        Log.push_back("beep+query");
        return Online;
    }
    void UpdateSysConf() override
    {
        Log.push_back("sysconf");
        FSystem.SysConfOk = SysConfWorks;
    }
    void WeatherForecast() override
    {
        Log.push_back("weather");
        if (WeatherThrows)
            throw std::runtime_error("weather library broke");
        FSystem.WeatherOk = true;
    }
    bool SynchroniseTime() override
    {
        Log.push_back("time");
        return TimeWorks;
    }
    void StopTimer() override
    {
        Log.push_back("stop");
        Armed = false;
    }
    void ArmTimer() override
    {
        Log.push_back("arm");
        Armed = true;
    }

    std::vector<std::string> Log;
    bool Online = true;
    bool SysConfWorks = true;
    bool WeatherThrows = false;
    bool TimeWorks = true;
    bool Armed = false;

private:
    TGMT_System& FSystem;
};

class OnlineLoopTest : public testing::Test
{
protected:
    std::vector<std::string> RunOnce()
    {
        Actions.Log.clear();
        Loop.Run();
        return Actions.Log;
    }

    Platform::TFakeClock Clock;
    TGMT_System System{Clock};
    TScriptedActions Actions{System};
    TOnlineLoop Loop{System, Actions};
};

using TLog = std::vector<std::string>;

TEST_F(OnlineLoopTest, OfflineEveryRunQueriesAndComesAgainWithoutLimit)
{
    Actions.Online = false;
    for (int Run = 0; Run < 8; ++Run)
        EXPECT_EQ(RunOnce(), (TLog{"stop", "beep+query", "arm"})) << Run;
    EXPECT_FALSE(System.Connected);
    EXPECT_EQ(System.ConnectCount, 0);
}

TEST_F(OnlineLoopTest, AllTasksSucceedingEndTheLoop)
{
    EXPECT_EQ(RunOnce(), (TLog{"stop", "beep+query", "sysconf", "weather", "time"}));
    EXPECT_TRUE(System.SystemUpdated);
    EXPECT_FALSE(Actions.Armed);
}

TEST_F(OnlineLoopTest, ATimeServerThatNeverAnswersIsRetriedAloneUntilTheFifthConnectedRun)
{
    Actions.TimeWorks = false;
    EXPECT_EQ(RunOnce(), (TLog{"stop", "beep+query", "sysconf", "weather", "time", "arm"}));
    for (int Run = 2; Run <= 4; ++Run)
        EXPECT_EQ(RunOnce(), (TLog{"stop", "beep+query", "time", "arm"})) << Run;
    EXPECT_EQ(RunOnce(), (TLog{"stop", "beep+query", "time"})) << "the fifth connected run arms nothing";
    EXPECT_EQ(System.ConnectCount, 5);
    EXPECT_FALSE(System.TimeSyncOk);
    EXPECT_FALSE(System.SystemUpdated);
    // A later run (from the dialog) still tries the failed task once.
    EXPECT_EQ(RunOnce(), (TLog{"stop", "beep+query", "time"}));
}

TEST_F(OnlineLoopTest, GoingOfflineWhileCatchingUpKeepsRetryingWithoutCounting)
{
    Actions.TimeWorks = false;
    RunOnce();
    Actions.Online = false;
    for (int Run = 0; Run < 6; ++Run)
        EXPECT_EQ(RunOnce(), (TLog{"stop", "beep+query", "arm"}));
    EXPECT_EQ(System.ConnectCount, 1);
    EXPECT_TRUE(System.Connected) << "an offline run changes no flag";
}

TEST_F(OnlineLoopTest, AnErrorInATaskIsSwallowedAsOfflineAndTheLoopGoesOn)
{
    System.SystemUpdated = true;
    Actions.WeatherThrows = true;
    EXPECT_EQ(RunOnce(), (TLog{"stop", "beep+query", "sysconf", "weather", "arm"}));
    EXPECT_FALSE(System.Connected);
    EXPECT_FALSE(System.SystemUpdated);
    EXPECT_TRUE(System.SysConfOk) << "what succeeded before the error stays";
}

} // namespace
