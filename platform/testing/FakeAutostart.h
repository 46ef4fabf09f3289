#pragma once

#include "platform/Autostart.h"

#include <mutex>
#include <string>
#include <vector>

namespace Platform {

// Records the switch instead of touching the session.
class TFakeAutostart : public TAutostart
{
public:
    struct TCall
    {
        bool Enable = false;
        std::string Executable;
        std::string WorkingFolder;
    };

    void Enable(const std::string& Executable, const std::string& WorkingFolder) override;
    void Disable() override;

    // The state after the last call (false before any).
    bool Enabled() const;
    std::vector<TCall> Calls() const;

private:
    mutable std::mutex FLock;
    std::vector<TCall> FCalls;
};

} // namespace Platform
