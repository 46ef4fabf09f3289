#include "scene/GLCamera.h"

#include "GLRecorder.h"
#include "RecordingSceneBuffer.h"
#include "scene/GLDummyCube.h"
#include "scene/GLSceneGraph.h"
#include "SceneTestHelpers.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace Scene;
using Scene::Testing::TGLCall;
using Scene::Testing::TGLRecorder;
using Scene::Testing::TRecordingSceneBuffer;
using Scene::Testing::VectorNear;

namespace {

const TGLViewport GlobeViewport{0, 0, 328, 344};

// The one call of that name, checked to exist.
TGLCall OnlyCall(const TGLRecorder& Recorder, const char* Name)
{
    const auto Calls = Recorder.CallsNamed(Name);
    EXPECT_EQ(Calls.size(), 1u) << Name;
    return Calls.empty() ? TGLCall{} : Calls.front();
}

} // namespace

TEST(Camera, DefaultsOfTheStoredDesign)
{
    TGLCamera Camera;
    EXPECT_EQ(Camera.DepthOfView(), 100);
    EXPECT_EQ(Camera.FocalLength(), 50);
    EXPECT_EQ(Camera.SceneScale(), 1);
    EXPECT_EQ(Camera.NearPlaneBias(), 1);
    EXPECT_EQ(Camera.TargetObject(), nullptr);
    EXPECT_EQ(Camera.CameraStyle(), csPerspective);
    EXPECT_TRUE(VectorNear(Camera.Position().AsVector(), TVector{0, 0, 0, 1}));
    EXPECT_TRUE(VectorNear(Camera.Direction().AsVector(), TVector{0, 0, -1, 0}));
    EXPECT_TRUE(VectorNear(Camera.Up().AsVector(), TVector{0, 1, 0, 0}));
    EXPECT_TRUE(Camera.IsCamera());
}

TEST(CameraProjection, GlobeViewerWithFocalLength120)
{
    TGLRecorder Recorder;
    TGLCamera Camera;
    Camera.SetFocalLength(120);
    Camera.SetDepthOfView(240);
    Camera.ApplyProjection(GlobeViewport, 328, 344, 96);

    const TGLCall Frustum = OnlyCall(Recorder, "glFrustum");
    ASSERT_EQ(Frustum.Args.size(), 6u);
    EXPECT_NEAR(Frustum.Args[0], -0.4767, 1e-4); // left
    EXPECT_NEAR(Frustum.Args[1], 0.4767, 1e-4);  // right
    EXPECT_NEAR(Frustum.Args[2], -0.5, 1e-6);    // bottom
    EXPECT_NEAR(Frustum.Args[3], 0.5, 1e-6);     // top
    EXPECT_NEAR(Frustum.Args[4], 2.6369, 1e-4);  // near
    EXPECT_NEAR(Frustum.Args[5], 2.6369 + 240, 1e-3);
    EXPECT_NEAR(Camera.NearDistance(), 2.6369f, 1e-4f);
    EXPECT_NEAR(Camera.ViewportRadius(), std::hypot(0.4767f, 0.5f) / 2.6369f, 1e-4f);
    EXPECT_NEAR(Camera.FieldOfView(328), 107.61f, 0.01f);
}

TEST(CameraProjection, DoublingTheFocalLengthZoomsInByTwo)
{
    TGLRecorder Recorder;
    TGLCamera Camera;
    Camera.SetFocalLength(60);
    Camera.ApplyProjection(GlobeViewport, 328, 344, 96);
    Camera.SetFocalLength(120);
    Camera.ApplyProjection(GlobeViewport, 328, 344, 96);
    const auto Calls = Recorder.CallsNamed("glFrustum");
    ASSERT_EQ(Calls.size(), 2u);
    const double WideTangent = Calls[0].Args[1] / Calls[0].Args[4];
    const double NarrowTangent = Calls[1].Args[1] / Calls[1].Args[4];
    EXPECT_NEAR(NarrowTangent, WideTangent / 2, 1e-6);
    EXPECT_NEAR(Calls[1].Args[4], 2 * Calls[0].Args[4], 1e-6);
    // tan(half the horizontal angle) = 25.4 W / (4 F D).
    EXPECT_NEAR(NarrowTangent, 25.4 * 328 / (4 * 120.0 * 96), 1e-6);
}

