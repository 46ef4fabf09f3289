#include "LinuxClock.h"

#include "StopSignal.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace Platform {

namespace {
constexpr double UnixEpoch = 25569.0; // 1970-01-01 in days since 1899-12-30
constexpr double SecondsPerDay = 86400.0;
} // namespace

TDateTime TLinuxClock::Now() const
{
    using namespace std::chrono;
    const auto Microseconds = duration_cast<microseconds>(system_clock::now().time_since_epoch()).count();
    const std::time_t Seconds = static_cast<std::time_t>(Microseconds / 1000000);
    std::tm Local{};
    // localtime_r alone never looks at the zone again; tzset notices a changed /etc/localtime.
    ::tzset();
    ::localtime_r(&Seconds, &Local);
    return UnixEpoch +
           (static_cast<double>(Microseconds) / 1e6 + static_cast<double>(Local.tm_gmtoff)) / SecondsPerDay;
}

void TLinuxClock::Sleep(int Milliseconds)
{
    if (Milliseconds > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(Milliseconds));
}

bool TLinuxClock::Sleep(int Milliseconds, const TStopSignal& Stop)
{
    return !Stop.WaitFor(std::chrono::milliseconds(Milliseconds > 0 ? Milliseconds : 0));
}

} // namespace Platform
