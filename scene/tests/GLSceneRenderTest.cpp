#include "GLRecorder.h"
#include "RecordingSceneBuffer.h"
#include "scene/GLDispatch.h"
#include "scene/GLDummyCube.h"
#include "scene/GLSceneGraph.h"
#include "scene/GLSceneObject.h"
#include "scene/GLStateCache.h"
#include "scene/RenderContextInfo.h"
#include "SceneTestHelpers.h"

#include <gtest/gtest.h>
#include <stdexcept>

using namespace Scene;
using Scene::Testing::MatrixNear;
using Scene::Testing::TGLRecorder;
using Scene::Testing::TRecordingSceneBuffer;

namespace {

// Emits glPointSize(Id), so the recorded point sizes give the drawing order.
class TMarker : public TGLSceneObject
{
public:
    TMarker(int Id, bool Blended, bool DirectDraw = true) : FId(Id)
    {
        if (DirectDraw)
            FObjectStyle.Include(TGLObjectStyle::DirectDraw);
        if (Blended)
            Material().SetBlendingMode(bmTransparency);
    }
    void EmitGeometry(TRenderContextInfo&) override { GL().glPointSize(static_cast<float>(FId)); }
    void SetStyle(TGLObjectStyle Style) { FObjectStyle.Include(Style); }

private:
    int FId;
};

class SceneRender : public ::testing::Test
{
protected:
    SceneRender()
    {
        Scene.AddBuffer(Buffer);
        Context.StateCache = &Cache;
        Context.Buffer = &Buffer;
        Context.CameraPosition = TVector{0, 0, -10, 1};
    }

    TMarker& Marker(TGLBaseSceneObject& Parent, int Id, bool Blended, float Z = 0)
    {
        TMarker& M = Parent.AddNewChild<TMarker>(Id, Blended);
        M.SetPosition(TVector{0, 0, Z, 1});
        return M;
    }

    void Render()
    {
        Recorder.Clear();
        Scene.RenderScene(Context);
    }

    std::vector<int> DrawOrder() const
    {
        std::vector<int> Order;
        for (const auto& Call : Recorder.CallsNamed("glPointSize"))
            Order.push_back(static_cast<int>(Call.Args[0]));
        return Order;
    }

    TGLRecorder Recorder; // first, so it outlives the scene's display lists
    TGLScene Scene;
    TRecordingSceneBuffer Buffer;
    TGLStateCache Cache;
    TRenderContextInfo Context;
};

// An orthographic view of x, y in -2..2 looking down +Z from z = -10, depth 1..30.
TFrustum TestFrustum()
{
    TMatrix View = IdentityMatrix();
    View[0].X = -1; // looking down +Z: x flips, z flips
    View[2].Z = -1;
    View[3] = TVector{0, 0, -10, 1};
    TMatrix Projection;
    Projection[0] = TVector{0.5f, 0, 0, 0};
    Projection[1] = TVector{0, 0.5f, 0, 0};
    Projection[2] = TVector{0, 0, -2.0f / 29.0f, 0};
    Projection[3] = TVector{0, 0, -31.0f / 29.0f, 1};
    return ExtractFrustum(View, Projection);
}

} // namespace

TEST_F(SceneRender, APassWithoutStateCacheIsRefused)
{
    Context.StateCache = nullptr;
    EXPECT_THROW(Scene.RenderScene(Context), std::logic_error);
}