TEST(CameraProjection, OrthogonalUsesTheFocalLengthAsZoom)
{
    TGLRecorder Recorder;
    TGLCamera Camera;
    Camera.SetCameraStyle(csOrthogonal);
    Camera.SetFocalLength(100);
    Camera.ApplyProjection(TGLViewport{0, 0, 200, 100}, 200, 100, 96);
    const TGLCall Ortho = OnlyCall(Recorder, "glOrtho");
    ASSERT_EQ(Ortho.Args.size(), 6u);
    // rx = 100 / (W F): right = W / (2 M) * 100 / F = 0.5.
    EXPECT_NEAR(Ortho.Args[1], 0.5, 1e-6);
    EXPECT_NEAR(Ortho.Args[0], -0.5, 1e-6);
    EXPECT_NEAR(Ortho.Args[3], 0.25, 1e-6);
    EXPECT_EQ(Recorder.Count("glFrustum"), 0u);
}

TEST(CameraProjection, Ortho2DIsTheWindowInPixels)
{
    TGLRecorder Recorder;
    TGLCamera Camera;
    Camera.SetCameraStyle(csOrtho2D);
    Camera.ApplyProjection(TGLViewport{0, 0, 300, 400}, 300, 400, 96);
    const TGLCall Ortho = OnlyCall(Recorder, "gluOrtho2D");
    EXPECT_EQ(Ortho.Args, (std::vector<double>{0, 300, 0, 400}));
    EXPECT_EQ(Camera.NearDistance(), -1);
    EXPECT_FLOAT_EQ(Camera.ViewportRadius(), 250);
}

TEST(CameraProjection, CustomStyleLeavesTheProjectionToItsHook)
{
    TGLRecorder Recorder;
    TGLCamera Camera;
    Camera.SetCameraStyle(csCustom);
    TGLViewport Seen;
    int Calls = 0;
    float RadiusOnEntry = 0;
    Camera.SetOnCustomPerspective(
        [&](const TGLViewport& Viewport, int Width, int Height, int DPI, float& ViewportRadius) {
            ++Calls;
            Seen = Viewport;
            EXPECT_EQ(Width, 300);
            EXPECT_EQ(Height, 400);
            EXPECT_EQ(DPI, 96);
            RadiusOnEntry = ViewportRadius;
            GL().gluPerspective(60, 0.75, 1, 10);
            ViewportRadius = 0.5f;
        });
    Camera.ApplyProjection(TGLViewport{0, 0, 300, 400}, 300, 400, 96);
    EXPECT_EQ(Calls, 1);
    EXPECT_EQ(Seen, (TGLViewport{0, 0, 300, 400}));
    EXPECT_FLOAT_EQ(RadiusOnEntry, 250);
    EXPECT_FLOAT_EQ(Camera.ViewportRadius(), 0.5f);
    EXPECT_EQ(Recorder.Count("glFrustum") + Recorder.Count("glOrtho"), 0u);
    EXPECT_EQ(Recorder.Count("gluPerspective"), 1u);

    // Without a hook nothing is set, and nothing breaks.
    Camera.SetOnCustomPerspective(nullptr);
    Camera.ApplyProjection(TGLViewport{0, 0, 300, 400}, 300, 400, 96);
}

