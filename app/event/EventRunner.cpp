#include "EventRunner.h"

#include "app/clock/UserInterfaceQueue.h"
#include "platform/Platform.h"
#include "platform/StopSignal.h"
#include "services/AddOn.h"

TEventRunner::TEventRunner(Platform::TServices& Services, TUserInterfaceQueue& Queue,
                           const Platform::TStopSignal& Closing, std::function<bool()> SaveSettings,
                           std::function<void()> RefreshTrayIcon)
    : FServices(Services), FQueue(Queue), FClosing(Closing), FSaveSettings(std::move(SaveSettings)),
      FRefreshTrayIcon(std::move(RefreshTrayIcon))
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

void TEventRunner::ShutDown()
{
    // A missing add-on library leaves the computer running, silently.
    SysShootDown(*FServices.Libraries);
}

void TEventRunner::RunApplication(const std::string& CommandLine)
{
    FServices.Launcher->StartCommandLine(CommandLine); // a program that does not start is no message
}

void TEventRunner::RefreshTrayIcon()
{
    FQueue.Run(FRefreshTrayIcon);
}
