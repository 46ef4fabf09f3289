#include "scene/GLSprite.h"

#include "scene/GLDispatch.h"
#include "scene/GLStateCache.h"
#include "scene/RenderContextInfo.h"

#include <algorithm>
#include <cmath>

namespace Scene {

TGLSprite::TGLSprite()
{
    FObjectStyle.Include(TGLObjectStyle::DirectDraw);
    FObjectStyle.Include(TGLObjectStyle::NoVisibilityCulling);
}

void TGLSprite::SetAlphaChannel(float Value)
{
    Store(FAlphaChannel, std::clamp(Value, 0.0f, 1.0f));
}

TVector TGLSprite::HalfExtents() const
{
    return TVector{std::fabs(FWidth) * 0.5f, std::fabs(FHeight) * 0.5f, std::fabs(FWidth) * 0.5f, 0};
}

void TGLSprite::EmitGeometry(TRenderContextInfo& Context)
{
    const TGLDispatch& Gl = GL();
    if (FAlphaChannel != 1 && Context.StateCache)
        Context.StateCache->SetMaterialAlphaChannel(GL_FRONT, FAlphaChannel);
    if (FNoZWrite)
        Gl.glDepthMask(GL_FALSE);

    float M[16];
    Gl.glGetFloatv(GL_MODELVIEW_MATRIX, M);
    // The viewer's right and up directions in this object's coordinates.
    TVector Right{M[0], M[4], M[8], 0};
    TVector Up{M[1], M[5], M[9], 0};
    const float RightLength = VectorLength(Right);
    const float UpLength = VectorLength(Up);
    Right = RightLength > 0 ? VectorScale(Right, FWidth * 0.5f / RightLength) : TVector{};
    Up = UpLength > 0 ? VectorScale(Up, FHeight * 0.5f / UpLength) : TVector{};

    const float URight = FMirrorU ? 0.0f : 1.0f;
    const float ULeft = 1.0f - URight;
    const float VTop = FMirrorV ? 0.0f : 1.0f;
    const float VBottom = 1.0f - VTop;

    if (FRotation != 0) {
        Gl.glPushMatrix();
        Gl.glRotatef(FRotation, M[2], M[6], M[10]);
    }
    Gl.glBegin(GL_QUADS);
    Gl.glTexCoord2f(URight, VTop);
    Gl.glVertex3f(Right.X + Up.X, Right.Y + Up.Y, Right.Z + Up.Z);
    Gl.glTexCoord2f(ULeft, VTop);
    Gl.glVertex3f(Up.X - Right.X, Up.Y - Right.Y, Up.Z - Right.Z);
    Gl.glTexCoord2f(ULeft, VBottom);
    Gl.glVertex3f(-Right.X - Up.X, -Right.Y - Up.Y, -Right.Z - Up.Z);
    Gl.glTexCoord2f(URight, VBottom);
    Gl.glVertex3f(Right.X - Up.X, Right.Y - Up.Y, Right.Z - Up.Z);
    Gl.glEnd();
    if (FRotation != 0)
        Gl.glPopMatrix();
    if (FNoZWrite)
        Gl.glDepthMask(GL_TRUE);
}

} // namespace Scene
