#include "DateTimeText.h"

#include <QDateTime>

#include <cmath>

QString DateTimeText(double DateTime, const QLocale& Locale)
{
    const QDateTime Moment = QDateTime(QDate(1899, 12, 30), QTime(0, 0))
                                 .addMSecs(static_cast<qint64>(std::llround(DateTime * 86400000.0)));
    QString Text = Locale.toString(Moment.date(), QLocale::ShortFormat);
    if (Moment.time() != QTime(0, 0)) {
        // The long time format may name the zone; the clock shows the time only.
        QString Format = Locale.timeFormat(QLocale::LongFormat);
        Format.remove(QLatin1Char('t')).replace(QStringLiteral("  "), QStringLiteral(" "));
        Text += QLatin1Char(' ') + Locale.toString(Moment.time(), Format.trimmed());
    }
    return Text;
}