TEST_F(SceneRender, DisplayListIsCompiledOnceAndRecompiledOnlyWhenGeometryChanges)
{
    TMarker& Listed = Scene.AddNewObject<TMarker>(7, false, false);
    Render();
    ASSERT_EQ(Recorder.Count("glNewList"), 1u);
    const GLuint List = static_cast<GLuint>(Recorder.CallsNamed("glNewList")[0].Args[0]);
    EXPECT_EQ(Recorder.CallsNamed("glNewList")[0].Args[1], GL_COMPILE);
    ASSERT_EQ(Recorder.ListCalls(List).size(), 1u);
    EXPECT_EQ(Recorder.ListCalls(List)[0].Name, "glPointSize");
    EXPECT_EQ(Recorder.CallsNamed("glCallList").at(0).Args[0], List);

    Render();
    EXPECT_EQ(Recorder.Count("glNewList"), 0u);
    EXPECT_EQ(Recorder.Count("glCallList"), 1u);
    EXPECT_EQ(Recorder.Count("glPointSize"), 0u);

    Listed.SetPosition(TVector{1, 0, 0, 1}); // a transform is no geometry change
    Render();
    EXPECT_EQ(Recorder.Count("glNewList"), 0u);

    Listed.MarkGeometryChanged();
    Render();
    ASSERT_EQ(Recorder.Count("glNewList"), 1u);
    EXPECT_EQ(Recorder.CallsNamed("glNewList")[0].Args[0], List);
}

TEST_F(SceneRender, DirectDrawObjectsEmitEveryFrame)
{
    Scene.AddNewObject<TMarker>(3, false);
    Render();
    Render();
    EXPECT_EQ(Recorder.Count("glNewList"), 0u);
    EXPECT_EQ(DrawOrder(), std::vector<int>{3});
}

TEST_F(SceneRender, EachObjectMultipliesItsLocalTransformInsideAPushPop)
{
    TMarker& Parent = Scene.AddNewObject<TMarker>(1, false);
    TMarker& Child = Marker(Parent, 2, false, 3);
    Parent.SetTurnAngle(30);
    Render();
    const auto Multiplies = Recorder.CallsNamed("glMultMatrixf");
    ASSERT_EQ(Multiplies.size(), 3u); // root, parent, child
    TMatrix Sent;
    for (int I = 0; I < 16; ++I)
        Sent.Data()[I] = static_cast<float>(Multiplies[2].Args[I]);
    EXPECT_EQ(Sent, Child.LocalTransform());
    EXPECT_EQ(Recorder.Count("glPushMatrix"), Recorder.Count("glPopMatrix"));
    EXPECT_EQ(Recorder.ModelViewDepth(), 1u);
    EXPECT_TRUE(MatrixNear(Recorder.ModelView(), IdentityMatrix()));
}

TEST_F(SceneRender, AnUnchangedFrameRebuildsNoMatrixAndNoList)
{
    TMarker& Parent = Scene.AddNewObject<TMarker>(1, false, false);
    Marker(Parent, 2, true, 1);
    Marker(Parent, 3, true, 2);
    Render();
    const auto Rebuilds = TGLBaseSceneObject::TransformRebuildCount();
    Render();
    EXPECT_EQ(TGLBaseSceneObject::TransformRebuildCount(), Rebuilds);
    EXPECT_EQ(Recorder.Count("glNewList"), 0u);
}

TEST_F(SceneRender, AHiddenParentHidesItsWholeSubtree)
{
    TMarker& Parent = Scene.AddNewObject<TMarker>(1, false);
    TMarker& Child = Marker(Parent, 2, false);
    Marker(Child, 3, false);
    Scene.AddNewObject<TMarker>(4, false);
    Parent.SetVisible(false);
    Render();
    EXPECT_EQ(DrawOrder(), std::vector<int>{4});
    Parent.SetVisible(true);
    Child.SetVisible(false);
    Render();
    EXPECT_EQ(DrawOrder(), (std::vector<int>{1, 4}));
}

TEST_F(SceneRender, OpaqueChildrenComeFirstThenBlendedFarthestFirst)
{
    Marker(Scene.Objects(), 1, true, 5);   // distance 15
    Marker(Scene.Objects(), 2, false, 0);  // opaque
    Marker(Scene.Objects(), 3, true, -5);  // distance 5
    Marker(Scene.Objects(), 4, true, 20);  // distance 30
    Marker(Scene.Objects(), 5, false, 50); // opaque
    Render();
    EXPECT_EQ(DrawOrder(), (std::vector<int>{2, 5, 4, 1, 3}));
}

