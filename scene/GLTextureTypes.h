#pragma once

#include <cstdint>
#include <GL/gl.h>

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

// The texture parameter values of the filters, shared by every texture upload.
inline GLint MinFilterToGL(TGLMinFilter Filter)
{
    switch (Filter) {
    case miNearest:
        return GL_NEAREST;
    case miLinear:
        return GL_LINEAR;
    case miNearestMipmapNearest:
        return GL_NEAREST_MIPMAP_NEAREST;
    case miLinearMipmapNearest:
        return GL_LINEAR_MIPMAP_NEAREST;
    case miNearestMipmapLinear:
        return GL_NEAREST_MIPMAP_LINEAR;
    case miLinearMipmapLinear:
        break;
    }
    return GL_LINEAR_MIPMAP_LINEAR;
}

inline GLint MagFilterToGL(TGLMagFilter Filter)
{
    return Filter == maNearest ? GL_NEAREST : GL_LINEAR;
}

} // namespace Scene
