#pragma once

#include "platform/LocalClock.h"
#include "platform/StopSignal.h"

#include <atomic>
#include <chrono>
#include <functional>
#include <thread>

// The minute-tick worker: one pass every 5 seconds at below-normal priority,
// the hands first (handed to the window's thread by HandOver), then the event
// check on the worker itself. A pass that finds more than a minute since the
// previous one (a suspend, a clock set forward) is skipped once.
class TCheckTime
{
public:
    // HandOver runs the hands' step on the window's thread and waits; false
    // when the window is closing. Loop is true for the loop's passes, which
    // also reset the frame statistics.
    using THandOver = std::function<bool(bool Loop)>;

    // Stop is the close's signal: raising it wakes the worker out of any sleep.
    TCheckTime(Platform::TLocalClock& Clock, Platform::TStopSignal& Stop, THandOver HandOver,
               std::function<void()> CheckEvent);
    ~TCheckTime();
    TCheckTime(const TCheckTime&) = delete;
    TCheckTime& operator=(const TCheckTime&) = delete;

    void Start();
    // Raises the stop signal and joins the worker, calling Nudge every 50 ms
    // while it has not ended (to cut a sound that started after the signal).
    // A worker that has not ended within Deadline (inside a companion's call
    // that does not return) is let go, and this is false: whatever it uses
    // must then outlive the process.
    bool Stop(const std::function<void()>& Nudge = {},
              std::chrono::milliseconds Deadline = std::chrono::milliseconds::max());
    bool Running() const { return FThread.joinable(); }

    Platform::TDateTime LastPass() const { return FLastPass; }

    static constexpr int Pacing = 5000;             // milliseconds between passes
    static constexpr double OneMinute = 1.0 / 1440; // "00:01:00"

private:
    void Execute();
    void CheckEventGuarded();

    Platform::TLocalClock& FClock;
    THandOver FHandOver;
    std::function<void()> FCheckEvent;
    Platform::TStopSignal& FStop;
    Platform::TStopSignal FFinished;
    std::atomic<Platform::TDateTime> FLastPass = 0;
    std::thread FThread;
};
