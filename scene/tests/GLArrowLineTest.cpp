#include "scene/GLArrowLine.h"

#include "GLRecorder.h"
#include "scene/RenderContextInfo.h"
#include "SceneTestHelpers.h"

#include <gtest/gtest.h>

using namespace Scene;
using Scene::Testing::TGLCall;
using Scene::Testing::TGLRecorder;
using Scene::Testing::VectorNear;

namespace {

class ArrowLine : public ::testing::Test
{
protected:
    void Emit()
    {
        Recorder.Clear();
        Arrow.EmitGeometry(Context);
    }

    // The object-space z of a GLU point (0, 0, Z) at the moment of Call.
    static float ZAt(const TGLCall& Call, float Z)
    {
        return VectorTransform(TVector{0, 0, Z, 1}, Call.ModelView).Z;
    }

    TGLRecorder Recorder;
    TGLArrowLine Arrow;
    TRenderContextInfo Context;
};

} // namespace

TEST_F(ArrowLine, Defaults)
{
    EXPECT_EQ(Arrow.TopRadius(), 0.1f);
    EXPECT_EQ(Arrow.BottomRadius(), 0.1f);
    EXPECT_EQ(Arrow.Height(), 1);
    EXPECT_EQ(Arrow.HeadStackingStyle(), ahssStacked);
    EXPECT_EQ(Arrow.Parts(), (TArrowLineParts{alLine, alTopArrow}));
    EXPECT_EQ(Arrow.TopArrowHeadHeight(), 0.5f);
    EXPECT_EQ(Arrow.TopArrowHeadRadius(), 0.2f);
    EXPECT_EQ(Arrow.BottomArrowHeadHeight(), 0.5f);
    EXPECT_EQ(Arrow.BottomArrowHeadRadius(), 0.2f);
}

TEST_F(ArrowLine, TimePointIsOneConeFrom156To186AndNoLine)
{
    Arrow.SetBottomRadius(0.03f);
    Arrow.SetTopRadius(0.03f);
    Arrow.SetHeight(3.12f);
    Arrow.SetLoops(5);
    Arrow.SetParts(TArrowLineParts{alTopArrow});
    Arrow.SetTopArrowHeadHeight(0.3f);
    Arrow.SetTopArrowHeadRadius(0.07f);
    Emit();
    const auto Cones = Recorder.CallsNamed("gluCylinder");
    ASSERT_EQ(Cones.size(), 1u);
    EXPECT_EQ(Cones[0].Args, (std::vector<double>{0.07f, 0, 0.3f, 16, 4}));
    EXPECT_NEAR(ZAt(Cones[0], 0), 1.56f, 1e-6);
    EXPECT_NEAR(ZAt(Cones[0], 0.3f), 1.86f, 1e-6);
    const auto Disks = Recorder.CallsNamed("gluDisk");
    ASSERT_EQ(Disks.size(), 1u);
    EXPECT_EQ(Disks[0].Args, (std::vector<double>{0, 0.07f, 16, 5}));
    EXPECT_NEAR(ZAt(Disks[0], 0), 1.56f, 1e-6);
    const auto Orientations = Recorder.CallsNamed("gluQuadricOrientation");
    EXPECT_EQ(Orientations.back().Args[0], GLU_INSIDE); // the base disk faces the line side
    EXPECT_EQ(Recorder.ModelViewDepth(), 1u);
    EXPECT_EQ(Recorder.Count("gluNewQuadric"), 1u);
    EXPECT_EQ(Recorder.Count("gluDeleteQuadric"), 1u);
}

TEST_F(ArrowLine, DefaultArrowIsALineWithATopHeadAndAClosedBottom)
{
    Emit();
    const auto Cylinders = Recorder.CallsNamed("gluCylinder");
    ASSERT_EQ(Cylinders.size(), 2u);
    // Head first, stacked beyond the line's end.
    EXPECT_NEAR(ZAt(Cylinders[0], 0), 0.5f, 1e-6);
    EXPECT_NEAR(ZAt(Cylinders[0], 0.5f), 1.0f, 1e-6);
    EXPECT_EQ(Cylinders[1].Args, (std::vector<double>{0.1f, 0.1f, 1, 16, 4}));
    EXPECT_NEAR(ZAt(Cylinders[1], 0), -0.5f, 1e-6);
    const auto Disks = Recorder.CallsNamed("gluDisk");
    ASSERT_EQ(Disks.size(), 2u);
    // The head's base is a ring around the line; the line's bottom a full disk.
    EXPECT_EQ(Disks[0].Args, (std::vector<double>{0.1f, 0.2f, 16, 1}));
    EXPECT_EQ(Disks[1].Args, (std::vector<double>{0, 0.1f, 16, 1}));
    EXPECT_NEAR(ZAt(Disks[1], 0), -0.5f, 1e-6);
}

TEST_F(ArrowLine, BottomHeadPointsDownAndCentredHeadsShortenTheLine)
{
    Arrow.SetHeight(2);
    Arrow.SetParts(TArrowLineParts{alLine, alTopArrow, alBottomArrow});
    Arrow.SetHeadStackingStyle(ahssCentered);
    Emit();
    const auto Cylinders = Recorder.CallsNamed("gluCylinder");
    ASSERT_EQ(Cylinders.size(), 3u);
    EXPECT_NEAR(ZAt(Cylinders[0], 0), 0.75f, 1e-6);
    EXPECT_NEAR(ZAt(Cylinders[0], 0.5f), 1.25f, 1e-6);
    EXPECT_NEAR(ZAt(Cylinders[1], 0), -0.75f, 1e-6);
    EXPECT_NEAR(ZAt(Cylinders[1], 0.5f), -1.25f, 1e-6);
    EXPECT_NEAR(ZAt(Cylinders[2], 0), -0.75f, 1e-6);
    EXPECT_EQ(Cylinders[2].Args[2], 1.5);
    // Both ends are closed by heads: no extra disks.
    EXPECT_EQ(Recorder.Count("gluDisk"), 2u);
}

TEST_F(ArrowLine, IncludedHeadsLongerThanTheLineLeaveNoLine)
{
    Arrow.SetHeight(0.8f);
    Arrow.SetParts(TArrowLineParts{alLine, alTopArrow, alBottomArrow});
    Arrow.SetHeadStackingStyle(ahssIncluded);
    Emit();
    const auto Cylinders = Recorder.CallsNamed("gluCylinder");
    ASSERT_EQ(Cylinders.size(), 2u);
    EXPECT_NEAR(ZAt(Cylinders[0], 0.5f), 0.4f, 1e-6); // the apex sits at the nominal end
    EXPECT_NEAR(ZAt(Cylinders[1], 0.5f), -0.4f, 1e-6);
}

TEST_F(ArrowLine, LineWithoutHeadsIsClosedAtBothEnds)
{
    Arrow.SetParts(TArrowLineParts{alLine});
    Emit();
    ASSERT_EQ(Recorder.Count("gluCylinder"), 1u);
    const auto Disks = Recorder.CallsNamed("gluDisk");
    ASSERT_EQ(Disks.size(), 2u);
    EXPECT_NEAR(ZAt(Disks[0], 0), 0.5f, 1e-6);
    EXPECT_NEAR(ZAt(Disks[1], 0), -0.5f, 1e-6);
}
