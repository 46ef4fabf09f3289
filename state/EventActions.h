#pragma once

#include "platform/LocalClock.h"

#include <cstdint>
#include <string>

// What the scheduled event does to the world, so that the check itself is
// plain logic. Each call blocks the checking thread until it is done.
class TEventActions
{
public:
    virtual ~TEventActions() = default;
    virtual Platform::TDateTime Now() = 0;
    // One pass of the alarm sound; returns when it has played or was cut short.
    virtual void PlaySound(const std::string& FileName) = 0;
    virtual void StopSound() = 0;
    // False when the clock is closing: the alarm ends there.
    virtual bool Pause(int Milliseconds) = 0;
    // False when the settings were not saved (the clock is closing, or the save failed).
    virtual bool SaveSettings() = 0;
    // Due: the moment of the shutdown event being fired.
    virtual void ShutDown(Platform::TDateTime Due) = 0;
    virtual void RunApplication(const std::string& CommandLine) = 0;
    virtual void RefreshTrayIcon() = 0;
    // Told to the user on the desktop; none of them waits for anyone.
    virtual void AlarmRinging(Platform::TDateTime Due) = 0;
    virtual void AlarmEnded() = 0;
    virtual void EventMissed(std::uint8_t Task, Platform::TDateTime Due) = 0;
    // An armed shutdown is less than a minute away; told on every pass until it comes.
    virtual void ShutDownComing(Platform::TDateTime Due) = 0;
};
