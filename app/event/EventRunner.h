#pragma once

#include "state/EventActions.h"

#include <functional>

namespace Platform {
struct TServices;
class TStopSignal;
} // namespace Platform
class TEventNotices;
class TGMT_System;
class TUserInterfaceQueue;

// The scheduled event's actions on this desktop. Sounds, pauses, the
// shutdown request and program starts happen on the calling thread; the
// settings save and the tray refresh touch the window and are handed to its
// thread, the caller waiting until they are done. What the user is told
// goes to the desktop's notices.
class TEventRunner : public TEventActions
{
public:
    TEventRunner(Platform::TServices& Services, TUserInterfaceQueue& Queue,
                 const Platform::TStopSignal& Closing, std::function<bool()> SaveSettings,
                 std::function<void()> RefreshTrayIcon, TEventNotices& Notices);

    Platform::TDateTime Now() override;
    void PlaySound(const std::string& FileName) override;
    void StopSound() override;
    bool Pause(int Milliseconds) override;
    bool SaveSettings() override;
    void ShutDown(Platform::TDateTime Due) override;
    void RunApplication(const std::string& CommandLine) override;
    void RefreshTrayIcon() override;
    void AlarmRinging(Platform::TDateTime Due) override;
    void AlarmEnded() override;
    void EventMissed(std::uint8_t Task, Platform::TDateTime Due) override;
    void ShutDownComing(Platform::TDateTime Due) override;

    // On the window's thread, when the user calls off the shutdown due at Due:
    // disarmed and saved, if that shutdown is still the armed event.
    void CallOffShutDown(TGMT_System& System, Platform::TDateTime Due);

private:
    Platform::TServices& FServices;
    TUserInterfaceQueue& FQueue;
    const Platform::TStopSignal& FClosing;
    std::function<bool()> FSaveSettings;
    std::function<void()> FRefreshTrayIcon;
    TEventNotices& FNotices;
};
