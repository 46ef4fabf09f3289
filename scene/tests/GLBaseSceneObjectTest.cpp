#include "scene/GLBaseSceneObject.h"

#include "RecordingSceneBuffer.h"
#include "scene/GLSceneGraph.h"
#include "SceneTestHelpers.h"

#include <gtest/gtest.h>

using namespace Scene;
using Scene::Testing::MatrixNear;
using Scene::Testing::TRecordingSceneBuffer;
using Scene::Testing::VectorNear;

namespace {

constexpr TVector DefaultDirection{0, 0, 1, 0};
constexpr TVector DefaultUp{0, 1, 0, 0};

class BaseSceneObject : public ::testing::Test
{
protected:
    BaseSceneObject() { Scene.AddBuffer(Buffer); }

    TGLBaseSceneObject& NewObject() { return Scene.AddNewObject<TGLBaseSceneObject>(); }

    TGLScene Scene;
    TRecordingSceneBuffer Buffer;
};

} // namespace

TEST(BaseSceneObjectDefaults, FieldsAndEnumerationsAreAsDesigned)
{
    TGLBaseSceneObject Object;
    EXPECT_EQ(Object.Position().AsVector(), (TVector{0, 0, 0, 1}));
    EXPECT_EQ(Object.Direction().AsVector(), DefaultDirection);
    EXPECT_EQ(Object.Up().AsVector(), DefaultUp);
    EXPECT_EQ(Object.Scale().AsVector(), (TVector{1, 1, 1, 0}));
    EXPECT_EQ(Object.ChangeFlags(), TChangeFlags::All);
    EXPECT_TRUE(Object.Visible());
    EXPECT_FALSE(Object.ShowAxes());
    EXPECT_FALSE(Object.Calculating());
    EXPECT_EQ(Object.ObjectsSorting(), osInherited);
    EXPECT_EQ(Object.VisibilityCulling(), vcInherited);
    EXPECT_EQ(Object.TurnAngle(), 0);
    EXPECT_EQ(Object.PitchAngle(), 0);
    EXPECT_EQ(Object.RollAngle(), 0);
    EXPECT_EQ(Object.Parent(), nullptr);
    EXPECT_EQ(Object.Scene(), nullptr);
    EXPECT_EQ(Object.Count(), 0);
    EXPECT_TRUE(Object.ObjectStyle().Empty());
    EXPECT_EQ(Object.HalfExtents(), (TVector{0.5f, 0.5f, 0.5f, 0}));
    EXPECT_FALSE(Object.IsBlended());

    EXPECT_EQ(int(osRenderBlendedLast), 3);
    EXPECT_EQ(int(osRenderNearestFirst), 4);
    EXPECT_EQ(int(vcHierarchical), 3);
}

TEST(BaseSceneObjectAngles, TurnOfNinetyTurnsDirectionToX)
{
    TGLBaseSceneObject Object;
    Object.SetTurnAngle(90);
    EXPECT_TRUE(VectorNear(Object.Up().AsVector(), DefaultUp));
    EXPECT_TRUE(VectorNear(Object.Direction().AsVector(), TVector{1, 0, 0, 0}));
    EXPECT_EQ(Object.TurnAngle(), 90);
}

TEST(BaseSceneObjectAngles, PitchOfNinetyTurnsAboutMinusX)
{
    TGLBaseSceneObject Object;
    Object.SetPitchAngle(90);
    EXPECT_TRUE(VectorNear(Object.Direction().AsVector(), TVector{0, 1, 0, 0}));
    EXPECT_TRUE(VectorNear(Object.Up().AsVector(), TVector{0, 0, -1, 0}));
}

TEST(BaseSceneObjectAngles, RollOfNinetyTurnsUpAndKeepsDirection)
{
    TGLBaseSceneObject Object;
    Object.SetRollAngle(90);
    EXPECT_TRUE(VectorNear(Object.Up().AsVector(), TVector{-1, 0, 0, 0}));
    EXPECT_TRUE(VectorNear(Object.Direction().AsVector(), DefaultDirection));
}

