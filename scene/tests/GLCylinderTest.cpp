#include "scene/GLCylinder.h"

#include "GLRecorder.h"
#include "RecordingSceneBuffer.h"
#include "scene/GLSceneGraph.h"
#include "scene/RenderContextInfo.h"
#include "SceneTestHelpers.h"

#include <gtest/gtest.h>

using namespace Scene;
using Scene::Testing::TGLCall;
using Scene::Testing::TGLRecorder;
using Scene::Testing::TRecordingSceneBuffer;
using Scene::Testing::VectorNear;

namespace {

class Cylinder : public ::testing::Test
{
protected:
    Cylinder() { Scene.AddBuffer(Buffer); }

    // Emits outside a list, so the recorder follows the matrices.
    void Emit(TGLCylinder& Object)
    {
        Recorder.Clear();
        Object.EmitGeometry(Context);
    }

    TVector Place(const TGLCall& Call, float X, float Y, float Z) const
    {
        return VectorTransform(TVector{X, Y, Z, 1}, Call.ModelView);
    }

    TGLRecorder Recorder;
    TGLScene Scene;
    TRecordingSceneBuffer Buffer;
    TRenderContextInfo Context;
};

} // namespace

TEST_F(Cylinder, Defaults)
{
    TGLCylinder C;
    EXPECT_EQ(C.BottomRadius(), 0.5f);
    EXPECT_EQ(C.TopRadius(), 0.5f);
    EXPECT_EQ(C.Height(), 1);
    EXPECT_EQ(C.Slices(), 16);
    EXPECT_EQ(C.Stacks(), 4);
    EXPECT_EQ(C.Loops(), 1);
    EXPECT_EQ(C.Parts(), (TCylinderParts{cySides, cyBottom, cyTop}));
    EXPECT_EQ(C.Alignment(), caCenter);
}

TEST_F(Cylinder, PolarAxisSpansMinusToPlusHalfItsHeight)
{
    TGLCylinder& Axis = Scene.AddNewObject<TGLCylinder>();
    Axis.SetBottomRadius(0.05f);
    Axis.SetTopRadius(0.05f);
    Axis.SetHeight(3.5f);
    Emit(Axis);
    const auto Sides = Recorder.CallsNamed("gluCylinder");
    ASSERT_EQ(Sides.size(), 1u);
    EXPECT_EQ(Sides[0].Args, (std::vector<double>{0.05f, 0.05f, 3.5, 16, 4}));
    EXPECT_TRUE(VectorNear(Place(Sides[0], 0, 0, 0), TVector{0, -1.75f, 0, 1}));
    EXPECT_TRUE(VectorNear(Place(Sides[0], 0, 0, 3.5f), TVector{0, 1.75f, 0, 1}));

    const auto Disks = Recorder.CallsNamed("gluDisk");
    ASSERT_EQ(Disks.size(), 2u);
    EXPECT_EQ(Disks[0].Args, (std::vector<double>{0, 0.05f, 16, 1}));
    EXPECT_TRUE(VectorNear(Place(Disks[0], 0, 0, 0), TVector{0, 1.75f, 0, 1}));
    EXPECT_TRUE(VectorNear(Place(Disks[1], 0, 0, 0), TVector{0, -1.75f, 0, 1}));
    EXPECT_EQ(Recorder.ModelViewDepth(), 1u);
}

TEST_F(Cylinder, QuadricSetUpAndTheBottomDiskFacingDown)
{
    TGLCylinder& C = Scene.AddNewObject<TGLCylinder>();
    C.SetNormals(nsFlat);
    Emit(C);
    EXPECT_EQ(Recorder.CallsNamed("gluQuadricDrawStyle")[0].Args[0], GLU_FILL);
    EXPECT_EQ(Recorder.CallsNamed("gluQuadricNormals")[0].Args[0], GLU_FLAT);
    EXPECT_EQ(Recorder.CallsNamed("gluQuadricTexture")[0].Args[0], GL_TRUE);
    const auto Orientations = Recorder.CallsNamed("gluQuadricOrientation");
    ASSERT_EQ(Orientations.size(), 2u);
    EXPECT_EQ(Orientations[0].Args[0], GLU_OUTSIDE);
    EXPECT_EQ(Orientations[1].Args[0], GLU_INSIDE);
    // The inverted orientation comes right before the bottom disk.
    const auto Names = Recorder.Names();
    const auto Last = std::find(Names.rbegin(), Names.rend(), "gluQuadricOrientation");
    EXPECT_EQ(*(Last - 1), "gluDisk");
    EXPECT_EQ(Recorder.Count("gluNewQuadric"), 1u);
    EXPECT_EQ(Recorder.Count("gluDeleteQuadric"), 1u);
}

TEST_F(Cylinder, InsideNormalsInvertEveryOrientation)
{
    TGLCylinder& C = Scene.AddNewObject<TGLCylinder>();
    C.SetNormalDirection(ndInside);
    Emit(C);
    const auto Orientations = Recorder.CallsNamed("gluQuadricOrientation");
    EXPECT_EQ(Orientations[0].Args[0], GLU_INSIDE);
    EXPECT_EQ(Orientations[1].Args[0], GLU_OUTSIDE);
}

TEST_F(Cylinder, AlignmentAndParts)
{
    TGLCylinder& C = Scene.AddNewObject<TGLCylinder>();
    C.SetHeight(2);
    C.SetAlignment(caTop);
    C.SetParts(TCylinderParts{cySides});
    Emit(C);
    const auto Sides = Recorder.CallsNamed("gluCylinder");
    ASSERT_EQ(Sides.size(), 1u);
    EXPECT_TRUE(VectorNear(Place(Sides[0], 0, 0, 0), TVector{0, -2, 0, 1}));
    EXPECT_TRUE(VectorNear(Place(Sides[0], 0, 0, 2), TVector{0, 0, 0, 1}));
    EXPECT_EQ(Recorder.Count("gluDisk"), 0u);

    C.SetAlignment(caBottom);
    C.SetParts(TCylinderParts{cyTop});
    Emit(C);
    EXPECT_EQ(Recorder.Count("gluCylinder"), 0u);
    ASSERT_EQ(Recorder.Count("gluDisk"), 1u);
    EXPECT_TRUE(VectorNear(Place(Recorder.CallsNamed("gluDisk")[0], 0, 0, 0), TVector{0, 2, 0, 1}));
}

TEST_F(Cylinder, CountsOfZeroOrLessAreIgnoredAndSameValuesDoNotRecompile)
{
    TGLCylinder& C = Scene.AddNewObject<TGLCylinder>();
    C.GeometryList(Context);
    const int Before = Buffer.Changes;
    C.SetSlices(0);
    C.SetStacks(-1);
    C.SetLoops(0);
    C.SetHeight(1);
    C.SetParts(TCylinderParts{cySides, cyTop, cyBottom});
    EXPECT_EQ(C.Slices(), 16);
    EXPECT_EQ(C.Stacks(), 4);
    EXPECT_EQ(C.Loops(), 1);
    EXPECT_EQ(Buffer.Changes, Before);
    EXPECT_EQ(C.ChangeFlags() & TChangeFlags::Geometry, 0);
    C.SetLoops(3);
    EXPECT_NE(C.ChangeFlags() & TChangeFlags::Geometry, 0);
    EXPECT_EQ(Buffer.Changes, Before + 1);
}
