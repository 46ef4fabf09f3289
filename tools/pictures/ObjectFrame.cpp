#include "ObjectFrame.h"

#include <cmath>
#include <numbers>

TVector3 Cross(const TVector3& A, const TVector3& B)
{
    return {A[1] * B[2] - A[2] * B[1], A[2] * B[0] - A[0] * B[2], A[0] * B[1] - A[1] * B[0]};
}

TVector3 Normalised(const TVector3& V)
{
    const double Length = std::sqrt(V[0] * V[0] + V[1] * V[1] + V[2] * V[2]);
    return {V[0] / Length, V[1] / Length, V[2] / Length};
}

TVector3 Times(const TVector3& V, const TRotation& R)
{
    TVector3 Result{};
    for (int Column = 0; Column < 3; ++Column)
        Result[Column] = V[0] * R[0][Column] + V[1] * R[1][Column] + V[2] * R[2][Column];
    return Result;
}

TRotation Times(const TRotation& A, const TRotation& B)
{
    return {Times(A[0], B), Times(A[1], B), Times(A[2], B)};
}

TVector3 IntoFrame(const TVector3& V, const TRotation& R)
{
    TVector3 Result{};
    for (int Row = 0; Row < 3; ++Row)
        Result[Row] = V[0] * R[Row][0] + V[1] * R[Row][1] + V[2] * R[Row][2];
    return Result;
}

TObjectFrame::TObjectFrame(const TVector3& Direction, const TVector3& Up) : FDirection(Direction), FUp(Up) {}

void TObjectFrame::SetTurnAngle(double Value)
{
    if (Value == FTurnAngle)
        return;
    const double Theta = (FTurnAngle - Value) * std::numbers::pi / 180;
    const TVector3 A = Normalised(FUp);
    const double C = std::cos(Theta), S = std::sin(Theta), T = 1 - C;
    // The textbook rotation by Theta, applied to row vectors: that turns by -Theta, i.e. by
    // Value - stored, right-handed about Up.
    const TRotation R = {{{T * A[0] * A[0] + C, T * A[0] * A[1] - A[2] * S, T * A[2] * A[0] + A[1] * S},
                          {T * A[0] * A[1] + A[2] * S, T * A[1] * A[1] + C, T * A[1] * A[2] - A[0] * S},
                          {T * A[2] * A[0] - A[1] * S, T * A[1] * A[2] + A[0] * S, T * A[2] * A[2] + C}}};
    FUp = Normalised(Times(FUp, R));
    FDirection = Normalised(Times(FDirection, R));
    FTurnAngle = std::remainder(Value, 360.0);
}

TRotation TObjectFrame::Local() const
{
    return {Cross(FUp, FDirection), FUp, FDirection};
}
