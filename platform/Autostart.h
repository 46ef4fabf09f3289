#pragma once

#include <string>

namespace Platform {

// Starting the clock with the desktop session.
class TAutostart
{
public:
    virtual ~TAutostart() = default;
    virtual void Enable(const std::string& Executable, const std::string& WorkingFolder) = 0;
    virtual void Disable() = 0;
};

} // namespace Platform
