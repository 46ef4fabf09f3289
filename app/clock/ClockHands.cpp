#include "ClockHands.h"

#include "globe/GlobeScene.h"
#include "state/GMT_System.h"
#include "state/ZoneEntry.h"

#include <stdexcept>

TClockHands::TClockHands(TGlobeScene& Globe, TGMT_System& System, std::function<void()> ResetFrameStats)
    : FGlobe(Globe), FSystem(System), FResetFrameStats(std::move(ResetFrameStats))
{}

void TClockHands::ClockStep()
{
    const int Hour = FSystem.CurrentHour();
    const int Offset = FSystem.GMT;
    const int Minute = FSystem.CurrentMinute();
    // The whole hours are an integer; the quarter degrees per minute are taken off in floating point.
    const int HourTurn = 15 * (Offset - Hour);
    FGlobe.Horas->SetTurnAngle(static_cast<float>(HourTurn - 0.25 * Minute));
    // A reading of its own: across a minute boundary the next pass puts the pair right.
    const int MinuteAgain = FSystem.CurrentMinute();
    FGlobe.Minutos->SetTurnAngle(FGlobe.TimePoint->TurnAngle() - static_cast<float>(6 * MinuteAgain));
}

void TClockHands::ApplyGMT()
{
    FGlobe.Sum->SetTurnAngle(FSystem.SunTime ? 15.0f : 0.0f);
    FGlobe.Axis->SetTurnAngle(static_cast<float>(-15 * FSystem.GMT));
    FGlobe.TimePoint->SetTurnAngle(static_cast<float>(15 * FSystem.GMT));
    if (FResetFrameStats)
        FResetFrameStats();
}

void TClockHands::GMTChange(const std::string& Location)
{
    FSystem.Location = Location;
    FSystem.GMT = OffsetOfEntry(Location);
    ApplyGMT();
}

int TClockHands::OffsetOfEntry(const std::string& Location)
{
    const std::optional<int> Offset = ZoneEntryOffset(Location);
    if (!Offset)
        throw std::invalid_argument("'" + (Location.size() > 5 ? Location.substr(5, 3) : std::string()) +
                                    "' is not a valid integer value");
    return *Offset;
}
