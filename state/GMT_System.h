#pragma once

#include "platform/LocalClock.h"
#include "state/UserConnection.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

class TEventActions;

// The chosen time zone: its whole-hour offset and the entry it came from.
struct TGMT_Item
{
    std::int32_t GMT = 0;
    std::string Location;
};

// Everything the user sets for the clock, and the status of the online tasks.
// A new record is all zeros; only the settings load and save touch the store.
//
// The event check runs on the worker while the user-interface thread may
// change the event: the single values it reads are atomics, its texts are
// behind a lock of their own.
// The kinds of the scheduled event, as `Task` holds them.
enum TEventKind : std::uint8_t
{
    ekAlarm = 0,
    ekShutDown = 1,
    ekRunApplication = 2,
};

class TGMT_System : public TGMT_Item
{
public:
    explicit TGMT_System(Platform::TLocalClock& Clock) : FClock(Clock) {}
    TGMT_System(const TGMT_System&) = delete;
    TGMT_System& operator=(const TGMT_System&) = delete;

    // The scheduled event, days since 1899-12-30, local.
    std::atomic<double> DateTime = 0;
    TUserConnection Connection{}; // proxy settings, handed by value to the companions
    // 0 alarm, 1 shut down, 2 run AppChild; others: no kind.
    std::atomic<std::uint8_t> Task = 0;
    std::uint8_t ConnectCount = 0;
    std::atomic<std::int8_t> Playtime = 0;
    std::string TimeServer;
    std::string UF;
    std::atomic<bool> Waiting = false;
    bool RunOnce = false;
    bool Connected = false;
    bool SystemUpdated = false;
    bool SysConfOk = false;
    bool WeatherOk = false;
    bool TimeSyncOk = false;
    bool SunTime = false;
    // Alarm repetitions played; the stop key sets it to Playtime to end them.
    std::atomic<std::uint16_t> PlayCount = 0;

    std::string Sound() const;
    void SetSound(const std::string& Value);
    std::string AppChild() const;
    void SetAppChild(const std::string& Value);

    // Each reads the local clock anew.
    int CurrentHour() const;
    int CurrentMinute() const;

    // Fires the armed event when its time has come, or drops it when it is
    // more than an hour late. Runs on the worker (or the window's thread).
    void CheckEvent(TEventActions& Caller);
    // The stop key: ends the repetitions of a playing alarm and disarms.
    void StopEvent(TEventActions& Caller);

    static constexpr double GracePeriod = 1.0 / 24;       // "01:00:00"
    static constexpr double ShutDownWarning = 1.0 / 1440; // one minute
    static constexpr int AlarmPause = 1500;               // milliseconds between repetitions

private:
    void Alarm(TEventActions& Caller, double Due);

    Platform::TLocalClock& FClock;
    mutable std::mutex FTextLock;
    std::string FSound;
    std::string FAppChild;
};
