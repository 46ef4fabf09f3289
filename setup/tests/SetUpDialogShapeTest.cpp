#include "PictureServer.h"

#include "platform/testing/FakeServices.h"
#include "platform/X11WindowShape.h"
#include "setup/Frm_SetUp.h"

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QRegion>
#include <QTest>
#include <QWindow>

#include <memory>

// Xlib last: its macros clash with Qt's names.
#include <X11/extensions/shape.h>
#include <X11/Xlib.h>

TEST(SetUpDialogShapeTest, TheSkinsKeyColourIsCutOutOfTheWindowOnTheServer)
{
    if (QGuiApplication::platformName() != "xcb")
        GTEST_SKIP() << "needs an X server";
    Platform::TFakeServices Fakes;
    Platform::TX11WindowShape Shape;
    Fakes.Services().Shape = &Shape;
    TPictureServer Server(Fakes.Libraries);
    Server.Pictures = {{"SETUP", TPictureServer::Skin({358, 430}, qRgb(233, 237, 243))}};
    const auto Dialog = std::make_unique<TFrm_SetUp>(Fakes.Services());
    Dialog->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(Dialog.get()));

    // The bounding shape as the server holds it, seen from another connection.
    Display* Other = XOpenDisplay(nullptr);
    ASSERT_NE(Other, nullptr);
    int Count = 0;
    int Ordering = 0;
    XRectangle* Rectangles = XShapeGetRectangles(
        Other, static_cast<::Window>(Dialog->windowHandle()->winId()), ShapeBounding, &Count, &Ordering);
    QRegion Kept;
    for (int Index = 0; Index < Count; ++Index)
        Kept += QRect(Rectangles[Index].x, Rectangles[Index].y, Rectangles[Index].width,
                      Rectangles[Index].height);
    XFree(Rectangles);
    XCloseDisplay(Other);

    for (const QPoint Point : {QPoint(0, 0), QPoint(3, 3)})
        EXPECT_FALSE(Kept.contains(Point)) << Point.x() << "," << Point.y();
    for (const QPoint Point :
         {QPoint(4, 0), QPoint(0, 4), QPoint(16, 12), QPoint(200, 200), QPoint(357, 429)})
        EXPECT_TRUE(Kept.contains(Point)) << Point.x() << "," << Point.y();
}
