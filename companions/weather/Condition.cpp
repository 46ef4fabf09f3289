#include "Condition.h"

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
    {"clearsky", 1, "céu limpo"},
    {"fair", 2, "poucas nuvens"},
    {"partlycloudy", 3, "parcialmente nublado"},
    {"cloudy", 4, "nublado"},
    {"rainshowers", 5, "pancadas de chuva"},
    {"rainshowersandthunder", 6, "pancadas de chuva e trovoadas"},
    {"sleetshowers", 7, "pancadas de chuva com neve"},
    {"snowshowers", 8, "pancadas de neve"},
    {"rain", 9, "chuva"},
    {"heavyrain", 10, "chuva forte"},
    {"heavyrainandthunder", 11, "chuva forte e trovoadas"},
    {"sleet", 12, "chuva com neve"},
    {"snow", 13, "neve"},
    {"snowandthunder", 14, "neve e trovoadas"},
    {"fog", 15, "nevoeiro"},
    {"sleetshowersandthunder", 20, "pancadas de chuva com neve e trovoadas"},
    {"snowshowersandthunder", 21, "pancadas de neve e trovoadas"},
    {"rainandthunder", 22, "chuva e trovoadas"},
    {"sleetandthunder", 23, "chuva com neve e trovoadas"},
    {"lightrainshowersandthunder", 24, "pancadas de chuva fraca e trovoadas"},
    {"heavyrainshowersandthunder", 25, "pancadas de chuva forte e trovoadas"},
    {"lightssleetshowersandthunder", 26, "pancadas fracas de chuva com neve e trovoadas"},
    {"heavysleetshowersandthunder", 27, "pancadas fortes de chuva com neve e trovoadas"},
    {"lightssnowshowersandthunder", 28, "pancadas de neve fraca e trovoadas"},
    {"heavysnowshowersandthunder", 29, "pancadas de neve forte e trovoadas"},
    {"lightrainandthunder", 30, "chuva fraca e trovoadas"},
    {"lightsleetandthunder", 31, "chuva fraca com neve e trovoadas"},
    {"heavysleetandthunder", 32, "chuva forte com neve e trovoadas"},
    {"lightsnowandthunder", 33, "neve fraca e trovoadas"},
    {"heavysnowandthunder", 34, "neve forte e trovoadas"},
    {"lightrainshowers", 40, "pancadas de chuva fraca"},
    {"heavyrainshowers", 41, "pancadas de chuva forte"},
    {"lightsleetshowers", 42, "pancadas fracas de chuva com neve"},
    {"heavysleetshowers", 43, "pancadas fortes de chuva com neve"},
    {"lightsnowshowers", 44, "pancadas de neve fraca"},
    {"heavysnowshowers", 45, "pancadas de neve forte"},
    {"lightrain", 46, "chuva fraca"},
    {"lightsleet", 47, "chuva fraca com neve"},
    {"heavysleet", 48, "chuva forte com neve"},
    {"lightsnow", 49, "neve fraca"},
    {"heavysnow", 50, "neve forte"},
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
            return QString::fromUtf8(Symbol.Text);
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
