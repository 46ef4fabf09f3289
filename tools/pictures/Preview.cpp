#include "Preview.h"

#include "DialLayout.h"
#include "Pictures.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace {

constexpr int ViewWidth = 328, ViewHeight = 344;
// The camera's frustum for this viewer at focal length 120: half extents at the near distance.
constexpr double NearDistance = 2.6369, FrustumRight = 0.4767, FrustumTop = 0.5;
constexpr double CameraZ = -10;

struct TRay
{
    TVector3 Origin, Direction;
};

struct TColour
{
    double Red = 0, Green = 0, Blue = 0;
};

double Dot(const TVector3& A, const TVector3& B)
{
    return A[0] * B[0] + A[1] * B[1] + A[2] * B[2];
}

TVector3 At(const TRay& Ray, double Distance)
{
    return {Ray.Origin[0] + Ray.Direction[0] * Distance, Ray.Origin[1] + Ray.Direction[1] * Distance,
            Ray.Origin[2] + Ray.Direction[2] * Distance};
}

// Both crossings of a sphere about the origin, nearest first.
std::optional<std::pair<double, double>> Crossings(const TRay& Ray, double Radius)
{
    const double B = Dot(Ray.Origin, Ray.Direction);
    const double C = Dot(Ray.Origin, Ray.Origin) - Radius * Radius;
    const double Discriminant = B * B - C;
    if (Discriminant < 0)
        return std::nullopt;
    const double Root = std::sqrt(Discriminant);
    return std::make_pair(-B - Root, -B + Root);
}

TColour Texel(const QImage& Picture, double S, double T)
{
    // Nearest texel, as the domes are filtered; the texture's t = 0 is the picture's bottom row.
    const int X = std::clamp(int(std::floor(S * Picture.width())), 0, Picture.width() - 1);
    const int Y = std::clamp(int(std::floor((1 - T) * Picture.height())), 0, Picture.height() - 1);
    const QRgb Pixel = Picture.pixel(X, Y);
    return {qRed(Pixel) / 255.0, qGreen(Pixel) / 255.0, qBlue(Pixel) / 255.0};
}

void Blend(TColour& Under, const TColour& Over, double Alpha)
{
    Under.Red = Under.Red * (1 - Alpha) + Over.Red * Alpha;
    Under.Green = Under.Green * (1 - Alpha) + Over.Green * Alpha;
    Under.Blue = Under.Blue * (1 - Alpha) + Over.Blue * Alpha;
}

struct TDome
{
    const TRotation& Frame;
    const QImage& Picture;
    double Top, Bottom, DiffuseAlpha;
};

// A dome's colour and alpha where the ray meets it, or nothing outside its band or on glass.
std::optional<std::pair<TColour, double>> DomeSample(const TDome& Dome, const TVector3& Point)
{
    const double Latitude = SphereLatitude(Dome.Frame, Point);
    if (Latitude > Dome.Top || Latitude < Dome.Bottom)
        return std::nullopt;
    const double S = SphereLongitude(Dome.Frame, Point) / 360;
    const TColour Colour = Texel(Dome.Picture, S, (Latitude - Dome.Bottom) / (Dome.Top - Dome.Bottom));
    // Alpha from the luminance, times the material's diffuse alpha; the emission makes the lit colour
    // white, so the texture's own colour shows.
    const double Alpha = (Colour.Red + Colour.Green + Colour.Blue) / 3 * Dome.DiffuseAlpha;
    if (Alpha <= 0)
        return std::nullopt;
    return std::make_pair(Colour, Alpha);
}

// Distance along the ray to the time-point cone (base radius 0.07 at 1.56, apex at 1.86), if hit.
std::optional<double> ConeDistance(const TRay& Ray, const TVector3& Axis, double From, double To)
{
    constexpr int Steps = 200;
    for (int Step = 0; Step <= Steps; ++Step) {
        const double Distance = From + (To - From) * Step / Steps;
        const TVector3 Point = At(Ray, Distance);
        const double Along = Dot(Point, Axis);
        if (Along < 1.56 || Along > 1.86)
            continue;
        const TVector3 Off = {Point[0] - Along * Axis[0], Point[1] - Along * Axis[1],
                              Point[2] - Along * Axis[2]};
        if (std::sqrt(Dot(Off, Off)) <= 0.07 * (1.86 - Along) / 0.3)
            return Distance;
    }
    return std::nullopt;
}

} // namespace

QImage RenderPreview(const TGlobePose& Pose, const QImage& Surface, const QImage& HourDome,
                     const QImage& MinuteDome)
{
    QImage Image(ViewWidth, ViewHeight, QImage::Format_RGB32);
    const TVector3 Sun = Normalised(Pose.SunDirection());
    const TVector3 Arrow = Normalised(Pose.ArrowDirection());
    // Drawn as the scene draws them: the hour dome before the minute dome.
    const TDome Domes[] = {{Pose.Horas(), HourDome, HourDomeTop, HourDomeBottom, 0.397},
                           {Pose.Minutos(), MinuteDome, MinuteDomeTop, MinuteDomeBottom, 0.563}};

    for (int Y = 0; Y < ViewHeight; ++Y)
        for (int X = 0; X < ViewWidth; ++X) {
            const double NdcX = (X + 0.5) / ViewWidth * 2 - 1;
            const double NdcY = 1 - (Y + 0.5) / ViewHeight * 2;
            // The camera looks along +Z with +Y up, so its right is -X.
            const TRay Ray{{0, 0, CameraZ},
                           Normalised({-NdcX * FrustumRight, NdcY * FrustumTop, NearDistance})};
            const QRgb Key = KeyColour;
            TColour Colour{qRed(Key) / 255.0, qGreen(Key) / 255.0, qBlue(Key) / 255.0};
            double Depth = 1e9;

            if (const auto Earth = Crossings(Ray, 1.5)) {
                Depth = Earth->first;
                const TVector3 Point = At(Ray, Depth);
                const TVector3 Normal = Normalised(Point);
                const TColour Map = Texel(Surface, SphereLongitude(Pose.Earth(), Point) / 360,
                                          (SphereLatitude(Pose.Earth(), Point) + 90) / 180);
                // Emission 0.239 plus two white parallel lights from the same side.
                const double Light = std::min(1.0, 0.239 + 2 * std::max(0.0, Dot(Normal, Sun)));
                Colour = {Map.Red * Light, Map.Green * Light, Map.Blue * Light};
            }
            if (const auto Cone = ConeDistance(Ray, Arrow, 8.0, 8.6); Cone && *Cone < Depth) {
                Depth = *Cone;
                Colour = {186 / 255.0, 148 / 255.0, 0};
            }
            for (const TDome& Dome : Domes) {
                const auto Shell = Crossings(Ray, 1.6);
                if (!Shell)
                    continue;
                for (const double Distance : {Shell->second, Shell->first}) {
                    if (Distance > Depth)
                        continue;
                    if (const auto Sample = DomeSample(Dome, At(Ray, Distance)))
                        Blend(Colour, Sample->first, Sample->second);
                }
            }
            Image.setPixel(
                X, Y, qRgb(qRound(Colour.Red * 255), qRound(Colour.Green * 255), qRound(Colour.Blue * 255)));
        }
    return Image;
}
