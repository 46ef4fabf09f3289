#pragma once

#include "LocalClock.h"

namespace Platform {

// The system's wall clock in the system's time zone, both followed as they
// change while the program runs.
class TLinuxClock : public TLocalClock
{
public:
    TDateTime Now() const override;
    void Sleep(int Milliseconds) override;
    bool Sleep(int Milliseconds, const TStopSignal& Stop) override;
};

} // namespace Platform