TEST_F(SceneRender, BlendedSiblingsAtTheSameDistanceDrawTheLaterFirst)
{
    TGLBaseSceneObject& Axis = Scene.AddNewObject<TMarker>(1, true);
    Marker(Axis, 2, false); // like TimePoint
    Marker(Axis, 3, false); // Earth
    Marker(Axis, 4, true);  // Minutos
    Marker(Axis, 5, true);  // Horas
    Render();
    EXPECT_EQ(DrawOrder(), (std::vector<int>{1, 2, 3, 5, 4}));
}

TEST_F(SceneRender, ManyBlendedObjectsAreSortedByDistance)
{
    const float Z[] = {3, -7, 12, 0.5f, 8, -2, 25, 4, 4, 16};
    for (int I = 0; I < 10; ++I)
        Marker(Scene.Objects(), I, true, Z[I]);
    Render();
    const std::vector<int> Order = DrawOrder();
    ASSERT_EQ(Order.size(), 10u);
    for (std::size_t I = 1; I < Order.size(); ++I)
        EXPECT_GE(Z[Order[I - 1]], Z[Order[I]]) << "at " << I;
}

TEST_F(SceneRender, SortingModesOfAnObjectApplyToItsChildrenOnly)
{
    TMarker& Group = Scene.AddNewObject<TMarker>(10, false);
    Marker(Group, 1, true, 0);
    Marker(Group, 2, false, 9);
    Marker(Group, 3, false, -9);
    Marker(Scene.Objects(), 20, true, 1);
    Marker(Scene.Objects(), 21, false, 1);

    Group.SetObjectsSorting(osNone);
    Render();
    EXPECT_EQ(DrawOrder(), (std::vector<int>{10, 1, 2, 3, 21, 20}));

    Group.SetObjectsSorting(osRenderFarthestFirst);
    Render();
    EXPECT_EQ(DrawOrder(), (std::vector<int>{10, 2, 1, 3, 21, 20}));

    Group.SetObjectsSorting(osRenderNearestFirst);
    Render();
    EXPECT_EQ(DrawOrder(), (std::vector<int>{10, 3, 1, 2, 21, 20}));

    Scene.SetObjectsSorting(osNone);
    Group.SetObjectsSorting(osInherited);
    Render();
    EXPECT_EQ(DrawOrder(), (std::vector<int>{10, 1, 2, 3, 20, 21}));
}

TEST_F(SceneRender, ObjectBasedCullingSkipsObjectsButNotTheirChildren)
{
    Context.Frustum = TestFrustum();
    Scene.SetVisibilityCulling(vcObjectBased);
    TMarker& Outside = Marker(Scene.Objects(), 1, false, 0);
    Outside.SetPosition(TVector{10, 0, 0, 1});
    TMarker& BackInside = Marker(Outside, 2, false, 0);
    BackInside.SetPosition(TVector{-10, 0, 0, 1});
    Marker(Scene.Objects(), 3, false, 0);
    TMarker& Forced = Marker(Scene.Objects(), 4, false, 0);
    Forced.SetPosition(TVector{0, 50, 0, 1});
    Forced.SetStyle(TGLObjectStyle::NoVisibilityCulling);
    TMarker& Behind = Marker(Scene.Objects(), 5, false, -20);
    (void)Behind;
    Render();
    EXPECT_EQ(DrawOrder(), (std::vector<int>{2, 3, 4}));
}

TEST_F(SceneRender, HierarchicalCullingTestsTheSubtreeBox)
{
    Context.Frustum = TestFrustum();
    Scene.SetVisibilityCulling(vcHierarchical);
    TMarker& Far = Marker(Scene.Objects(), 1, false, 0);
    Far.SetPosition(TVector{10, 0, 0, 1});
    Marker(Far, 2, false, 0);
    TMarker& Reaching = Marker(Scene.Objects(), 3, false, 0);
    Reaching.SetPosition(TVector{10, 0, 0, 1});
    TMarker& Inside = Marker(Reaching, 4, false, 0);
    Inside.SetPosition(TVector{-10, 0, 0, 1});
    const std::size_t PushesWhenAllDrawn = 5;
    Render();
    EXPECT_EQ(DrawOrder(), (std::vector<int>{3, 4}));
    EXPECT_EQ(Recorder.Count("glPushMatrix"), PushesWhenAllDrawn - 2);
}

