#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <string>

namespace Platform {
class TLibraryLoader;
class TLocalClock;
} // namespace Platform
class TFrm_SetUp;
class TGMT_System;
class TSetUpHost;

// Carries the clock's settings into the setup dialog and back: what goes in
// before it shows, what the live previews may change while it is open, what
// OK keeps and what Cancel puts back. Works on the dialog's controls alone,
// so it is tested without showing it.
class TSetUpTransfer
{
public:
    TSetUpTransfer(TGMT_System& System, Platform::TLibraryLoader& Libraries, Platform::TLocalClock& Clock,
                   TSetUpHost& Host);

    // The whole opening: fill, show through Exec (which returns true for OK),
    // keep or put back, then the steps of every opening. The moon is enabled
    // again whatever fails. When the host is closing, the dialog counts as
    // Cancel and only the globe's turn follows.
    void Run(TFrm_SetUp& Dialog, const std::function<bool(TFrm_SetUp&)>& Exec);

    // The clock's state into the controls, the values kept for Cancel, the
    // lists, the hooks, the place beside the window, the status grid.
    void Load(TFrm_SetUp& Dialog);
    void Store(TFrm_SetUp& Dialog);
    void Restore(TFrm_SetUp& Dialog);
    void Finish();

    // The day of the calendar at h:m:00, in days since 1899-12-30.
    static double EventDateTime(int Year, int Month, int Day, int Hour, int Minute);
    // The weather list shows the city, the part before the first "|".
    static std::string CityOfProvince(const std::string& Entry);
    // The event as the status grid and the message name it.
    static QString DateTimeText(double DateTime);

private:
    void Place(TFrm_SetUp& Dialog);
    void FillStatus(TFrm_SetUp& Dialog);

    TGMT_System& FSystem;
    Platform::TLibraryLoader& FLibraries;
    Platform::TLocalClock& FClock;
    TSetUpHost& FHost;
    // Kept for Cancel.
    std::int16_t FKeptGMT = 0;
    std::string FKeptLocation;
    int FKeptAlphaPosition = 0;
    bool FKeptLighting = false;
};
