#pragma once

#include <QImage>
#include <QString>

class TCondition;

// The picture of the weather sprite: the condition's icon above the
// temperature, on a key colour of its own that the sprite leaves out (its
// bottom-left pixel is always that colour).
class TWeatherPicture
{
public:
    static constexpr int Size = 68;
    static constexpr int IconSize = 50;
    static constexpr QRgb KeyColour = 0xFFFF00FF;

    // Where the icon sits in the picture.
    static QRect IconRectangle() { return QRect((Size - IconSize) / 2, 0, IconSize, IconSize); }
    static QRect TemperatureRectangle() { return QRect(0, IconSize, Size, Size - IconSize); }

    // Null when the condition has no picture.
    static QImage Draw(const TCondition& Condition, const QString& Temperature);
    // The icon alone, on a transparent background.
    static QImage Icon(const TCondition& Condition, int Side);
};
