#include "Pictures.h"

#include <cmath>
#include <numbers>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

QImage PaintMoon()
{
    constexpr int Size = 32;
    const QPointF Centre(16, 16);
    constexpr double Radius = 14.8;
    QImage Image(Size, Size, QImage::Format_RGB32);
    Image.fill(Qt::white);

    // The disk's own pixels are decided one by one, with no soft edge: the button keys out pure white
    // only, so a blended rim would show as a pale halo over the desktop.
    QImage Disk(Size, Size, QImage::Format_ARGB32_Premultiplied);
    Disk.fill(Qt::transparent);
    QPainter Painter(&Disk);
    Painter.setRenderHint(QPainter::Antialiasing);
    QRadialGradient Shade(Centre + QPointF(-4, -4), Radius * 1.35);
    Shade.setColorAt(0, QColor(246, 243, 226));
    Shade.setColorAt(0.7, QColor(214, 210, 190));
    Shade.setColorAt(1, QColor(150, 148, 136));
    Painter.fillRect(Disk.rect(), Shade);
    Painter.setPen(Qt::NoPen);
    struct TCrater
    {
        double X, Y, Radius;
    };
    for (const TCrater& Crater : {TCrater{11, 10, 3.2}, TCrater{20, 12, 2.2}, TCrater{17, 21, 4.0},
                                  TCrater{9, 19, 1.8}, TCrater{23, 19, 1.5}, TCrater{14, 15, 1.2}}) {
        QRadialGradient Hollow(QPointF(Crater.X, Crater.Y), Crater.Radius);
        Hollow.setColorAt(0, QColor(150, 146, 130, 150));
        Hollow.setColorAt(0.8, QColor(160, 156, 140, 110));
        Hollow.setColorAt(1, QColor(160, 156, 140, 0));
        Painter.setBrush(Hollow);
        Painter.drawEllipse(QPointF(Crater.X, Crater.Y), Crater.Radius, Crater.Radius);
    }
    Painter.end();

    for (int Y = 0; Y < Size; ++Y)
        for (int X = 0; X < Size; ++X) {
            const double Distance = std::hypot(X + 0.5 - Centre.x(), Y + 0.5 - Centre.y());
            if (Distance > Radius)
                continue;
            QColor Colour = QColor::fromRgb(Disk.pixel(X, Y));
            if (Distance > Radius - 1)
                Colour = QColor(128, 126, 118);
            // The button's key is pure white: keep every moon pixel off it.
            if (Colour.rgb() == qRgb(255, 255, 255))
                Colour = QColor(254, 254, 254);
            Image.setPixel(X, Y, Colour.rgb());
        }
    return Image;
}

QImage PaintSetupSkin(const QFont& Font)
{
    constexpr int Width = 358, Height = 430;
    const QColor Frame(40, 72, 122);
    const QColor FrameLight(112, 146, 196);
    const QColor Page(233, 237, 243);
    QImage Image(Width, Height, QImage::Format_RGB32);
    Image.fill(KeyColour);

    // The outline is hard-edged: every pixel is either exactly the key colour or skin.
    QPainter Painter(&Image);
    Painter.setRenderHint(QPainter::Antialiasing, false);
    const QRectF Outline(1, 1, Width - 3, Height - 3);
    QPainterPath Shape;
    Shape.addRoundedRect(Outline, 16, 16);
    Painter.fillPath(Shape, Frame);
    QPainterPath Inner;
    Inner.addRoundedRect(Outline.adjusted(2, 2, -2, -2), 14, 14);
    Painter.fillPath(Inner, FrameLight);
    QPainterPath Panel;
    Panel.addRoundedRect(Outline.adjusted(4, 4, -4, -4), 12, 12);
    Painter.fillPath(Panel, Page);

    // The dialog samples the page colour at one pixel near the top-left corner: keep that whole area
    // flat. Below the page control, left of the buttons, the clock's name.
    Painter.setRenderHint(QPainter::Antialiasing);
    Painter.setRenderHint(QPainter::TextAntialiasing);
    const QPointF Globe(30, 392);
    QRadialGradient Sea(Globe + QPointF(-3, -3), 12);
    Sea.setColorAt(0, QColor(72, 120, 186));
    Sea.setColorAt(1, QColor(36, 78, 146));
    Painter.setPen(QPen(Frame, 1.2));
    Painter.setBrush(Sea);
    Painter.drawEllipse(Globe, 11, 11);
    Painter.setBrush(Qt::NoBrush);
    Painter.setPen(QPen(QColor(255, 255, 255, 150), 1));
    Painter.drawEllipse(Globe, 5, 11);
    Painter.drawLine(Globe - QPointF(11, 0), Globe + QPointF(11, 0));
    Painter.setPen(QPen(QColor(230, 184, 40), 2));
    Painter.drawArc(QRectF(Globe - QPointF(14, 14), QSizeF(28, 28)), 200 * 16, 110 * 16);

    QFont Title = Font;
    Title.setPixelSize(17);
    Painter.setFont(Title);
    Painter.setPen(Frame);
    Painter.drawText(QPointF(48, 391), "Zentavo 3D");
    QFont Subtitle = Font;
    Subtitle.setPixelSize(10);
    Subtitle.setBold(false);
    Painter.setFont(Subtitle);
    Painter.setPen(QColor(84, 108, 146));
    Painter.drawText(QPointF(49, 405), "Desktop World Clock");
    Painter.end();
    return Image;
}

QImage PaintTrayClock(int Size)
{
    QImage Image(Size, Size, QImage::Format_ARGB32);
    Image.fill(Qt::transparent);
    QPainter Painter(&Image);
    Painter.setRenderHint(QPainter::Antialiasing);
    // Drawn on a 32-pixel grid, whatever the size.
    Painter.scale(Size / 32.0, Size / 32.0);
    const QPointF Centre(16, 16);

    QRadialGradient Face(Centre + QPointF(-4, -5), 17);
    Face.setColorAt(0, QColor(255, 255, 250));
    Face.setColorAt(1, QColor(206, 222, 242));
    Painter.setPen(QPen(QColor(40, 72, 122), 2.4));
    Painter.setBrush(Face);
    Painter.drawEllipse(Centre, 14.4, 14.4);

    Painter.setPen(QPen(QColor(40, 72, 122), 1.4, Qt::SolidLine, Qt::RoundCap));
    for (int Hour = 0; Hour < 12; ++Hour) {
        const double Angle = Hour * std::numbers::pi / 6;
        const QPointF Along(std::sin(Angle), -std::cos(Angle));
        const double Inner = Hour % 3 == 0 ? 9.0 : 10.5;
        Painter.drawLine(Centre + Along * Inner, Centre + Along * 12.2);
    }
    // Ten past ten.
    const auto Hand = [&](double Angle, double Length, double Thickness, QColor Colour) {
        Painter.setPen(QPen(Colour, Thickness, Qt::SolidLine, Qt::RoundCap));
        Painter.drawLine(Centre, Centre + QPointF(std::sin(Angle), -std::cos(Angle)) * Length);
    };
    Hand((10 + 10 / 60.0) * std::numbers::pi / 6, 7, 2.6, QColor(30, 40, 60));
    Hand(10 * std::numbers::pi / 30, 10.5, 1.8, QColor(30, 40, 60));
    Painter.setPen(Qt::NoPen);
    Painter.setBrush(QColor(230, 184, 40));
    Painter.drawEllipse(Centre, 2, 2);
    Painter.end();
    return Image;
}
