#pragma once

#include "platform/Registry.h"

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>

// A stored value that exists in a form its kind cannot read.
class ESettingsReadError : public std::runtime_error
{
public:
    // Stored, but in a form its kind cannot read (rather than missing).
    ESettingsReadError(const std::string& Message, bool Misformed)
        : std::runtime_error(Message), FMisformed(Misformed)
    {}
    bool Misformed() const { return FMisformed; }

private:
    bool FMisformed;
};

// The clock's value kinds over one registry key: integers and flags as
// decimal text, floats and date-times as 8 raw bytes, texts as text.
class TSettingsKey
{
public:
    explicit TSettingsKey(std::unique_ptr<Platform::TRegistryKey> Key);

    // A missing value or text that does not parse gives Default; another
    // registry type is a read failure.
    std::int64_t ReadInteger(const std::string& Name, std::int64_t Default) const;
    bool ReadFlag(const std::string& Name, bool Default) const;
    // No default: anything but exactly 8 bytes of binary is a read failure.
    double ReadFloat(const std::string& Name) const;
    // Missing gives the empty text.
    std::string ReadText(const std::string& Name) const;

    // The stored forms, for a transaction of many values.
    static Platform::TRegistryValue IntegerValue(std::int64_t Value);
    static Platform::TRegistryValue FlagValue(bool Value);
    static Platform::TRegistryValue FloatValue(double Value);
    static Platform::TRegistryValue TextValue(const std::string& Value);

    void WriteInteger(const std::string& Name, std::int64_t Value);
    void WriteFlag(const std::string& Name, bool Value);
    void WriteFloat(const std::string& Name, double Value);
    void WriteText(const std::string& Name, const std::string& Value);
    void DeleteValue(const std::string& Name);

private:
    std::unique_ptr<Platform::TRegistryKey> FKey;
};
