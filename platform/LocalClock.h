#pragma once

namespace Platform {

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
};

} // namespace Platform
