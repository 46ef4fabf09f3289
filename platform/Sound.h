#pragma once

#include <string>

namespace Platform {

// The desktop's sounds. Every call may come from any thread.
class TSound
{
public:
    virtual ~TSound() = default;
    // The desktop's simple message beep.
    virtual void Beep() = 0;
    // Plays the sound file once and returns when that pass has played or
    // Stop cut it short. False, at once, when the file cannot be played or
    // there is no sound server; nothing is reported.
    virtual bool PlayOnce(const std::string& FileName) = 0;
    // Cuts whatever PlayOnce or PlayInBackground is playing now, within 100 ms.
    // A later play is not affected.
    virtual void Stop() = 0;
    // Starts the file, or the desktop's default sound when the file cannot be
    // played, and returns at once.
    virtual void PlayInBackground(const std::string& FileName) = 0;
};

} // namespace Platform
