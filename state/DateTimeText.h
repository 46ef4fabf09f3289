#pragma once

#include <QLocale>
#include <QString>

// A date-time of the clock (days since 1899-12-30) as the locale's short date,
// a blank and its long time; midnight shows the date only.
QString DateTimeText(double DateTime, const QLocale& Locale = QLocale());
