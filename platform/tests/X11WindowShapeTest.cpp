#include "platform/X11WindowShape.h"

#include <chrono>
#include <cstdio>
#include <functional>
#include <gtest/gtest.h>
#include <optional>
#include <QApplication>
#include <QTest>
#include <QImage>
#include <QPainter>
#include <QRandomGenerator>
#include <QWidget>
#include <QWindow>

// Xlib last: its macros clash with Qt's names.
#include <X11/extensions/shape.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

using namespace Platform;

namespace {

const QRgb Key = qRgb(166, 202, 240);

bool WaitFor(const std::function<bool()>& Condition)
{
    return QTest::qWaitFor(Condition, 5000);
}

// Which pixels the rectangles cover, and how often.
std::vector<int> Coverage(const std::vector<QRect>& Rectangles, QSize Size)
{
    std::vector<int> Covered(static_cast<std::size_t>(Size.width() * Size.height()));
    for (const QRect& Rectangle : Rectangles)
        for (int Y = Rectangle.top(); Y <= Rectangle.bottom(); ++Y)
            for (int X = Rectangle.left(); X <= Rectangle.right(); ++X)
                ++Covered[static_cast<std::size_t>(Y * Size.width() + X)];
    return Covered;
}

// The globe's window: key colour on the left half, green on the right.
class TSplitWindow : public QWidget
{
protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter Painter(this);
        Painter.fillRect(0, 0, width() / 2, height(), QColor(Key));
        Painter.fillRect(width() / 2, 0, width() - width() / 2, height(), Qt::green);
    }
};

class X11WindowShapeTest : public testing::Test
{
protected:
    void SetUp() override
    {
        if (QGuiApplication::platformName() != "xcb")
            GTEST_SKIP() << "needs an X server";
        Other = XOpenDisplay(nullptr);
        ASSERT_NE(Other, nullptr);
    }
    void TearDown() override
    {
        if (Other == nullptr)
            return;
        if (Background != 0)
            XDestroyWindow(Other, Background);
        XCloseDisplay(Other);
    }

    // The shape as the server holds it, seen from another connection.
    std::vector<QRect> ServerShape(WId Target, int Kind)
    {
        XSync(Other, False);
        int Count = 0;
        int Ordering = 0;
        XRectangle* Rectangles =
            XShapeGetRectangles(Other, static_cast<Window>(Target), Kind, &Count, &Ordering);
        std::vector<QRect> Result;
        for (int Index = 0; Index < Count; ++Index)
            Result.emplace_back(Rectangles[Index].x, Rectangles[Index].y, Rectangles[Index].width,
                                Rectangles[Index].height);
        if (Rectangles != nullptr)
            XFree(Rectangles);
        return Result;
    }

    unsigned long ScreenPixel(int X, int Y)
    {
        XSync(Other, False);
        XImage* Image = XGetImage(Other, DefaultRootWindow(Other), X, Y, 1, 1, AllPlanes, ZPixmap);
        if (Image == nullptr)
            return ~0ul;
        const unsigned long Pixel = XGetPixel(Image, 0, 0) & 0xFFFFFFul;
        XDestroyImage(Image);
        return Pixel;
    }

    Display* Other = nullptr;
    Window Background = 0;
    TX11WindowShape Shape;
};

} // namespace

TEST(X11WindowShapeRegion, CoversExactlyThePixelsThatAreNotTheKey)
{
    QImage Frame(329, 345, QImage::Format_RGB32);
    QRandomGenerator Random(7);
    for (int Y = 0; Y < Frame.height(); ++Y)
        for (int X = 0; X < Frame.width(); ++X) {
            // Bands of repeated rows and noise, and colours one step from the key.
            const bool Keyed = Y < 100 ? X % 7 < 3 : Random.bounded(3) == 0;
            const QRgb Near = Random.bounded(2) ? qRgb(166, 202, 241) : qRgb(167, 202, 240);
            Frame.setPixel(X, Y, Keyed ? Key : Near);
        }
    const auto Rectangles = TX11WindowShape::OpaqueRectangles(Frame, Key, Frame.size());
    const auto Covered = Coverage(Rectangles, Frame.size());
    for (int Y = 0; Y < Frame.height(); ++Y)
        for (int X = 0; X < Frame.width(); ++X)
            ASSERT_EQ(Covered[static_cast<std::size_t>(Y * Frame.width() + X)],
                      Frame.pixel(X, Y) == Key ? 0 : 1)
                << X << "," << Y;
    // The hundred striped rows share one rectangle per stripe.
    EXPECT_EQ(
        std::count_if(Rectangles.begin(), Rectangles.end(), [](const QRect& R) { return R.top() == 0; }), 47);
}

