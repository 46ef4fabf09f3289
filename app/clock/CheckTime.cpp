#include "CheckTime.h"

#include "platform/ThreadPriority.h"

#include <cstdio>
#include <exception>

TCheckTime::TCheckTime(Platform::TLocalClock& Clock, Platform::TStopSignal& Stop, THandOver HandOver,
                       std::function<void()> CheckEvent)
    : FClock(Clock), FHandOver(std::move(HandOver)), FCheckEvent(std::move(CheckEvent)), FStop(Stop)
{}

TCheckTime::~TCheckTime()
{
    Stop();
}

void TCheckTime::Start()
{
    if (!FThread.joinable())
        FThread = std::thread([this] { Execute(); });
}

bool TCheckTime::Stop(const std::function<void()>& Nudge, std::chrono::milliseconds Deadline)
{
    FStop.Raise();
    if (!FThread.joinable())
        return true;
    const auto Start = std::chrono::steady_clock::now();
    while (!FFinished.WaitFor(std::chrono::milliseconds(50))) {
        if (std::chrono::steady_clock::now() - Start >= Deadline) {
            FThread.detach();
            return false;
        }
        if (Nudge)
            Nudge();
    }
    FThread.join();
    return true;
}

void TCheckTime::Execute()
{
    struct TFinish
    {
        Platform::TStopSignal& Finished;
        ~TFinish() { Finished.Raise(); }
    } Finish{FFinished};
    Platform::LowerCurrentThreadPriority();
    if (!FHandOver(false))
        return;
    CheckEventGuarded();
    FLastPass = FClock.Now();
    while (!FStop.Raised()) {
        if (FLastPass + OneMinute >= FClock.Now()) {
            if (!FHandOver(true))
                return;
            CheckEventGuarded();
        }
        FLastPass = FClock.Now();
        if (!FClock.Sleep(Pacing, FStop))
            return;
    }
}

void TCheckTime::CheckEventGuarded()
{
    // Nothing may end the worker but the close: a failing check waits for the next pass.
    try {
        FCheckEvent();
    } catch (const std::exception& Error) {
        std::fprintf(stderr, "zentavo-3d: event check: %s\n", Error.what());
    } catch (...) {
        std::fprintf(stderr, "zentavo-3d: event check failed\n");
    }
}
