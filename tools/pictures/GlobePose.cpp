#include "GlobePose.h"

#include <algorithm>
#include <cmath>
#include <numbers>

TGlobePose::TGlobePose(int Gmt, int Hour, int Minute, bool SunTime)
{
    // The designed vectors, near-zero components included.
    TObjectFrame Planetarium({0, -5.96047e-08, 1}, {-2.98023e-08, 1, -3.3418e-08});
    TObjectFrame Axis({0, 0, 1}, {0, 1, 0});
    TObjectFrame TimePoint({5.96046e-08, 0, -1}, {0, 1, 0});
    TObjectFrame Earth({-2.98023e-08, 5.96047e-08, 1}, {3.60823e-15, 1, -5.96047e-08});
    TObjectFrame Minutos({-2.98023e-08, 0, -1}, {0, 1, 0});
    TObjectFrame Horas({0, 0, -1}, {0, 1, 0});
    TObjectFrame Sum({0, 0, 1}, {0, 1, 0});

    // The zone step, then the clock step.
    Sum.SetTurnAngle(SunTime ? 15 : 0);
    Axis.SetTurnAngle(-15.0 * Gmt);
    TimePoint.SetTurnAngle(15.0 * Gmt);
    Horas.SetTurnAngle(15.0 * (Gmt - Hour) - 0.25 * Minute);
    Minutos.SetTurnAngle(TimePoint.TurnAngle() - 6.0 * Minute);

    const TRotation AxisWorld = Times(Axis.Local(), Planetarium.Local());
    FEarth = Times(Earth.Local(), AxisWorld);
    FHoras = Times(Horas.Local(), AxisWorld);
    FMinutos = Times(Minutos.Local(), AxisWorld);
    FTimePoint = Times(TimePoint.Local(), AxisWorld);
    FSum = Times(Sum.Local(), FHoras);
}

double SphereLongitude(const TRotation& Sphere, const TVector3& Direction)
{
    const TVector3 Local = IntoFrame(Direction, Sphere);
    const double Longitude = std::atan2(Local[0], Local[2]) * 180 / std::numbers::pi;
    return Longitude < 0 ? Longitude + 360 : Longitude;
}

double SphereLatitude(const TRotation& Sphere, const TVector3& Direction)
{
    const TVector3 Local = Normalised(IntoFrame(Direction, Sphere));
    return std::asin(std::clamp(Local[1], -1.0, 1.0)) * 180 / std::numbers::pi;
}