TEST(X11WindowShapeRegion, AlphaAndOtherFormatsDoNotHideTheKey)
{
    QImage Frame(4, 2, QImage::Format_ARGB32_Premultiplied);
    Frame.fill(QColor(Key));
    Frame.setPixel(1, 1, qRgb(0, 0, 0));
    auto Rectangles = TX11WindowShape::OpaqueRectangles(Frame, Key | 0xFF000000u, Frame.size());
    ASSERT_EQ(Rectangles.size(), 1u);
    EXPECT_EQ(Rectangles[0], QRect(1, 1, 1, 1));

    Frame.fill(QColor(Key));
    EXPECT_TRUE(TX11WindowShape::OpaqueRectangles(Frame, Key, Frame.size()).empty());
    Frame.fill(Qt::white);
    EXPECT_EQ(TX11WindowShape::OpaqueRectangles(Frame, Key, Frame.size()),
              std::vector<QRect>{QRect(0, 0, 4, 2)});
}

TEST(X11WindowShapeRegion, WhatTheFrameDoesNotCoverStays)
{
    QImage Frame(328, 344, QImage::Format_RGB32);
    Frame.fill(QColor(Key));
    const auto Rectangles = TX11WindowShape::OpaqueRectangles(Frame, Key, QSize(329, 345));
    const auto Covered = Coverage(Rectangles, QSize(329, 345));
    EXPECT_EQ(std::count(Covered.begin(), Covered.end(), 1), 329 * 345 - 328 * 344);
    EXPECT_EQ(std::count(Covered.begin(), Covered.end(), 0), 328 * 344);
}

TEST(X11WindowShapeRegion, AGlobeNeedsFewRectanglesQuickly)
{
    QImage Frame(329, 345, QImage::Format_RGB32);
    Frame.fill(QColor(Key));
    QPainter Painter(&Frame);
    Painter.setBrush(Qt::darkBlue);
    Painter.setPen(Qt::NoPen);
    Painter.drawEllipse(QPoint(164, 172), 150, 150);
    Painter.fillRect(1, 1, 32, 32, Qt::yellow); // the moon button
    Painter.end();
    const auto Start = std::chrono::steady_clock::now();
    constexpr int Rounds = 100;
    std::size_t Count = 0;
    for (int Round = 0; Round < Rounds; ++Round)
        Count = TX11WindowShape::OpaqueRectangles(Frame, Key, Frame.size()).size();
    const double Microseconds =
        std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - Start).count() / Rounds;
    std::printf("globe frame: %zu rectangles, %.0f us per frame\n", Count, Microseconds);
    EXPECT_LE(Count, 345u + 2u); // at most one per row, and the moon's rows
}

TEST_F(X11WindowShapeTest, TheServerCutsTheKeyColourOut)
{
    TSplitWindow Clock;
    Clock.setWindowFlags(Qt::FramelessWindowHint);
    Clock.setGeometry(900, 600, 329, 345);
    Clock.show();
    ASSERT_TRUE(WaitFor([&] { return Clock.isVisible(); }));
    QImage Frame(329, 345, QImage::Format_RGB32);
    Frame.fill(Qt::green);
    for (int Y = 0; Y < 345; ++Y)
        for (int X = 0; X < 164; ++X)
            Frame.setPixel(X, Y, Key);
    Shape.ApplyColorKey(Clock, Frame, Key);
    for (const int Kind : {ShapeBounding, ShapeInput}) {
        const auto Rectangles = ServerShape(Clock.winId(), Kind);
        ASSERT_FALSE(Rectangles.empty());
        QRect Bounds;
        long Area = 0;
        for (const QRect& Rectangle : Rectangles) {
            Bounds |= Rectangle;
            Area += Rectangle.width() * Rectangle.height();
        }
        EXPECT_EQ(Bounds, QRect(164, 0, 165, 345)) << Kind;
        EXPECT_EQ(Area, 165L * 345) << Kind;
    }
}

