#include "scene/GLCylinder.h"

#include "scene/GLDispatch.h"

#include <algorithm>
#include <cmath>

namespace Scene {

TVector TGLCylinder::HalfExtents() const
{
    // Centred on the origin only with caCenter; the others reach a whole
    // height to one side, so the box covers that.
    const float Radius = std::max(std::fabs(FTopRadius), std::fabs(FBottomRadius));
    const float Half = FAlignment == caCenter ? std::fabs(FHeight) * 0.5f : std::fabs(FHeight);
    return TVector{Radius, Half, Radius, 0};
}

void TGLCylinder::EmitGeometry(TRenderContextInfo& Context)
{
    (void)Context;
    const TGLDispatch& Gl = GL();
    Gl.glPushMatrix();
    {
        TQuadric Quadric;
        GLUquadric* Q = Quadric.Get();
        SetupQuadricParams(Q);
        // GLU draws along its Z axis; ours is Y.
        Gl.glRotatef(-90, 1, 0, 0);
        if (FAlignment == caCenter)
            Gl.glTranslatef(0, 0, -FHeight * 0.5f);
        else if (FAlignment == caTop)
            Gl.glTranslatef(0, 0, -FHeight);
        if (FParts.Contains(cySides))
            Gl.gluCylinder(Q, FBottomRadius, FTopRadius, FHeight, FSlices, FStacks);
        if (FParts.Contains(cyTop)) {
            Gl.glPushMatrix();
            Gl.glTranslatef(0, 0, FHeight);
            Gl.gluDisk(Q, 0, FTopRadius, FSlices, FLoops);
            Gl.glPopMatrix();
        }
        if (FParts.Contains(cyBottom)) {
            SetInvertedQuadricOrientation(Q);
            Gl.gluDisk(Q, 0, FBottomRadius, FSlices, FLoops);
        }
    }
    Gl.glPopMatrix();
}

} // namespace Scene
