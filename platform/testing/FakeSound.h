#pragma once

#include "platform/Sound.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

namespace Platform {

// Records what was played. PlayOnce returns at once unless a play handler
// holds it (a test's "sound" that lasts until Stop).
class TFakeSound : public TSound
{
public:
    void Beep() override { ++FBeeps; }
    int Beeps() const { return FBeeps; }

    bool PlayOnce(const std::string& FileName) override
    {
        std::function<void(const std::string&)> Handler;
        {
            std::lock_guard Lock(FLock);
            FPlayed.push_back(FileName);
            Handler = FPlayHandler;
        }
        if (Handler)
            Handler(FileName);
        return FPlayable;
    }
    void Stop() override
    {
        std::lock_guard Lock(FLock);
        ++FStops;
        FStopped.notify_all();
    }
    void PlayInBackground(const std::string& FileName) override
    {
        std::lock_guard Lock(FLock);
        FBackground.push_back(FileName);
    }

    // Waits, on the playing thread, until the next Stop (or Timeout) and tells whether it came.
    bool WaitForStop(std::chrono::milliseconds Timeout)
    {
        std::unique_lock Lock(FLock);
        const int Before = FStops;
        return FStopped.wait_for(Lock, Timeout, [&] { return FStops != Before; });
    }

    void SetPlayHandler(std::function<void(const std::string&)> Handler)
    {
        std::lock_guard Lock(FLock);
        FPlayHandler = std::move(Handler);
    }
    void SetPlayable(bool Value) { FPlayable = Value; }
    std::vector<std::string> Played() const
    {
        std::lock_guard Lock(FLock);
        return FPlayed;
    }
    std::vector<std::string> PlayedInBackground() const
    {
        std::lock_guard Lock(FLock);
        return FBackground;
    }
    int Stops() const
    {
        std::lock_guard Lock(FLock);
        return FStops;
    }

private:
    mutable std::mutex FLock;
    std::condition_variable FStopped;
    std::vector<std::string> FPlayed;
    std::vector<std::string> FBackground;
    std::function<void(const std::string&)> FPlayHandler;
    int FStops = 0;
    std::atomic<bool> FPlayable = true;
    std::atomic<int> FBeeps = 0;
};

} // namespace Platform