TEST(CameraProjection, InfinitePerspectiveKeepsFarPointsInsideTheDepthRange)
{
    TGLRecorder Recorder;
    TGLCamera Camera;
    Camera.SetCameraStyle(csInfinitePerspective);
    Camera.SetFocalLength(120);
    Camera.SetDepthOfView(10);
    GL().glMatrixMode(GL_PROJECTION);
    Camera.ApplyProjection(GlobeViewport, 328, 344, 96);
    EXPECT_EQ(Recorder.Count("glMultMatrixf"), 1u);
    const TMatrix& P = Recorder.Projection();
    const auto Depth = [&](float Z) {
        const TVector Clip = VectorTransform(TVector{0, 0, Z, 1}, P);
        return Clip.Z / Clip.W;
    };
    // Far beyond DepthOfView, still drawn; the near plane maps to -1.
    EXPECT_LT(Depth(-1e6f), 1.0f);
    EXPECT_GT(Depth(-1e6f), 0.99f);
    EXPECT_NEAR(Depth(-Camera.NearDistance()), -1.0f, 1e-4f);
    // Same sides as the finite frustum.
    const TVector Edge = VectorTransform(TVector{0.4767f, 0.5f, -2.6369f, 1}, P);
    EXPECT_NEAR(Edge.X / Edge.W, 1.0f, 1e-3f);
    EXPECT_NEAR(Edge.Y / Edge.W, 1.0f, 1e-3f);
}

TEST(CameraProjection, NothingForAnEmptyWindow)
{
    TGLRecorder Recorder;
    TGLCamera Camera;
    Camera.ApplyProjection(TGLViewport{0, 0, 1, 1}, 0, 344, 96);
    Camera.ApplyProjection(TGLViewport{0, 0, 1, 1}, 328, 0, 96);
    EXPECT_TRUE(Recorder.Calls().empty());
}

TEST(CameraFocalLength, ZeroOrNegativeStoresOne)
{
    TGLCamera Camera;
    Camera.SetFocalLength(0);
    EXPECT_EQ(Camera.FocalLength(), 1);
    Camera.SetFocalLength(120);
    Camera.SetFocalLength(-35);
    EXPECT_EQ(Camera.FocalLength(), 1);
    Camera.SetFocalLength(std::nanf(""));
    EXPECT_EQ(Camera.FocalLength(), 1);
}

TEST(CameraFocalLength, ChangesRepaintUnlessLoading)
{
    TGLScene Scene;
    TRecordingSceneBuffer Buffer;
    Scene.AddBuffer(Buffer);
    TGLCamera& Camera = Scene.AddNewObject<TGLCamera>();
    ASSERT_EQ(Camera.Parent(), &Scene.Cameras());
    const auto Changes = [&](auto Change) {
        Camera.WorldTransform(); // as a frame leaves it
        const int Before = Buffer.Changes;
        Change();
        return Buffer.Changes - Before;
    };
    EXPECT_EQ(Changes([&] { Camera.SetFocalLength(120); }), 1);
    EXPECT_EQ(Changes([&] { Camera.SetFocalLength(120); }), 0);
    EXPECT_EQ(Changes([&] { Camera.SetDepthOfView(240); }), 1);
    EXPECT_EQ(Changes([&] { Camera.SetCameraStyle(csOrthogonal); }), 1);
    EXPECT_EQ(Changes([&] { Camera.SetTargetObject(&Scene.Objects()); }), 1);
    Camera.BeginLoading();
    EXPECT_EQ(Changes([&] { Camera.SetFocalLength(60); }), 0);
    EXPECT_EQ(Camera.FocalLength(), 60);
}

TEST(CameraFieldOfView, ReadAndWriteThroughTheFocalLength)
{
    TGLCamera Camera;
    Camera.SetFocalLength(120);
    EXPECT_NEAR(Camera.FieldOfView(328), 107.6136f, 1e-3f);
    Camera.SetFieldOfView(90, 200);
    EXPECT_NEAR(Camera.FocalLength(), 100, 1e-3);
    // 0 degrees would need an infinite lens: ignored.
    Camera.SetFieldOfView(0, 200);
    EXPECT_NEAR(Camera.FocalLength(), 100, 1e-3);
}

