#include "scene/VectorGeometry.h"

#include "SceneTestHelpers.h"

#include <cstring>
#include <gtest/gtest.h>
#include <random>

using namespace Scene;
using Scene::Testing::MatrixNear;
using Scene::Testing::VectorNear;

namespace {

TMatrix RandomMatrix(std::mt19937& Random, float Range)
{
    std::uniform_real_distribution<float> Value(-Range, Range);
    TMatrix M;
    for (int I = 0; I < 16; ++I)
        M.Data()[I] = Value(Random);
    return M;
}

TMatrix RigidMotion(const TVector& Axis, float Angle, const TVector& Offset)
{
    TMatrix M = CreateRotationMatrix(VectorNormalize(Axis), Angle);
    M[3] = TVector{Offset.X, Offset.Y, Offset.Z, 1};
    return M;
}

} // namespace

TEST(VectorGeometry, CrossProductIsRightHandedWithZeroW)
{
    const TVector X{1, 0, 0, 1};
    const TVector Y{0, 1, 0, 1};
    EXPECT_EQ(VectorCrossProduct(X, Y), (TVector{0, 0, 1, 0}));
    EXPECT_EQ(VectorCrossProduct(Y, X), (TVector{0, 0, -1, 0}));
    EXPECT_EQ(VectorCrossProduct(TVector{0, 0, 1, 0}, TVector{0, 1, 0, 0}), (TVector{-1, 0, 0, 0}));
}

TEST(VectorGeometry, NormalizeGivesUnitLengthAndLeavesZeroAlone)
{
    EXPECT_TRUE(VectorNear(VectorNormalize(TVector{3, 0, 4, 0}), TVector{0.6f, 0, 0.8f, 0}));
    EXPECT_EQ(VectorNormalize(TVector{0, 0, 0, 0}), (TVector{0, 0, 0, 0}));
    EXPECT_EQ(VectorNormalize(TVector{2, 0, 0, 1}).W, 1);
}

TEST(VectorGeometry, SimdAndPlainProductsAreBitIdentical)
{
    std::mt19937 Random(20240601);
    std::uniform_real_distribution<float> Value(-1000, 1000);
    for (int Round = 0; Round < 200000; ++Round) {
        const float Range = Round % 3 == 0 ? 1.0f : Round % 3 == 1 ? 1e3f : 1e-3f;
        const TMatrix M = RandomMatrix(Random, Range);
        const TVector V{Value(Random), Value(Random), Value(Random), Round % 2 ? 1.0f : Value(Random)};
        const TVector Plain = VectorTransformPlain(V, M);
        const TVector Simd = VectorTransformSSE(V, M);
        ASSERT_EQ(std::memcmp(Plain.Data(), Simd.Data(), sizeof(TVector)), 0) << "round " << Round;
    }
}

TEST(VectorGeometry, DispatchedProductTakesTheDetectedPath)
{
    EXPECT_EQ(VectorTransformUsesSSE(), SSEAvailable());
    const TMatrix M = RigidMotion(TVector{1, 2, 3, 0}, 0.7f, TVector{4, 5, 6, 1});
    const TVector P{0.5f, -1, 2, 1};
    EXPECT_EQ(VectorTransform(P, M), VectorTransformPlain(P, M));
}

TEST(VectorGeometry, RowVectorsGoThroughAThenB)
{
    std::mt19937 Random(7);
    const TMatrix A = RandomMatrix(Random, 2);
    const TMatrix B = RandomMatrix(Random, 2);
    const TVector P{0.3f, -0.7f, 1.1f, 1};
    EXPECT_TRUE(VectorNear(VectorTransform(P, MatrixMultiply(A, B)),
                           VectorTransform(VectorTransform(P, A), B), 1e-4f));
    // A translation sits in row 3, as OpenGL expects it in memory.
    EXPECT_TRUE(
        VectorNear(VectorTransform(P, TranslationMatrix(TVector{1, 2, 3, 1})), TVector{1.3f, 1.3f, 4.1f, 1}));
}

TEST(VectorGeometry, RotationMatrixTurnsRowVectorsByMinusItsAngle)
{
    const TMatrix R = CreateRotationMatrix(TVector{0, 0, 1, 0}, -Pi / 2);
    EXPECT_TRUE(VectorNear(VectorTransform(TVector{1, 0, 0, 0}, R), TVector{0, 1, 0, 0}));
    EXPECT_TRUE(VectorNear(VectorTransform(TVector{0, 1, 0, 0}, R), TVector{-1, 0, 0, 0}));
}

TEST(VectorGeometry, InversesUndoTheirMatrix)
{
    const TMatrix Rigid = RigidMotion(TVector{1, 1, 0, 0}, 1.1f, TVector{3, -2, 7, 1});
    EXPECT_TRUE(MatrixNear(MatrixMultiply(Rigid, RigidInverse(Rigid)), IdentityMatrix()));
    EXPECT_TRUE(MatrixNear(RigidInverse(Rigid), InvertMatrix(Rigid), 1e-5f));

    const TMatrix Scaled = MatrixMultiply(ScaleMatrix(TVector{2, 0.5f, 3, 0}), Rigid);
    EXPECT_TRUE(MatrixNear(MatrixMultiply(Scaled, InvertMatrix(Scaled)), IdentityMatrix(), 1e-5f));
    EXPECT_TRUE(MatrixNear(MatrixMultiply(InvertMatrix(Scaled), Scaled), IdentityMatrix(), 1e-5f));
    EXPECT_NEAR(MatrixDeterminant(Scaled), 3.0f, 1e-5f);
}

TEST(VectorGeometry, SingularMatrixInvertsToIdentity)
{
    EXPECT_EQ(InvertMatrix(ScaleMatrix(TVector{1, 0, 1, 0})), IdentityMatrix());
}

TEST(VectorGeometry, NormaliseDegreesKeepsBothEndsOfTheRange)
{
    EXPECT_FLOAT_EQ(NormaliseDegrees(370), 10);
    EXPECT_FLOAT_EQ(NormaliseDegrees(190), -170);
    EXPECT_FLOAT_EQ(NormaliseDegrees(-190), 170);
    EXPECT_FLOAT_EQ(NormaliseDegrees(180), 180);
    EXPECT_FLOAT_EQ(NormaliseDegrees(-180), -180);
    EXPECT_FLOAT_EQ(NormaliseDegrees(540), 180);
    EXPECT_FLOAT_EQ(NormaliseDegrees(-540), -180);
    // The single-precision factor makes 360 * factor round to exactly 1.
    EXPECT_FLOAT_EQ(NormaliseDegrees(360), 0);
    EXPECT_FLOAT_EQ(NormaliseDegrees(-1080), 0);
    EXPECT_FLOAT_EQ(NormaliseDegrees(-7.75f), -7.75f);
}
