#include "DateTimeText.h"

#include <QDateTime>

#include <cmath>

QString DateTimeText(double DateTime, const QLocale& Locale)
{
    // The day count is already local: read as a calendar day and a time of day, no zone
    // arithmetic, which would apply the offset of 1899 (or of winter) to the date.
    constexpr qint64 MillisecondsPerDay = 86400000;
    const double Day = std::floor(DateTime);
    const qint64 Milliseconds = std::llround((DateTime - Day) * static_cast<double>(MillisecondsPerDay));
    const QDate Date =
        QDate(1899, 12, 30).addDays(static_cast<qint64>(Day) + Milliseconds / MillisecondsPerDay);
    const QTime Time = QTime::fromMSecsSinceStartOfDay(static_cast<int>(Milliseconds % MillisecondsPerDay));
    QString Text = Locale.toString(Date, QLocale::ShortFormat);
    if (Time != QTime(0, 0)) {
        // The long time format may name the zone; the clock shows the time only.
        QString Format = Locale.timeFormat(QLocale::LongFormat);
        Format.remove(QLatin1Char('t')).replace(QStringLiteral("  "), QStringLiteral(" "));
        Text += QLatin1Char(' ') + Locale.toString(Time, Format.trimmed());
    }
    return Text;
}
