#include "platform/testing/FakeAutostart.h"

namespace Platform {

void TFakeAutostart::Enable(const std::string& Executable, const std::string& WorkingFolder)
{
    std::lock_guard Guard(FLock);
    FCalls.push_back({true, Executable, WorkingFolder});
}

void TFakeAutostart::Disable()
{
    std::lock_guard Guard(FLock);
    FCalls.push_back({false, {}, {}});
}

bool TFakeAutostart::Enabled() const
{
    std::lock_guard Guard(FLock);
    return !FCalls.empty() && FCalls.back().Enable;
}

std::vector<TFakeAutostart::TCall> TFakeAutostart::Calls() const
{
    std::lock_guard Guard(FLock);
    return FCalls;
}

} // namespace Platform
