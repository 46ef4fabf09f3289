#include "GlobeStandIn.h"

#include "Watch.h"

#include <QPainter>

TScreenViewStandIn::TScreenViewStandIn(QWidget* Parent) : QWidget(Parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TScreenViewStandIn::paintEvent(QPaintEvent*)
{
    QPainter Painter(this);
    Painter.fillRect(rect(), QColor::fromRgb(Twatch::KeyColor));
}
