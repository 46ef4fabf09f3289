#include "scene/GLSceneGraph.h"

#include "RecordingSceneBuffer.h"
#include "scene/GLBaseSceneObject.h"

#include <gtest/gtest.h>
#include <stdexcept>

using namespace Scene;
using Scene::Testing::TRecordingSceneBuffer;

namespace {

// What the light and camera classes will look like to the tree.
class TLightStub : public TGLBaseSceneObject
{
public:
    bool IsLightSource() const override { return true; }
};

class TCameraStub : public TGLBaseSceneObject
{
public:
    bool IsCamera() const override { return true; }
};

class SceneTree : public ::testing::Test
{
protected:
    SceneTree() { Scene.AddBuffer(Buffer); }

    TGLBaseSceneObject& Named(TGLBaseSceneObject& Parent, const char* Name)
    {
        TGLBaseSceneObject& Object = Parent.AddNewChild<TGLBaseSceneObject>();
        Object.SetName(Name);
        return Object;
    }

    TGLScene Scene;
    TRecordingSceneBuffer Buffer;
};

} // namespace

TEST_F(SceneTree, RootsAndDefaults)
{
    EXPECT_EQ(Scene.Objects().Name(), "ObjectRoot");
    EXPECT_EQ(Scene.Cameras().Name(), "CameraRoot");
    EXPECT_TRUE(Scene.Objects().ObjectStyle().Contains(TGLObjectStyle::DirectDraw));
    EXPECT_EQ(Scene.Objects().Scene(), &Scene);
    EXPECT_EQ(Scene.ObjectsSorting(), osRenderBlendedLast);
    EXPECT_EQ(Scene.VisibilityCulling(), vcNone);
    for (TGLBaseSceneObject* Slot : Scene.LightSlots())
        EXPECT_EQ(Slot, nullptr);
}

TEST_F(SceneTree, InheritedSettingsStoreTheSceneDefaults)
{
    Scene.SetObjectsSorting(osNone);
    Scene.SetObjectsSorting(osInherited);
    EXPECT_EQ(Scene.ObjectsSorting(), osRenderBlendedLast);
    Scene.SetVisibilityCulling(vcObjectBased);
    Scene.SetVisibilityCulling(vcInherited);
    EXPECT_EQ(Scene.VisibilityCulling(), vcNone);
}

TEST_F(SceneTree, CamerasGoUnderCameraRootEverythingElseUnderObjectRoot)
{
    TGLBaseSceneObject& Camera = Scene.AddNewObject<TCameraStub>();
    TGLBaseSceneObject& Object = Scene.AddNewObject<TGLBaseSceneObject>();
    EXPECT_EQ(Camera.Parent(), &Scene.Cameras());
    EXPECT_EQ(Object.Parent(), &Scene.Objects());
}

TEST_F(SceneTree, AddingGivesTheWholeSubtreeItsParentAndScene)
{
    auto Branch = std::make_unique<TGLBaseSceneObject>();
    TGLBaseSceneObject& Leaf = Branch->AddNewChild<TGLBaseSceneObject>();
    EXPECT_EQ(Leaf.Scene(), nullptr);
    TGLBaseSceneObject& Added = Scene.Objects().AddChild(std::move(Branch));
    EXPECT_EQ(Added.Parent(), &Scene.Objects());
    EXPECT_EQ(Added.Scene(), &Scene);
    EXPECT_EQ(Leaf.Scene(), &Scene);
    EXPECT_EQ(Leaf.Parent(), &Added);
}

TEST_F(SceneTree, AddingAnObjectToAShownSceneRepaints)
{
    TGLBaseSceneObject& Parent = Named(Scene.Objects(), "Parent");
    Parent.LocalTransform();
    int Before = Buffer.Changes;
    Parent.InsertChild(0, std::make_unique<TGLBaseSceneObject>());
    EXPECT_GT(Buffer.Changes, Before);
}

TEST_F(SceneTree, InsertChildAndIndexes)
{
    TGLBaseSceneObject& Parent = Named(Scene.Objects(), "Parent");
    TGLBaseSceneObject& A = Named(Parent, "A");
    TGLBaseSceneObject& C = Named(Parent, "C");
    TGLBaseSceneObject& B = Parent.InsertChild(1, std::make_unique<TGLBaseSceneObject>());
    B.SetName("B");
    ASSERT_EQ(Parent.Count(), 3);
    EXPECT_EQ(&Parent.Child(0), &A);
    EXPECT_EQ(&Parent.Child(1), &B);
    EXPECT_EQ(&Parent.Child(2), &C);
    EXPECT_EQ(C.Index(), 2);
    EXPECT_EQ(Parent.IndexOfChild(B), 1);
    EXPECT_EQ(Parent.FindChild("B", false), &B);
    EXPECT_EQ(Scene.FindSceneObject("C"), &C);
    EXPECT_THROW(Parent.Child(3), std::out_of_range);
}