TEST_F(X11WindowShapeTest, KeyPixelsShowWhatLiesBeneath)
{
    // The wallpaper: a red window over the whole screen, made by another program.
    const int Screen = DefaultScreen(Other);
    Background = XCreateSimpleWindow(Other, DefaultRootWindow(Other), 0, 0, DisplayWidth(Other, Screen),
                                     DisplayHeight(Other, Screen), 0, 0, 0xFF0000);
    XSetWindowAttributes Attributes{};
    Attributes.override_redirect = True;
    XChangeWindowAttributes(Other, Background, CWOverrideRedirect, &Attributes);
    XMapWindow(Other, Background);
    XSync(Other, False);

    TSplitWindow Clock;
    Clock.setWindowFlags(Qt::FramelessWindowHint);
    Clock.setGeometry(900, 600, 329, 345);
    Clock.show();
    ASSERT_TRUE(WaitFor([&] { return ScreenPixel(900 + 300, 600 + 100) == 0x00FF00; }));
    EXPECT_EQ(ScreenPixel(900 + 20, 600 + 100), qRgb(166, 202, 240) & 0xFFFFFFu);

    Shape.ApplyColorKey(Clock, Clock.grab().toImage(), Key);
    EXPECT_TRUE(WaitFor([&] { return ScreenPixel(900 + 20, 600 + 100) == 0xFF0000; }));
    EXPECT_EQ(ScreenPixel(900 + 163, 600 + 344), 0xFF0000u);
    EXPECT_EQ(ScreenPixel(900 + 164, 600 + 0), 0x00FF00u);
    EXPECT_EQ(ScreenPixel(900 + 328, 600 + 344), 0x00FF00u);
}

TEST_F(X11WindowShapeTest, OpacityReachesTheWindowManager)
{
    QWidget Clock;
    Clock.resize(50, 50);
    Clock.show();
    ASSERT_TRUE(WaitFor([&] { return Clock.isVisible(); }));
    const Atom Opacity = XInternAtom(Other, "_NET_WM_WINDOW_OPACITY", False);
    const auto Read = [&]() -> std::optional<unsigned long> {
        Atom Type = 0;
        int Format = 0;
        unsigned long Count = 0;
        unsigned long Remaining = 0;
        unsigned char* Data = nullptr;
        XSync(Other, False);
        std::optional<unsigned long> Value;
        if (XGetWindowProperty(Other, static_cast<Window>(Clock.windowHandle()->winId()), Opacity, 0, 1,
                               False, XA_CARDINAL, &Type, &Format, &Count, &Remaining, &Data) == Success &&
            Data != nullptr) {
            if (Count == 1)
                Value = *reinterpret_cast<unsigned long*>(Data) & 0xFFFFFFFFul;
            XFree(Data);
        }
        return Value;
    };
    EXPECT_FALSE(Read().has_value());
    // The clock's requests travel on its own connection: wait until the server has them.
    Shape.SetOpacity(Clock, 128);
    EXPECT_TRUE(WaitFor([&] { return Read() == 0x80808080ul; }));
    EXPECT_NEAR(Clock.windowOpacity(), 128.0 / 255, 0.01);
    Shape.SetOpacity(Clock, 44);
    EXPECT_TRUE(WaitFor([&] { return Read() == 0x2C2C2C2Cul; }));
    Shape.SetOpacity(Clock, 300);
    EXPECT_TRUE(WaitFor([&] { return !Read().has_value(); }));
    EXPECT_DOUBLE_EQ(Clock.windowOpacity(), 1.0);
}

TEST_F(X11WindowShapeTest, TheKeyReachesANativeWindowQtHasRemade)
{
    TSplitWindow Clock;
    Clock.setGeometry(900, 600, 329, 345);
    Clock.winId();
    Clock.setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnBottomHint);
    Clock.show();
    ASSERT_TRUE(WaitFor([&] { return Clock.isVisible(); }));
    QImage Frame(329, 345, QImage::Format_RGB32);
    Frame.fill(QColor(Key));
    Frame.setPixel(10, 10, qRgb(0, 0, 0));
    Shape.ApplyColorKey(Clock, Frame, Key);
    EXPECT_EQ(ServerShape(Clock.windowHandle()->winId(), ShapeBounding),
              std::vector<QRect>{QRect(10, 10, 1, 1)});
}