TEST_F(SceneRender, CullingModeOfAnObjectIsRestoredForItsSiblings)
{
    Context.Frustum = TestFrustum();
    TMarker& Group = Scene.AddNewObject<TMarker>(1, false);
    Group.SetVisibilityCulling(vcObjectBased);
    TMarker& CulledChild = Marker(Group, 2, false);
    CulledChild.SetPosition(TVector{30, 0, 0, 1});
    TMarker& Sibling = Marker(Scene.Objects(), 3, false);
    Sibling.SetPosition(TVector{30, 0, 0, 1});
    Render();
    EXPECT_EQ(DrawOrder(), (std::vector<int>{1, 3}));
}

TEST_F(SceneRender, ShowAxesDrawsStippledUnlitAxesOfTheDepthOfView)
{
    Context.CameraDepthOfView = 240;
    TMarker& Object = Scene.AddNewObject<TMarker>(1, false);
    Object.SetShowAxes(true);
    Render();
    const auto Vertices = Recorder.CallsNamed("glVertex3f");
    ASSERT_EQ(Vertices.size(), 12u);
    EXPECT_EQ(Vertices[1].Args, (std::vector<double>{-240, 0, 0}));
    EXPECT_EQ(Vertices[3].Args, (std::vector<double>{240, 0, 0}));
    EXPECT_EQ(Vertices[11].Args, (std::vector<double>{0, 0, 240}));
    const auto Colors = Recorder.CallsNamed("glColor3f");
    EXPECT_EQ(Colors[0].Args, (std::vector<double>{0.5, 0, 0}));
    EXPECT_EQ(Colors[5].Args, (std::vector<double>{0, 0, 1}));
    EXPECT_EQ(Recorder.CallsNamed("glLineStipple")[0].Args, (std::vector<double>{1, 0xCCCC}));
    EXPECT_EQ(Recorder.CallsNamed("glDisable")[0].Args[0], GL_LIGHTING);
    EXPECT_EQ(Recorder.Count("glPushAttrib"), Recorder.Count("glPopAttrib"));
    // The axes come before the object's own geometry.
    const auto Names = Recorder.Names();
    EXPECT_LT(std::find(Names.begin(), Names.end(), "glVertex3f"),
              std::find(Names.begin(), Names.end(), "glPointSize"));
}

TEST_F(SceneRender, IgnoreDepthBufferSwitchesTheDepthTestOffAroundTheSubtreeOnly)
{
    Cache.Enable(stDepthTest);
    TMarker& Object = Scene.AddNewObject<TMarker>(1, false);
    Object.SetStyle(TGLObjectStyle::IgnoreDepthBuffer);
    Render();
    // The material switches other capabilities too: look at the depth test only.
    const auto& Calls = Recorder.Calls();
    const auto DepthSwitch = [](const char* Name) {
        return [Name](const Scene::Testing::TGLCall& Call) {
            return Call.Name == Name && Call.Args[0] == GL_DEPTH_TEST;
        };
    };
    const auto Off = std::find_if(Calls.begin(), Calls.end(), DepthSwitch("glDisable"));
    const auto Draw = std::find_if(Calls.begin(), Calls.end(), [](const Scene::Testing::TGLCall& Call) {
        return Call.Name == "glPointSize";
    });
    const auto On = std::find_if(Calls.begin(), Calls.end(), DepthSwitch("glEnable"));
    ASSERT_NE(On, Calls.end());
    EXPECT_LT(Off, Draw);
    EXPECT_LT(Draw, On);
    EXPECT_TRUE(Cache.IsEnabled(stDepthTest));
    EXPECT_TRUE(Recorder.IsEnabled(GL_DEPTH_TEST));

    // A buffer without depth testing keeps it off.
    Cache.Disable(stDepthTest);
    Render();
    EXPECT_FALSE(Cache.IsEnabled(stDepthTest));
    EXPECT_FALSE(Recorder.IsEnabled(GL_DEPTH_TEST));
}

