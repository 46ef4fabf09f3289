#pragma once

#include "Sound.h"

namespace Platform {

// The desktop's bell through Qt.
class TLinuxSound : public TSound
{
public:
    void Beep() override;
};

} // namespace Platform