TEST(BaseSceneObjectAngles, StoredAnglesAreNormalisedAtBothEnds)
{
    TGLBaseSceneObject Object;
    Object.SetTurnAngle(190);
    EXPECT_EQ(Object.TurnAngle(), -170);
    Object.SetTurnAngle(180);
    EXPECT_EQ(Object.TurnAngle(), 180);
    Object.SetTurnAngle(-180);
    EXPECT_EQ(Object.TurnAngle(), -180);
}

TEST(BaseSceneObjectAngles, ThreeHundredSeventyReadsTenWithTheSameOrientation)
{
    TGLBaseSceneObject Full;
    TGLBaseSceneObject Ten;
    Full.SetTurnAngle(370);
    Ten.SetTurnAngle(10);
    EXPECT_FLOAT_EQ(Full.TurnAngle(), 10);
    EXPECT_TRUE(VectorNear(Full.Direction().AsVector(), Ten.Direction().AsVector()));
    EXPECT_TRUE(VectorNear(Full.Up().AsVector(), Ten.Up().AsVector()));
}

TEST(BaseSceneObjectAngles, EachSettingTurnsByTheDifferenceOnly)
{
    TGLBaseSceneObject Stepwise;
    Stepwise.SetTurnAngle(30);
    Stepwise.SetTurnAngle(90);
    EXPECT_TRUE(VectorNear(Stepwise.Direction().AsVector(), TVector{1, 0, 0, 0}));
    Stepwise.SetTurnAngle(0);
    EXPECT_TRUE(VectorNear(Stepwise.Direction().AsVector(), DefaultDirection));
}

TEST(BaseSceneObjectAngles, AnglesAreBookkeepingNotDerivedFromTheVectors)
{
    TGLBaseSceneObject Object;
    Object.SetTurnAngle(45);
    Object.SetDirection(TVector{0, 0, 1, 0});
    EXPECT_EQ(Object.TurnAngle(), 45);
    // Setting 45 again changes nothing, though the object no longer faces 45 degrees.
    Object.SetTurnAngle(45);
    EXPECT_TRUE(VectorNear(Object.Direction().AsVector(), DefaultDirection));
}

TEST_F(BaseSceneObject, SettingTheCurrentAngleChangesAndSignalsNothing)
{
    TGLBaseSceneObject& Object = NewObject();
    Object.SetTurnAngle(20);
    Object.LocalTransform(); // as a frame would
    const TVector Direction = Object.Direction().AsVector();
    const int Before = Buffer.Changes;
    Object.SetTurnAngle(20);
    EXPECT_EQ(Buffer.Changes, Before);
    EXPECT_EQ(Object.Direction().AsVector(), Direction);
    EXPECT_EQ(Object.ChangeFlags() & TChangeFlags::LocalTransform, 0);
    Object.SetTurnAngle(21);
    EXPECT_EQ(Buffer.Changes, Before + 1);
}

TEST_F(BaseSceneObject, AnAngleThatNormalisesToTheStoredOneChangesAndSignalsNothing)
{
    // The minute dome is set to -225 every few seconds while it stands at 135.
    TGLBaseSceneObject& Object = NewObject();
    Object.SetTurnAngle(-225);
    Object.SetPitchAngle(200);
    Object.SetRollAngle(-190);
    Object.LocalTransform();
    const TVector Direction = Object.Direction().AsVector();
    const TVector Up = Object.Up().AsVector();
    const int Before = Buffer.Changes;
    Object.SetTurnAngle(-225);
    Object.SetTurnAngle(495);
    Object.SetPitchAngle(200);
    Object.SetRollAngle(-190);
    EXPECT_EQ(Buffer.Changes, Before);
    EXPECT_EQ(Object.Direction().AsVector(), Direction);
    EXPECT_EQ(Object.Up().AsVector(), Up);
    EXPECT_EQ(Object.TurnAngle(), 135);
}

