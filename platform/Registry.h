#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace Platform {

// Value types, numbered as the registry numbers them so that stored files
// written elsewhere keep their meaning.
enum class TRegistryType : std::uint32_t
{
    None = 0,
    String = 1,       // REG_SZ
    ExpandString = 2, // REG_EXPAND_SZ
    Binary = 3,       // REG_BINARY
    DWord = 4,        // REG_DWORD
};

// A value as the store holds it: its type and its raw bytes. Texts are held
// as their characters (UTF-8, no terminator); the file form decides how they
// are written out.
struct TRegistryValue
{
    std::uint32_t Type = 0;
    std::vector<std::uint8_t> Data;

    static TRegistryValue FromString(const std::string& Text, TRegistryType Type = TRegistryType::String);
    static TRegistryValue FromBinary(const void* Bytes, std::size_t Size);
    static TRegistryValue FromDWord(std::uint32_t Number);
    bool IsText() const;
    std::string AsText() const;

    friend bool operator==(const TRegistryValue&, const TRegistryValue&) = default;
};

class ERegistryError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// One open key. Every change is written through to the store before the call
// returns; a failed write throws ERegistryError and leaves the store as it was.
class TRegistryKey
{
public:
    virtual ~TRegistryKey() = default;
    virtual std::optional<TRegistryValue> QueryValue(const std::string& Name) const = 0;
    virtual void SetValue(const std::string& Name, const TRegistryValue& Value) = 0;
    // False when there was no such value (which is no error).
    virtual bool DeleteValue(const std::string& Name) = 0;
};

// One change of a transaction: Value set, or the value deleted when Value is
// empty (a missing value is no error). The key is created when missing.
struct TRegistryChange
{
    std::string Path;
    std::string Name;
    std::optional<TRegistryValue> Value;
};

// The registry of the current user. Paths are relative to HKEY_CURRENT_USER,
// with backslashes: "Software\\Zentavo-3D\\geovalues".
class TRegistry
{
public:
    virtual ~TRegistry() = default;
    // Opens the key with full access, creating it (and its parents) when missing.
    virtual std::unique_ptr<TRegistryKey> CreateKey(const std::string& Path) = 0;
    // Opens an existing key; null when it does not exist.
    virtual std::unique_ptr<TRegistryKey> OpenKey(const std::string& Path) = 0;
    // All of Changes at once: afterwards the store holds every one of them or,
    // when this throws ERegistryError, none.
    virtual void Apply(const std::vector<TRegistryChange>& Changes) = 0;
    // Keeps a copy of the store as it is now beside it, for when the next
    // change would overwrite values that could not be read. The copy's path,
    // empty when there was no store to copy.
    virtual std::string KeepCopy() = 0;
};

} // namespace Platform
