#pragma once

#include <cstdint>

namespace Scene {

// The enumerations of a texture, every value in its stored order (the scene
// sets only some of them; the others must still read and store).

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

enum TGLTextureMode : std::uint8_t
{
    tmDecal,
    tmModulate,
    tmBlend,
    tmReplace,
};

enum TGLTextureWrap : std::uint8_t
{
    twBoth,
    twNone,
    twVertical,
    twHorizontal,
};

enum TGLTextureFormat : std::uint8_t
{
    tfDefault,
    tfRGB,
    tfRGBA,
    tfRGB16,
    tfRGBA16,
    tfAlpha,
    tfLuminance,
    tfLuminanceAlpha,
    tfIntensity,
    tfNormalMap,
    tfRGBAFloat16,
    tfRGBAFloat32,
};

enum TGLTextureCompression : std::uint8_t
{
    tcDefault,
    tcNone,
    tcStandard,
    tcHighQuality,
    tcHighSpeed,
};

enum TGLTextureFilteringQuality : std::uint8_t
{
    tfIsotropic,
    tfAnisotropic,
};

enum TGLTextureMappingMode : std::uint8_t
{
    tmmUser,
    tmmObjectLinear,
    tmmEyeLinear,
    tmmSphere,
    tmmCubeMapReflection,
    tmmCubeMapNormal,
    tmmCubeMapLight0,
    tmmCubeMapCamera,
};

// Filters that read mipmap levels.
inline bool IsMipmapped(TGLMinFilter Filter)
{
    return Filter != miNearest && Filter != miLinear;
}

} // namespace Scene
