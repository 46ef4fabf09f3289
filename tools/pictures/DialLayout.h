#pragma once

// Where the globe's pictures must put things so that the clock reads right. The reasoning is in
// DialLayout.cpp; the scene check in tests/DialLayoutTest.cpp recomputes it from the scene's vectors.

// Latitude bands the dome spheres are cut to; each dome carries its whole picture over its band.
inline constexpr double HourDomeTop = 90;
inline constexpr double HourDomeBottom = 2;
inline constexpr double MinuteDomeTop = -2;
inline constexpr double MinuteDomeBottom = -90;

// Horizontal texture coordinate s (0..1) of the hour dome under the arrow at local time Hours
// (hours and fraction, 0..24).
double HourDialS(double Hours);
// Horizontal texture coordinate of the minute dome under the arrow at local minute Minute.
double MinuteDialS(int Minute);
// Horizontal texture coordinate of the Earth picture for a geographic longitude (east positive).
double SurfaceS(double Longitude);
// Picture row (0 = top, fractional) of a latitude on a band from Top to Bottom drawn Height rows high.
double BandRow(double Latitude, double Top, double Bottom, int Height);
