#pragma once

#include "scene/VectorGeometry.h"

namespace Scene {

// Six planes (x, y, z the inward normal, w the offset): a point p is inside a
// plane when x*p.x + y*p.y + z*p.z + w >= 0. The default frustum holds
// everything, so a pass that never set one culls nothing.
struct TFrustum
{
    TVector Left{0, 0, 0, 1};
    TVector Right{0, 0, 0, 1};
    TVector Bottom{0, 0, 0, 1};
    TVector Top{0, 0, 0, 1};
    TVector Near{0, 0, 0, 1};
    TVector Far{0, 0, 0, 1};
};

// The frustum of ModelView * Projection (row-vector order), in the space the
// model-view matrix starts from: world space for the camera's view.
TFrustum ExtractFrustum(const TMatrix& ModelView, const TMatrix& Projection);

bool IsSphereInFrustum(const TVector& Center, float Radius, const TFrustum& Frustum);
// An axis-aligned box given by its two extreme corners. Conservative: a box
// near a frustum corner may be reported inside.
bool IsBoxInFrustum(const TVector& Minimum, const TVector& Maximum, const TFrustum& Frustum);

} // namespace Scene