TEST(BaseSceneObjectVectors, WholeZeroDirectionIsIgnored)
{
    TGLBaseSceneObject Object;
    Object.SetDirection(TVector{1, 0, 0, 0});
    Object.SetDirection(TVector{0, 0, 0, 0});
    EXPECT_EQ(Object.Direction().AsVector(), (TVector{1, 0, 0, 0}));
    Object.SetUp(TVector{0, 0, 0, 0});
    EXPECT_TRUE(VectorNear(Object.Up().AsVector(), DefaultUp));
}

TEST(BaseSceneObjectVectors, ZeroingDirectionComponentByComponentFallsBackToZ)
{
    TGLBaseSceneObject Object;
    Object.Direction().SetX(0);
    Object.Direction().SetY(0);
    Object.Direction().SetZ(0);
    EXPECT_EQ(Object.Direction().AsVector(), DefaultDirection);
    EXPECT_TRUE(VectorNear(Object.Up().AsVector(), DefaultUp));
}

TEST(BaseSceneObjectVectors, ZeroingUpComponentByComponentFallsBackToY)
{
    TGLBaseSceneObject Object;
    Object.Up().SetY(0);
    EXPECT_EQ(Object.Up().AsVector(), DefaultUp);
    EXPECT_TRUE(VectorNear(Object.Direction().AsVector(), DefaultDirection));
}

TEST(BaseSceneObjectVectors, DirectionAlongUpUsesTheFirstFallBackAxis)
{
    TGLBaseSceneObject Object;
    Object.SetDirection(TVector{0, 1, 0, 0});
    EXPECT_TRUE(VectorNear(Object.Direction().AsVector(), TVector{0, 1, 0, 0}));
    EXPECT_TRUE(VectorNear(Object.Up().AsVector(), TVector{0, 0, -1, 0}));
}

TEST(BaseSceneObjectVectors, UpAlongZNeedsTheSecondFallBackAxis)
{
    TGLBaseSceneObject Object;
    // Direction x Up and (0, 0, 1) x Up both vanish; (1, 0, 0) x Up remains.
    Object.SetUp(TVector{0, 0, 1, 0});
    EXPECT_TRUE(VectorNear(Object.Up().AsVector(), TVector{0, 0, 1, 0}));
    EXPECT_TRUE(VectorNear(Object.Direction().AsVector(), TVector{1, 0, 0, 0}));
}

TEST(BaseSceneObjectVectors, DirectionIsNormalisedAndUpMadePerpendicular)
{
    TGLBaseSceneObject Object;
    Object.SetDirection(TVector{0, 3, 3, 0});
    const float H = std::sqrt(0.5f);
    EXPECT_TRUE(VectorNear(Object.Direction().AsVector(), TVector{0, H, H, 0}));
    EXPECT_TRUE(VectorNear(Object.Up().AsVector(), TVector{0, H, -H, 0}));
    EXPECT_NEAR(VectorDotProduct(Object.Up().AsVector(), Object.Direction().AsVector()), 0, 1e-6f);
}

TEST_F(BaseSceneObject, LoadingStoresAnglesAndVectorsAsTheyAreAndSignalsNothing)
{
    TGLBaseSceneObject& Object = NewObject();
    Object.LocalTransform();
    const int Before = Buffer.Changes;
    Object.BeginLoading();
    Object.SetTurnAngle(370);
    Object.Direction().SetRaw(TVector{-2.98023e-08f, 5.96047e-08f, 1, 0});
    Object.Up().SetRaw(TVector{3.60823e-15f, 1, -5.96047e-08f, 0});
    Object.Position().SetRaw(TVector{1, 2, 3, 0});
    EXPECT_FLOAT_EQ(Object.TurnAngle(), 10);
    EXPECT_EQ(Object.Direction().AsVector(), (TVector{-2.98023e-08f, 5.96047e-08f, 1, 0}));
    EXPECT_EQ(Object.Up().AsVector(), (TVector{3.60823e-15f, 1, -5.96047e-08f, 0}));
    EXPECT_EQ(Buffer.Changes, Before);
    Object.EndLoading();
    EXPECT_EQ(Object.Position().AsVector(), (TVector{1, 2, 3, 1}));
}

