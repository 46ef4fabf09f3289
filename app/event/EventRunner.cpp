#include "EventRunner.h"

#include "app/clock/UserInterfaceQueue.h"
#include "app/notification/EventNotices.h"
#include "platform/Platform.h"
#include "platform/StopSignal.h"
#include "services/AddOn.h"
#include "state/GMT_System.h"

TEventRunner::TEventRunner(Platform::TServices& Services, TUserInterfaceQueue& Queue,
                           const Platform::TStopSignal& Closing, std::function<bool()> SaveSettings,
                           std::function<void()> RefreshTrayIcon, TEventNotices& Notices)
    : FServices(Services), FQueue(Queue), FClosing(Closing), FSaveSettings(std::move(SaveSettings)),
      FRefreshTrayIcon(std::move(RefreshTrayIcon)), FNotices(Notices)
{}

Platform::TDateTime TEventRunner::Now()
{
    return FServices.Clock->Now();
}

void TEventRunner::PlaySound(const std::string& FileName)
{
    // A file that cannot be played is silence, and the alarm goes on.
    if (!FClosing.Raised())
        FServices.Sound->PlayOnce(FileName);
}

void TEventRunner::StopSound()
{
    FServices.Sound->Stop();
}

bool TEventRunner::Pause(int Milliseconds)
{
    return FServices.Clock->Sleep(Milliseconds, FClosing);
}

bool TEventRunner::SaveSettings()
{
    bool Saved = false;
    const bool Ran = FQueue.Run([&] { Saved = FSaveSettings(); });
    return Ran && Saved;
}

void TEventRunner::ShutDown(Platform::TDateTime Due)
{
    // "Cancelar" was picked while the shutdown's moment came: the save went ahead, the shutdown does not.
    if (FNotices.ShutDownCalledOff(Due))
        return;
    FNotices.ShuttingDown();
    // A missing add-on library leaves the computer running, silently.
    SysShootDown(*FServices.Libraries);
}

void TEventRunner::RunApplication(const std::string& CommandLine)
{
    // A program that does not start is no message.
    if (FServices.Launcher->StartCommandLine(CommandLine))
        FNotices.ApplicationStarted(CommandLine);
}

void TEventRunner::RefreshTrayIcon()
{
    FQueue.Run(FRefreshTrayIcon);
}

void TEventRunner::AlarmRinging(Platform::TDateTime Due)
{
    FNotices.AlarmRinging(Due);
}

void TEventRunner::AlarmEnded()
{
    FNotices.AlarmEnded();
}

void TEventRunner::ShutDownComing(Platform::TDateTime Due)
{
    FNotices.ShutDownComing(Due);
}

void TEventRunner::CallOffShutDown(TGMT_System& System, Platform::TDateTime Due)
{
    if (!System.Waiting || System.Task != ekShutDown || System.DateTime != Due)
        return;
    System.Waiting = false;
    // Stored disarmed at once: a restart must not find the shutdown armed again.
    FSaveSettings();
}

void TEventRunner::EventMissed(std::uint8_t Task, Platform::TDateTime Due)
{
    FNotices.EventMissed(Task, Due);
}