TEST_F(SceneTree, MovingWithinTheParentIsClampedAndSignalsOnce)
{
    TGLBaseSceneObject& Parent = Named(Scene.Objects(), "Parent");
    TGLBaseSceneObject& A = Named(Parent, "A");
    TGLBaseSceneObject& B = Named(Parent, "B");
    TGLBaseSceneObject& C = Named(Parent, "C");
    const int Before = Buffer.Changes;
    A.SetIndex(99);
    EXPECT_EQ(Buffer.Changes, Before + 1);
    EXPECT_EQ(&Parent.Child(0), &B);
    EXPECT_EQ(&Parent.Child(2), &A);
    C.SetIndex(-5);
    EXPECT_EQ(&Parent.Child(0), &C);
    EXPECT_EQ(&Parent.Child(1), &B);
}

TEST_F(SceneTree, RemoveChildHandsTheSubtreeBackAndLeavesTheScene)
{
    TGLBaseSceneObject& Parent = Named(Scene.Objects(), "Parent");
    TGLBaseSceneObject& Child = Named(Parent, "Child");
    TGLBaseSceneObject& GrandChild = Named(Child, "GrandChild");
    const int Before = Buffer.Changes;
    std::unique_ptr<TGLBaseSceneObject> Removed = Parent.RemoveChild(Child, false);
    EXPECT_EQ(Removed.get(), &Child);
    EXPECT_EQ(Buffer.Changes, Before + 1);
    EXPECT_EQ(Parent.Count(), 0);
    EXPECT_EQ(Child.Parent(), nullptr);
    EXPECT_EQ(Child.Scene(), nullptr);
    EXPECT_EQ(GrandChild.Scene(), nullptr);
    EXPECT_EQ(&Child.Child(0), &GrandChild);
}

TEST_F(SceneTree, RemoveChildKeepingChildrenReparentsThemHere)
{
    TGLBaseSceneObject& Parent = Named(Scene.Objects(), "Parent");
    TGLBaseSceneObject& Child = Named(Parent, "Child");
    TGLBaseSceneObject& First = Named(Child, "First");
    TGLBaseSceneObject& Second = Named(Child, "Second");
    const int Before = Buffer.Changes;
    std::unique_ptr<TGLBaseSceneObject> Removed = Parent.RemoveChild(Child, true);
    EXPECT_EQ(Buffer.Changes, Before + 1);
    EXPECT_EQ(Removed->Count(), 0);
    ASSERT_EQ(Parent.Count(), 2);
    EXPECT_EQ(&Parent.Child(0), &First);
    EXPECT_EQ(&Parent.Child(1), &Second);
    EXPECT_EQ(First.Parent(), &Parent);
    EXPECT_EQ(Second.Scene(), &Scene);
}

TEST_F(SceneTree, AddingAnOwnedObjectMovesItFromItsOldParent)
{
    TGLBaseSceneObject& From = Named(Scene.Objects(), "From");
    TGLBaseSceneObject& To = Named(Scene.Objects(), "To");
    TGLBaseSceneObject& Moving = Named(From, "Moving");
    To.SetPosition(TVector{0, 3, 0, 1});
    EXPECT_EQ(Moving.WorldPosition(), (TVector{0, 0, 0, 1}));
    To.AddChild(Moving);
    EXPECT_EQ(From.Count(), 0);
    EXPECT_EQ(Moving.Parent(), &To);
    EXPECT_EQ(Moving.WorldPosition(), (TVector{0, 3, 0, 1}));
}

TEST_F(SceneTree, CyclesAndUnownedObjectsAreRefused)
{
    TGLBaseSceneObject& Parent = Named(Scene.Objects(), "Parent");
    TGLBaseSceneObject& Child = Named(Parent, "Child");
    EXPECT_THROW(Child.AddChild(Parent), std::logic_error);
    EXPECT_THROW(Parent.AddChild(Parent), std::logic_error);
    EXPECT_THROW(Child.AddChild(Scene.Objects()), std::logic_error);
    TGLBaseSceneObject Loose;
    EXPECT_THROW(Parent.AddChild(Loose), std::logic_error);
    EXPECT_EQ(Child.Parent(), &Parent);
}

