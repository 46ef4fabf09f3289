#pragma once

#include <cstdint>

namespace Scene {

// How the alpha byte of every texel is made from the picture.
enum TGLTextureImageAlpha : std::uint8_t
{
    tiaDefault,
    tiaAlphaFromIntensity,
    tiaSuperBlackTransparent,
    tiaLuminance,
    tiaLuminanceSqrt,
    tiaOpaque,
    tiaTopLeftPointColorTransparent,
    tiaInverseLuminance,
    tiaInverseLuminanceSqrt,
};

enum TGLMagFilter : std::uint8_t
{
    maNearest,
    maLinear,
};

enum TGLMinFilter : std::uint8_t
{
    miNearest,
    miLinear,
    miNearestMipmapNearest,
    miLinearMipmapNearest,
    miNearestMipmapLinear,
    miLinearMipmapLinear,
};

} // namespace Scene
