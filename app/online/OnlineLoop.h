#pragma once

class TGMT_System;

// What one run of the online tasks needs from the world.
class TOnlineActions
{
public:
    virtual ~TOnlineActions() = default;
    // Beeps and asks whether an Internet connection is available.
    virtual bool ConnectionAvailable() = 0;
    // Each sets its own flag in the record (the document refresh and the weather).
    virtual void UpdateSysConf() = 0;
    virtual void WeatherForecast() = 0;
    virtual bool SynchroniseTime() = 0;
    virtual void StopTimer() = 0;
    virtual void ArmTimer() = 0;
};

// The retry loop of the online tasks: each run does the tasks not yet done,
// records the outcome in the record's status flags and comes again in 30
// seconds until everything succeeded or five connected runs were made. An
// error in a task is swallowed into the flags and the loop goes on.
class TOnlineLoop
{
public:
    TOnlineLoop(TGMT_System& System, TOnlineActions& Actions);

    void Run();

    static constexpr unsigned TimerId = 1;
    static constexpr unsigned Interval = 30000;
    static constexpr int ConnectedRunLimit = 5;

private:
    TGMT_System& FSystem;
    TOnlineActions& FActions;
};
