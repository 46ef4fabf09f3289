#pragma once

#include <QString>

// What the picture and the text make of one of the service's symbol codes
// ("partlycloudy_day", "rain", "clearsky_polartwilight", ...).
class TCondition
{
public:
    explicit TCondition(const QString& SymbolCode);

    bool IsKnown() const { return FNumber > 0; }
    const QString& SymbolCode() const { return FSymbolCode; }
    // In Portuguese, lower case: "parcialmente nublado".
    QString Text() const;
    // The resource of its picture, e.g. ":/weather/icons/03d.png".
    QString IconResource() const;
    bool IsNight() const { return FVariant == QLatin1Char('n'); }

private:
    QString FSymbolCode;
    int FNumber = 0;
    QChar FVariant; // 'd', 'n', 'm' or none
};