TEST(CameraView, LooksAtItsTargetWithTheStoredUp)
{
    TGLRecorder Recorder;
    TGLScene Scene;
    TGLDummyCube& Target = Scene.AddNewObject<TGLDummyCube>();
    Target.SetPosition(TVector{1, 2, 3, 1});
    // A turned holder: its turn must not reach the up vector.
    TGLDummyCube& Holder = Scene.AddNewObject<TGLDummyCube>();
    Holder.SetRollAngle(90);
    TGLCamera& Camera = Holder.AddNewChild<TGLCamera>();
    Camera.SetPosition(TVector{0, 0, -10, 1});
    Camera.SetTargetObject(&Target);

    Camera.ApplyView();
    const TGLCall LookAt = OnlyCall(Recorder, "gluLookAt");
    const TVector Eye = Camera.WorldPosition();
    ASSERT_EQ(LookAt.Args.size(), 9u);
    EXPECT_NEAR(LookAt.Args[0], Eye.X, 1e-5);
    EXPECT_NEAR(LookAt.Args[1], Eye.Y, 1e-5);
    EXPECT_NEAR(LookAt.Args[2], Eye.Z, 1e-5);
    EXPECT_NEAR(LookAt.Args[3], 1, 1e-6);
    EXPECT_NEAR(LookAt.Args[4], 2, 1e-6);
    EXPECT_NEAR(LookAt.Args[5], 3, 1e-6);
    EXPECT_NEAR(LookAt.Args[6], 0, 1e-6);
    EXPECT_NEAR(LookAt.Args[7], 1, 1e-6);
    EXPECT_NEAR(LookAt.Args[8], 0, 1e-6);
    const TVector Expected =
        VectorNormalize(VectorSubtract(TVector{1, 2, 3, 0}, TVector{Eye.X, Eye.Y, Eye.Z, 0}));
    EXPECT_TRUE(VectorNear(Camera.LastDirection(), Expected));
    EXPECT_NEAR(VectorDotProduct(Camera.LastUp(), Camera.LastDirection()), 0, 1e-6);
    // The target lands on the viewing axis.
    const TVector InEye = VectorTransform(TVector{1, 2, 3, 1}, Recorder.ModelView());
    EXPECT_NEAR(InEye.X, 0, 1e-4);
    EXPECT_NEAR(InEye.Y, 0, 1e-4);
    EXPECT_LT(InEye.Z, 0);
}

TEST(CameraView, WithoutTargetFollowsItsParentsTurn)
{
    TGLRecorder Recorder;
    TGLScene Scene;
    TGLDummyCube& Holder = Scene.AddNewObject<TGLDummyCube>();
    TGLCamera& Camera = Holder.AddNewChild<TGLCamera>();
    Camera.ApplyView();
    const TVector AheadBefore = Camera.LastDirection();
    EXPECT_TRUE(VectorNear(AheadBefore, TVector{0, 0, -1, 0}));

    Holder.SetTurnAngle(90);
    Recorder.Clear();
    Camera.ApplyView();
    const TVector Ahead = Camera.LastDirection();
    EXPECT_NEAR(VectorDotProduct(Ahead, AheadBefore), 0, 1e-5);
    EXPECT_NEAR(std::fabs(Ahead.X), 1, 1e-5);
    // A point one unit along the turned direction is straight ahead in eye space.
    const TVector InEye = VectorTransform(VectorAdd(Camera.WorldPosition(), Ahead), Recorder.ModelView());
    EXPECT_TRUE(VectorNear(InEye, TVector{0, 0, -1, 1}, 1e-5f));
}

TEST(CameraTarget, BecomesNoneWhenTheTargetIsDestroyed)
{
    TGLRecorder Recorder;
    TGLScene Scene;
    TGLCamera& Camera = Scene.AddNewObject<TGLCamera>();
    auto& Target = Scene.AddNewObject<TGLDummyCube>();
    Camera.SetTargetObject(&Target);
    Scene.Objects().DeleteChildren();
    EXPECT_EQ(Camera.TargetObject(), nullptr);
    Camera.ApplyView(); // must not reach the destroyed object
    EXPECT_EQ(Recorder.Count("gluLookAt"), 1u);
}

TEST(CameraTarget, ACameraDestroyedFirstIsNotCalledLater)
{
    TGLScene Scene;
    auto& Target = Scene.AddNewObject<TGLDummyCube>();
    {
        auto Camera = std::make_unique<TGLCamera>();
        Camera->SetTargetObject(&Target);
        auto Second = std::make_unique<TGLCamera>();
        Second->SetTargetObject(&Target);
        Camera.reset();
        Scene.Objects().DeleteChildren();
        EXPECT_EQ(Second->TargetObject(), nullptr);
    }
}
