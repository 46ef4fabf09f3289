#include "scene/GLSprite.h"

#include "GLRecorder.h"
#include "scene/GLDispatch.h"
#include "scene/GLDummyCube.h"
#include "scene/GLSceneGraph.h"
#include "scene/GLStateCache.h"
#include "scene/RenderContextInfo.h"
#include "SceneTestHelpers.h"

#include <gtest/gtest.h>

using namespace Scene;
using Scene::Testing::Primitives;
using Scene::Testing::TGLRecorder;
using Scene::Testing::VectorNear;

namespace {

class Sprite : public ::testing::Test
{
protected:
    Sprite()
    {
        Context.StateCache = &Cache;
        Parent.SetPosition(TVector{1, 0.5f, 0, 1});
        WeatherPic.SetScale(TVector{0.6f, 0.6f, 0.6f, 0});
        WeatherPic.SetPosition(TVector{0.3f, -0.2f, 0.4f, 1});
    }

    // A camera at (3, 2, -10) looking at the origin, then the scene.
    void Render()
    {
        const TGLDispatch& Gl = GL();
        Gl.glMatrixMode(GL_MODELVIEW);
        Gl.glLoadIdentity();
        Gl.gluLookAt(3, 2, -10, 0, 0, 0, 0, 1, 0);
        Recorder.Clear();
        Scene.RenderScene(Context);
    }

    void ExpectFacingTheViewer(float Width, float Height)
    {
        const auto& V = Recorder.EyeVertices();
        ASSERT_EQ(V.size(), 4u);
        for (int I = 1; I < 4; ++I)
            EXPECT_NEAR(V[I].Z, V[0].Z, 1e-5f) << "vertex " << I;
        // Top edge along the screen's x, right edge along its y.
        const TVector Top = VectorSubtract(V[0], V[1]);
        const TVector Right = VectorSubtract(V[0], V[3]);
        EXPECT_TRUE(VectorNear(Top, TVector{Width, 0, 0, V[0].W}, 1e-5f));
        EXPECT_TRUE(VectorNear(Right, TVector{0, Height, 0, V[0].W}, 1e-5f));
    }

    TGLRecorder Recorder;
    TGLScene Scene;
    TGLStateCache Cache;
    TRenderContextInfo Context;
    TGLDummyCube& Parent = Scene.AddNewObject<TGLDummyCube>();
    TGLSprite& WeatherPic = Parent.AddNewChild<TGLSprite>();
};

} // namespace

TEST_F(Sprite, DefaultsAndStyles)
{
    TGLSprite S;
    EXPECT_EQ(S.Width(), 1);
    EXPECT_EQ(S.Height(), 1);
    EXPECT_EQ(S.Rotation(), 0);
    EXPECT_EQ(S.AlphaChannel(), 1);
    EXPECT_FALSE(S.NoZWrite());
    EXPECT_FALSE(S.MirrorU());
    EXPECT_FALSE(S.MirrorV());
    EXPECT_TRUE(S.ObjectStyle().Contains(TGLObjectStyle::DirectDraw));
    EXPECT_TRUE(S.ObjectStyle().Contains(TGLObjectStyle::NoVisibilityCulling));
    S.SetWidth(-3);
    S.SetHeight(2);
    EXPECT_EQ(S.HalfExtents(), (TVector{1.5f, 1, 1.5f, 0}));
}

TEST_F(Sprite, KeepsFacingTheViewerWhenItsParentTurns)
{
    WeatherPic.SetHeight(0.5f);
    Render();
    ExpectFacingTheViewer(0.6f, 0.3f);

    Parent.SetTurnAngle(40);
    Parent.SetPitchAngle(25);
    Parent.SetRollAngle(-70);
    Render();
    ExpectFacingTheViewer(0.6f, 0.3f);
    EXPECT_EQ(Recorder.Count("glNewList"), 0u);
}

