#include "Pictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

namespace {

const QColor IceColour(236, 240, 244);

// Geographic (longitude, latitude) to picture coordinates: x grows eastward from 180 W, y southward from
// the north pole. DialLayout.cpp explains why this is the sphere's own layout, unmirrored.
QTransform GeographicToPicture(int Width, int Height)
{
    return QTransform(Width / 360.0, 0, 0, -Height / 180.0, Width / 2.0, Height / 2.0);
}

QPainterPath PolygonPath(const TLandPolygon& Polygon, const QTransform& Transform)
{
    QPainterPath Path;
    Path.setFillRule(Qt::OddEvenFill);
    for (const QPolygonF& Ring : Polygon) {
        const QPolygonF Flat = TLandTopology::FlatRing(Ring);
        if (Flat.isEmpty())
            continue;
        // Rings that cross the antimeridian run past the picture's edge: draw them again one turn over.
        for (const double Shift : {-360.0, 0.0, 360.0}) {
            Path.addPolygon(Transform.map(Flat.translated(Shift, 0)));
            Path.closeSubpath();
        }
    }
    return Path;
}

bool Contains(const TLandPolygon& Polygon, QPointF Point)
{
    return !Polygon.isEmpty() && Polygon.first().containsPoint(Point, Qt::OddEvenFill);
}

// Land colour by latitude: ice near the poles, tundra, then greens toward the equator.
QLinearGradient LandGradient(int Height)
{
    QLinearGradient Gradient(0, 0, 0, Height);
    const auto Stop = [&](double Latitude, QColor Colour) {
        Gradient.setColorAt((90 - Latitude) / 180, Colour);
    };
    Stop(90, IceColour);
    Stop(73, IceColour);
    Stop(67, QColor(150, 152, 128));
    Stop(58, QColor(78, 112, 66));
    Stop(40, QColor(96, 134, 72));
    Stop(12, QColor(74, 124, 56));
    Stop(-15, QColor(86, 130, 60));
    Stop(-42, QColor(104, 136, 78));
    Stop(-54, QColor(140, 146, 122));
    Stop(-60, IceColour);
    Stop(-90, IceColour);
    return Gradient;
}

struct TDesert
{
    double Longitude, Latitude, RadiusX, RadiusY;
};

// The great dry lands, as soft patches laid over the greens.
constexpr TDesert Deserts[] = {
    {12, 23, 30, 9},   {47, 22, 11, 9}, {62, 33, 10, 5},  {85, 40, 14, 5},  {103, 43, 12, 4},
    {132, -25, 15, 8}, {20, -23, 7, 6}, {-112, 33, 7, 6}, {-69, -25, 3, 9}, {-68, -42, 4, 7},
};

} // namespace

QImage PaintSurface(const TLandTopology& Land, int Width, int Height)
{
    QImage Image(Width, Height, QImage::Format_RGB32);
    const QTransform ToPicture = GeographicToPicture(Width, Height);

    QPainter Painter(&Image);
    QLinearGradient Sea(0, 0, 0, Height);
    Sea.setColorAt(0, QColor(34, 66, 118));
    Sea.setColorAt(0.5, QColor(30, 84, 152));
    Sea.setColorAt(1, QColor(34, 66, 118));
    Painter.fillRect(Image.rect(), Sea);
    Painter.setRenderHint(QPainter::Antialiasing);

    QPainterPath LandPath;
    LandPath.setFillRule(Qt::OddEvenFill);
    for (const TLandPolygon& Polygon : Land.Polygons())
        LandPath.addPath(PolygonPath(Polygon, ToPicture));

    Painter.fillPath(LandPath, LandGradient(Height));

    Painter.save();
    Painter.setClipPath(LandPath);
    for (const TDesert& Desert : Deserts) {
        const QPointF Centre = ToPicture.map(QPointF(Desert.Longitude, Desert.Latitude));
        const QSizeF Radius(Desert.RadiusX * Width / 360, Desert.RadiusY * Height / 180);
        QRadialGradient Patch(QPointF(0, 0), 1);
        Patch.setColorAt(0, QColor(198, 178, 124, 200));
        Patch.setColorAt(0.5, QColor(190, 170, 118, 140));
        Patch.setColorAt(1, QColor(180, 162, 112, 0));
        Painter.save();
        Painter.translate(Centre);
        Painter.scale(Radius.width(), Radius.height());
        Painter.setPen(Qt::NoPen);
        Painter.setBrush(Patch);
        Painter.drawEllipse(QPointF(0, 0), 1, 1);
        Painter.restore();
    }
    // Greenland is under ice down to its southern tip.
    for (const TLandPolygon& Polygon : Land.Polygons())
        if (Contains(Polygon, QPointF(-41, 72)))
            Painter.fillPath(PolygonPath(Polygon, ToPicture), IceColour);
    Painter.restore();

    Painter.strokePath(LandPath, QPen(QColor(44, 70, 46, 150), 0.6));

    // A faint graticule every 30 degrees, on whole pixels so that it stays one texel thin.
    Painter.setRenderHint(QPainter::Antialiasing, false);
    Painter.setPen(QColor(255, 255, 255, 40));
    for (int Longitude = -180; Longitude < 180; Longitude += 30) {
        const int X = qRound(ToPicture.map(QPointF(Longitude, 0)).x());
        Painter.drawLine(X, 0, X, Height - 1);
    }
    for (int Latitude = -60; Latitude <= 60; Latitude += 30) {
        const int Y = qMin(Height - 1, qRound(ToPicture.map(QPointF(0, Latitude)).y()));
        Painter.drawLine(0, Y, Width - 1, Y);
    }
    Painter.end();

    ReplacePureBlack(Image);
    return Image;
}

void ReplacePureBlack(QImage& Image)
{
    for (int Y = 0; Y < Image.height(); ++Y)
        for (int X = 0; X < Image.width(); ++X)
            if ((Image.pixel(X, Y) & 0xFFFFFF) == 0)
                Image.setPixel(X, Y, qRgb(0, 0, 1));
}
