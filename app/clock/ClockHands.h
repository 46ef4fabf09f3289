#pragma once

#include <functional>
#include <string>

class TGlobeScene;
class TGMT_System;

// Turns the globe for the zone and the domes for the time. Works on the
// scene alone: the window decides on which thread, the viewer repaints from
// the scene's change signal.
class TClockHands
{
public:
    TClockHands(TGlobeScene& Globe, TGMT_System& System, std::function<void()> ResetFrameStats);

    // The hour dome and the minute dome for the local time.
    void ClockStep();
    // The axis, the time-point arrow and the sun for the zone and daylight saving.
    void ApplyGMT();
    // A zone entry chosen: "(GMT -03:00) ..." has its offset in characters 6 to 8.
    // Throws, keeping GMT and the globe, when they are no number.
    void GMTChange(const std::string& Location);

    // Characters 6 to 8 (counting from 1) as a signed whole number.
    static int OffsetOfEntry(const std::string& Location);

private:
    TGlobeScene& FGlobe;
    TGMT_System& FSystem;
    std::function<void()> FResetFrameStats;
};
