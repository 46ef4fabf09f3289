#include "OnlineLoop.h"

#include "state/GMT_System.h"

TOnlineLoop::TOnlineLoop(TGMT_System& System, TOnlineActions& Actions) : FSystem(System), FActions(Actions) {}

void TOnlineLoop::Run()
{
    // A single shot every time: at most one run is ever pending.
    FActions.StopTimer();
    try {
        if (FActions.ConnectionAvailable()) {
            FSystem.Connected = true;
            ++FSystem.ConnectCount;
            if (!FSystem.SysConfOk)
                FActions.UpdateSysConf();
            if (!FSystem.WeatherOk)
                FActions.WeatherForecast();
            if (!FSystem.TimeSyncOk)
                FSystem.TimeSyncOk = FActions.SynchroniseTime();
            if (FSystem.SysConfOk && FSystem.WeatherOk && FSystem.TimeSyncOk)
                FSystem.SystemUpdated = true;
        }
        if (!FSystem.Connected || (!FSystem.SystemUpdated && FSystem.ConnectCount < ConnectedRunLimit))
            FActions.ArmTimer();
    } catch (...) {
        // Shown nowhere but on the status page: offline, and trying again.
        FSystem.Connected = false;
        FSystem.SystemUpdated = false;
        FActions.ArmTimer();
    }
}
