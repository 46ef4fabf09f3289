#include "GMT_System.h"

#include "EventActions.h"

#include <cmath>

namespace {

constexpr double MinutesPerDay = 1440;

// Whole minutes since midnight, rounded to the millisecond first so that
// 10:30 is never read as 10:29.999.
int MinuteOfDay(Platform::TDateTime Now)
{
    const double Milliseconds = std::round((Now - std::floor(Now)) * 86400000.0);
    return static_cast<int>(Milliseconds / 60000.0) % static_cast<int>(MinutesPerDay);
}

} // namespace

std::string TGMT_System::Sound() const
{
    std::lock_guard Lock(FTextLock);
    return FSound;
}

void TGMT_System::SetSound(const std::string& Value)
{
    std::lock_guard Lock(FTextLock);
    FSound = Value;
}

std::string TGMT_System::AppChild() const
{
    std::lock_guard Lock(FTextLock);
    return FAppChild;
}

void TGMT_System::SetAppChild(const std::string& Value)
{
    std::lock_guard Lock(FTextLock);
    FAppChild = Value;
}

int TGMT_System::CurrentHour() const
{
    return MinuteOfDay(FClock.Now()) / 60;
}

int TGMT_System::CurrentMinute() const
{
    return MinuteOfDay(FClock.Now()) % 60;
}

void TGMT_System::CheckEvent(TEventActions& Caller)
{
    if (!Waiting)
        return;
    const std::uint8_t Kind = Task;
    if (Kind != ekAlarm && Kind != ekShutDown && Kind != ekRunApplication)
        return;
    if (Kind == ekAlarm)
        PlayCount = 0;
    const double Due = DateTime;
    if (const double Now = Caller.Now(); Now < Due) {
        // Told ahead, so that the user may call it off; it still comes on time.
        if (Kind == ekShutDown && Due - Now <= ShutDownWarning)
            Caller.ShutDownComing(Due);
        return;
    }
    Waiting = false;
    if (Caller.Now() - GracePeriod > Due) {
        // The clock was not running at the time: dropped, not fired late, but not in silence.
        Caller.EventMissed(Kind, Due);
        return;
    }
    switch (Kind) {
    case ekAlarm:
        Alarm(Caller, Due);
        Caller.RefreshTrayIcon();
        break;
    case ekShutDown:
        // The next start must find the event disarmed: no shutdown without the save.
        if (Caller.SaveSettings())
            Caller.ShutDown(Due);
        break;
    case ekRunApplication: {
        const std::string CommandLine = AppChild();
        if (!CommandLine.empty())
            Caller.RunApplication(CommandLine);
        Caller.RefreshTrayIcon();
        break;
    }
    }
}

void TGMT_System::Alarm(TEventActions& Caller, double Due)
{
    const std::string FileName = Sound();
    const bool Rings = PlayCount < Playtime;
    if (Rings)
        Caller.AlarmRinging(Due);
    while (PlayCount < Playtime) {
        Caller.PlaySound(FileName);
        // The stop key may have come during the sound: no pause, no further pass.
        if (PlayCount >= Playtime || !Caller.Pause(AlarmPause))
            break;
        ++PlayCount;
    }
    Caller.StopSound();
    if (Rings)
        Caller.AlarmEnded();
}

void TGMT_System::StopEvent(TEventActions& Caller)
{
    PlayCount = static_cast<std::uint16_t>(static_cast<std::int16_t>(Playtime.load()));
    Waiting = false;
    Caller.StopSound();
}