TEST(BaseSceneObjectTransforms, LocalTransformRowsAreSideUpDirectionPosition)
{
    TGLBaseSceneObject Object;
    Object.SetTurnAngle(90); // Direction (1, 0, 0), side Up x Direction = (0, 0, -1)
    Object.SetScale(TVector{2, 3, 4, 0});
    Object.SetPosition(TVector{5, 6, 7, 0});
    const TMatrix& M = Object.LocalTransform();
    EXPECT_TRUE(VectorNear(M[0], TVector{0, 0, -2, 0}));
    EXPECT_TRUE(VectorNear(M[1], TVector{0, 3, 0, 0}));
    EXPECT_TRUE(VectorNear(M[2], TVector{4, 0, 0, 0}));
    EXPECT_EQ(M[3], (TVector{5, 6, 7, 1}));
    EXPECT_TRUE(VectorNear(Object.SideVector(), TVector{0, 0, -1, 0}));
    EXPECT_EQ(Object.ChangeFlags() & TChangeFlags::LocalTransform, 0);
}

TEST_F(BaseSceneObject, WorldTransformComposesParentsAndStopsAtTheRoot)
{
    TGLBaseSceneObject& Parent = NewObject();
    TGLBaseSceneObject& Child = Parent.AddNewChild<TGLBaseSceneObject>();
    Parent.SetPosition(TVector{10, 0, 0, 1});
    Parent.SetTurnAngle(90);
    Child.SetPosition(TVector{0, 0, 1, 1});
    EXPECT_EQ(Parent.WorldTransform(), Parent.LocalTransform());
    EXPECT_TRUE(
        MatrixNear(Child.WorldTransform(), MatrixMultiply(Child.LocalTransform(), Parent.LocalTransform())));
    // The child's +Z is the parent's, which now points along world +X.
    EXPECT_TRUE(VectorNear(Child.WorldPosition(), TVector{11, 0, 0, 1}));
}

TEST_F(BaseSceneObject, InverseWorldTransformUndoesTheWorldTransform)
{
    TGLBaseSceneObject& Parent = NewObject();
    TGLBaseSceneObject& Rigid = Parent.AddNewChild<TGLBaseSceneObject>();
    TGLBaseSceneObject& Scaled = Rigid.AddNewChild<TGLBaseSceneObject>();
    Parent.SetPosition(TVector{1, 2, 3, 1});
    Parent.SetPitchAngle(30);
    Rigid.SetPosition(TVector{0, -1, 4, 1});
    Rigid.SetTurnAngle(-70);
    Scaled.SetScale(TVector{2, 0.5f, 3, 0});
    Scaled.SetRollAngle(15);
    for (TGLBaseSceneObject* Object : {&Parent, &Rigid, &Scaled})
        EXPECT_TRUE(MatrixNear(MatrixMultiply(Object->WorldTransform(), Object->InverseWorldTransform()),
                               IdentityMatrix(), 1e-5f));
}

TEST_F(BaseSceneObject, StaleBranchIsNotDescendedYetEveryDescendantEndsUpRight)
{
    TGLBaseSceneObject& A = NewObject();
    TGLBaseSceneObject& B = A.AddNewChild<TGLBaseSceneObject>();
    TGLBaseSceneObject& C = B.AddNewChild<TGLBaseSceneObject>();
    TGLBaseSceneObject& D = C.AddNewChild<TGLBaseSceneObject>();
    D.SetPosition(TVector{0, 0, 1, 1});
    D.WorldTransform();
    D.InverseWorldTransform();
    EXPECT_EQ(D.ChangeFlags() & 0x7, 0);

    B.SetTurnAngle(90);
    EXPECT_EQ(C.ChangeFlags() & 0x6, 0x6);
    EXPECT_EQ(D.ChangeFlags() & 0x6, 0x6);
    // B is stale already: marking A does not walk below it, and need not.
    A.SetPosition(TVector{5, 0, 0, 1});
    C.SetPitchAngle(90);

    EXPECT_TRUE(VectorNear(D.WorldPosition(), TVector{5, 1, 0, 1}));
    const TMatrix Expected = MatrixMultiply(
        MatrixMultiply(MatrixMultiply(D.LocalTransform(), C.LocalTransform()), B.LocalTransform()),
        A.LocalTransform());
    EXPECT_TRUE(MatrixNear(D.WorldTransform(), Expected));
    EXPECT_TRUE(MatrixNear(MatrixMultiply(D.WorldTransform(), D.InverseWorldTransform()), IdentityMatrix()));
}

