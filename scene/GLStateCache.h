#pragma once

#include "scene/GLSceneTypes.h"
#include "scene/VectorGeometry.h"

#include <array>
#include <cstdint>
#include <GL/gl.h>

namespace Scene {

// OpenGL capabilities the cache tracks, one bit each, in this order.
enum TGLState : std::uint8_t
{
    stAlphaTest,
    stAutoNormal,
    stBlend,
    stColorMaterial,
    stCullFace,
    stDepthTest,
    stDither,
    stFog,
    stLighting,
    stLineSmooth,
    stLineStipple,
    stLogicOp,
    stNormalize,
    stPointSmooth,
    stPolygonSmooth,
    stPolygonStipple,
    stScissorTest,
    stStencilTest,
    stTexture1D,
    stTexture2D,
    stTextureCubeMap,
    stTextureRect,
};

using TGLStates = TSet<TGLState>;

// Remembers the OpenGL state the scene sets and skips every call that would
// change nothing. Everything the traversal and the materials enable or
// disable goes through it, so it stays in step with the context.
class TGLStateCache
{
public:
    static constexpr int TextureUnitCount = 8;

    // Starts from the context defaults: everything off except GL_DITHER.
    TGLStateCache();

    static GLenum StateToGLEnum(TGLState State);

    void Enable(TGLState State);
    void Disable(TGLState State);
    void SetEnabled(TGLState State, bool Enabled);
    bool IsEnabled(TGLState State) const { return FStates.Contains(State); }
    TGLStates States() const { return FStates; }

    // GL_CW or GL_CCW.
    void SetFrontFace(GLenum Mode);
    GLenum FrontFace() const { return FFrontFace; }

    // Face is GL_FRONT or GL_BACK. Sends shininess, emission, ambient,
    // diffuse, specular in this order, each only when it differs from the
    // last one sent to that face.
    void SetMaterialColors(GLenum Face, const TVector& Emission, const TVector& Ambient,
                           const TVector& Diffuse, const TVector& Specular, int Shininess);
    // Changes the alpha of the face's last diffuse colour and sends that colour again.
    void SetMaterialAlphaChannel(GLenum Face, float Alpha);
    const TVector& MaterialDiffuse(GLenum Face) const { return FFaces[FaceIndex(Face)].Diffuse; }

    // Face is GL_FRONT, GL_BACK or GL_FRONT_AND_BACK; Mode GL_FILL, GL_LINE or GL_POINT.
    void SetPolygonMode(GLenum Face, GLenum Mode);

    // Binds only when the unit's remembered object differs.
    void SetTexture(int Unit, GLenum Target, GLuint Handle);
    // UnknownTexture after a reset.
    GLuint Texture(int Unit) const { return FTextures[Unit]; }
    static constexpr GLuint UnknownTexture = ~GLuint{0};
    // After code that bound textures behind the cache's back: the next
    // SetTexture on every unit binds again.
    void ForgetTextureBindings() { FTextures.fill(UnknownTexture); }

    // Start of every scene render: forgets polygon modes and bound textures,
    // sends the default material to both faces and makes the next colour of
    // each kind go out, sets the front face to counter-clockwise.
    void Reset();

private:
    struct TFaceState
    {
        TVector Emission;
        TVector Ambient;
        TVector Diffuse;
        TVector Specular;
        int Shininess = 0;
        GLenum PolygonMode = 0; // 0: unknown
    };

    static int FaceIndex(GLenum Face) { return Face == GL_BACK ? 1 : 0; }
    void ForgetColors();

    TGLStates FStates;
    GLenum FFrontFace = GL_CCW;
    std::array<TFaceState, 2> FFaces;
    std::array<GLuint, TextureUnitCount> FTextures;
};

} // namespace Scene