TEST_F(SceneRender, ObjectsWithAMaterialBecomeTheCurrentObject)
{
    TMarker& Object = Scene.AddNewObject<TMarker>(1, false);
    Render();
    EXPECT_EQ(Scene.CurrentObject(), &Object);
    EXPECT_EQ(Scene.CurrentBuffer(), &Buffer);
}

TEST_F(SceneRender, DestroyedHandlesAreMadeAgainInTheNextContext)
{
    Scene.AddNewObject<TMarker>(1, false, false);
    Render();
    Recorder.Clear();
    Scene.DestroyHandles();
    EXPECT_EQ(Recorder.Count("glDeleteLists"), 1u);
    Render();
    EXPECT_EQ(Recorder.Count("glGenLists"), 1u);
    EXPECT_EQ(Recorder.Count("glNewList"), 1u);
}

TEST_F(SceneRender, DummyCubeDrawsNothingUnlessVisibleAtRunTime)
{
    TGLDummyCube& Cube = Scene.AddNewObject<TGLDummyCube>();
    Render();
    EXPECT_EQ(Recorder.Count("glVertex3f"), 0u);
    const int Before = Buffer.Changes;
    Cube.SetCubeSize(3.35f);
    Cube.EdgeColor().SetColor(0, 0, 0, 1);
    Cube.SetVisibleAtRunTime(true);
    EXPECT_EQ(Buffer.Changes, Before + 3);
    Render();
    const auto Vertices = Recorder.CallsNamed("glVertex3f");
    ASSERT_EQ(Vertices.size(), 24u);
    for (const auto& Vertex : Vertices)
        for (double Coordinate : Vertex.Args)
            EXPECT_NEAR(std::fabs(Coordinate), 1.675, 1e-6);
    EXPECT_EQ(Recorder.CallsNamed("glColor4fv")[0].Args, (std::vector<double>{0, 0, 0, 1}));
    EXPECT_EQ(Recorder.CallsNamed("glLineStipple")[0].Args[1], 0xCCCC);
    EXPECT_EQ(Cube.HalfExtents(), (TVector{1.675f, 1.675f, 1.675f, 0}));
}

TEST_F(SceneRender, DummyCubeSortsByTheMeanOfItsChildren)
{
    TGLDummyCube& Cube = Scene.AddNewObject<TGLDummyCube>();
    EXPECT_EQ(Cube.SortCenter(), (TVector{0, 0, 0, 1}));
    Marker(Cube, 1, false, 2);
    Marker(Cube, 2, false, 6);
    EXPECT_TRUE(Scene::Testing::VectorNear(Cube.SortCenter(), TVector{0, 0, 4, 1}));
}

TEST_F(SceneRender, AmalgamatedSubtreeIsReplayedFromOneList)
{
    TGLDummyCube& Cube = Scene.AddNewObject<TGLDummyCube>();
    TMarker& Child = Marker(Cube, 1, false, 1);
    Marker(Cube, 2, false, 2);
    Cube.SetAmalgamate(true);
    Render();
    ASSERT_EQ(Recorder.Count("glNewList"), 1u);
    EXPECT_EQ(DrawOrder(), (std::vector<int>{1, 2})); // recorded into the list
    Render();
    EXPECT_EQ(Recorder.Count("glNewList"), 0u);
    EXPECT_EQ(Recorder.Count("glPointSize"), 0u);
    EXPECT_EQ(Recorder.Count("glCallList"), 1u);
    Child.SetPosition(TVector{0, 0, 3, 1});
    Render();
    EXPECT_EQ(Recorder.Count("glNewList"), 1u);
}
