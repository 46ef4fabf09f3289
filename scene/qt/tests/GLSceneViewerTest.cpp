#include "scene/qt/GLSceneViewer.h"
#include "ViewerTestSupport.h"

#include "scene/GLCamera.h"
#include "scene/GLDispatch.h"
#include "scene/GLDummyCube.h"
#include "scene/GLLightSource.h"
#include "scene/GLSceneGraph.h"
#include "scene/GLSphere.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <QApplication>
#include <QEnterEvent>
#include <QMouseEvent>
#include <vector>

using namespace Scene;
using namespace Scene::Testing;

namespace {

constexpr int ViewerWidth = 328;
constexpr int ViewerHeight = 344;
const QColor KeyColour(166, 202, 240);

// The globe's viewer: 328 x 344, sky-blue background, a camera at -10 on Z
// looking at the origin with FocalLength 120, a sphere of radius 1.5 there,
// and a parallel light from the viewer's side.
class Viewer : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "no X display";
        SetGLDispatch(nullptr);
        PlaceGlobeCamera(Camera, Planetarium);
        Earth.SetRadius(1.5f);
        Earth.SetSlices(120);
        Earth.SetStacks(120);
        Sun.SetLightStyle(lsParallel);
        Sun.SpotDirection().SetVector(0, 0, -1); // from the camera's side
        ASSERT_TRUE(ShowGlobeViewer(View, Camera));
    }

    QImage Frame()
    {
        QImage Image = View.GrabFrame();
        EXPECT_EQ(Image.size(), QSize(ViewerWidth, ViewerHeight));
        return Image;
    }

    TGLScene Scene;
    TGLCamera& Camera = Scene.AddNewObject<TGLCamera>();
    TGLDummyCube& Planetarium = Scene.AddNewObject<TGLDummyCube>();
    TGLSphere& Earth = Planetarium.AddNewChild<TGLSphere>();
    TGLLightSource& Sun = Planetarium.AddNewChild<TGLLightSource>();
    TGLSceneViewer View;

    // Waits for the frame after Count, then for quiet; the number of frames drawn since.
    std::int64_t FramesAfter(std::int64_t Count)
    {
        EXPECT_TRUE(WaitUntil([&] { return View.Buffer().FrameCount() > Count; })) << View.LastError();
        Settle(View);
        return View.Buffer().FrameCount() - Count;
    }
};

} // namespace

TEST_F(Viewer, TheBackgroundIsExactlyTheKeyColourAndTheSphereIsNot)
{
    EXPECT_TRUE(View.LastError().empty()) << View.LastError();
    const QImage Image = Frame();
    ASSERT_FALSE(Image.isNull());
    const int CX = ViewerWidth / 2;
    const int CY = ViewerHeight / 2;
    for (const QPoint P :
         {QPoint(0, 0), QPoint(ViewerWidth - 1, 0), QPoint(0, ViewerHeight - 1),
          QPoint(ViewerWidth - 1, ViewerHeight - 1), QPoint(CX + 150, CY), QPoint(CX, CY - 150)})
        EXPECT_EQ(Rgb(Image, P.x(), P.y()), KeyColour) << "at " << P.x() << ", " << P.y();
    // The sphere seen from 10 units covers about 137 pixels around the centre.
    for (const QPoint P : {QPoint(CX, CY), QPoint(CX + 120, CY), QPoint(CX - 120, CY), QPoint(CX, CY + 120)})
        EXPECT_NE(Rgb(Image, P.x(), P.y()), KeyColour) << "at " << P.x() << ", " << P.y();
    // Lit head-on: the centre is brighter than the rim.
    EXPECT_GT(Image.pixelColor(CX, CY).red(), Image.pixelColor(CX + 130, CY).red());
    int Covered = 0;
    for (int Y = 0; Y < ViewerHeight; ++Y)
        for (int X = 0; X < ViewerWidth; ++X)
            Covered += Rgb(Image, X, Y) != KeyColour;
    const double Expected = 3.14159 * 137.6 * 137.6;
    EXPECT_NEAR(Covered, Expected, Expected * 0.05);
}

TEST_F(Viewer, ShowingTheWindowDrawsOneFrame)
{
    // The frame Qt asks for while resizing the surface on the way to the
    // screen would never be seen.
    EXPECT_EQ(View.Buffer().FrameCount(), 1);
}

TEST_F(Viewer, ManyChangesBetweenPaintsCostOneFrame)
{
    const std::int64_t Before = View.Buffer().FrameCount();
    Planetarium.SetTurnAngle(10);
    Planetarium.SetTurnAngle(20);
    Earth.SetRadius(1.4f);
    EXPECT_EQ(FramesAfter(Before), 1);
    // Nothing changed: nothing drawn.
    Settle(View);
    EXPECT_EQ(View.Buffer().FrameCount(), Before + 1);
    Camera.SetFocalLength(60);
    EXPECT_EQ(FramesAfter(Before + 1), 1);
}

