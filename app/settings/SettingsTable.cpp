#include "SettingsTable.h"

#include "state/GMT_System.h"

#include <array>
#include <strings.h>

namespace {

using TKind = TSettingKind;

std::int64_t Integer(const TSettingValue& Value)
{
    return std::get<std::int64_t>(Value);
}
bool Flag(const TSettingValue& Value)
{
    return std::get<bool>(Value);
}
double Float(const TSettingValue& Value)
{
    return std::get<double>(Value);
}
const std::string& Text(const TSettingValue& Value)
{
    return std::get<std::string>(Value);
}

// Only the low bits are taken of the numbers with a narrow field.
std::uint8_t LowByte(std::int64_t Value)
{
    return static_cast<std::uint8_t>(Value);
}

const std::array<TSetting, 23> Settings{{
    {"Top", TKind::Integer, 0, [](TSettingsState& S) -> TSettingValue { return std::int64_t{S.Top()}; },
     [](TSettingsState& S, const TSettingValue& V) { S.SetTop(static_cast<int>(Integer(V))); }},
    {"Left", TKind::Integer, 0, [](TSettingsState& S) -> TSettingValue { return std::int64_t{S.Left()}; },
     [](TSettingsState& S, const TSettingValue& V) { S.SetLeft(static_cast<int>(Integer(V))); }},
    {"Alpha", TKind::Integer, 255, [](TSettingsState& S) -> TSettingValue { return std::int64_t{S.Alpha()}; },
     [](TSettingsState& S, const TSettingValue& V) { S.SetAlpha(LowByte(Integer(V))); }},
    {"Pitch", TKind::Float, 0, [](TSettingsState& S) -> TSettingValue { return S.Pitch(); },
     [](TSettingsState& S, const TSettingValue& V) { S.SetPitch(Float(V)); }},
    {"Roll", TKind::Float, 0, [](TSettingsState& S) -> TSettingValue { return S.Roll(); },
     [](TSettingsState& S, const TSettingValue& V) { S.SetRoll(Float(V)); }},
    {"Turn", TKind::Float, 0, [](TSettingsState& S) -> TSettingValue { return S.Turn(); },
     [](TSettingsState& S, const TSettingValue& V) { S.SetTurn(Float(V)); }},
    {"SumLight", TKind::Flag, 1, [](TSettingsState& S) -> TSettingValue { return S.SumLight(); },
     [](TSettingsState& S, const TSettingValue& V) { S.SetSumLight(Flag(V)); }},
    {"FocalLength", TKind::Float, 0, [](TSettingsState& S) -> TSettingValue { return S.FocalLength(); },
     [](TSettingsState& S, const TSettingValue& V) { S.SetFocalLength(Float(V)); }},
    {"Playtime", TKind::Integer, 0,
     [](TSettingsState& S) -> TSettingValue { return std::int64_t{S.System().Playtime.load()}; },
     [](TSettingsState& S, const TSettingValue& V) {
         S.System().Playtime = static_cast<std::int8_t>(LowByte(Integer(V)));
     }},
    {"GMT", TKind::Integer, 0,
     [](TSettingsState& S) -> TSettingValue { return std::int64_t{S.System().GMT}; },
     [](TSettingsState& S, const TSettingValue& V) {
         S.System().GMT = static_cast<std::int32_t>(Integer(V));
     }},
    {"Location", TKind::Text, 0, [](TSettingsState& S) -> TSettingValue { return S.System().Location; },
     [](TSettingsState& S, const TSettingValue& V) { S.System().Location = Text(V); }},
    {"Task", TKind::Integer, -1,
     [](TSettingsState& S) -> TSettingValue { return std::int64_t{S.System().Task.load()}; },
     [](TSettingsState& S, const TSettingValue& V) { S.System().Task = LowByte(Integer(V)); }},
    {"Waiting", TKind::Flag, 0, [](TSettingsState& S) -> TSettingValue { return S.System().Waiting.load(); },
     [](TSettingsState& S, const TSettingValue& V) { S.System().Waiting = Flag(V); }},
    {"DateTime", TKind::Float, 0,
     [](TSettingsState& S) -> TSettingValue { return S.System().DateTime.load(); },
     [](TSettingsState& S, const TSettingValue& V) { S.System().DateTime = Float(V); }},
    {"Sound", TKind::Text, 0, [](TSettingsState& S) -> TSettingValue { return S.System().Sound(); },
     [](TSettingsState& S, const TSettingValue& V) { S.System().SetSound(Text(V)); }},
    {"AppChild", TKind::Text, 0, [](TSettingsState& S) -> TSettingValue { return S.System().AppChild(); },
     [](TSettingsState& S, const TSettingValue& V) { S.System().SetAppChild(Text(V)); }},
    {"RunOnce", TKind::Flag, 1, [](TSettingsState& S) -> TSettingValue { return S.System().RunOnce; },
     [](TSettingsState& S, const TSettingValue& V) { S.System().RunOnce = Flag(V); }},
    {"SunTime", TKind::Flag, 1, [](TSettingsState& S) -> TSettingValue { return S.System().SunTime; },
     [](TSettingsState& S, const TSettingValue& V) { S.System().SunTime = Flag(V); }},
    {"TimeServer", TKind::Text, 0, [](TSettingsState& S) -> TSettingValue { return S.System().TimeServer; },
     [](TSettingsState& S, const TSettingValue& V) { S.System().TimeServer = Text(V); }},
    // "User" holds the proxy server, not the proxy user, which is never stored.
    {"User", TKind::Text, 0,
     [](TSettingsState& S) -> TSettingValue { return S.System().Connection.ProxyServer(); },
     [](TSettingsState& S, const TSettingValue& V) { S.System().Connection.SetProxyServer(Text(V)); }},
    {"Pass", TKind::Text, 0,
     [](TSettingsState& S) -> TSettingValue { return S.System().Connection.ProxyPass(); },
     [](TSettingsState& S, const TSettingValue& V) { S.System().Connection.SetProxyPass(Text(V)); }},
    {"Port", TKind::Text, 0,
     [](TSettingsState& S) -> TSettingValue { return S.System().Connection.ProxyPort(); },
     [](TSettingsState& S, const TSettingValue& V) { S.System().Connection.SetProxyPort(Text(V)); }},
    {"UF", TKind::Text, 0, [](TSettingsState& S) -> TSettingValue { return S.System().UF; },
     [](TSettingsState& S, const TSettingValue& V) { S.System().UF = Text(V); }},
}};

} // namespace

std::span<const TSetting> ClockSettings()
{
    return Settings;
}

const TSetting* FindSetting(const std::string& Name)
{
    for (const TSetting& Setting : Settings)
        if (::strcasecmp(Setting.Name, Name.c_str()) == 0)
            return &Setting;
    return nullptr;
}
