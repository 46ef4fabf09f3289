#include "SingleInstance.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <unistd.h>

namespace {

std::string HostName()
{
    char Name[256] = {};
    if (::gethostname(Name, sizeof Name - 1) != 0 || Name[0] == '\0')
        return "localhost";
    return Name;
}

} // namespace

TSingleInstance::TSingleInstance()
{
    Take([] { return LockPath(); });
}

TSingleInstance::TSingleInstance(const std::string& LockPath)
{
    Take([&] { return LockPath; });
}

void TSingleInstance::Take(const std::function<std::string()>& Path)
{
    try {
        FPath = Path();
        FLock = std::make_unique<TLockFile>(FPath);
        FFirst = FLock->TryLock();
    } catch (const std::exception& Error) {
        std::fprintf(stderr, "zentavo-3d: %s\n", Error.what());
        FFirst = true;
    }
}

std::string TSingleInstance::DisplayName(const char* X11Display, const char* WaylandDisplay)
{
    std::string Name;
    if (X11Display != nullptr && X11Display[0] != '\0') {
        Name = X11Display;
        const std::size_t Colon = Name.rfind(':');
        const std::size_t Dot = Name.find('.', Colon == std::string::npos ? 0 : Colon);
        if (Colon != std::string::npos && Dot != std::string::npos)
            Name.erase(Dot);
    } else if (WaylandDisplay != nullptr && WaylandDisplay[0] != '\0') {
        Name = WaylandDisplay;
    } else {
        Name = "no-display";
    }
    std::replace(Name.begin(), Name.end(), '/', '_');
    return Name;
}

std::string TSingleInstance::LockPath()
{
    // The host is part of the name: a home folder may be shared between machines.
    const std::string Name =
        HostName() + "-" + DisplayName(std::getenv("DISPLAY"), std::getenv("WAYLAND_DISPLAY")) + ".lock";
    if (const char* Runtime = std::getenv("XDG_RUNTIME_DIR"); Runtime != nullptr && Runtime[0] == '/')
        return std::string(Runtime) + "/zentavo-3d/" + Name;
    if (const char* Cache = std::getenv("XDG_CACHE_HOME"); Cache != nullptr && Cache[0] == '/')
        return std::string(Cache) + "/zentavo-3d/" + Name;
    const char* Home = std::getenv("HOME");
    if (Home == nullptr || Home[0] != '/')
        throw std::runtime_error("cannot find a folder for the instance lock: HOME is not set");
    return std::string(Home) + "/.cache/zentavo-3d/" + Name;
}
