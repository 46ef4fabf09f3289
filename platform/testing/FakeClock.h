#pragma once

#include "platform/LocalClock.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

namespace Platform {

// A clock that only moves when told to. Sleep returns at once, having moved
// the time on by its length, so a worker's minutes pass in milliseconds.
// Safe to use from several threads.
class TFakeClock : public TLocalClock
{
public:
    explicit TFakeClock(TDateTime Start = 0);

    TDateTime Now() const override;
    void Sleep(int Milliseconds) override;
    // Moves the time on as Sleep does, unless Stop is already raised.
    bool Sleep(int Milliseconds, const TStopSignal& Stop) override;

    void SetNow(TDateTime Time);
    void Advance(std::int64_t Milliseconds);

    // The lengths of every Sleep so far, in order.
    std::vector<int> Sleeps() const;
    std::size_t SleepCount() const;
    // Runs on the sleeping thread after each Sleep has moved the time (e.g. to stop a worker).
    void SetSleepHandler(std::function<void(int Milliseconds)> Handler);
    // While held, a Sleep with a stop signal waits (in real time) for a
    // granted step or the signal, so a test decides when a worker's next pass comes.
    void SetHoldSleeps(bool Hold);
    void GrantSleeps(std::size_t Count);
    // Calls of the stoppable Sleep so far, held or not.
    std::size_t SleepRequests() const;
    // False when fewer than Count sleeps happened within Timeout of real time.
    bool WaitForSleeps(std::size_t Count, std::chrono::milliseconds Timeout) const;

private:
    mutable std::mutex FLock;
    mutable std::condition_variable FSlept;
    // Kept apart so that many small steps add up without rounding.
    TDateTime FStart;
    std::int64_t FElapsed = 0;
    std::vector<int> FSleeps;
    std::function<void(int)> FSleepHandler;
    bool FHold = false;
    std::size_t FGranted = 0;
    std::size_t FSleepRequests = 0;
};

} // namespace Platform
