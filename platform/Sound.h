#pragma once

namespace Platform {

class TSound
{
public:
    virtual ~TSound() = default;
    // The desktop's simple message beep.
    virtual void Beep() = 0;
};

} // namespace Platform
