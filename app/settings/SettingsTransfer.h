#pragma once

#include "SettingsTable.h"

#include <string>

namespace Platform {
class TRegistry;
class TTimeZoneService;
} // namespace Platform

// Moves the settings between the store and the clock's state.
class TSettingsTransfer
{
public:
    TSettingsTransfer(Platform::TRegistry& Registry, Platform::TTimeZoneService& TimeZone);

    // In the table's order, the daylight bias after the proxy port. Throws at
    // the first value that cannot be read, with the values before it applied;
    // a value stored in a wrong form first has the store kept aside, since
    // the next save would overwrite what it holds.
    void Load(TSettingsState& State);
    // Every value and the autostart entry in one transaction: the store holds
    // all of the new values or, when this throws, all of the old ones.
    void Save(TSettingsState& State, const std::string& Executable);
    void ApplyDaylightBias(bool SunTime);
    // Where the last failed load kept the store aside; empty when it kept nothing.
    const std::string& KeptCopy() const { return FKeptCopy; }

    static constexpr int DaylightSavingBias = -60;

private:
    Platform::TRegistry& FRegistry;
    Platform::TTimeZoneService& FTimeZone;
    std::string FKeptCopy;
};
