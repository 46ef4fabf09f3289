#include "QtPlatformChoice.h"

#include <cstdlib>
#include <string_view>

namespace Platform {

namespace {

bool IsSet(const char* Value)
{
    return Value != nullptr && *Value != '\0';
}

} // namespace

std::string ChooseQtPlatform(const TEnvironmentReader& Read)
{
    if (IsSet(Read("QT_QPA_PLATFORM")))
        return {};
    const char* SessionType = Read("XDG_SESSION_TYPE");
    const bool Wayland = IsSet(Read("WAYLAND_DISPLAY")) ||
                         (SessionType != nullptr && std::string_view(SessionType) == "wayland");
    if (!Wayland || !IsSet(Read("DISPLAY")))
        return {};
    return "xcb";
}

void SelectQtPlatform()
{
    const std::string Choice = ChooseQtPlatform([](const char* Name) { return std::getenv(Name); });
    if (!Choice.empty())
        setenv("QT_QPA_PLATFORM", Choice.c_str(), 1);
}

} // namespace Platform
