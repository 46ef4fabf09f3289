#include "scene/GLStateCache.h"

#include "scene/GLDispatch.h"

#include <cstring>

#ifndef GL_TEXTURE_CUBE_MAP
#define GL_TEXTURE_CUBE_MAP 0x8513
#endif
#ifndef GL_TEXTURE_RECTANGLE
#define GL_TEXTURE_RECTANGLE 0x84F5
#endif

namespace Scene {

TGLStateCache::TGLStateCache() : FStates{stDither}
{
    ForgetColors();
    FTextures.fill(UnknownTexture);
}

GLenum TGLStateCache::StateToGLEnum(TGLState State)
{
    static constexpr GLenum Enums[] = {
        GL_ALPHA_TEST,       GL_AUTO_NORMAL,       GL_BLEND,          GL_COLOR_MATERIAL,
        GL_CULL_FACE,        GL_DEPTH_TEST,        GL_DITHER,         GL_FOG,
        GL_LIGHTING,         GL_LINE_SMOOTH,       GL_LINE_STIPPLE,   GL_COLOR_LOGIC_OP,
        GL_NORMALIZE,        GL_POINT_SMOOTH,      GL_POLYGON_SMOOTH, GL_POLYGON_STIPPLE,
        GL_SCISSOR_TEST,     GL_STENCIL_TEST,      GL_TEXTURE_1D,     GL_TEXTURE_2D,
        GL_TEXTURE_CUBE_MAP, GL_TEXTURE_RECTANGLE,
    };
    static_assert(sizeof Enums / sizeof Enums[0] == stTextureRect + 1);
    return Enums[State];
}

void TGLStateCache::Enable(TGLState State)
{
    if (FStates.Contains(State))
        return;
    FStates.Include(State);
    GL().glEnable(StateToGLEnum(State));
}

void TGLStateCache::Disable(TGLState State)
{
    if (!FStates.Contains(State))
        return;
    FStates.Exclude(State);
    GL().glDisable(StateToGLEnum(State));
}

void TGLStateCache::SetEnabled(TGLState State, bool Enabled)
{
    if (Enabled)
        Enable(State);
    else
        Disable(State);
}

void TGLStateCache::SetFrontFace(GLenum Mode)
{
    if (Mode == FFrontFace)
        return;
    FFrontFace = Mode;
    GL().glFrontFace(Mode);
}

void TGLStateCache::SetMaterialColors(GLenum Face, const TVector& Emission, const TVector& Ambient,
                                      const TVector& Diffuse, const TVector& Specular, int Shininess)
{
    TFaceState& State = FFaces[FaceIndex(Face)];
    if (State.Shininess != Shininess) {
        State.Shininess = Shininess;
        GL().glMateriali(Face, GL_SHININESS, Shininess);
    }
    const auto Send = [Face](TVector& Remembered, const TVector& Value, GLenum Name) {
        if (Remembered == Value)
            return;
        Remembered = Value;
        GL().glMaterialfv(Face, Name, Value.Data());
    };
    Send(State.Emission, Emission, GL_EMISSION);
    Send(State.Ambient, Ambient, GL_AMBIENT);
    Send(State.Diffuse, Diffuse, GL_DIFFUSE);
    Send(State.Specular, Specular, GL_SPECULAR);
}

void TGLStateCache::SetMaterialAlphaChannel(GLenum Face, float Alpha)
{
    TFaceState& State = FFaces[FaceIndex(Face)];
    if (State.Diffuse.W == Alpha)
        return;
    State.Diffuse.W = Alpha;
    GL().glMaterialfv(Face, GL_DIFFUSE, State.Diffuse.Data());
}

void TGLStateCache::SetPolygonMode(GLenum Face, GLenum Mode)
{
    if (Face == GL_FRONT_AND_BACK) {
        if (FFaces[0].PolygonMode == Mode && FFaces[1].PolygonMode == Mode)
            return;
        FFaces[0].PolygonMode = FFaces[1].PolygonMode = Mode;
        GL().glPolygonMode(GL_FRONT_AND_BACK, Mode);
        return;
    }
    TFaceState& State = FFaces[FaceIndex(Face)];
    if (State.PolygonMode == Mode)
        return;
    State.PolygonMode = Mode;
    GL().glPolygonMode(Face, Mode);
}

void TGLStateCache::SetTexture(int Unit, GLenum Target, GLuint Handle)
{
    if (Unit < 0 || Unit >= TextureUnitCount || FTextures[Unit] == Handle)
        return;
    FTextures[Unit] = Handle;
    if (Unit != 0)
        GL().glActiveTexture(GL_TEXTURE0 + Unit);
    GL().glBindTexture(Target, Handle);
    if (Unit != 0)
        GL().glActiveTexture(GL_TEXTURE0);
}

void TGLStateCache::ForgetColors()
{
    for (TFaceState& State : FFaces) {
        // Byte 127 throughout reads about 3.39e38: no real colour equals it.
        std::memset(State.Emission.Data(), 127, sizeof(TVector));
        std::memset(State.Ambient.Data(), 127, sizeof(TVector));
        std::memset(State.Diffuse.Data(), 127, sizeof(TVector));
        std::memset(State.Specular.Data(), 127, sizeof(TVector));
        State.Shininess = 0;
    }
}

void TGLStateCache::Reset()
{
    for (TFaceState& State : FFaces)
        State.PolygonMode = 0;
    static constexpr TVector Ambient{0.2f, 0.2f, 0.2f, 1};
    static constexpr TVector Diffuse{0.8f, 0.8f, 0.8f, 1};
    static constexpr TVector Black{0, 0, 0, 1};
    GL().glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT, Ambient.Data());
    GL().glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, Diffuse.Data());
    GL().glMaterialfv(GL_FRONT_AND_BACK, GL_SPECULAR, Black.Data());
    GL().glMaterialfv(GL_FRONT_AND_BACK, GL_EMISSION, Black.Data());
    GL().glMateriali(GL_FRONT_AND_BACK, GL_SHININESS, 0);
    ForgetColors();
    FTextures.fill(UnknownTexture);
    FFrontFace = GL_CCW;
    GL().glFrontFace(GL_CCW);
}

} // namespace Scene
