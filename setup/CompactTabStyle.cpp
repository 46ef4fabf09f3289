#include "CompactTabStyle.h"

int TCompactTabStyle::pixelMetric(PixelMetric Metric, const QStyleOption* Option, const QWidget* Widget) const
{
    const int Value = QProxyStyle::pixelMetric(Metric, Option, Widget);
    return Metric == PM_TabBarTabHSpace ? Value / 2 : Value;
}
