#pragma once

#include <string>

namespace Platform {

// Starts other programs for the user.
class TLauncher
{
public:
    virtual ~TLauncher() = default;
    // Splits CommandLine into a program and its arguments as a shell splits
    // words and quotes, without a shell, and starts it detached with the
    // user's environment. False when it could not be started.
    virtual bool StartCommandLine(const std::string& CommandLine) = 0;
    // Opens an address with the desktop's default handler for it (a web
    // address in the user's browser). False when none could take it.
    virtual bool OpenUrl(const std::string& Url) = 0;
};

} // namespace Platform
