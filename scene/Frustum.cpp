#include "scene/Frustum.h"

#include <cmath>
#include <initializer_list>

namespace Scene {
namespace {

TVector Column(const TMatrix& M, int Index)
{
    const float* Data = M.Data();
    return TVector{Data[Index], Data[4 + Index], Data[8 + Index], Data[12 + Index]};
}

TVector Plane(const TVector& A, const TVector& B, float Sign)
{
    TVector P{A.X + Sign * B.X, A.Y + Sign * B.Y, A.Z + Sign * B.Z, A.W + Sign * B.W};
    const float Length = std::sqrt(P.X * P.X + P.Y * P.Y + P.Z * P.Z);
    if (Length > 0)
        P = TVector{P.X / Length, P.Y / Length, P.Z / Length, P.W / Length};
    return P;
}

float Distance(const TVector& Plane, const TVector& Point)
{
    return Plane.X * Point.X + Plane.Y * Point.Y + Plane.Z * Point.Z + Plane.W;
}

} // namespace

TFrustum ExtractFrustum(const TMatrix& ModelView, const TMatrix& Projection)
{
    // With row vectors, clip = p * (ModelView * Projection); each clip
    // coordinate is p dotted with one column.
    const TMatrix Combined = MatrixMultiply(ModelView, Projection);
    const TVector X = Column(Combined, 0);
    const TVector Y = Column(Combined, 1);
    const TVector Z = Column(Combined, 2);
    const TVector W = Column(Combined, 3);
    TFrustum F;
    F.Left = Plane(W, X, 1);
    F.Right = Plane(W, X, -1);
    F.Bottom = Plane(W, Y, 1);
    F.Top = Plane(W, Y, -1);
    F.Near = Plane(W, Z, 1);
    F.Far = Plane(W, Z, -1);
    return F;
}

bool IsSphereInFrustum(const TVector& Center, float Radius, const TFrustum& Frustum)
{
    for (const TVector* P :
         {&Frustum.Left, &Frustum.Right, &Frustum.Bottom, &Frustum.Top, &Frustum.Near, &Frustum.Far})
        if (Distance(*P, Center) < -Radius)
            return false;
    return true;
}

bool IsBoxInFrustum(const TVector& Minimum, const TVector& Maximum, const TFrustum& Frustum)
{
    for (const TVector* P :
         {&Frustum.Left, &Frustum.Right, &Frustum.Bottom, &Frustum.Top, &Frustum.Near, &Frustum.Far}) {
        // The corner farthest along the plane's normal decides.
        const TVector Corner{P->X >= 0 ? Maximum.X : Minimum.X, P->Y >= 0 ? Maximum.Y : Minimum.Y,
                             P->Z >= 0 ? Maximum.Z : Minimum.Z, 1};
        if (Distance(*P, Corner) < 0)
            return false;
    }
    return true;
}

} // namespace Scene
