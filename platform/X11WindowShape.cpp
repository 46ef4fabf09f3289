#include "X11WindowShape.h"

#include <algorithm>
#include <QGuiApplication>
#include <QImage>
#include <QRegion>
#include <QtGui/qguiapplication_platform.h>
#include <QtMath>
#include <QWidget>
#include <QWindow>

// Xlib last: its macros (None, Bool, Status...) clash with names above.
#include <X11/extensions/shape.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace Platform {

namespace {

Display* XDisplay()
{
    auto* Application = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return Application != nullptr ? Application->display() : nullptr;
}

::Window NativeWindow(QWidget& Window)
{
    // After Qt has remade the native window, the widget's own winId() may still
    // name the old one; its QWindow always knows the current one.
    const WId Widget = Window.winId();
    return static_cast<::Window>(Window.windowHandle() != nullptr ? Window.windowHandle()->winId() : Widget);
}

struct TRun
{
    int Left;
    int Width;
    friend bool operator==(const TRun&, const TRun&) = default;
};

} // namespace

std::vector<QRect> TX11WindowShape::OpaqueRectangles(const QImage& Frame, unsigned KeyRgb, QSize WindowSize)
{
    const QImage Pixels = Frame.format() == QImage::Format_RGB32 || Frame.format() == QImage::Format_ARGB32
                              ? Frame
                              : Frame.convertToFormat(QImage::Format_RGB32);
    const int Width = Pixels.width();
    const int Height = Pixels.height();
    const QRgb Key = KeyRgb & 0xFFFFFFu;

    std::vector<QRect> Rectangles;
    std::vector<TRun> Previous;
    std::vector<TRun> Current;
    std::size_t PreviousFirst = 0; // where the rectangles of the previous row begin
    for (int Row = 0; Row < Height; ++Row) {
        const auto* Line = reinterpret_cast<const QRgb*>(Pixels.constScanLine(Row));
        Current.clear();
        for (int Column = 0; Column < Width;) {
            while (Column < Width && (Line[Column] & 0xFFFFFFu) == Key)
                ++Column;
            const int Start = Column;
            while (Column < Width && (Line[Column] & 0xFFFFFFu) != Key)
                ++Column;
            if (Column > Start)
                Current.push_back({Start, Column - Start});
        }
        if (Row > 0 && Current == Previous) {
            for (std::size_t Index = PreviousFirst; Index < Rectangles.size(); ++Index)
                Rectangles[Index].setBottom(Row);
            continue;
        }
        PreviousFirst = Rectangles.size();
        for (const TRun& Run : Current)
            Rectangles.emplace_back(Run.Left, Row, Run.Width, 1);
        std::swap(Previous, Current);
    }
    if (WindowSize.width() > Width)
        Rectangles.emplace_back(Width, 0, WindowSize.width() - Width, std::max(Height, WindowSize.height()));
    if (WindowSize.height() > Height)
        Rectangles.emplace_back(0, Height, Width, WindowSize.height() - Height);
    return Rectangles;
}

void TX11WindowShape::ApplyColorKey(QWidget& Window, const QImage& Frame, unsigned KeyRgb)
{
    const qreal Ratio = Window.devicePixelRatioF();
    const QSize DeviceSize(qRound(Window.width() * Ratio), qRound(Window.height() * Ratio));
    const std::vector<QRect> Opaque = OpaqueRectangles(Frame, KeyRgb, DeviceSize);
    const ::Window Native = NativeWindow(Window);

    Display* Connection = XDisplay();
    int EventBase = 0;
    int ErrorBase = 0;
    if (Connection == nullptr || !XShapeQueryExtension(Connection, &EventBase, &ErrorBase)) {
        // Qt takes the mask in the window's logical pixels.
        QRegion Region;
        for (const QRect& Rectangle : Opaque)
            Region += QRect(QPoint(qFloor(Rectangle.left() / Ratio), qFloor(Rectangle.top() / Ratio)),
                            QPoint(qCeil((Rectangle.right() + 1) / Ratio) - 1,
                                   qCeil((Rectangle.bottom() + 1) / Ratio) - 1));
        if (QWindow* Handle = Window.windowHandle())
            Handle->setMask(Region);
        return;
    }
    std::vector<XRectangle> Rectangles;
    Rectangles.reserve(Opaque.size());
    for (const QRect& Rectangle : Opaque)
        Rectangles.push_back({static_cast<short>(Rectangle.x()), static_cast<short>(Rectangle.y()),
                              static_cast<unsigned short>(Rectangle.width()),
                              static_cast<unsigned short>(Rectangle.height())});
    // Clicks on see-through pixels reach what lies beneath, as with a colour-keyed window.
    for (const int Kind : {ShapeBounding, ShapeInput})
        XShapeCombineRectangles(Connection, Native, Kind, 0, 0, Rectangles.data(),
                                static_cast<int>(Rectangles.size()), ShapeSet, Unsorted);
    XSync(Connection, False); // on the server when this returns, for whoever looks next
}

void TX11WindowShape::SetOpacity(QWidget& Window, int Alpha)
{
    const unsigned Level = static_cast<unsigned>(std::clamp(Alpha, 0, 255));
    Window.setWindowOpacity(Level / 255.0);
    // Qt writes the property only when it creates the native window, so a later
    // change is written here.
    Display* Connection = XDisplay();
    if (Connection == nullptr)
        return;
    const ::Window Native = NativeWindow(Window);
    const Atom Opacity = XInternAtom(Connection, "_NET_WM_WINDOW_OPACITY", False);
    if (Level == 255) {
        XDeleteProperty(Connection, Native, Opacity);
    } else {
        const unsigned long Value = Level * 0x01010101ul; // 0..255 onto 0..0xFFFFFFFF
        XChangeProperty(Connection, Native, Opacity, XA_CARDINAL, 32, PropModeReplace,
                        reinterpret_cast<const unsigned char*>(&Value), 1);
    }
    XSync(Connection, False); // on the server when this returns, for whoever looks next
}

} // namespace Platform
