#include "scene/GLColor.h"

#include "GLRecorder.h"
#include "RecordingSceneBuffer.h"
#include "scene/GLBaseSceneObject.h"
#include "scene/GLSceneGraph.h"
#include "scene/GLSceneObject.h"
#include "scene/RenderContextInfo.h"
#include "SceneTestHelpers.h"

#include <gtest/gtest.h>

using namespace Scene;
using Scene::Testing::TGLRecorder;
using Scene::Testing::TRecordingSceneBuffer;
using Scene::Testing::VectorNear;

namespace {

class TCountingOwner : public TGLUpdateAbleObject
{
public:
    void NotifyChange(TGLUpdateAbleObject* Sender) override
    {
        LastSender = Sender;
        ++Changes;
    }
    TGLUpdateAbleObject* LastSender = nullptr;
    int Changes = 0;
};

// A mesh that owns a colour of its own (as a light or a HUD text does).
class TTintedObject : public TGLSceneObject
{
public:
    TGLColor Tint{this};
};

} // namespace

TEST(Color, StartsOpaqueBlackUnlessTheOwnerSaysOtherwise)
{
    TCountingOwner Owner;
    EXPECT_TRUE(VectorNear(TGLColor(&Owner).AsVector(), TVector{0, 0, 0, 1}, 0));
    EXPECT_TRUE(VectorNear(TGLColor(&Owner, TVector{1, 0.5f, 0, 0}).AsVector(), TVector{1, 0.5f, 0, 0}, 0));
}

TEST(Color, OnlyDifferingValuesNotifyTheOwner)
{
    TCountingOwner Owner;
    TGLColor Color(&Owner);
    Color.SetRed(0);
    Color.SetAlpha(1);
    Color.SetColor(0, 0, 0, 1);
    EXPECT_EQ(Owner.Changes, 0);
    Color.SetGreen(0.5f);
    EXPECT_EQ(Owner.Changes, 1);
    EXPECT_EQ(Owner.LastSender, &Color);
    TGLColor Other(nullptr, TVector{0.25f, 0.5f, 0.75f, 0.5f});
    Color.Assign(Other);
    EXPECT_EQ(Owner.Changes, 2);
    EXPECT_FLOAT_EQ(Color.Blue(), 0.75f);
    Color.Assign(Other);
    EXPECT_EQ(Owner.Changes, 2);
}

TEST(Color, StoredFormIsFourLittleEndianFloatsInOrder)
{
    TCountingOwner Owner;
    TGLColor Color(&Owner, TVector{1, 0.5f, 0.25f, 0.75f});
    const std::array<std::uint8_t, 16> Expected{0, 0, 0x80, 0x3F, 0, 0, 0,    0x3F,
                                                0, 0, 0x80, 0x3E, 0, 0, 0x40, 0x3F};
    EXPECT_EQ(Color.AsBytes(), Expected);

    TGLColor Read(&Owner);
    Read.SetFromBytes(Expected);
    EXPECT_TRUE(VectorNear(Read.AsVector(), TVector{1, 0.5f, 0.25f, 0.75f}, 0));
    EXPECT_EQ(Owner.Changes, 1);
}

TEST(Color, WindowsColoursConvertByteOver255)
{
    // clSkyBlue, the globe's background and window key.
    EXPECT_TRUE(VectorNear(ConvertWinColor(0x00F0CAA6), TVector{0.651f, 0.792f, 0.941f, 1}, 0.001f));
    TGLColor Color(nullptr, TVector{0, 0, 0, 0.5f});
    Color.SetAsWinColor(0x000000FF);
    EXPECT_TRUE(VectorNear(Color.AsVector(), TVector{1, 0, 0, 0.5f}, 0));
}

TEST(Color, AColourOfASceneObjectMarksItsGeometryStale)
{
    TGLRecorder Recorder;
    TGLScene Scene;
    TRecordingSceneBuffer Buffer;
    Scene.AddBuffer(Buffer);
    TTintedObject& Object = Scene.AddNewObject<TTintedObject>();
    TRenderContextInfo Context;
    Object.GeometryList(Context);
    ASSERT_EQ(Object.ChangeFlags() & TChangeFlags::Geometry, 0);
    const int Before = Buffer.Changes;
    Object.Tint.SetBlue(1);
    EXPECT_NE(Object.ChangeFlags() & TChangeFlags::Geometry, 0);
    EXPECT_GT(Buffer.Changes, Before);
}
