#pragma once

#include "LocalClock.h"

namespace Platform {

class TLinuxClock : public TLocalClock
{
public:
    TDateTime Now() const override;
    void Sleep(int Milliseconds) override;
};

} // namespace Platform
