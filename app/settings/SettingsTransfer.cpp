#include "SettingsTransfer.h"

#include "platform/Registry.h"
#include "platform/TimeZoneService.h"
#include "SettingsKey.h"
#include "state/GMT_System.h"

#include <cstring>

TSettingsTransfer::TSettingsTransfer(Platform::TRegistry& Registry, Platform::TTimeZoneService& TimeZone)
    : FRegistry(Registry), FTimeZone(TimeZone)
{}

void TSettingsTransfer::Load(TSettingsState& State)
{
    FKeptCopy.clear();
    TSettingsKey Key(FRegistry.CreateKey(SettingsKeyPath));
    try {
        for (const TSetting& Setting : ClockSettings()) {
            switch (Setting.Kind) {
            case TSettingKind::Integer:
                Setting.Set(State, Key.ReadInteger(Setting.Name, Setting.Default));
                break;
            case TSettingKind::Flag:
                Setting.Set(State, Key.ReadFlag(Setting.Name, Setting.Default != 0));
                break;
            case TSettingKind::Float:
                Setting.Set(State, Key.ReadFloat(Setting.Name));
                break;
            case TSettingKind::Text:
                Setting.Set(State, Key.ReadText(Setting.Name));
                break;
            }
            if (std::strcmp(Setting.Name, "Port") == 0)
                ApplyDaylightBias(State.System().SunTime);
        }
    } catch (const ESettingsReadError& Error) {
        if (Error.Misformed())
            FKeptCopy = FRegistry.KeepCopy();
        throw;
    }
}

void TSettingsTransfer::Save(TSettingsState& State, const std::string& Executable)
{
    std::vector<Platform::TRegistryChange> Changes;
    for (const TSetting& Setting : ClockSettings()) {
        const TSettingValue Value = Setting.Get(State);
        Platform::TRegistryValue Stored;
        switch (Setting.Kind) {
        case TSettingKind::Integer:
            Stored = TSettingsKey::IntegerValue(std::get<std::int64_t>(Value));
            break;
        case TSettingKind::Flag:
            Stored = TSettingsKey::FlagValue(std::get<bool>(Value));
            break;
        case TSettingKind::Float:
            Stored = TSettingsKey::FloatValue(std::get<double>(Value));
            break;
        case TSettingKind::Text:
            Stored = TSettingsKey::TextValue(std::get<std::string>(Value));
            break;
        }
        Changes.push_back({SettingsKeyPath, Setting.Name, std::move(Stored)});
    }
    if (State.System().RunOnce)
        Changes.push_back({RunKeyPath, RunValueName, TSettingsKey::TextValue(Executable)});
    else
        Changes.push_back({RunKeyPath, RunValueName, std::nullopt});
    FRegistry.Apply(Changes);
    ApplyDaylightBias(State.System().SunTime);
}

void TSettingsTransfer::ApplyDaylightBias(bool SunTime)
{
    Platform::TTimeZoneInformation Zone = FTimeZone.GetTimeZoneInformation();
    Zone.DaylightBias = SunTime ? DaylightSavingBias : 0;
    FTimeZone.SetTimeZoneInformation(Zone); // a refusal is of no consequence
}
