#include "GLRecorder.h"
#include "scene/GLDispatch.h"
#include "scene/GLDummyCube.h"
#include "scene/GLSceneGraph.h"
#include "scene/GLStateCache.h"
#include "scene/RenderContextInfo.h"
#include "SceneTestHelpers.h"

#include <gtest/gtest.h>

using namespace Scene;
using Scene::Testing::TGLRecorder;
using Scene::Testing::VectorNear;

namespace {

class CameraInvariance : public ::testing::Test
{
protected:
    CameraInvariance()
    {
        Context.StateCache = &Cache;
        Context.CameraPosition = TVector{3, 0, 0, 1};
        Context.ModelViewMatrix = TranslationMatrix(TVector{0, 0, -10, 1});
        Parent.SetPosition(TVector{100, 0, 0, 1});
        Parent.SetTurnAngle(40);
        Cube.SetVisibleAtRunTime(true);
        Cube.SetCubeSize(2);
    }

    void Render()
    {
        GL().glMatrixMode(GL_MODELVIEW);
        GL().glLoadMatrixf(Context.ModelViewMatrix.Data());
        Recorder.Clear();
        Scene.RenderScene(Context);
    }

    TVector Center() const
    {
        TVector Sum{0, 0, 0, 0};
        for (const TVector& V : Recorder.EyeVertices())
            Sum = VectorAdd(Sum, V);
        return VectorScale(Sum, 1.0f / static_cast<float>(Recorder.EyeVertices().size()));
    }

    TGLRecorder Recorder;
    TGLScene Scene;
    TGLStateCache Cache;
    TRenderContextInfo Context;
    TGLDummyCube& Parent = Scene.AddNewObject<TGLDummyCube>();
    TGLDummyCube& Cube = Parent.AddNewChild<TGLDummyCube>();
};

} // namespace

TEST_F(CameraInvariance, NoneFollowsTheParents)
{
    Render();
    ASSERT_EQ(Recorder.EyeVertices().size(), 24u);
    EXPECT_TRUE(VectorNear(Center(), TVector{100, 0, -10, 0}, 1e-4f));
}

TEST_F(CameraInvariance, PositionModePlacesTheObjectRelativeToTheCamera)
{
    Cube.SetCamInvarianceMode(cimPosition);
    Cube.SetPosition(TVector{0, 0, 5, 1});
    Render();
    ASSERT_EQ(Recorder.EyeVertices().size(), 24u);
    // Camera (3, 0, 0) plus its own (0, 0, 5), through the view; the parent no longer counts.
    EXPECT_TRUE(VectorNear(Center(), TVector{3, 0, -5, 0}, 1e-4f));
    EXPECT_EQ(Recorder.ModelViewDepth(), 1u);
}

TEST_F(CameraInvariance, OrientationModeKeepsThePlaceButNotTheTurn)
{
    Cube.SetCamInvarianceMode(cimOrientation);
    Cube.SetScale(TVector{2, 1, 1, 0});
    Render();
    const auto& V = Recorder.EyeVertices();
    ASSERT_EQ(V.size(), 24u);
    EXPECT_TRUE(VectorNear(Center(), TVector{100, 0, -10, 0}, 1e-4f));
    // Every edge runs along one eye axis, and x is stretched by the scale.
    for (std::size_t I = 0; I < V.size(); I += 2) {
        const TVector Edge = VectorSubtract(V[I + 1], V[I]);
        const int NonZero =
            (std::fabs(Edge.X) > 1e-4f) + (std::fabs(Edge.Y) > 1e-4f) + (std::fabs(Edge.Z) > 1e-4f);
        EXPECT_EQ(NonZero, 1) << "edge " << I / 2;
    }
    EXPECT_NEAR(std::fabs(V[1].X - V[0].X), 4, 1e-4f);
}
