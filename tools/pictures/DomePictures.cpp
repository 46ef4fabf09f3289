#include "DialLayout.h"
#include "Pictures.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>

// The domes take their alpha from the luminance, so black is glass and white the most solid mark.
// The time-point cone covers the band within about 3 degrees of the equator, so marks start beyond it
// and run out far enough to be seen around it.

namespace {

const QColor LabelColour(255, 255, 255);
const QColor TickColour(215, 215, 215);
const QColor RimColour(170, 170, 170);

// Draws Text centred on CentreX with its digits filling the rows TopRow..BottomRow, narrowed when it
// would be wider than MaxWidth; repeated one picture width to each side, so that a label on the seam
// shows whole on the sphere.
void DrawLabel(QPainter& Painter, const QFont& Font, const QString& Text, double CentreX, double TopRow,
               double BottomRow, double MaxWidth, int Width)
{
    const QString Digits = "0123456789";
    QFont Sized = Font;
    Sized.setPixelSize(100);
    const QRectF Reference = QFontMetricsF(Sized).tightBoundingRect(Digits);
    Sized.setPixelSize(qMax(1, qRound(100 * (BottomRow - TopRow) / Reference.height())));
    const QFontMetricsF Metrics(Sized);
    const double Baseline = BottomRow - Metrics.tightBoundingRect(Digits).bottom();
    const double TextWidth = Metrics.horizontalAdvance(Text);
    const double Narrowing = qMin(1.0, MaxWidth / TextWidth);
    Painter.setFont(Sized);
    Painter.setPen(LabelColour);
    for (int Shift = -Width; Shift <= Width; Shift += Width) {
        Painter.save();
        Painter.translate(CentreX + Shift, Baseline);
        Painter.scale(Narrowing, 1);
        Painter.drawText(QPointF(-TextWidth / 2, 0), Text);
        Painter.restore();
    }
}

// A mark one or two texels wide centred on X (a fractional column), repeated across the seam.
void DrawTick(QPainter& Painter, double X, double TopRow, double BottomRow, double Thickness, QColor Colour,
              int Width)
{
    for (int Shift = -Width; Shift <= Width; Shift += Width)
        Painter.fillRect(QRectF(X + Shift - Thickness / 2, TopRow, Thickness, BottomRow - TopRow), Colour);
}

// Faint meridians that show the dome's shape, fading toward the pole where they crowd together.
void DrawMeridian(QPainter& Painter, double X, double FromRow, double ToRow, int Width)
{
    QLinearGradient Fade(0, FromRow, 0, ToRow);
    Fade.setColorAt(0, QColor(56, 56, 56));
    Fade.setColorAt(1, QColor(0, 0, 0));
    for (int Shift = -Width; Shift <= Width; Shift += Width)
        Painter.fillRect(QRectF(X + Shift - 0.75, qMin(FromRow, ToRow), 1.5, qAbs(ToRow - FromRow)), Fade);
}

QString TwoDigits(int Value)
{
    return QString("%1").arg(Value, 2, 10, QChar('0'));
}

} // namespace

QImage PaintHourDome(const QFont& Font, int Width, int Height)
{
    QImage Image(Width, Height, QImage::Format_RGB32);
    Image.fill(Qt::black);
    QPainter Painter(&Image);
    Painter.setRenderHint(QPainter::Antialiasing);
    Painter.setRenderHint(QPainter::TextAntialiasing);
    const auto Row = [&](double Latitude) { return BandRow(Latitude, HourDomeTop, HourDomeBottom, Height); };
    const auto Column = [&](double Degrees) { return Degrees / 360 * Width; };

    // The rim along the dome's lower edge, just above the arrow.
    Painter.fillRect(QRectF(0, Row(2.7), Width, Row(2) - Row(2.7)), RimColour);
    for (int Hour = 0; Hour < 24; ++Hour) {
        // Hour H fills the sector that the arrow crosses from H:00 to H:59.
        const double Start = HourDialS(Hour) * Width;
        const double Middle = HourDialS(Hour + 0.5) * Width;
        DrawTick(Painter, Start, Row(15), Row(2), 2, TickColour, Width);
        DrawMeridian(Painter, Start, Row(15), Row(70), Width);
        DrawTick(Painter, Middle, Row(4.5), Row(2), 1.5, TickColour, Width);
        DrawLabel(Painter, Font, TwoDigits(Hour), Middle, Row(12.5), Row(5.5), Column(11), Width);
    }
    Painter.end();
    return Image;
}

QImage PaintMinuteDome(const QFont& Font, int Width, int Height)
{
    QImage Image(Width, Height, QImage::Format_RGB32);
    Image.fill(Qt::black);
    QPainter Painter(&Image);
    Painter.setRenderHint(QPainter::Antialiasing);
    Painter.setRenderHint(QPainter::TextAntialiasing);
    const auto Row = [&](double Latitude) {
        return BandRow(Latitude, MinuteDomeTop, MinuteDomeBottom, Height);
    };
    const auto Column = [&](double Degrees) { return Degrees / 360 * Width; };

    // The rim along the dome's upper edge, just below the arrow.
    Painter.fillRect(QRectF(0, Row(-2), Width, Row(-2.7) - Row(-2)), RimColour);
    for (int Minute = 0; Minute < 60; ++Minute) {
        // Minute M sits exactly under the arrow for the whole minute.
        const double X = MinuteDialS(Minute) * Width;
        if (Minute % 5 == 0) {
            DrawTick(Painter, X, Row(-2), Row(-8), 2.5, TickColour, Width);
            DrawMeridian(Painter, X, Row(-17.5), Row(-70), Width);
            DrawLabel(Painter, Font, TwoDigits(Minute), X, Row(-9), Row(-17), Column(20), Width);
        } else {
            DrawTick(Painter, X, Row(-2), Row(-6.5), 1.5, TickColour, Width);
        }
    }
    Painter.end();
    return Image;
}
