#include "scene/Frustum.h"

#include <gtest/gtest.h>

using namespace Scene;

namespace {

// An orthographic box x, y in -1..1, z (eye space, looking down -Z) from -1 to -10.
TMatrix OrthoProjection()
{
    TMatrix M;
    M[0] = TVector{1, 0, 0, 0};
    M[1] = TVector{0, 1, 0, 0};
    M[2] = TVector{0, 0, -2.0f / 9.0f, 0};
    M[3] = TVector{0, 0, -11.0f / 9.0f, 1};
    return M;
}

} // namespace

TEST(Frustum, DefaultFrustumHoldsEverything)
{
    const TFrustum Everything;
    EXPECT_TRUE(IsSphereInFrustum(TVector{1e6f, -1e6f, 1e6f, 1}, 0, Everything));
    EXPECT_TRUE(IsBoxInFrustum(TVector{1e6f, 1e6f, 1e6f, 1}, TVector{2e6f, 2e6f, 2e6f, 1}, Everything));
}

TEST(Frustum, SpheresInsideTouchingAndOutside)
{
    const TFrustum F = ExtractFrustum(IdentityMatrix(), OrthoProjection());
    EXPECT_TRUE(IsSphereInFrustum(TVector{0, 0, -5, 1}, 0.1f, F));
    EXPECT_TRUE(IsSphereInFrustum(TVector{1.5f, 0, -5, 1}, 0.6f, F));
    EXPECT_FALSE(IsSphereInFrustum(TVector{1.5f, 0, -5, 1}, 0.4f, F));
    EXPECT_FALSE(IsSphereInFrustum(TVector{0, 0, 1, 1}, 0.5f, F));
    EXPECT_FALSE(IsSphereInFrustum(TVector{0, 0, -12, 1}, 1.0f, F));
}

TEST(Frustum, ModelViewMovesTheFrustumIntoItsSourceSpace)
{
    // The view moves world points 5 units along -Z: world origin lands at eye z = -5.
    const TFrustum F = ExtractFrustum(TranslationMatrix(TVector{0, 0, -5, 1}), OrthoProjection());
    EXPECT_TRUE(IsSphereInFrustum(TVector{0, 0, 0, 1}, 0.1f, F));
    EXPECT_FALSE(IsSphereInFrustum(TVector{0, 0, 5, 1}, 0.1f, F));
}

TEST(Frustum, BoxesInsideStraddlingAndOutside)
{
    const TFrustum F = ExtractFrustum(IdentityMatrix(), OrthoProjection());
    EXPECT_TRUE(IsBoxInFrustum(TVector{-0.5f, -0.5f, -6, 1}, TVector{0.5f, 0.5f, -4, 1}, F));
    EXPECT_TRUE(IsBoxInFrustum(TVector{0.5f, -0.5f, -6, 1}, TVector{3, 0.5f, -4, 1}, F));
    EXPECT_FALSE(IsBoxInFrustum(TVector{1.2f, -0.5f, -6, 1}, TVector{3, 0.5f, -4, 1}, F));
    EXPECT_FALSE(IsBoxInFrustum(TVector{-0.5f, -0.5f, 0, 1}, TVector{0.5f, 0.5f, 2, 1}, F));
}
