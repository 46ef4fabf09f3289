#include "FlatImageButton.h"

#include "ErrorReport.h"
#include "ZentavoApplication.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWindow>

TFlatImageButton::TFlatImageButton(QWidget* Parent) : QWidget(Parent)
{
    setFocusPolicy(Qt::TabFocus);
    // The window behind shows through wherever the picture does not paint.
    setAttribute(Qt::WA_NoSystemBackground);
    setAutoFillBackground(false);
}

void TFlatImageButton::SetPicture(const QImage& Value)
{
    FPicture = Value;
    RebuildVisiblePicture();
    if (FAutoZise && !FPicture.isNull())
        resize(FPicture.size());
    update();
}

void TFlatImageButton::LoadPictureFromFile(const QString& FileName)
{
    QImage Loaded;
    if (!Loaded.load(FileName))
        throw std::runtime_error("Cannot load the picture " + FileName.toStdString());
    SetPicture(Loaded);
}

void TFlatImageButton::SetOffSetX(int Value)
{
    FOffSetX = Value;
    update();
}

void TFlatImageButton::SetOffSetY(int Value)
{
    FOffSetY = Value;
    update();
}

void TFlatImageButton::SetTransparence(bool Value)
{
    FTransparence = Value;
    RebuildVisiblePicture();
    update();
}

void TFlatImageButton::SetTransparentColor(const QColor& Value)
{
    FTransparentColor = Value;
    RebuildVisiblePicture();
    update();
}

void TFlatImageButton::SetUseCaption(bool Value)
{
    FUseCaption = Value;
    update();
}

void TFlatImageButton::SetCaption(const QString& Value)
{
    FCaption = Value;
    update();
}

void TFlatImageButton::SetColor(const QColor& Value)
{
    FColor = Value;
    update();
}

void TFlatImageButton::RebuildVisiblePicture()
{
    if (FPicture.isNull() || !FTransparence) {
        FVisiblePicture = FPicture;
        return;
    }
    FVisiblePicture = FPicture.convertToFormat(QImage::Format_ARGB32);
    const QRgb Key = FTransparentColor.rgb() & 0xFFFFFF;
    for (int Y = 0; Y < FVisiblePicture.height(); ++Y) {
        auto* Line = reinterpret_cast<QRgb*>(FVisiblePicture.scanLine(Y));
        for (int X = 0; X < FVisiblePicture.width(); ++X)
            if ((Line[X] & 0xFFFFFF) == Key)
                Line[X] = 0;
    }
}

bool TFlatImageButton::event(QEvent* Event)
{
    if (Event->type() == QEvent::ToolTip) {
        auto* Help = static_cast<QHelpEvent*>(Event);
        // Inside another program's desktop window the clock's window is no
        // top-level, and Qt cannot tie a hint window to it.
        const QWindow* Handle = window()->windowHandle();
        QWidget* Owner = Handle == nullptr || Handle->isTopLevel() ? this : nullptr;
        if (!toolTip().isEmpty())
            QToolTip::showText(Help->globalPos(), toolTip(), Owner, Owner != nullptr ? rect() : QRect(),
                               TZentavoApplication::HintHidePause());
        return true;
    }
    return QWidget::event(Event);
}

void TFlatImageButton::paintEvent(QPaintEvent*)
{
    QPainter Painter(this);
    if (!FVisiblePicture.isNull())
        Painter.drawImage(QPoint(-FOffSetX, -FOffSetY), FVisiblePicture);
    if (FUseCaption && !FCaption.isEmpty()) {
        if (!FTransparence)
            Painter.fillRect(rect(), FColor);
        Painter.drawText(rect(), Qt::AlignCenter, FCaption);
    }
    if (hasFocus()) {
        QPen Pen(Qt::black, 1, Qt::DotLine);
        Painter.setPen(Pen);
        Painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void TFlatImageButton::mousePressEvent(QMouseEvent* Event)
{
    const QPoint Where = Event->position().toPoint();
    if (OnMouseDown)
        RunGuarded([&] { OnMouseDown(Event->button(), Event->modifiers(), Where.x(), Where.y()); });
}

void TFlatImageButton::mouseReleaseEvent(QMouseEvent* Event)
{
    if (Event->button() == Qt::LeftButton && rect().contains(Event->position().toPoint()))
        setFocus(Qt::MouseFocusReason);
}

void TFlatImageButton::mouseMoveEvent(QMouseEvent* Event)
{
    const QPoint Where = Event->position().toPoint();
    if (OnMouseMove)
        RunGuarded([&] { OnMouseMove(Event->buttons(), Event->modifiers(), Where.x(), Where.y()); });
}

void TFlatImageButton::mouseDoubleClickEvent(QMouseEvent* Event)
{
    if (Event->button() == Qt::LeftButton && OnDblClick)
        RunGuarded(OnDblClick);
}

void TFlatImageButton::keyPressEvent(QKeyEvent* Event)
{
    if (OnKeyPress)
        RunGuarded([&] { OnKeyPress(*Event); });
}

void TFlatImageButton::contextMenuEvent(QContextMenuEvent* Event)
{
    if (FPopupMenu != nullptr)
        FPopupMenu->popup(Event->globalPos());
}

void TFlatImageButton::focusInEvent(QFocusEvent*)
{
    update();
}

void TFlatImageButton::focusOutEvent(QFocusEvent*)
{
    update();
}
