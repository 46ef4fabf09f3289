#include "Registry.h"

#include <cstring>

namespace Platform {

TRegistryValue TRegistryValue::FromString(const std::string& Text, TRegistryType Type)
{
    TRegistryValue Value;
    Value.Type = static_cast<std::uint32_t>(Type);
    Value.Data.assign(Text.begin(), Text.end());
    return Value;
}

TRegistryValue TRegistryValue::FromBinary(const void* Bytes, std::size_t Size)
{
    TRegistryValue Value;
    Value.Type = static_cast<std::uint32_t>(TRegistryType::Binary);
    const auto* First = static_cast<const std::uint8_t*>(Bytes);
    Value.Data.assign(First, First + Size);
    return Value;
}

TRegistryValue TRegistryValue::FromDWord(std::uint32_t Number)
{
    TRegistryValue Value;
    Value.Type = static_cast<std::uint32_t>(TRegistryType::DWord);
    Value.Data.resize(sizeof Number);
    for (std::size_t Index = 0; Index < sizeof Number; ++Index)
        Value.Data[Index] = static_cast<std::uint8_t>(Number >> (8 * Index)); // little-endian, as stored
    return Value;
}

bool TRegistryValue::IsText() const
{
    return Type == static_cast<std::uint32_t>(TRegistryType::String) ||
           Type == static_cast<std::uint32_t>(TRegistryType::ExpandString);
}

std::string TRegistryValue::AsText() const
{
    return std::string(Data.begin(), Data.end());
}

} // namespace Platform
