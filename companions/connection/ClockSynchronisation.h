#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace Connection {

enum class TClockAction
{
    Keep,
    Correct
};

// Whether a measured offset needs the clock changed: not when the system's
// time service keeps the clock synchronised and the offset is below a
// second, nor when it is too small to be worth asking the user to authorise
// a change.
TClockAction DecideClockAction(double Offset, std::optional<bool> NtpSynchronised);

// The clock is within a second of the server once the correction was
// accepted (its error is at most half the round trip) or when it was already.
bool WithinOneSecond(double Offset, double Delay, TClockAction Action, bool CorrectionAccepted);

struct TSynchronisation
{
    bool Synchronised = false;
    bool Measured = false;
    double Offset = 0;
    std::string Failure;
};

// Measures the offset to Server by SNTP and, when the clock needs it, asks
// timedated to move the clock by that offset. Only when Interactive may that
// bring up a prompt for the user's password (and wait for the answer);
// otherwise a change that would need one is refused at once and the clock
// counts as not synchronised.
TSynchronisation SynchroniseClock(const std::string& Server, bool Interactive);

} // namespace Connection
