#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace Platform {

// A one-way flag that sleepers wait on, so that raising it wakes them at once.
class TStopSignal
{
public:
    void Raise()
    {
        {
            std::lock_guard Lock(FLock);
            FRaised = true;
        }
        FChanged.notify_all();
    }
    bool Raised() const
    {
        std::lock_guard Lock(FLock);
        return FRaised;
    }
    // True when the signal was raised before Timeout passed.
    bool WaitFor(std::chrono::milliseconds Timeout) const
    {
        std::unique_lock Lock(FLock);
        return FChanged.wait_for(Lock, Timeout, [this] { return FRaised; });
    }

private:
    mutable std::mutex FLock;
    mutable std::condition_variable FChanged;
    bool FRaised = false;
};

} // namespace Platform
