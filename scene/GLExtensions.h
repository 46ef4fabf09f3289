#pragma once

#include <string>
#include <string_view>

namespace Scene {

// What the current context offers, read from its version and extension
// strings. Cheap enough to read whenever a texture is built.
class TGLExtensions
{
public:
    static TGLExtensions Read();

    bool VersionAtLeast(int Major, int Minor) const
    {
        return FMajor > Major || (FMajor == Major && FMinor >= Minor);
    }
    bool Has(std::string_view Name) const;

    // GL_CLAMP_TO_EDGE may be used (OpenGL 1.2 or GL_EXT_texture_edge_clamp).
    bool EdgeClamp() const { return VersionAtLeast(1, 2) || Has("GL_EXT_texture_edge_clamp"); }

    // The context is drawn by the CPU (Mesa's llvmpipe, softpipe or swrast).
    // Filtering that is free on a graphics card costs such a context several
    // times a whole frame, and the clock must stay light on a desktop.
    bool SoftwareRasteriser() const { return FSoftwareRasteriser; }

private:
    int FMajor = 0;
    int FMinor = 0;
    std::string FExtensions;
    bool FSoftwareRasteriser = false;
};

} // namespace Scene
