#include "app/clock/CheckTime.h"
#include "platform/testing/FakeClock.h"
#include "platform/ThreadPriority.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

// Polls a condition the worker makes true, for at most five seconds of real time.
template <typename TCondition> bool EventuallyTrue(TCondition Condition)
{
    const auto Deadline = std::chrono::steady_clock::now() + 5s;
    while (!Condition()) {
        if (std::chrono::steady_clock::now() > Deadline)
            return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

constexpr double Day = 46000.5;

// Records the worker's steps as it makes them; the fake clock moves 5 s per sleep.
class CheckTimeTest : public testing::Test
{
protected:
    void Record(const std::string& Step)
    {
        std::lock_guard Lock(FLock);
        FSteps.push_back(Step);
    }
    std::vector<std::string> Steps()
    {
        std::lock_guard Lock(FLock);
        return FSteps;
    }
    void StartWorker() { Worker.Start(); }

    Platform::TFakeClock Clock{Day};
    Platform::TStopSignal Stop;
    std::atomic<int> Niceness = -100;
    TCheckTime Worker{Clock, Stop,
                      [this](bool Loop) {
                          Niceness = Platform::CurrentThreadNiceness();
                          Record(Loop ? "step+reset" : "step");
                          return true;
                      },
                      [this] { Record("check"); }};

private:
    std::mutex FLock;
    std::vector<std::string> FSteps;
};

TEST_F(CheckTimeTest, FirstPassThenOnePassPerFiveSecondsAtBelowNormalPriority)
{
    Clock.SetHoldSleeps(true);
    StartWorker();
    Clock.GrantSleeps(3);
    ASSERT_TRUE(Clock.WaitForSleeps(3, 5s));
    ASSERT_TRUE(EventuallyTrue([&] { return Clock.SleepRequests() >= 4; }));
    const std::vector<std::string> Expected{"step",  "check",      "step+reset", "check",      "step+reset",
                                            "check", "step+reset", "check",      "step+reset", "check"};
    EXPECT_EQ(Steps(), Expected);
    EXPECT_EQ(Clock.Sleeps(), (std::vector<int>{5000, 5000, 5000}));
    EXPECT_GT(Niceness, 0) << "a positive nice value of the worker's own";
    EXPECT_LT(Niceness, 19) << "not an idle class that load would starve";
    EXPECT_EQ(Platform::CurrentThreadNiceness(), 0) << "only the worker's thread is lowered";
    Worker.Stop();
}

TEST_F(CheckTimeTest, AClockSetForwardSkipsOnePassAndTheNextOneShowsTheNewTime)
{
    Clock.SetHoldSleeps(true);
    StartWorker();
    ASSERT_TRUE(EventuallyTrue([&] { return Clock.SleepRequests() >= 1; }));
    const std::size_t Before = Steps().size();
    Clock.Advance(2 * 3600 * 1000); // two hours forward while the worker sleeps
    Clock.GrantSleeps(2);
    ASSERT_TRUE(EventuallyTrue([&] { return Clock.SleepRequests() >= 3; }));
    const std::vector<std::string> All = Steps();
    const std::vector<std::string> After(All.begin() + static_cast<long>(Before), All.end());
    EXPECT_EQ(After, (std::vector<std::string>{"step+reset", "check"}))
        << "one pass skipped, the next one made";
    Worker.Stop();
}

TEST_F(CheckTimeTest, StopWakesTheWorkerOutOfItsSleepAtOnce)
{
    // A real clock: the sleep is five real seconds unless the stop cuts it.
    Platform::TStopSignal RealStop;
    class TRealTimeClock : public Platform::TLocalClock
    {
    public:
        Platform::TDateTime Now() const override { return Day; }
        void Sleep(int) override {}
        bool Sleep(int Milliseconds, const Platform::TStopSignal& Stop) override
        {
            return !Stop.WaitFor(std::chrono::milliseconds(Milliseconds));
        }
    } RealClock;
    std::atomic<int> Passes = 0;
    TCheckTime RealWorker(
        RealClock, RealStop, [&](bool) { return ++Passes > 0; }, [] {});
    RealWorker.Start();
    while (Passes < 2)
        std::this_thread::sleep_for(1ms);
    std::this_thread::sleep_for(20ms); // now in its five-second sleep
    const auto Started = std::chrono::steady_clock::now();
    RealWorker.Stop();
    EXPECT_LT(std::chrono::steady_clock::now() - Started, 200ms);
    EXPECT_FALSE(RealWorker.Running());
}

TEST_F(CheckTimeTest, ARefusedHandOverEndsTheWorkerWithoutItsCheck)
{
    std::atomic<int> Checks = 0;
    TCheckTime Closing(
        Clock, Stop, [](bool) { return false; }, [&] { ++Checks; });
    Closing.Start();
    Closing.Stop();
    EXPECT_EQ(Checks, 0);
}

TEST_F(CheckTimeTest, AFailingCheckDoesNotEndTheWorker)
{
    Clock.SetHoldSleeps(true);
    std::atomic<int> Checks = 0;
    TCheckTime Failing(
        Clock, Stop, [](bool) { return true; },
        [&] {
            ++Checks;
            throw std::runtime_error("no sound server");
        });
    Failing.Start();
    Clock.GrantSleeps(2);
    ASSERT_TRUE(EventuallyTrue([&] { return Checks >= 3; }));
    Failing.Stop();
}

} // namespace
