#pragma once

#include <QProxyStyle>

// The application's style with less room around a tab's caption, so that a
// tab row made for the designed face holds its captions whole in the wider
// face that stands in for it.
class TCompactTabStyle : public QProxyStyle
{
    Q_OBJECT

public:
    int pixelMetric(PixelMetric Metric, const QStyleOption* Option = nullptr,
                    const QWidget* Widget = nullptr) const override;
};
