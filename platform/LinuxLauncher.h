#pragma once

#include "Launcher.h"

#include <optional>
#include <string>
#include <vector>

namespace Platform {

class TLinuxLauncher : public TLauncher
{
public:
    bool StartCommandLine(const std::string& CommandLine) override;
    bool OpenUrl(const std::string& Url) override;

    // Words as a POSIX shell splits them: blanks separate, single quotes keep
    // everything, double quotes keep all but \" \\ \$ \` escapes, a backslash
    // outside quotes keeps the next character. Nothing is expanded or run.
    // Empty for an unterminated quote.
    static std::optional<std::vector<std::string>> SplitCommandLine(const std::string& CommandLine);
};

} // namespace Platform
