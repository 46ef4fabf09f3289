#pragma once

namespace Platform {

class TStopSignal;

// Days since 1899-12-30 in local time; the fraction is the time of day.
using TDateTime = double;

// Local time and sleeping, injectable so tests can run minutes of clock time
// in milliseconds.
class TLocalClock
{
public:
    virtual ~TLocalClock() = default;
    virtual TDateTime Now() const = 0;
    virtual void Sleep(int Milliseconds) = 0;
    // Sleeps unless Stop is raised meanwhile; false when it was (at once, or during the sleep).
    virtual bool Sleep(int Milliseconds, const TStopSignal& Stop) = 0;
};

} // namespace Platform
