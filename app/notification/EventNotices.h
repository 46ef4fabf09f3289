#pragma once

#include "platform/LocalClock.h"
#include "platform/Notifications.h"

#include <QLocale>

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

// What the scheduled event tells the user on the desktop: the ringing alarm
// with a way to stop it from where the user is, the program started, the
// shutdown, and the event that could not be fired. Any thread may tell.
class TEventNotices
{
public:
    // StopAlarm runs on the window's thread when the user picks "Parar".
    // IconFile: the clock's picture; empty when there is none.
    TEventNotices(Platform::TNotifications& Notifications, std::function<void()> StopAlarm,
                  std::string IconFile, QLocale Locale = QLocale());
    ~TEventNotices();
    TEventNotices(const TEventNotices&) = delete;
    TEventNotices& operator=(const TEventNotices&) = delete;

    void AlarmRinging(Platform::TDateTime Due);
    // The repetitions ended, or were stopped: the notice goes.
    void AlarmEnded();
    void ApplicationStarted(const std::string& CommandLine);
    // A minute ahead of an armed shutdown, with "Cancelar"; shown once for each moment.
    void ShutDownComing(Platform::TDateTime Due);
    // Runs on the window's thread when the user picks "Cancelar" on the shutdown's notice.
    void SetOnCallOffShutDown(std::function<void(Platform::TDateTime Due)> Handler);
    // True once the user called off the shutdown due at Due.
    bool ShutDownCalledOff(Platform::TDateTime Due) const;
    void ShuttingDown();
    void EventMissed(std::uint8_t Task, Platform::TDateTime Due);

    static constexpr const char* StopAction = "parar";
    static constexpr const char* CancelAction = "cancelar";

private:
    Platform::TNotifications& FNotifications;
    std::function<void()> FStopAlarm;
    const std::string FIconFile;
    const QLocale FLocale;
    std::function<void(Platform::TDateTime)> FCallOffShutDown;
    mutable std::mutex FLock;
    Platform::TNotifications::TNoticeId FAlarmNotice = 0;
    Platform::TNotifications::TNoticeId FShutDownNotice = 0;
    std::optional<Platform::TDateTime> FShutDownDue;
    std::optional<Platform::TDateTime> FCalledOffDue;
};
