#include "Condition.h"

#include "WeatherLanguage.h"

#include <QCoreApplication>
#include <QFile>

namespace {

struct TSymbol
{
    const char* Name;
    int Number;
    const char* Text;
};

// The service's symbol names with the numbers of their pictures.
constexpr TSymbol Symbols[] = {
    {"clearsky", 1, QT_TRANSLATE_NOOP("TCondition", "céu limpo")},
    {"fair", 2, QT_TRANSLATE_NOOP("TCondition", "poucas nuvens")},
    {"partlycloudy", 3, QT_TRANSLATE_NOOP("TCondition", "parcialmente nublado")},
    {"cloudy", 4, QT_TRANSLATE_NOOP("TCondition", "nublado")},
    {"rainshowers", 5, QT_TRANSLATE_NOOP("TCondition", "pancadas de chuva")},
    {"rainshowersandthunder", 6, QT_TRANSLATE_NOOP("TCondition", "pancadas de chuva e trovoadas")},
    {"sleetshowers", 7, QT_TRANSLATE_NOOP("TCondition", "pancadas de chuva com neve")},
    {"snowshowers", 8, QT_TRANSLATE_NOOP("TCondition", "pancadas de neve")},
    {"rain", 9, QT_TRANSLATE_NOOP("TCondition", "chuva")},
    {"heavyrain", 10, QT_TRANSLATE_NOOP("TCondition", "chuva forte")},
    {"heavyrainandthunder", 11, QT_TRANSLATE_NOOP("TCondition", "chuva forte e trovoadas")},
    {"sleet", 12, QT_TRANSLATE_NOOP("TCondition", "chuva com neve")},
    {"snow", 13, QT_TRANSLATE_NOOP("TCondition", "neve")},
    {"snowandthunder", 14, QT_TRANSLATE_NOOP("TCondition", "neve e trovoadas")},
    {"fog", 15, QT_TRANSLATE_NOOP("TCondition", "nevoeiro")},
    {"sleetshowersandthunder", 20, QT_TRANSLATE_NOOP("TCondition", "pancadas de chuva com neve e trovoadas")},
    {"snowshowersandthunder", 21, QT_TRANSLATE_NOOP("TCondition", "pancadas de neve e trovoadas")},
    {"rainandthunder", 22, QT_TRANSLATE_NOOP("TCondition", "chuva e trovoadas")},
    {"sleetandthunder", 23, QT_TRANSLATE_NOOP("TCondition", "chuva com neve e trovoadas")},
    {"lightrainshowersandthunder", 24,
     QT_TRANSLATE_NOOP("TCondition", "pancadas de chuva fraca e trovoadas")},
    {"heavyrainshowersandthunder", 25,
     QT_TRANSLATE_NOOP("TCondition", "pancadas de chuva forte e trovoadas")},
    {"lightssleetshowersandthunder", 26,
     QT_TRANSLATE_NOOP("TCondition", "pancadas fracas de chuva com neve e trovoadas")},
    {"heavysleetshowersandthunder", 27,
     QT_TRANSLATE_NOOP("TCondition", "pancadas fortes de chuva com neve e trovoadas")},
    {"lightssnowshowersandthunder", 28,
     QT_TRANSLATE_NOOP("TCondition", "pancadas de neve fraca e trovoadas")},
    {"heavysnowshowersandthunder", 29, QT_TRANSLATE_NOOP("TCondition", "pancadas de neve forte e trovoadas")},
    {"lightrainandthunder", 30, QT_TRANSLATE_NOOP("TCondition", "chuva fraca e trovoadas")},
    {"lightsleetandthunder", 31, QT_TRANSLATE_NOOP("TCondition", "chuva fraca com neve e trovoadas")},
    {"heavysleetandthunder", 32, QT_TRANSLATE_NOOP("TCondition", "chuva forte com neve e trovoadas")},
    {"lightsnowandthunder", 33, QT_TRANSLATE_NOOP("TCondition", "neve fraca e trovoadas")},
    {"heavysnowandthunder", 34, QT_TRANSLATE_NOOP("TCondition", "neve forte e trovoadas")},
    {"lightrainshowers", 40, QT_TRANSLATE_NOOP("TCondition", "pancadas de chuva fraca")},
    {"heavyrainshowers", 41, QT_TRANSLATE_NOOP("TCondition", "pancadas de chuva forte")},
    {"lightsleetshowers", 42, QT_TRANSLATE_NOOP("TCondition", "pancadas fracas de chuva com neve")},
    {"heavysleetshowers", 43, QT_TRANSLATE_NOOP("TCondition", "pancadas fortes de chuva com neve")},
    {"lightsnowshowers", 44, QT_TRANSLATE_NOOP("TCondition", "pancadas de neve fraca")},
    {"heavysnowshowers", 45, QT_TRANSLATE_NOOP("TCondition", "pancadas de neve forte")},
    {"lightrain", 46, QT_TRANSLATE_NOOP("TCondition", "chuva fraca")},
    {"lightsleet", 47, QT_TRANSLATE_NOOP("TCondition", "chuva fraca com neve")},
    {"heavysleet", 48, QT_TRANSLATE_NOOP("TCondition", "chuva forte com neve")},
    {"lightsnow", 49, QT_TRANSLATE_NOOP("TCondition", "neve fraca")},
    {"heavysnow", 50, QT_TRANSLATE_NOOP("TCondition", "neve forte")},
};

} // namespace

TCondition::TCondition(const QString& SymbolCode) : FSymbolCode(SymbolCode)
{
    QString Name = SymbolCode;
    const qsizetype Underscore = Name.indexOf(QLatin1Char('_'));
    if (Underscore >= 0) {
        const QString Variant = Name.mid(Underscore + 1);
        Name.truncate(Underscore);
        if (Variant == QLatin1String("day"))
            FVariant = QLatin1Char('d');
        else if (Variant == QLatin1String("night"))
            FVariant = QLatin1Char('n');
        else if (Variant == QLatin1String("polartwilight"))
            FVariant = QLatin1Char('m');
        else
            return;
    }
    for (const TSymbol& Symbol : Symbols)
        if (Name == QLatin1String(Symbol.Name)) {
            FNumber = Symbol.Number;
            return;
        }
}

QString TCondition::Text() const
{
    for (const TSymbol& Symbol : Symbols)
        if (Symbol.Number == FNumber)
            return TWeatherLanguage::Current().Text("TCondition", Symbol.Text);
    return {};
}

QString TCondition::IconResource() const
{
    if (!IsKnown())
        return {};
    const QString Base = QStringLiteral(":/weather/icons/%1").arg(FNumber, 2, 10, QLatin1Char('0'));
    // Symbols without day and night pictures have one file; a variant of those is drawn by it.
    if (!FVariant.isNull() && QFile::exists(Base + FVariant + QStringLiteral(".png")))
        return Base + FVariant + QStringLiteral(".png");
    if (QFile::exists(Base + QStringLiteral(".png")))
        return Base + QStringLiteral(".png");
    return Base + QStringLiteral("d.png");
}