TEST_F(BaseSceneObject, UnchangedTransformsAreNeverRebuilt)
{
    TGLBaseSceneObject& A = NewObject();
    TGLBaseSceneObject& B = A.AddNewChild<TGLBaseSceneObject>();
    B.WorldTransform();
    B.InverseWorldTransform();
    const auto Rebuilds = TGLBaseSceneObject::TransformRebuildCount();
    B.WorldTransform();
    B.InverseWorldTransform();
    A.LocalTransform();
    EXPECT_EQ(TGLBaseSceneObject::TransformRebuildCount(), Rebuilds);
    A.SetPosition(TVector{1, 0, 0, 1});
    B.WorldTransform();
    EXPECT_GT(TGLBaseSceneObject::TransformRebuildCount(), Rebuilds);
}

TEST_F(BaseSceneObject, MarkTransformChangedSignalsOnceUntilTheTransformIsRead)
{
    TGLBaseSceneObject& Object = NewObject();
    Object.LocalTransform();
    const int Before = Buffer.Changes;
    Object.SetPosition(TVector{1, 0, 0, 1});
    Object.SetPosition(TVector{2, 0, 0, 1});
    EXPECT_EQ(Buffer.Changes, Before + 1);
    Object.LocalTransform();
    Object.SetPosition(TVector{3, 0, 0, 1});
    EXPECT_EQ(Buffer.Changes, Before + 2);
}

TEST_F(BaseSceneObject, GeometryChangesSignalOnceExceptForDirectDrawObjects)
{
    TGLBaseSceneObject& Listed = NewObject();
    TGLBaseSceneObject& Direct = NewObject();
    Direct.SetObjectStyle(TGLObjectStyles{TGLObjectStyle::DirectDraw});
    const int Before = Buffer.Changes;
    Listed.MarkGeometryChanged(); // bit 3 is set from the start
    EXPECT_EQ(Buffer.Changes, Before);
    Direct.MarkGeometryChanged();
    Direct.MarkGeometryChanged();
    EXPECT_EQ(Buffer.Changes, Before + 2);
}

TEST_F(BaseSceneObject, PropertySettersSignalOnlyOnANewValue)
{
    TGLBaseSceneObject& Object = NewObject();
    Object.LocalTransform();
    int Expected = Buffer.Changes;
    Object.SetVisible(true);
    Object.SetShowAxes(false);
    Object.SetObjectsSorting(osInherited);
    Object.SetVisibilityCulling(vcInherited);
    Object.SetPosition(TVector{0, 0, 0, 1});
    Object.SetDirection(DefaultDirection);
    Object.SetScale(TVector{1, 1, 1, 0});
    EXPECT_EQ(Buffer.Changes, Expected);
    Object.SetVisible(false);
    Object.SetShowAxes(true);
    Object.SetObjectsSorting(osNone);
    Object.SetVisibilityCulling(vcNone);
    EXPECT_EQ(Buffer.Changes, Expected + 4);
}

TEST_F(BaseSceneObject, UpdateNestingHoldsBackSignalsAndReleasesOne)
{
    TGLBaseSceneObject& Object = NewObject();
    const int Before = Buffer.Changes;
    Object.BeginUpdate();
    Object.SetVisible(false);
    Object.SetShowAxes(true);
    EXPECT_EQ(Buffer.Changes, Before);
    Object.EndUpdate();
    EXPECT_EQ(Buffer.Changes, Before + 1);
}
