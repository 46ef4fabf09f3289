#include "scene/GLSphere.h"

#include "scene/GLDispatch.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace Scene {

template <typename T> void TGLSphere::Store(T& Field, T Value)
{
    if (Value == Field)
        return;
    Field = Value;
    MarkGeometryChanged();
}

void TGLSphere::SetRadius(float Value)
{
    Store(FRadius, Value);
}

void TGLSphere::SetSlices(int Value)
{
    Store(FSlices, std::max(Value, 1));
}

void TGLSphere::SetStacks(int Value)
{
    Store(FStacks, std::max(Value, 1));
}

void TGLSphere::SetTop(int Value)
{
    Store(FTop, static_cast<std::int8_t>(std::clamp(Value, -90, 90)));
}

void TGLSphere::SetBottom(int Value)
{
    Store(FBottom, static_cast<std::int8_t>(std::clamp(Value, -90, 90)));
}

void TGLSphere::SetStart(int Value)
{
    Store(FStart, static_cast<std::int16_t>(std::clamp(Value, 0, 360)));
}

void TGLSphere::SetStop(int Value)
{
    Store(FStop, static_cast<std::int16_t>(std::clamp(Value, 0, 360)));
}

void TGLSphere::SetTopCap(TCapType Value)
{
    Store(FTopCap, Value);
}

void TGLSphere::SetBottomCap(TCapType Value)
{
    Store(FBottomCap, Value);
}

TVector TGLSphere::HalfExtents() const
{
    const float R = std::fabs(FRadius);
    return TVector{R, R, R, 0};
}

void TGLSphere::EmitCap(float Latitude, bool IsTop, float LongitudeStart, float LongitudeStep) const
{
    const TGLDispatch& Gl = GL();
    const float Sign = NormalDirection() == ndInside ? -1.0f : 1.0f;
    const float Outward = IsTop ? 1.0f : -1.0f;
    const float CosLatitude = std::cos(Latitude);
    const float SinLatitude = std::sin(Latitude);
    const float T = IsTop ? 1.0f : 0.0f;
    const TCapType Type = IsTop ? FTopCap : FBottomCap;
    Gl.glBegin(GL_TRIANGLE_FAN);
    Gl.glTexCoord2f(0.5f, T);
    Gl.glNormal3f(0, Sign * Outward, 0);
    Gl.glVertex3f(0, Type == ctFlat ? SinLatitude : 0.0f, 0);
    // Seen from outside the cap the ring must run counter-clockwise: with
    // growing longitude from above, with falling longitude from below.
    for (int K = 0; K <= FSlices; ++K) {
        const int I = IsTop ? K : FSlices - K;
        const float Longitude = LongitudeStart + static_cast<float>(I) * LongitudeStep;
        const float SinLongitude = std::sin(Longitude);
        const float CosLongitude = std::cos(Longitude);
        Gl.glTexCoord2f(static_cast<float>(I) / static_cast<float>(FSlices), T);
        if (Type == ctFlat)
            Gl.glNormal3f(0, Sign * Outward, 0);
        else // the cone from the centre: perpendicular to the ray, away from the body
            Gl.glNormal3f(-Sign * Outward * SinLatitude * SinLongitude, Sign * Outward * CosLatitude,
                          -Sign * Outward * SinLatitude * CosLongitude);
        Gl.glVertex3f(SinLongitude * CosLatitude, SinLatitude, CosLongitude * CosLatitude);
    }
    Gl.glEnd();
}

void TGLSphere::EmitGeometry(TRenderContextInfo& Context)
{
    (void)Context;
    const TGLDispatch& Gl = GL();
    const bool Inside = NormalDirection() == ndInside;
    const float Sign = Inside ? -1.0f : 1.0f;
    Gl.glPushAttrib(GL_POLYGON_BIT);
    if (Inside)
        Gl.glFrontFace(GL_CW); // the buffer keeps counter-clockwise; the attribute pop restores it

    const float Top = DegreesToRadians(FTop);
    const float Bottom = DegreesToRadians(FBottom);
    const float Start = DegreesToRadians(FStart);
    const float Stop = DegreesToRadians(FStop);
    const float LongitudeStep = (Stop - Start) / static_cast<float>(FSlices);
    const float LatitudeStep = (Top - Bottom) / static_cast<float>(FStacks);

    Gl.glPushMatrix();
    Gl.glScalef(FRadius, FRadius, FRadius);

    if (FTop < 90 && (FTopCap == ctCenter || FTopCap == ctFlat))
        EmitCap(Top, true, Start, LongitudeStep);

    // Longitudes are shared by every strip.
    std::vector<float> SinLongitude(FSlices + 1);
    std::vector<float> CosLongitude(FSlices + 1);
    std::vector<float> S(FSlices + 1);
    for (int I = 0; I <= FSlices; ++I) {
        const float Longitude = Start + static_cast<float>(I) * LongitudeStep;
        SinLongitude[I] = std::sin(Longitude);
        CosLongitude[I] = std::cos(Longitude);
        S[I] = static_cast<float>(I) / static_cast<float>(FSlices);
    }
    for (int J = 0; J < FStacks; ++J) {
        const float Upper = Top - static_cast<float>(J) * LatitudeStep;
        const float Lower = Upper - LatitudeStep;
        const float CosUpper = std::cos(Upper);
        const float SinUpper = std::sin(Upper);
        const float CosLower = std::cos(Lower);
        const float SinLower = std::sin(Lower);
        const float TUpper = 1.0f - static_cast<float>(J) / static_cast<float>(FStacks);
        const float TLower = 1.0f - static_cast<float>(J + 1) / static_cast<float>(FStacks);
        Gl.glBegin(GL_TRIANGLE_STRIP);
        for (int I = 0; I <= FSlices; ++I) {
            const float X1 = SinLongitude[I] * CosUpper;
            const float Z1 = CosLongitude[I] * CosUpper;
            Gl.glTexCoord2f(S[I], TUpper);
            Gl.glNormal3f(Sign * X1, Sign * SinUpper, Sign * Z1);
            Gl.glVertex3f(X1, SinUpper, Z1);
            const float X2 = SinLongitude[I] * CosLower;
            const float Z2 = CosLongitude[I] * CosLower;
            Gl.glTexCoord2f(S[I], TLower);
            Gl.glNormal3f(Sign * X2, Sign * SinLower, Sign * Z2);
            Gl.glVertex3f(X2, SinLower, Z2);
        }
        Gl.glEnd();
    }

    if (FBottom > -90 && (FBottomCap == ctCenter || FBottomCap == ctFlat))
        EmitCap(Bottom, false, Start, LongitudeStep);

    Gl.glPopMatrix();
    Gl.glPopAttrib();
}

} // namespace Scene
