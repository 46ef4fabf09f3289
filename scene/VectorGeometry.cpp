#include "scene/VectorGeometry.h"

#include <cmath>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <xmmintrin.h>
#define ZENTAVO_HAVE_SSE 1
#else
#define ZENTAVO_HAVE_SSE 0
#endif

namespace Scene {

TVector VectorAdd(const TVector& A, const TVector& B)
{
    return TVector{A.X + B.X, A.Y + B.Y, A.Z + B.Z, A.W};
}

TVector VectorSubtract(const TVector& A, const TVector& B)
{
    return TVector{A.X - B.X, A.Y - B.Y, A.Z - B.Z, A.W};
}

TVector VectorScale(const TVector& A, float Factor)
{
    return TVector{A.X * Factor, A.Y * Factor, A.Z * Factor, A.W};
}

TVector VectorNegate(const TVector& A)
{
    return TVector{-A.X, -A.Y, -A.Z, A.W};
}

float VectorDotProduct(const TVector& A, const TVector& B)
{
    return A.X * B.X + A.Y * B.Y + A.Z * B.Z;
}

TVector VectorCrossProduct(const TVector& A, const TVector& B)
{
    return TVector{A.Y * B.Z - A.Z * B.Y, A.Z * B.X - A.X * B.Z, A.X * B.Y - A.Y * B.X, 0};
}

float VectorLength(const TVector& A)
{
    return std::sqrt(VectorDotProduct(A, A));
}

float VectorDistance2(const TVector& A, const TVector& B)
{
    const TVector D = VectorSubtract(A, B);
    return VectorDotProduct(D, D);
}

TVector VectorNormalize(const TVector& A)
{
    const float Length = VectorLength(A);
    if (Length == 0)
        return A;
    return VectorScale(A, 1.0f / Length);
}

TVector VectorTransformPlain(const TVector& V, const TMatrix& M)
{
    TVector R;
    R.X = V.X * M[0].X;
    R.Y = V.X * M[0].Y;
    R.Z = V.X * M[0].Z;
    R.W = V.X * M[0].W;
    R.X += V.Y * M[1].X;
    R.Y += V.Y * M[1].Y;
    R.Z += V.Y * M[1].Z;
    R.W += V.Y * M[1].W;
    R.X += V.Z * M[2].X;
    R.Y += V.Z * M[2].Y;
    R.Z += V.Z * M[2].Z;
    R.W += V.Z * M[2].W;
    R.X += V.W * M[3].X;
    R.Y += V.W * M[3].Y;
    R.Z += V.W * M[3].Z;
    R.W += V.W * M[3].W;
    return R;
}

bool SSEAvailable()
{
#if ZENTAVO_HAVE_SSE
    __builtin_cpu_init();
    return __builtin_cpu_supports("sse");
#else
    return false;
#endif
}

TVector VectorTransformSSE(const TVector& V, const TMatrix& M)
{
#if ZENTAVO_HAVE_SSE
    __m128 Sum = _mm_mul_ps(_mm_set1_ps(V.X), _mm_load_ps(M[0].Data()));
    Sum = _mm_add_ps(Sum, _mm_mul_ps(_mm_set1_ps(V.Y), _mm_load_ps(M[1].Data())));
    Sum = _mm_add_ps(Sum, _mm_mul_ps(_mm_set1_ps(V.Z), _mm_load_ps(M[2].Data())));
    Sum = _mm_add_ps(Sum, _mm_mul_ps(_mm_set1_ps(V.W), _mm_load_ps(M[3].Data())));
    TVector R;
    _mm_store_ps(R.Data(), Sum);
    return R;
#else
    return VectorTransformPlain(V, M);
#endif
}

namespace {

TVectorTransformFunction ChooseVectorTransform()
{
    return SSEAvailable() ? &VectorTransformSSE : &VectorTransformPlain;
}

TVector ResolveVectorTransform(const TVector& V, const TMatrix& M)
{
    Detail::GVectorTransform = ChooseVectorTransform();
    return Detail::GVectorTransform(V, M);
}

} // namespace

namespace Detail {
constinit TVectorTransformFunction GVectorTransform = &ResolveVectorTransform;
}

bool VectorTransformUsesSSE()
{
    if (Detail::GVectorTransform == &ResolveVectorTransform)
        Detail::GVectorTransform = ChooseVectorTransform();
    return Detail::GVectorTransform == &VectorTransformSSE;
}

TMatrix IdentityMatrix()
{
    TMatrix M;
    M[0].X = M[1].Y = M[2].Z = M[3].W = 1;
    return M;
}

TMatrix TranslationMatrix(const TVector& Offset)
{
    TMatrix M = IdentityMatrix();
    M[3] = TVector{Offset.X, Offset.Y, Offset.Z, 1};
    return M;
}

TMatrix ScaleMatrix(const TVector& Factors)
{
    TMatrix M;
    M[0].X = Factors.X;
    M[1].Y = Factors.Y;
    M[2].Z = Factors.Z;
    M[3].W = 1;
    return M;
}

TMatrix MatrixMultiply(const TMatrix& A, const TMatrix& B)
{
    TMatrix R;
    for (int Row = 0; Row < 4; ++Row)
        R[Row] = VectorTransform(A[Row], B);
    return R;
}

TMatrix TransposeMatrix(const TMatrix& M)
{
    float In[16];
    float Out[16];
    std::memcpy(In, M.Data(), sizeof In);
    for (int Row = 0; Row < 4; ++Row)
        for (int Column = 0; Column < 4; ++Column)
            Out[Column * 4 + Row] = In[Row * 4 + Column];
    TMatrix R;
    std::memcpy(R.Data(), Out, sizeof Out);
    return R;
}

TMatrix RigidInverse(const TMatrix& M)
{
    TMatrix R;
    R[0] = TVector{M[0].X, M[1].X, M[2].X, 0};
    R[1] = TVector{M[0].Y, M[1].Y, M[2].Y, 0};
    R[2] = TVector{M[0].Z, M[1].Z, M[2].Z, 0};
    const TVector& T = M[3];
    R[3] = TVector{-VectorDotProduct(T, M[0]), -VectorDotProduct(T, M[1]), -VectorDotProduct(T, M[2]), 1};
    return R;
}

namespace {

// Cofactor expansion of a 4x4 held as 16 floats, row by row.
bool InvertArray(const float* M, float* Inverse, float* Determinant)
{
    float C[16];
    C[0] = M[5] * M[10] * M[15] - M[5] * M[11] * M[14] - M[9] * M[6] * M[15] + M[9] * M[7] * M[14] +
           M[13] * M[6] * M[11] - M[13] * M[7] * M[10];
    C[4] = -M[4] * M[10] * M[15] + M[4] * M[11] * M[14] + M[8] * M[6] * M[15] - M[8] * M[7] * M[14] -
           M[12] * M[6] * M[11] + M[12] * M[7] * M[10];
    C[8] = M[4] * M[9] * M[15] - M[4] * M[11] * M[13] - M[8] * M[5] * M[15] + M[8] * M[7] * M[13] +
           M[12] * M[5] * M[11] - M[12] * M[7] * M[9];
    C[12] = -M[4] * M[9] * M[14] + M[4] * M[10] * M[13] + M[8] * M[5] * M[14] - M[8] * M[6] * M[13] -
            M[12] * M[5] * M[10] + M[12] * M[6] * M[9];
    C[1] = -M[1] * M[10] * M[15] + M[1] * M[11] * M[14] + M[9] * M[2] * M[15] - M[9] * M[3] * M[14] -
           M[13] * M[2] * M[11] + M[13] * M[3] * M[10];
    C[5] = M[0] * M[10] * M[15] - M[0] * M[11] * M[14] - M[8] * M[2] * M[15] + M[8] * M[3] * M[14] +
           M[12] * M[2] * M[11] - M[12] * M[3] * M[10];
    C[9] = -M[0] * M[9] * M[15] + M[0] * M[11] * M[13] + M[8] * M[1] * M[15] - M[8] * M[3] * M[13] -
           M[12] * M[1] * M[11] + M[12] * M[3] * M[9];
    C[13] = M[0] * M[9] * M[14] - M[0] * M[10] * M[13] - M[8] * M[1] * M[14] + M[8] * M[2] * M[13] +
            M[12] * M[1] * M[10] - M[12] * M[2] * M[9];
    C[2] = M[1] * M[6] * M[15] - M[1] * M[7] * M[14] - M[5] * M[2] * M[15] + M[5] * M[3] * M[14] +
           M[13] * M[2] * M[7] - M[13] * M[3] * M[6];
    C[6] = -M[0] * M[6] * M[15] + M[0] * M[7] * M[14] + M[4] * M[2] * M[15] - M[4] * M[3] * M[14] -
           M[12] * M[2] * M[7] + M[12] * M[3] * M[6];
    C[10] = M[0] * M[5] * M[15] - M[0] * M[7] * M[13] - M[4] * M[1] * M[15] + M[4] * M[3] * M[13] +
            M[12] * M[1] * M[7] - M[12] * M[3] * M[5];
    C[14] = -M[0] * M[5] * M[14] + M[0] * M[6] * M[13] + M[4] * M[1] * M[14] - M[4] * M[2] * M[13] -
            M[12] * M[1] * M[6] + M[12] * M[2] * M[5];
    C[3] = -M[1] * M[6] * M[11] + M[1] * M[7] * M[10] + M[5] * M[2] * M[11] - M[5] * M[3] * M[10] -
           M[9] * M[2] * M[7] + M[9] * M[3] * M[6];
    C[7] = M[0] * M[6] * M[11] - M[0] * M[7] * M[10] - M[4] * M[2] * M[11] + M[4] * M[3] * M[10] +
           M[8] * M[2] * M[7] - M[8] * M[3] * M[6];
    C[11] = -M[0] * M[5] * M[11] + M[0] * M[7] * M[9] + M[4] * M[1] * M[11] - M[4] * M[3] * M[9] -
            M[8] * M[1] * M[7] + M[8] * M[3] * M[5];
    C[15] = M[0] * M[5] * M[10] - M[0] * M[6] * M[9] - M[4] * M[1] * M[10] + M[4] * M[2] * M[9] +
            M[8] * M[1] * M[6] - M[8] * M[2] * M[5];
    const float Det = M[0] * C[0] + M[1] * C[4] + M[2] * C[8] + M[3] * C[12];
    if (Determinant)
        *Determinant = Det;
    if (Det == 0 || !std::isfinite(Det))
        return false;
    if (Inverse)
        for (int I = 0; I < 16; ++I)
            Inverse[I] = C[I] / Det;
    return true;
}

} // namespace

float MatrixDeterminant(const TMatrix& M)
{
    float Det = 0;
    InvertArray(M.Data(), nullptr, &Det);
    return Det;
}

TMatrix InvertMatrix(const TMatrix& M)
{
    TMatrix R;
    if (!InvertArray(M.Data(), R.Data(), nullptr))
        return IdentityMatrix();
    return R;
}

TMatrix CreateRotationMatrix(const TVector& Axis, float Angle)
{
    const float C = std::cos(Angle);
    const float S = std::sin(Angle);
    const float T = 1 - C;
    const float X = Axis.X;
    const float Y = Axis.Y;
    const float Z = Axis.Z;
    TMatrix R;
    R[0] = TVector{T * X * X + C, T * X * Y - Z * S, T * Z * X + Y * S, 0};
    R[1] = TVector{T * X * Y + Z * S, T * Y * Y + C, T * Y * Z - X * S, 0};
    R[2] = TVector{T * Z * X - Y * S, T * Y * Z + X * S, T * Z * Z + C, 0};
    R[3] = TVector{0, 0, 0, 1};
    return R;
}

float NormaliseDegrees(float Angle)
{
    float Result = Angle - std::trunc(Angle * 0.0027777778f) * 360.0f;
    if (Result > 180)
        Result -= 360;
    else if (Result < -180)
        Result += 360;
    return Result;
}

} // namespace Scene
