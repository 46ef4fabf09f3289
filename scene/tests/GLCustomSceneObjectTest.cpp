#include "RecordingSceneBuffer.h"
#include "scene/GLDummyCube.h"
#include "scene/GLSceneGraph.h"
#include "scene/GLSceneObject.h"

#include <gtest/gtest.h>

using namespace Scene;
using Scene::Testing::TRecordingSceneBuffer;

TEST(CustomSceneObject, BlendedExactlyForTheThreeBlendingModes)
{
    TGLSceneObject Object;
    const bool Expected[] = {false, true, true, false, false, true};
    for (int Mode = bmOpaque; Mode <= bmModulate; ++Mode) {
        Object.Material().SetBlendingMode(static_cast<TBlendingMode>(Mode));
        EXPECT_EQ(Object.IsBlended(), Expected[Mode]) << "mode " << Mode;
    }
    EXPECT_EQ(int(bmAlphaTest100), 4);
}

TEST(CustomSceneObject, MaterialChangesSignalTheScene)
{
    TGLScene Scene;
    TRecordingSceneBuffer Buffer;
    Scene.AddBuffer(Buffer);
    TGLSceneObject& Object = Scene.AddNewObject<TGLSceneObject>();
    const int Before = Buffer.Changes;
    Object.Material().SetBlendingMode(bmOpaque);
    EXPECT_EQ(Buffer.Changes, Before);
    Object.Material().SetBlendingMode(bmTransparency);
    EXPECT_EQ(Buffer.Changes, Before + 1);
}

TEST(CustomSceneObject, ImmaterialObjectsAreNeverBlended)
{
    TGLDummyCube Cube;
    Cube.Material().SetBlendingMode(bmTransparency);
    EXPECT_FALSE(Cube.IsBlended());
}
