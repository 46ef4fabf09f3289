#pragma once

#include <array>

using TVector3 = std::array<double, 3>;
// Rows: an object's X (side), Y (up) and Z (direction) axes in its parent's space. Points are row
// vectors, so a child's world rotation is its local rotation times its parent's.
using TRotation = std::array<TVector3, 3>;

TVector3 Cross(const TVector3& A, const TVector3& B);
TVector3 Normalised(const TVector3& V);
TVector3 Times(const TVector3& V, const TRotation& R);
TRotation Times(const TRotation& A, const TRotation& B);
// V given in the parent's space, answered in the space whose axes are the rows of R.
TVector3 IntoFrame(const TVector3& V, const TRotation& R);

// The orientation of one scene object as the clock's scene keeps it: Direction and Up vectors that a
// turn rotates about Up by the difference from the stored angle.
class TObjectFrame
{
public:
    TObjectFrame(const TVector3& Direction, const TVector3& Up);

    double TurnAngle() const { return FTurnAngle; }
    void SetTurnAngle(double Value);
    TRotation Local() const;

private:
    TVector3 FDirection;
    TVector3 FUp;
    double FTurnAngle = 0;
};
