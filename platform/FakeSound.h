#pragma once

#include "Sound.h"

#include <atomic>

namespace Platform {

class TFakeSound : public TSound
{
public:
    void Beep() override { ++FBeeps; }
    int Beeps() const { return FBeeps; }

private:
    std::atomic<int> FBeeps = 0;
};

} // namespace Platform
