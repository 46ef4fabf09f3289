#include "platform/testing/FakeClock.h"

#include "platform/StopSignal.h"

#include <thread>

namespace Platform {

namespace {
constexpr double MillisecondsPerDay = 86400000.0;
}

TFakeClock::TFakeClock(TDateTime Start) : FStart(Start) {}

TDateTime TFakeClock::Now() const
{
    std::lock_guard Guard(FLock);
    return FStart + static_cast<double>(FElapsed) / MillisecondsPerDay;
}

void TFakeClock::Sleep(int Milliseconds)
{
    std::function<void(int)> Handler;
    {
        std::lock_guard Guard(FLock);
        FElapsed += Milliseconds > 0 ? Milliseconds : 0;
        FSleeps.push_back(Milliseconds);
        Handler = FSleepHandler;
    }
    FSlept.notify_all();
    if (Handler)
        Handler(Milliseconds);
    std::this_thread::yield(); // a worker looping on Sleep must not starve the test
}

bool TFakeClock::Sleep(int Milliseconds, const TStopSignal& Stop)
{
    {
        std::lock_guard Guard(FLock);
        ++FSleepRequests;
    }
    for (;;) {
        if (Stop.Raised())
            return false;
        {
            std::lock_guard Guard(FLock);
            if (!FHold)
                break;
            if (FGranted > 0) {
                --FGranted;
                break;
            }
        }
        // The stop signal has a condition of its own; a short real wait on it keeps both live.
        Stop.WaitFor(std::chrono::milliseconds(2));
    }
    Sleep(Milliseconds);
    return !Stop.Raised();
}

void TFakeClock::SetHoldSleeps(bool Hold)
{
    std::lock_guard Guard(FLock);
    FHold = Hold;
}

std::size_t TFakeClock::SleepRequests() const
{
    std::lock_guard Guard(FLock);
    return FSleepRequests;
}

void TFakeClock::GrantSleeps(std::size_t Count)
{
    std::lock_guard Guard(FLock);
    FGranted += Count;
}

void TFakeClock::SetNow(TDateTime Time)
{
    std::lock_guard Guard(FLock);
    FStart = Time;
    FElapsed = 0;
}

void TFakeClock::Advance(std::int64_t Milliseconds)
{
    std::lock_guard Guard(FLock);
    FElapsed += Milliseconds;
}

std::vector<int> TFakeClock::Sleeps() const
{
    std::lock_guard Guard(FLock);
    return FSleeps;
}

std::size_t TFakeClock::SleepCount() const
{
    std::lock_guard Guard(FLock);
    return FSleeps.size();
}

void TFakeClock::SetSleepHandler(std::function<void(int Milliseconds)> Handler)
{
    std::lock_guard Guard(FLock);
    FSleepHandler = std::move(Handler);
}

bool TFakeClock::WaitForSleeps(std::size_t Count, std::chrono::milliseconds Timeout) const
{
    std::unique_lock Guard(FLock);
    return FSlept.wait_for(Guard, Timeout, [&] { return FSleeps.size() >= Count; });
}

} // namespace Platform
