#pragma once

#include "platform/Launcher.h"

#include <mutex>
#include <string>
#include <vector>

namespace Platform {

// Records the command lines it was asked to start.
class TFakeLauncher : public TLauncher
{
public:
    bool StartCommandLine(const std::string& CommandLine) override
    {
        std::lock_guard Lock(FLock);
        FStarted.push_back(CommandLine);
        return true;
    }
    std::vector<std::string> Started() const
    {
        std::lock_guard Lock(FLock);
        return FStarted;
    }

private:
    mutable std::mutex FLock;
    std::vector<std::string> FStarted;
};

} // namespace Platform
