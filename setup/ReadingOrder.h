#pragma once

#include <QCollator>
#include <QLocale>
#include <QString>

#include <vector>

// The order in which a person reads a list: the locale's collation with letter
// case and accents set aside, the text itself breaking ties, so that
// "são paulo" comes between "Santos" and "Sergipe".
class TReadingOrder
{
public:
    // A locale without a language of its own (C, POSIX) reads as the clock's Portuguese.
    explicit TReadingOrder(const QLocale& Locale = QLocale());

    bool Less(const QString& Left, const QString& Right) const;
    // Stable; one collation key per entry, so lists of thousands stay fast.
    std::vector<std::size_t> Order(const std::vector<QString>& Entries) const;

    // Without accents, case-folded.
    static QString Folded(const QString& Text);

    // Where a sorted list's model keeps each entry's rank in this order.
    static constexpr int RankRole = Qt::UserRole + 1;

private:
    QCollator FCollator;
};
