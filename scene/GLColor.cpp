#include "scene/GLColor.h"

#include <bit>
#include <cstring>

namespace Scene {

static_assert(std::endian::native == std::endian::little, "the stored colour form is little-endian");

TVector ConvertWinColor(std::uint32_t Color, float Alpha)
{
    return TVector{float(Color & 0xFF) / 255.0f, float((Color >> 8) & 0xFF) / 255.0f,
                   float((Color >> 16) & 0xFF) / 255.0f, Alpha};
}

std::array<std::uint8_t, 16> TGLColor::AsBytes() const
{
    std::array<std::uint8_t, 16> Bytes{};
    std::memcpy(Bytes.data(), FValue.Data(), Bytes.size());
    return Bytes;
}

void TGLColor::SetFromBytes(const std::array<std::uint8_t, 16>& Bytes)
{
    TVector Value;
    std::memcpy(Value.Data(), Bytes.data(), Bytes.size());
    Store(Value);
}

} // namespace Scene