TEST_F(Viewer, LightingOffDrawsUnlitAndBackOnRepaints)
{
    const QColor Lit = Rgb(Frame(), ViewerWidth / 2 + 60, ViewerHeight / 2);
    const std::int64_t Before = View.Buffer().FrameCount();
    View.Buffer().SetLighting(false);
    EXPECT_EQ(FramesAfter(Before), 1);
    const QColor Unlit = Rgb(Frame(), ViewerWidth / 2 + 60, ViewerHeight / 2);
    EXPECT_NE(Unlit, Lit);
    // Without lighting the default material's front Diffuse (0.8 grey) shows flat.
    EXPECT_NEAR(Unlit.red(), 204, 1);
    EXPECT_EQ(Unlit.red(), Unlit.green());
    EXPECT_EQ(Unlit.red(), Unlit.blue());
    View.Buffer().SetLighting(true);
    EXPECT_EQ(FramesAfter(Before + 1), 1);
    EXPECT_EQ(Rgb(Frame(), ViewerWidth / 2 + 60, ViewerHeight / 2), Lit);
}

TEST_F(Viewer, AnEmptyViewerKeepsAOnePixelViewportAndDrawsNothing)
{
    const std::int64_t Before = View.Buffer().FrameCount();
    View.resize(0, 0);
    Settle(View);
    EXPECT_EQ(View.Buffer().Viewport(), (TGLViewport{0, 0, 1, 1}));
    Planetarium.SetTurnAngle(45);
    Settle(View);
    EXPECT_EQ(View.Buffer().FrameCount(), Before);
    View.resize(ViewerWidth, ViewerHeight);
    ASSERT_TRUE(WaitUntil([&] { return View.Buffer().FrameCount() > Before; }));
    EXPECT_EQ(View.Buffer().Width(), ViewerWidth);
}

TEST_F(Viewer, AContextOptionMakesTheSurfaceAgain)
{
    const QImage Aliased = Frame();
    QWidget* Old = View.Surface();
    const std::int64_t Before = View.Buffer().FrameCount();
    View.Buffer().SetAntiAliasing(aa4x);
    EXPECT_NE(View.Surface(), Old);
    EXPECT_EQ(View.SurfaceFormat().samples(), 4);
    ASSERT_TRUE(WaitUntil([&] { return View.Buffer().FrameCount() > Before; })) << View.LastError();
    Settle(View);
    const QImage Image = Frame();
    EXPECT_EQ(Rgb(Image, 0, 0), KeyColour);
    EXPECT_NE(Rgb(Image, ViewerWidth / 2, ViewerHeight / 2), KeyColour);
    // Multisampling smooths the silhouette; inside, facet edges may move by a shade or two.
    int Changed = 0;
    for (int Y = 0; Y < ViewerHeight; ++Y)
        for (int X = 0; X < ViewerWidth; ++X) {
            const QColor A = Image.pixelColor(X, Y);
            const QColor B = Aliased.pixelColor(X, Y);
            const int Difference = std::max({std::abs(A.red() - B.red()), std::abs(A.green() - B.green()),
                                             std::abs(A.blue() - B.blue())});
            if (Difference > 8) {
                ++Changed;
                const double Radius = std::hypot(X + 0.5 - ViewerWidth / 2.0, Y + 0.5 - ViewerHeight / 2.0);
                EXPECT_NEAR(Radius, 137.6, 3) << "at " << X << ", " << Y;
            }
        }
    EXPECT_GT(Changed, 100);
    EXPECT_TRUE(View.LastError().empty()) << View.LastError();
}

TEST_F(Viewer, VSyncGoesThroughTheSwapInterval)
{
    EXPECT_EQ(View.VSync(), vsmNoSync);
    EXPECT_EQ(View.SurfaceFormat().swapInterval(), 0);
    QWidget* Old = View.Surface();
    View.SetVSync(vsmSync);
    ASSERT_TRUE(WaitUntil([&] { return View.Surface() != Old; }));
    EXPECT_EQ(View.SurfaceFormat().swapInterval(), 1);
    const std::int64_t Frames = View.Buffer().FrameCount();
    ASSERT_TRUE(WaitUntil([&] { return View.Buffer().FrameCount() > Frames; })) << View.LastError();
    // Applied once: no further surfaces.
    Old = View.Surface();
    Settle(View);
    EXPECT_EQ(View.Surface(), Old);
}

TEST_F(Viewer, FieldOfViewFollowsTheFocalLength)
{
    EXPECT_NEAR(View.FieldOfView(), 107.61f, 0.01f);
    View.SetFieldOfView(90);
    EXPECT_NEAR(Camera.FocalLength(), 164, 1e-3);
    TGLSceneViewer Empty;
    EXPECT_EQ(Empty.FieldOfView(), 0);
    Empty.SetFieldOfView(30); // no camera: nothing
}

TEST_F(Viewer, ResetFrameStatsDrawsNothing)
{
    View.ResetFrameStats();
    EXPECT_EQ(View.Buffer().FrameCount(), 0);
    Settle(View);
    EXPECT_EQ(View.Buffer().FrameCount(), 0);
    // The last frame is still there to read.
    EXPECT_EQ(Rgb(Frame(), 0, 0), KeyColour);
    Planetarium.SetTurnAngle(30);
    EXPECT_EQ(FramesAfter(0), 1);
}

