#include "DialLayout.h"

#include <cmath>

// The sphere puts longitude l at (sin l, 0, cos l) of its own frame and s = l / 360. The camera looks
// from -Z with +Y up, so -X is screen right: on a sphere seen from outside s grows to the right, and a
// picture drawn as seen (north up, east to the right) is not mirrored. A picture's top row is t = 1,
// the band's upper latitude.
//
// A turn right-handed about +Y by a moves longitude l of a frame to l + a. Frames relative to the
// globe's root: Earth = Axis = turned -15 GMT; Horas and Minutos are Axis's frame turned 180 degrees
// (Direction -Z) and then by their own TurnAngle; TimePoint is turned 180 as well, so its cone (+Z)
// points at root angle 180 + 15 GMT - 15 GMT = 180, toward the camera, whatever the zone.
//
// Earth: l + (-15 GMT) = 180 puts l = 180 + 15 GMT under the arrow; the zone's meridian is 15 GMT,
// so geographic longitude L sits at l = L + 180: s = (L + 180) / 360, Greenwich in the middle.
// Hour dome: l + 180 + 15 (GMT - H) - M / 4 - 15 GMT = 180 gives l = 15 H + M / 4, s = (H + M/60) / 24.
// Minute dome: l + 180 + (15 GMT - 6 M) - 15 GMT = 180 gives l = 6 M, s = M / 60.
// Both domes move to the left on screen as time passes, so the arrow walks rightwards over them.
//
// Example: GMT -3 at 10:31. Axis 45, TimePoint -45, Horas -202.75 (stored 157.25), Minutos -231
// (stored 129). Under the arrow: hour dome l = 157.75, s = 0.4382, inside the sector of hour 10
// (s 0.4167..0.4583, its label centred at 0.4375); minute dome l = 186, s = 0.5167, the tick of
// minute 31, one minute right of the "30" label; Earth l = 135, longitude 45 W, the zone's meridian.
// The sun, from Horas's -Z, stands over longitude 22.75 W: the real subsolar point at 13:31 UTC.

namespace {

double Wrapped(double S)
{
    return S - std::floor(S);
}

} // namespace

double HourDialS(double Hours)
{
    return Wrapped(Hours / 24);
}

double MinuteDialS(int Minute)
{
    return Wrapped(Minute / 60.0);
}

double SurfaceS(double Longitude)
{
    return Wrapped((Longitude + 180) / 360);
}

double BandRow(double Latitude, double Top, double Bottom, int Height)
{
    return (Top - Latitude) / (Top - Bottom) * Height;
}
