#pragma once

#include <QColor>
#include <QImage>
#include <QWidget>

#include <functional>

class QMenu;

enum TBevelCut
{
    bvNone,
    bvLowered,
    bvRaised,
    bvSpace
};

// A small focusable control that paints a picture and nothing else: no
// background of its own, so the window behind it shows through, and pixels
// of TransparentColor left out when Transparence is on.
class TFlatImageButton : public QWidget
{
    Q_OBJECT

public:
    explicit TFlatImageButton(QWidget* Parent = nullptr);

    const QImage& Picture() const { return FPicture; }
    // The picture as drawn: the transparent colour left out.
    const QImage& VisiblePicture() const { return FVisiblePicture; }
    // With AutoZise the button takes the picture's size.
    void SetPicture(const QImage& Value);
    void LoadPictureFromFile(const QString& FileName);

    bool AutoZise() const { return FAutoZise; }
    void SetAutoZise(bool Value) { FAutoZise = Value; }
    int OffSetX() const { return FOffSetX; }
    void SetOffSetX(int Value);
    int OffSetY() const { return FOffSetY; }
    void SetOffSetY(int Value);
    bool Transparence() const { return FTransparence; }
    void SetTransparence(bool Value);
    QColor TransparentColor() const { return FTransparentColor; }
    void SetTransparentColor(const QColor& Value);
    bool UseCaption() const { return FUseCaption; }
    void SetUseCaption(bool Value);
    QString Caption() const { return FCaption; }
    void SetCaption(const QString& Value);
    TBevelCut BevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut Value) { FBevelInner = Value; }
    TBevelCut Bevelouter() const { return FBevelouter; }
    void SetBevelouter(TBevelCut Value) { FBevelouter = Value; }
    QColor Color() const { return FColor; }
    void SetColor(const QColor& Value);
    QString Hint() const { return toolTip(); }
    void SetHint(const QString& Value) { setToolTip(Value); }
    QMenu* PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(QMenu* Value) { FPopupMenu = Value; }

    // Event handlers the owner sets; each runs under the error report's guard.
    std::function<void()> OnDblClick;
    std::function<void(QKeyEvent&)> OnKeyPress;
    std::function<void(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)> OnMouseDown;
    std::function<void(Qt::MouseButtons Buttons, Qt::KeyboardModifiers Shift, int X, int Y)> OnMouseMove;

protected:
    bool event(QEvent* Event) override;
    void paintEvent(QPaintEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
    void contextMenuEvent(QContextMenuEvent* Event) override;
    void focusInEvent(QFocusEvent* Event) override;
    void focusOutEvent(QFocusEvent* Event) override;

private:
    void RebuildVisiblePicture();

    QImage FPicture;
    QImage FVisiblePicture; // FPicture with the transparent colour taken out
    bool FAutoZise = false;
    int FOffSetX = 0;
    int FOffSetY = 0;
    bool FTransparence = false;
    QColor FTransparentColor = Qt::white;
    bool FUseCaption = true;
    QString FCaption;
    TBevelCut FBevelInner = bvNone;
    TBevelCut FBevelouter = bvNone;
    QColor FColor = Qt::lightGray;
    QMenu* FPopupMenu = nullptr;
};
