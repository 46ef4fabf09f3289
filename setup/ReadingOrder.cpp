#include "ReadingOrder.h"

#include <algorithm>
#include <numeric>

namespace {
QLocale CollationLocale(const QLocale& Locale)
{
    if (Locale.language() == QLocale::C)
        return QLocale(QLocale::Portuguese, QLocale::Brazil);
    return Locale;
}
} // namespace

TReadingOrder::TReadingOrder(const QLocale& Locale) : FCollator(CollationLocale(Locale))
{
    FCollator.setCaseSensitivity(Qt::CaseInsensitive);
}

QString TReadingOrder::Folded(const QString& Text)
{
    QString Key;
    const QString Decomposed = Text.normalized(QString::NormalizationForm_D);
    Key.reserve(Decomposed.size());
    for (const QChar Character : Decomposed)
        if (Character.category() != QChar::Mark_NonSpacing)
            Key += Character;
    return Key.toCaseFolded();
}

bool TReadingOrder::Less(const QString& Left, const QString& Right) const
{
    const int Folded = FCollator.compare(TReadingOrder::Folded(Left), TReadingOrder::Folded(Right));
    return Folded != 0 ? Folded < 0 : Left < Right;
}

std::vector<std::size_t> TReadingOrder::Order(const std::vector<QString>& Entries) const
{
    std::vector<QCollatorSortKey> Keys;
    Keys.reserve(Entries.size());
    for (const QString& Entry : Entries)
        Keys.push_back(FCollator.sortKey(Folded(Entry)));
    std::vector<std::size_t> Indexes(Entries.size());
    std::iota(Indexes.begin(), Indexes.end(), std::size_t{0});
    std::stable_sort(Indexes.begin(), Indexes.end(), [&](std::size_t Left, std::size_t Right) {
        const int Folded = Keys[Left].compare(Keys[Right]);
        return Folded != 0 ? Folded < 0 : Entries[Left] < Entries[Right];
    });
    return Indexes;
}
