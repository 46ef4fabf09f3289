#include "WeatherPicture.h"

#include "Condition.h"

#include <QFont>
#include <QPainter>
#include <QPainterPath>

namespace {

// Edges of the icon and the text are blended over this before they meet the
// key colour, so no half-transparent pixel takes on the key's tint.
constexpr QRgb Backdrop = 0xFF1C2733;
// Pixels more transparent than this belong to the background.
constexpr int OpaqueFrom = 110;

} // namespace

QImage TWeatherPicture::Icon(const TCondition& Condition, int Side)
{
    const QImage Source(Condition.IconResource());
    if (Source.isNull())
        return {};
    return Source.convertToFormat(QImage::Format_ARGB32)
        .scaled(Side, Side, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

QImage TWeatherPicture::Draw(const TCondition& Condition, const QString& Temperature)
{
    const QImage Picture = Icon(Condition, IconSize);
    if (Picture.isNull())
        return {};
    QImage Layer(Size, Size, QImage::Format_ARGB32);
    Layer.fill(Qt::transparent);
    {
        QPainter Painter(&Layer);
        Painter.setRenderHint(QPainter::Antialiasing);
        const QRect IconPlace = IconRectangle();
        Painter.drawImage(IconPlace.topLeft() +
                              QPoint((IconSize - Picture.width()) / 2, (IconSize - Picture.height()) / 2),
                          Picture);

        QFont Font(QStringLiteral("DejaVu Sans"));
        Font.setBold(true);
        Font.setPixelSize(15);
        QPainterPath Text;
        const QString Label = Temperature + QStringLiteral("°C");
        const QFontMetrics Metrics(Font);
        const QRect Place = TemperatureRectangle();
        const int X = Place.left() + (Place.width() - Metrics.horizontalAdvance(Label)) / 2;
        const int Y = Place.top() + (Place.height() + Metrics.capHeight()) / 2;
        Text.addText(X, Y, Font, Label);
        // A dark outline keeps the figures readable on any wallpaper.
        Painter.setPen(QPen(QColor(Backdrop), 3.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        Painter.setBrush(Qt::NoBrush);
        Painter.drawPath(Text);
        Painter.setPen(Qt::NoPen);
        Painter.setBrush(Qt::white);
        Painter.drawPath(Text);
    }

    QImage Flat(Size, Size, QImage::Format_ARGB32);
    for (int Y = 0; Y < Size; ++Y) {
        const QRgb* From = reinterpret_cast<const QRgb*>(Layer.constScanLine(Y));
        QRgb* To = reinterpret_cast<QRgb*>(Flat.scanLine(Y));
        for (int X = 0; X < Size; ++X) {
            const QRgb Pixel = From[X];
            const int Alpha = qAlpha(Pixel);
            if (Alpha < OpaqueFrom) {
                To[X] = KeyColour;
                continue;
            }
            auto Blend = [Alpha](int Top, int Bottom) {
                return (Top * Alpha + Bottom * (255 - Alpha)) / 255;
            };
            const QColor Colour = QColor::fromRgba(Pixel);
            const QRgb Straight = Colour.toRgb().rgba();
            QRgb Result =
                qRgb(Blend(qRed(Straight), qRed(Backdrop)), Blend(qGreen(Straight), qGreen(Backdrop)),
                     Blend(qBlue(Straight), qBlue(Backdrop)));
            if (Result == KeyColour)
                Result = 0xFFFE00FE; // a picture pixel never reads as the key
            To[X] = Result;
        }
    }
    // The sprite takes its see-through colour from here, whatever the icon reaches.
    Flat.setPixel(0, Size - 1, KeyColour);
    return Flat;
}
