// The dial and map layout checked against the scene itself: the orientations are recomputed from the
// objects' designed vectors with the clock's turns, and the texture coordinate under the arrow is read
// off the spheres.
#include "DialLayout.h"

#include "GlobePose.h"

#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <tuple>

namespace {

// The designed vectors carry near-zero components of about 1e-7, which tilt things by a few millionths
// of a degree.
constexpr double DegreeTolerance = 1e-4;
constexpr double STolerance = DegreeTolerance / 360;

// Difference of two texture coordinates on a circle, in -0.5..0.5.
double CircularGap(double A, double B)
{
    return std::remainder(A - B, 1.0);
}

double GeographicLongitude(const TGlobePose& Pose, const TVector3& Direction)
{
    // Inverse of SurfaceS: the sphere's longitude l carries geographic longitude l - 180.
    return std::remainder(SphereLongitude(Pose.Earth(), Direction) - 180, 360.0);
}

TEST(DialLayout, ArrowAlwaysPointsAtTheCameraOnTheEquator)
{
    for (int Gmt = -12; Gmt <= 14; ++Gmt) {
        const TVector3 Arrow = TGlobePose(Gmt, 7, 13).ArrowDirection();
        EXPECT_NEAR(Arrow[0], 0, 1e-6) << "GMT " << Gmt;
        EXPECT_NEAR(Arrow[1], 0, 1e-6) << "GMT " << Gmt;
        EXPECT_NEAR(Arrow[2], -1, 1e-6) << "GMT " << Gmt;
    }
}

TEST(DialLayout, DomesShowTheLocalTimeUnderTheArrowInEveryZone)
{
    for (int Gmt = -12; Gmt <= 14; ++Gmt)
        for (int Hour = 0; Hour < 24; ++Hour)
            for (int Minute = 0; Minute < 60; ++Minute) {
                const TGlobePose Pose(Gmt, Hour, Minute);
                const TVector3 Arrow = Pose.ArrowDirection();
                const double HourS = SphereLongitude(Pose.Horas(), Arrow) / 360;
                const double MinuteS = SphereLongitude(Pose.Minutos(), Arrow) / 360;
                ASSERT_NEAR(CircularGap(HourS, HourDialS(Hour + Minute / 60.0)), 0, STolerance)
                    << "GMT " << Gmt << " at " << Hour << ":" << Minute;
                ASSERT_NEAR(CircularGap(MinuteS, MinuteDialS(Minute)), 0, STolerance)
                    << "GMT " << Gmt << " at " << Hour << ":" << Minute;
                // The hour sector under the arrow is the hour itself, never its neighbour.
                ASSERT_EQ(int(std::floor(HourS * 24 + 1e-5)) % 24, Hour);
            }
}

TEST(DialLayout, WorkedExampleMinusThreeAtTenThirtyOne)
{
    const TGlobePose Pose(-3, 10, 31);
    const TVector3 Arrow = Pose.ArrowDirection();
    EXPECT_NEAR(SphereLongitude(Pose.Horas(), Arrow), 157.75, DegreeTolerance);
    EXPECT_NEAR(SphereLongitude(Pose.Minutos(), Arrow), 186, DegreeTolerance);
    EXPECT_NEAR(GeographicLongitude(Pose, Arrow), -45, DegreeTolerance);
    // The arrow sits on the equator gap between the domes.
    EXPECT_NEAR(SphereLatitude(Pose.Horas(), Arrow), 0, DegreeTolerance);
}

TEST(DialLayout, EarthShowsTheZoneMeridianAtTheArrow)
{
    for (int Gmt = -12; Gmt <= 14; ++Gmt) {
        const TGlobePose Pose(Gmt, 12, 0);
        EXPECT_NEAR(std::remainder(GeographicLongitude(Pose, Pose.ArrowDirection()) - 15 * Gmt, 360.0), 0,
                    DegreeTolerance)
            << "GMT " << Gmt;
        EXPECT_NEAR(
            CircularGap(SurfaceS(15 * Gmt), SphereLongitude(Pose.Earth(), Pose.ArrowDirection()) / 360), 0,
            STolerance);
    }
}

TEST(DialLayout, SunStandsOverTheRealSubsolarMeridian)
{
    // Without daylight saving the lit side follows the universal time: local noon at the zone's meridian.
    for (const auto& [Gmt, Hour, Minute] :
         {std::tuple{-3, 10, 31}, {0, 12, 0}, {9, 6, 15}, {-8, 23, 59}, {5, 0, 1}}) {
        const TGlobePose Pose(Gmt, Hour, Minute);
        const double Universal = Hour - Gmt + Minute / 60.0;
        const double Subsolar = -15 * (Universal - 12);
        EXPECT_NEAR(std::remainder(GeographicLongitude(Pose, Pose.SunDirection()) - Subsolar, 360.0), 0,
                    DegreeTolerance)
            << "GMT " << Gmt << " at " << Hour << ":" << Minute;
    }
}

TEST(DialLayout, PicturesAreNotMirroredOnScreen)
{
    // The camera looks along +Z with +Y up, so screen right is world -X.
    const auto ScreenRight = [](const TVector3& Direction) { return -Direction[0]; };
    const TGlobePose Pose(2, 8, 20);
    const auto WorldOf = [](const TRotation& Sphere, double Longitude) {
        const double Radians = Longitude * std::numbers::pi / 180;
        return Times(TVector3{std::sin(Radians), 0, std::cos(Radians)}, Sphere);
    };
    const double ArrowOnEarth = SphereLongitude(Pose.Earth(), Pose.ArrowDirection());
    // East of the zone's meridian (greater s on the map) shows to the right of the arrow.
    EXPECT_GT(ScreenRight(WorldOf(Pose.Earth(), ArrowOnEarth + 10)), 0);
    EXPECT_LT(ScreenRight(WorldOf(Pose.Earth(), ArrowOnEarth - 10)), 0);
    // The next hour's label lies to the right of the current one, so labels read left to right.
    const double ArrowOnHours = SphereLongitude(Pose.Horas(), Pose.ArrowDirection());
    EXPECT_GT(ScreenRight(WorldOf(Pose.Horas(), ArrowOnHours + 15)), 0);
    const double ArrowOnMinutes = SphereLongitude(Pose.Minutos(), Pose.ArrowDirection());
    EXPECT_GT(ScreenRight(WorldOf(Pose.Minutos(), ArrowOnMinutes + 6)), 0);
    // North is up.
    EXPECT_GT(Times(TVector3{0, 1, 0}, Pose.Earth())[1], 0.999);
}

TEST(DialLayout, BandRowsPutTheEquatorSideWhereEachDomeHasIt)
{
    // The hour dome's picture has the equator at its bottom, the minute dome's at its top.
    EXPECT_DOUBLE_EQ(BandRow(HourDomeBottom, HourDomeTop, HourDomeBottom, 256), 256);
    EXPECT_DOUBLE_EQ(BandRow(HourDomeTop, HourDomeTop, HourDomeBottom, 256), 0);
    EXPECT_DOUBLE_EQ(BandRow(MinuteDomeTop, MinuteDomeTop, MinuteDomeBottom, 256), 0);
    EXPECT_DOUBLE_EQ(BandRow(-46, MinuteDomeTop, MinuteDomeBottom, 256), 128);
    EXPECT_DOUBLE_EQ(BandRow(0, 90, -90, 256), 128);
}

} // namespace
