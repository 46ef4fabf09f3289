#pragma once

#include "Launcher.h"

namespace Platform {

class TLinuxLauncher : public TLauncher
{
public:
    bool StartCommandLine(const std::string& CommandLine) override;
};

} // namespace Platform