TEST_F(Viewer, GrabbingInsideAfterRenderSeesTheNewFrame)
{
    QImage Seen;
    View.Buffer().SetAfterRender([&] { Seen = View.GrabFrame(); });
    View.Buffer().SetBackgroundColor(clWhite);
    FramesAfter(View.Buffer().FrameCount());
    ASSERT_FALSE(Seen.isNull());
    EXPECT_EQ(Rgb(Seen, 0, 0), QColor(255, 255, 255));
    EXPECT_EQ(Rgb(Frame(), 0, 0), QColor(255, 255, 255));
}

TEST_F(Viewer, MouseEventsReachTheHandlersWithButtonsAndKeys)
{
    // The OpenGL surface lets the mouse through to the viewer.
    EXPECT_EQ(View.childAt(10, 10), nullptr);
    struct TSeen
    {
        std::string Kind;
        TMouseButton Button;
        TShiftState Shift;
        int X;
        int Y;
    };
    std::vector<TSeen> Seen;
    View.SetOnMouseDown([&](TMouseButton B, TShiftState S, int X, int Y) {
        Seen.push_back({"down", B, S, X, Y});
    });
    View.SetOnMouseUp([&](TMouseButton B, TShiftState S, int X, int Y) {
        Seen.push_back({"up", B, S, X, Y});
    });
    View.SetOnMouseMove([&](TShiftState S, int X, int Y) { Seen.push_back({"move", mbLeft, S, X, Y}); });
    View.SetOnMouseEnter([&] { Seen.push_back({"enter", mbLeft, {}, 0, 0}); });
    View.SetOnMouseLeave([&] { Seen.push_back({"leave", mbLeft, {}, 0, 0}); });

    const auto Send = [&](QEvent::Type Type, QPoint At, Qt::MouseButton Button, Qt::MouseButtons Held,
                          Qt::KeyboardModifiers Keys) {
        QMouseEvent Event(Type, QPointF(At), QPointF(View.mapToGlobal(At)), Button, Held, Keys);
        QApplication::sendEvent(&View, &Event);
    };
    QEnterEvent Enter(QPointF(5, 5), QPointF(5, 5), QPointF(View.mapToGlobal(QPoint(5, 5))));
    QApplication::sendEvent(&View, &Enter);
    Send(QEvent::MouseButtonPress, {10, 20}, Qt::LeftButton, Qt::LeftButton, Qt::ControlModifier);
    Send(QEvent::MouseMove, {15, 25}, Qt::NoButton, Qt::LeftButton, Qt::ControlModifier);
    Send(QEvent::MouseButtonRelease, {15, 25}, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    Send(QEvent::MouseButtonDblClick, {15, 25}, Qt::RightButton, Qt::RightButton,
         Qt::ShiftModifier | Qt::AltModifier);
    Send(QEvent::MouseMove, {30, 40}, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QEvent Leave(QEvent::Leave);
    QApplication::sendEvent(&View, &Leave);

    ASSERT_EQ(Seen.size(), 7u);
    EXPECT_EQ(Seen[0].Kind, "enter");
    EXPECT_EQ(Seen[1].Kind, "down");
    EXPECT_EQ(Seen[1].Button, mbLeft);
    EXPECT_EQ(Seen[1].Shift, (TShiftState{ssCtrl, ssLeft}));
    EXPECT_EQ(Seen[1].X, 10);
    EXPECT_EQ(Seen[1].Y, 20);
    EXPECT_EQ(Seen[2].Kind, "move");
    EXPECT_EQ(Seen[2].Shift, (TShiftState{ssCtrl, ssLeft}));
    EXPECT_EQ(Seen[3].Kind, "up");
    EXPECT_EQ(Seen[3].Shift, TShiftState{});
    EXPECT_EQ(Seen[4].Kind, "down");
    EXPECT_EQ(Seen[4].Button, mbRight);
    EXPECT_EQ(Seen[4].Shift, (TShiftState{ssShift, ssAlt, ssRight, ssDouble}));
    EXPECT_EQ(Seen[5].Kind, "move");
    EXPECT_EQ(Seen[5].X, 30);
    EXPECT_EQ(Seen[5].Shift, TShiftState{});
    EXPECT_EQ(Seen[6].Kind, "leave");
}

TEST_F(Viewer, AThrowingHandlerIsReportedNotPropagated)
{
    std::string Reported;
    View.SetOnError([&](const std::exception& Error) { Reported = Error.what(); });
    View.Buffer().SetBeforeRender([] { throw std::runtime_error("draw failed"); });
    Planetarium.SetTurnAngle(5);
    ASSERT_TRUE(WaitUntil([&] { return !Reported.empty(); }));
    EXPECT_EQ(Reported, "draw failed");
    EXPECT_FALSE(View.Buffer().Rendering());
    View.Buffer().SetBeforeRender(nullptr);
    const std::int64_t Before = View.Buffer().FrameCount();
    Planetarium.SetTurnAngle(6);
    EXPECT_EQ(FramesAfter(Before), 1);
}
