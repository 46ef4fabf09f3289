#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <variant>

class TGMT_System;

// Where the settings live, written once.
inline constexpr const char* SettingsKeyPath = "Software\\Zentavo-3D\\geovalues";
inline constexpr const char* RunKeyPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const char* RunValueName = "ZENTAVO.EXE";

enum class TSettingKind
{
    Integer,
    Flag,
    Float, // dates too: 8 raw bytes, with no default
    Text,
};

using TSettingValue = std::variant<std::int64_t, bool, double, std::string>;

// The window and scene state the settings hold besides the clock's record.
class TSettingsState
{
public:
    virtual ~TSettingsState() = default;
    virtual TGMT_System& System() = 0;
    virtual int Top() const = 0;
    virtual void SetTop(int Value) = 0;
    virtual int Left() const = 0;
    virtual void SetLeft(int Value) = 0;
    virtual int Alpha() const = 0;
    virtual void SetAlpha(int Value) = 0;
    virtual double Pitch() const = 0;
    virtual void SetPitch(double Value) = 0;
    virtual double Roll() const = 0;
    virtual void SetRoll(double Value) = 0;
    virtual double Turn() const = 0;
    virtual void SetTurn(double Value) = 0;
    virtual bool SumLight() const = 0;
    virtual void SetSumLight(bool Value) = 0;
    virtual double FocalLength() const = 0;
    virtual void SetFocalLength(double Value) = 0;
};

// One stored value: its name, its kind, its default (integers and flags) and
// how it reaches the state.
struct TSetting
{
    const char* Name;
    TSettingKind Kind;
    std::int64_t Default;
    TSettingValue (*Get)(TSettingsState& State);
    void (*Set)(TSettingsState& State, const TSettingValue& Value);
};

// Every stored value in the order the load reads them.
std::span<const TSetting> ClockSettings();
const TSetting* FindSetting(const std::string& Name);
