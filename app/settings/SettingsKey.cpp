#include "SettingsKey.h"

#include <charconv>
#include <cstring>

using Platform::TRegistryType;
using Platform::TRegistryValue;

namespace {

bool HasType(const TRegistryValue& Value, TRegistryType Type)
{
    return Value.Type == static_cast<std::uint32_t>(Type);
}

// Decimal digits with an optional sign and nothing else; anything else is "no number".
bool ParseInteger(const std::string& Text, std::int64_t& Result)
{
    const char* First = Text.data();
    const char* Last = First + Text.size();
    if (First != Last && *First == '+')
        ++First;
    const auto [End, Error] = std::from_chars(First, Last, Result);
    return Error == std::errc() && End == Last && First != Last;
}

} // namespace

TSettingsKey::TSettingsKey(std::unique_ptr<Platform::TRegistryKey> Key) : FKey(std::move(Key)) {}

std::int64_t TSettingsKey::ReadInteger(const std::string& Name, std::int64_t Default) const
{
    const auto Value = FKey->QueryValue(Name);
    if (!Value)
        return Default;
    if (!Value->IsText())
        throw ESettingsReadError("\"" + Name + "\" is not stored as text", true);
    std::int64_t Result = 0;
    return ParseInteger(Value->AsText(), Result) ? Result : Default;
}

bool TSettingsKey::ReadFlag(const std::string& Name, bool Default) const
{
    return ReadInteger(Name, Default ? 1 : 0) != 0;
}

double TSettingsKey::ReadFloat(const std::string& Name) const
{
    const auto Value = FKey->QueryValue(Name);
    if (!Value)
        throw ESettingsReadError("\"" + Name + "\" is missing", false);
    if (!HasType(*Value, TRegistryType::Binary) || Value->Data.size() != sizeof(double))
        throw ESettingsReadError("\"" + Name + "\" is not an 8-byte binary value", true);
    double Result = 0;
    std::memcpy(&Result, Value->Data.data(), sizeof Result);
    return Result;
}

std::string TSettingsKey::ReadText(const std::string& Name) const
{
    const auto Value = FKey->QueryValue(Name);
    if (!Value)
        return {};
    if (!Value->IsText())
        throw ESettingsReadError("\"" + Name + "\" is not stored as text", true);
    return Value->AsText();
}

TRegistryValue TSettingsKey::IntegerValue(std::int64_t Value)
{
    return TRegistryValue::FromString(std::to_string(Value));
}

TRegistryValue TSettingsKey::FlagValue(bool Value)
{
    return IntegerValue(Value ? 1 : 0);
}

TRegistryValue TSettingsKey::FloatValue(double Value)
{
    return TRegistryValue::FromBinary(&Value, sizeof Value);
}

TRegistryValue TSettingsKey::TextValue(const std::string& Value)
{
    return TRegistryValue::FromString(Value);
}

void TSettingsKey::WriteInteger(const std::string& Name, std::int64_t Value)
{
    FKey->SetValue(Name, IntegerValue(Value));
}

void TSettingsKey::WriteFlag(const std::string& Name, bool Value)
{
    FKey->SetValue(Name, FlagValue(Value));
}

void TSettingsKey::WriteFloat(const std::string& Name, double Value)
{
    FKey->SetValue(Name, FloatValue(Value));
}

void TSettingsKey::WriteText(const std::string& Name, const std::string& Value)
{
    FKey->SetValue(Name, TextValue(Value));
}

void TSettingsKey::DeleteValue(const std::string& Name)
{
    FKey->DeleteValue(Name);
}
