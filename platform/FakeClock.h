#pragma once

#include "LocalClock.h"

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

    void SetNow(TDateTime Time);
    void Advance(std::int64_t Milliseconds);

    // The lengths of every Sleep so far, in order.
    std::vector<int> Sleeps() const;
    std::size_t SleepCount() const;
    // Runs on the sleeping thread after each Sleep has moved the time (e.g. to stop a worker).
    void SetSleepHandler(std::function<void(int Milliseconds)> Handler);
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
};

} // namespace Platform