TEST_F(Sprite, TextureCornersAndMirrors)
{
    const auto Corners = [this] {
        Render();
        std::vector<std::pair<float, float>> Result;
        const auto Shapes = Primitives(Recorder.Calls());
        for (const auto& V : Shapes.at(0).Vertices)
            Result.emplace_back(V.TexCoord.X, V.TexCoord.Y);
        return Result;
    };
    using TCorners = std::vector<std::pair<float, float>>;
    EXPECT_EQ(Corners(), (TCorners{{1, 1}, {0, 1}, {0, 0}, {1, 0}}));
    WeatherPic.SetMirrorU(true);
    EXPECT_EQ(Corners(), (TCorners{{0, 1}, {1, 1}, {1, 0}, {0, 0}}));
    WeatherPic.SetMirrorU(false);
    WeatherPic.SetMirrorV(true);
    EXPECT_EQ(Corners(), (TCorners{{1, 0}, {0, 0}, {0, 1}, {1, 1}}));
    EXPECT_EQ(Primitives(Recorder.Calls()).at(0).Mode, GLenum(GL_QUADS));
}

TEST_F(Sprite, RotationTurnsTheQuadAboutTheViewingAxis)
{
    WeatherPic.SetHeight(0.5f);
    WeatherPic.SetRotation(90);
    Render();
    const auto& V = Recorder.EyeVertices();
    ASSERT_EQ(V.size(), 4u);
    for (int I = 1; I < 4; ++I)
        EXPECT_NEAR(V[I].Z, V[0].Z, 1e-5f);
    // Turned a quarter: the top edge now runs along the screen's y.
    EXPECT_TRUE(VectorNear(VectorSubtract(V[0], V[1]), TVector{0, 0.6f, 0, V[0].W}, 1e-5f));
    EXPECT_EQ(Recorder.Count("glPushMatrix"), Recorder.Count("glPopMatrix"));
}

TEST_F(Sprite, AlphaChannelIsClampedAndSentAsTheFrontDiffuseAlpha)
{
    WeatherPic.SetAlphaChannel(3);
    EXPECT_EQ(WeatherPic.AlphaChannel(), 1);
    WeatherPic.SetAlphaChannel(-1);
    EXPECT_EQ(WeatherPic.AlphaChannel(), 0);
    WeatherPic.SetAlphaChannel(0.5f);
    Cache.SetMaterialColors(GL_FRONT, TVector{0, 0, 0, 1}, TVector{0.2f, 0.2f, 0.2f, 1},
                            TVector{1, 0.5f, 0, 1}, TVector{0, 0, 0, 1}, 0);
    Render();
    const auto Materials = Recorder.CallsNamed("glMaterialfv");
    ASSERT_EQ(Materials.size(), 1u);
    EXPECT_EQ(Materials[0].Args, (std::vector<double>{GL_FRONT, GL_DIFFUSE, 1, 0.5, 0, 0.5}));
}

TEST_F(Sprite, NoZWriteMasksDepthWritesAroundTheQuadOnly)
{
    Render();
    EXPECT_EQ(Recorder.Count("glDepthMask"), 0u);
    WeatherPic.SetNoZWrite(true);
    Render();
    const auto Names = Recorder.Names();
    const auto Masks = Recorder.CallsNamed("glDepthMask");
    ASSERT_EQ(Masks.size(), 2u);
    EXPECT_EQ(Masks[0].Args[0], GL_FALSE);
    EXPECT_EQ(Masks[1].Args[0], GL_TRUE);
    EXPECT_LT(std::find(Names.begin(), Names.end(), "glDepthMask"),
              std::find(Names.begin(), Names.end(), "glBegin"));
    // Seen from the end, the mask comes back on before (that is, after) the quad ends.
    EXPECT_LT(std::find(Names.rbegin(), Names.rend(), "glDepthMask"),
              std::find(Names.rbegin(), Names.rend(), "glEnd"));
}
