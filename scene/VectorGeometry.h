#pragma once

#include <cstdint>

namespace Scene {

// Four single-precision floats; points have W = 1, directions W = 0.
struct alignas(16) TVector
{
    float X = 0;
    float Y = 0;
    float Z = 0;
    float W = 0;

    const float* Data() const { return &X; }
    float* Data() { return &X; }
    friend bool operator==(const TVector&, const TVector&) = default;
};

// 4x4, row by row, used with row vectors: a point goes to parent space as
// p * M. The memory layout is the one glMultMatrixf/glLoadMatrixf expect.
struct alignas(16) TMatrix
{
    TVector Rows[4];

    TVector& operator[](int Row) { return Rows[Row]; }
    const TVector& operator[](int Row) const { return Rows[Row]; }
    const float* Data() const { return Rows[0].Data(); }
    float* Data() { return Rows[0].Data(); }
    friend bool operator==(const TMatrix&, const TMatrix&) = default;
};

inline constexpr float Pi = 3.14159265358979323846f;

inline TVector VectorMake(float X, float Y, float Z, float W = 0)
{
    return TVector{X, Y, Z, W};
}

inline TVector PointMake(float X, float Y, float Z)
{
    return TVector{X, Y, Z, 1};
}

// The affine helpers work on x, y and z and keep the first operand's w.
TVector VectorAdd(const TVector& A, const TVector& B);
TVector VectorSubtract(const TVector& A, const TVector& B);
TVector VectorScale(const TVector& A, float Factor);
TVector VectorNegate(const TVector& A);
float VectorDotProduct(const TVector& A, const TVector& B);
// Right-handed; w = 0.
TVector VectorCrossProduct(const TVector& A, const TVector& B);
float VectorLength(const TVector& A);
float VectorDistance2(const TVector& A, const TVector& B);
// A zero vector stays zero.
TVector VectorNormalize(const TVector& A);

// V * M on all four components. Both paths sum the rows in the same order
// (x, y, z, w), so they give bit-identical results.
TVector VectorTransformPlain(const TVector& V, const TMatrix& M);
TVector VectorTransformSSE(const TVector& V, const TMatrix& M);
bool SSEAvailable();

using TVectorTransformFunction = TVector (*)(const TVector&, const TMatrix&);
namespace Detail {
// Chosen on the first call from the processor's features.
extern TVectorTransformFunction GVectorTransform;
} // namespace Detail

inline TVector VectorTransform(const TVector& V, const TMatrix& M)
{
    return Detail::GVectorTransform(V, M);
}

// True when VectorTransform runs the SSE path.
bool VectorTransformUsesSSE();

TMatrix IdentityMatrix();
TMatrix TranslationMatrix(const TVector& Offset);
TMatrix ScaleMatrix(const TVector& Factors);
// A then B, for row vectors: p * MatrixMultiply(A, B) = (p * A) * B.
TMatrix MatrixMultiply(const TMatrix& A, const TMatrix& B);
TMatrix TransposeMatrix(const TMatrix& M);
// Inverse of a rotation (orthonormal rows 0..2) followed by a translation (row 3).
TMatrix RigidInverse(const TMatrix& M);
// General inverse; a singular matrix gives the identity.
TMatrix InvertMatrix(const TMatrix& M);
float MatrixDeterminant(const TMatrix& M);

// The standard rotation about a normalised axis by Angle radians, written row
// by row: for row vectors it turns by -Angle, right-handed, about Axis.
TMatrix CreateRotationMatrix(const TVector& Axis, float Angle);

// Degrees to -180..180 with the single-precision factor of the stored design:
// 180 and -180 stay as they are.
float NormaliseDegrees(float Angle);

inline float DegreesToRadians(float Degrees)
{
    return Degrees * (Pi / 180.0f);
}

} // namespace Scene
