#pragma once

#include "ObjectFrame.h"

// Where the clock's turns leave the globe's objects for one zone and one local time, computed from the
// objects' designed vectors and the same turns the clock makes. World space here is the space of the
// globe's root before the user turns it: the camera looks from -Z with +Y up.
class TGlobePose
{
public:
    TGlobePose(int Gmt, int Hour, int Minute, bool SunTime = false);

    const TRotation& Earth() const { return FEarth; }
    const TRotation& Horas() const { return FHoras; }
    const TRotation& Minutos() const { return FMinutos; }
    // Where the time-point cone points.
    TVector3 ArrowDirection() const { return FTimePoint[2]; }
    // Toward the sun: the parallel light shines from its own -Z.
    TVector3 SunDirection() const { return {-FSum[2][0], -FSum[2][1], -FSum[2][2]}; }

private:
    TRotation FEarth, FHoras, FMinutos, FTimePoint, FSum;
};

// Longitude (0..360, 0 on the sphere's +Z, growing toward +X) and latitude, in degrees, of the point of a
// sphere with world rotation Sphere that lies in the world direction Direction.
double SphereLongitude(const TRotation& Sphere, const TVector3& Direction);
double SphereLatitude(const TRotation& Sphere, const TVector3& Direction);