TEST_F(SceneTree, LightsTakeSlotsInTheOrderTheyEnter)
{
    auto Branch = std::make_unique<TGLBaseSceneObject>();
    TLightStub& Sun = Branch->AddNewChild<TLightStub>();
    TLightStub& SecondSun = Sun.AddNewChild<TLightStub>();
    Scene.Objects().AddChild(std::move(Branch));
    EXPECT_EQ(Scene.LightSlotIndex(Sun), 0);
    EXPECT_EQ(Scene.LightSlotIndex(SecondSun), 1);
    EXPECT_EQ(Scene.LightSlots()[1], &SecondSun);
}

TEST_F(SceneTree, ANinthLightGetsNoSlot)
{
    TLightStub* Lights[9];
    for (TLightStub*& Light : Lights)
        Light = &Scene.AddNewObject<TLightStub>();
    for (int I = 0; I < 8; ++I)
        EXPECT_EQ(Scene.LightSlotIndex(*Lights[I]), I);
    EXPECT_EQ(Scene.LightSlotIndex(*Lights[8]), -1);
}

TEST_F(SceneTree, RemovingOrDestroyingALightFreesItsSlot)
{
    TGLBaseSceneObject& Holder = Named(Scene.Objects(), "Holder");
    TLightStub& Light = Holder.AddNewChild<TLightStub>();
    TLightStub& Other = Scene.AddNewObject<TLightStub>();
    ASSERT_EQ(Scene.LightSlotIndex(Light), 0);
    std::unique_ptr<TGLBaseSceneObject> Removed = Scene.Objects().RemoveChild(Holder, false);
    EXPECT_EQ(Scene.LightSlotIndex(Light), -1);
    EXPECT_EQ(Scene.LightSlots()[0], nullptr);
    // Back in: it takes the first free slot again.
    Scene.Objects().AddChild(std::move(Removed));
    EXPECT_EQ(Scene.LightSlotIndex(Light), 0);
    Scene.Objects().DeleteChildren();
    EXPECT_EQ(Scene.LightSlotIndex(Other), -1);
    for (TGLBaseSceneObject* Slot : Scene.LightSlots())
        EXPECT_EQ(Slot, nullptr);
}

TEST_F(SceneTree, MovingALightToAnotherSceneMovesItsSlot)
{
    TGLScene Other;
    TGLBaseSceneObject& Holder = Named(Other.Objects(), "Holder");
    TLightStub& Light = Scene.AddNewObject<TLightStub>();
    Holder.AddChild(Light);
    EXPECT_EQ(Scene.LightSlotIndex(Light), -1);
    EXPECT_EQ(Other.LightSlotIndex(Light), 0);
    EXPECT_EQ(Light.Scene(), &Other);
}

TEST_F(SceneTree, ChangesReachEveryBufferOutsideBeginEndChanges)
{
    TRecordingSceneBuffer Second;
    Scene.AddBuffer(Second);
    TGLBaseSceneObject& Object = Named(Scene.Objects(), "Object");
    const int Before = Buffer.Changes;
    const int SecondBefore = Second.Changes;
    Scene.BeginChanges();
    Scene.BeginChanges();
    Object.SetVisible(false);
    Object.SetShowAxes(true);
    Scene.EndChanges();
    EXPECT_EQ(Buffer.Changes, Before);
    Scene.EndChanges();
    EXPECT_EQ(Buffer.Changes, Before + 1);
    EXPECT_EQ(Second.Changes, SecondBefore + 1);
    Scene.RemoveBuffer(Second);
    Object.SetVisible(true);
    EXPECT_EQ(Second.Changes, SecondBefore + 1);
}

TEST_F(SceneTree, ALoadingSceneForwardsOneChangeWhenDone)
{
    TGLBaseSceneObject& Object = Named(Scene.Objects(), "Object");
    const int Before = Buffer.Changes;
    Scene.BeginLoading();
    Object.SetVisible(false);
    EXPECT_EQ(Buffer.Changes, Before);
    Scene.EndLoading();
    EXPECT_EQ(Buffer.Changes, Before + 1);
}

TEST(SceneLifetime, BuffersAreToldWhenTheSceneGoesAway)
{
    TRecordingSceneBuffer Buffer;
    int ChangesBeforeDestruction = 0;
    {
        TGLScene Scene;
        Scene.AddBuffer(Buffer);
        Scene.AddNewObject<TLightStub>().AddNewChild<TGLBaseSceneObject>();
        ChangesBeforeDestruction = Buffer.Changes;
    }
    EXPECT_EQ(Buffer.Destroyed, 1);
    EXPECT_EQ(Buffer.Changes, ChangesBeforeDestruction);
}
