#include "scene/GLArrowLine.h"

#include "scene/GLDispatch.h"

#include <algorithm>
#include <cmath>

namespace Scene {

TGLArrowLine::TGLArrowLine()
{
    FBottomRadius = 0.1f;
}

float TGLArrowLine::HeadFactor() const
{
    switch (FHeadStackingStyle) {
    case ahssCentered:
        return 0.5f;
    case ahssIncluded:
        return 1.0f;
    default:
        return 0.0f;
    }
}

TVector TGLArrowLine::HalfExtents() const
{
    const float Radius = std::max({std::fabs(FTopRadius), std::fabs(FBottomRadius),
                                   std::fabs(FTopArrowHeadRadius), std::fabs(FBottomArrowHeadRadius)});
    // Stacked heads reach beyond Height/2 on their side.
    const float Beyond = (1.0f - HeadFactor()) *
                         std::max(FParts.Contains(alTopArrow) ? std::fabs(FTopArrowHeadHeight) : 0.0f,
                                  FParts.Contains(alBottomArrow) ? std::fabs(FBottomArrowHeadHeight) : 0.0f);
    return TVector{Radius, Radius, std::fabs(FHeight) * 0.5f + Beyond, 0};
}

void TGLArrowLine::EmitGeometry(TRenderContextInfo& Context)
{
    (void)Context;
    const TGLDispatch& Gl = GL();
    const float F = HeadFactor();
    const bool Line = FParts.Contains(alLine);
    const bool TopArrow = FParts.Contains(alTopArrow);
    const bool BottomArrow = FParts.Contains(alBottomArrow);
    float Length = FHeight;
    float Start = -FHeight * 0.5f;

    TQuadric Quadric;
    GLUquadric* Q = Quadric.Get();
    SetupQuadricParams(Q);
    if (TopArrow) {
        Gl.glPushMatrix();
        Gl.glTranslatef(0, 0, FHeight * 0.5f - F * FTopArrowHeadHeight);
        Gl.gluCylinder(Q, FTopArrowHeadRadius, 0, FTopArrowHeadHeight, FSlices, FStacks);
        SetInvertedQuadricOrientation(Q);
        Gl.gluDisk(Q, Line ? FTopRadius : 0, FTopArrowHeadRadius, FSlices, FLoops);
        Gl.glPopMatrix();
        Length -= F * FTopArrowHeadHeight;
    }
    if (BottomArrow) {
        Gl.glPushMatrix();
        Gl.glRotatef(180, 1, 0, 0);
        Gl.glTranslatef(0, 0, FHeight * 0.5f - F * FBottomArrowHeadHeight);
        SetNormalQuadricOrientation(Q);
        Gl.gluCylinder(Q, FBottomArrowHeadRadius, 0, FBottomArrowHeadHeight, FSlices, FStacks);
        SetInvertedQuadricOrientation(Q);
        Gl.gluDisk(Q, Line ? FBottomRadius : 0, FBottomArrowHeadRadius, FSlices, FLoops);
        Gl.glPopMatrix();
        Start += F * FBottomArrowHeadHeight;
        Length -= F * FBottomArrowHeadHeight;
    }
    if (Line && Length > 0) {
        Gl.glPushMatrix();
        Gl.glTranslatef(0, 0, Start);
        SetNormalQuadricOrientation(Q);
        Gl.gluCylinder(Q, FBottomRadius, FTopRadius, Length, FSlices, FStacks);
        if (!TopArrow) {
            Gl.glPushMatrix();
            Gl.glTranslatef(0, 0, Length);
            Gl.gluDisk(Q, 0, FTopRadius, FSlices, FLoops);
            Gl.glPopMatrix();
        }
        if (!BottomArrow) {
            SetInvertedQuadricOrientation(Q);
            Gl.gluDisk(Q, 0, FBottomRadius, FSlices, FLoops);
        }
        Gl.glPopMatrix();
    }
}

} // namespace Scene
