#pragma once

#include "platform/Launcher.h"

#include <mutex>
#include <string>
#include <vector>

namespace Platform {

// Records the command lines it was asked to start and the addresses to open.
class TFakeLauncher : public TLauncher
{
public:
    bool StartCommandLine(const std::string& CommandLine) override
    {
        std::lock_guard Lock(FLock);
        FStarted.push_back(CommandLine);
        return true;
    }
    bool OpenUrl(const std::string& Url) override
    {
        std::lock_guard Lock(FLock);
        FOpened.push_back(Url);
        return true;
    }
    std::vector<std::string> Opened() const
    {
        std::lock_guard Lock(FLock);
        return FOpened;
    }
    std::vector<std::string> Started() const
    {
        std::lock_guard Lock(FLock);
        return FStarted;
    }

private:
    mutable std::mutex FLock;
    std::vector<std::string> FStarted;
    std::vector<std::string> FOpened;
};

} // namespace Platform
