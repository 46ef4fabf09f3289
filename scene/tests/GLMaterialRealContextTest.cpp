#include "GLXTestContext.h"
#include "scene/GLBitmapGraphic.h"
#include "scene/GLDispatch.h"
#include "scene/GLSceneGraph.h"
#include "scene/GLSphere.h"
#include "scene/GLSprite.h"
#include "scene/GLStateCache.h"
#include "scene/GLTexture.h"
#include "scene/RenderContextInfo.h"

#include <array>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>

using namespace Scene;
using Scene::Testing::TGLXTestContext;

namespace {

constexpr int Size = 64;
using TPixel = std::array<int, 3>;

::testing::AssertionResult Near(const TPixel& Actual, const TPixel& Expected, int Tolerance = 3)
{
    for (int I = 0; I < 3; ++I)
        if (std::abs(Actual[I] - Expected[I]) > Tolerance)
            return ::testing::AssertionFailure()
                   << "(" << Actual[0] << ", " << Actual[1] << ", " << Actual[2] << ") is not near ("
                   << Expected[0] << ", " << Expected[1] << ", " << Expected[2] << ")";
    return ::testing::AssertionSuccess();
}

// Frames drawn on real Mesa: orthographic -1..1, unlit, blue background.
class MaterialPixels : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "no X display";
        ASSERT_TRUE(Window.Valid()) << Window.Error();
        SetGLDispatch(nullptr);
        Pass.StateCache = &Cache;
        Cache.Enable(stDepthTest);
    }

    void TearDown() override
    {
        if (Window.Valid())
            Scene.DestroyHandles();
    }

    // One frame; AfterScene draws over it before the frame's end state.
    void DrawFrame(const std::function<void()>& AfterScene = {})
    {
        const TGLDispatch& Gl = GL();
        Gl.glViewport(0, 0, Size, Size);
        Gl.glMatrixMode(GL_PROJECTION);
        Gl.glLoadIdentity();
        Gl.glOrtho(-1, 1, -1, 1, -10, 10);
        Gl.glMatrixMode(GL_MODELVIEW);
        Gl.glLoadIdentity();
        Gl.glClearColor(0, 0, 1, 1);
        Gl.glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        Cache.Reset();
        Scene.RenderScene(Pass);
        // The known state every frame ends in.
        Cache.Disable(stBlend);
        Cache.Disable(stTexture2D);
        Cache.Disable(stTextureRect);
        Cache.Enable(stAlphaTest);
        Gl.glAlphaFunc(GL_GREATER, 0);
        if (AfterScene)
            AfterScene();
        Gl.glFinish();
        ASSERT_EQ(Gl.glGetError(), GLenum(GL_NO_ERROR));
    }

    TPixel Read(int X, int Y)
    {
        std::array<GLubyte, 4> P{};
        GL().glReadPixels(X, Y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, P.data());
        return {P[0], P[1], P[2]};
    }

    TGLXTestContext Window{Size, Size};
    TGLStateCache Cache;
    TRenderContextInfo Pass;
    TGLScene Scene;
};

} // namespace

TEST_F(MaterialPixels, KeyedTexelsAreAbsentFromTheSecondFrameOn)
{
    // Left half red (the bottom-left pixel, so the key), right half green.
    auto Picture = std::make_unique<TGLBitmapGraphic>(4, 4);
    Picture->Fill(0, 255, 0);
    for (int Y = 0; Y < 4; ++Y)
        for (int X = 0; X < 2; ++X)
            Picture->SetPixel(X, Y, 255, 0, 0);
    TGLSprite& Quad = Scene.AddNewObject<TGLSprite>();
    Quad.SetWidth(2);
    Quad.SetHeight(2);
    TGLMaterial& Material = Quad.Material();
    Material.SetBlendingMode(bmTransparency);
    TGLTexture& Texture = Material.Texture();
    Texture.SetDisabled(false);
    Texture.SetImageAlpha(tiaTopLeftPointColorTransparent);
    Texture.SetMagFilter(maNearest);
    Texture.SetMinFilter(miNearest);
    Texture.SetTextureMode(tmReplace);
    Texture.Image().Picture().SetGraphic(std::move(Picture));

    // A yellow wall behind the quad, drawn after it: it shows only where the
    // quad left no depth.
    const auto Wall = [] {
        const TGLDispatch& Gl = GL();
        Gl.glColor4f(1, 1, 0, 1);
        Gl.glBegin(GL_QUADS);
        Gl.glVertex3f(-1, -1, -0.5f);
        Gl.glVertex3f(1, -1, -0.5f);
        Gl.glVertex3f(1, 1, -0.5f);
        Gl.glVertex3f(-1, 1, -0.5f);
        Gl.glEnd();
    };

    // First frame: the default alpha function passes everything; the keyed
    // texels add no colour but still hide the wall.
    DrawFrame(Wall);
    EXPECT_TRUE(Near(Read(8, 32), TPixel{0, 0, 255}));
    EXPECT_TRUE(Near(Read(56, 32), TPixel{0, 255, 0}));

    // From the second frame on they are discarded: the wall shows through.
    for (int Frame = 2; Frame <= 3; ++Frame) {
        DrawFrame(Wall);
        EXPECT_TRUE(Near(Read(8, 32), TPixel{255, 255, 0})) << "frame " << Frame;
        EXPECT_TRUE(Near(Read(24, 8), TPixel{255, 255, 0})) << "frame " << Frame;
        EXPECT_TRUE(Near(Read(56, 32), TPixel{0, 255, 0})) << "frame " << Frame;
    }
    EXPECT_NE(Texture.Handle(), 0u);
    EXPECT_EQ(GL().glIsTexture(Texture.Handle()), GL_TRUE);
}

TEST_F(MaterialPixels, BlendedPixelsLieBetweenTheirSources)
{
    // An opaque red square behind, a half-transparent white ball in front.
    TGLSprite& Back = Scene.AddNewObject<TGLSprite>();
    Back.SetWidth(2);
    Back.SetHeight(2);
    Back.SetPosition(TVector{0, 0, -2, 1});
    Back.Material().FrontProperties().Diffuse().SetColor(1, 0, 0, 1);
    TGLSphere& Ball = Scene.AddNewObject<TGLSphere>();
    Ball.SetRadius(0.5f);
    Ball.SetSlices(24);
    Ball.Material().SetBlendingMode(bmTransparency);
    Ball.Material().FrontProperties().Diffuse().SetColor(1, 1, 1, 0.4f);
    // Drawn after the opaque square, whatever the list order.
    ASSERT_TRUE(Ball.IsBlended());

    DrawFrame();
    DrawFrame();
    const TPixel Centre = Read(Size / 2, Size / 2);
    // 0.4 white over red: (255, 102, 102).
    EXPECT_TRUE(Near(Centre, TPixel{255, 102, 102}));
    EXPECT_GT(Centre[1], 0);
    EXPECT_LT(Centre[1], 255);
    EXPECT_TRUE(Near(Read(4, 4), TPixel{255, 0, 0}, 0)); // the red square alone
    EXPECT_TRUE(Near(Read(Size / 2 + 24, Size / 2), TPixel{255, 0, 0}, 0));
}

TEST_F(MaterialPixels, ModulatedTexturesAndRescaledUploads)
{
    TGLSprite& Quad = Scene.AddNewObject<TGLSprite>();
    Quad.SetWidth(2);
    Quad.SetHeight(2);
    Quad.Material().FrontProperties().Diffuse().SetColor(0, 1, 0, 1);
    TGLTexture& Texture = Quad.Material().Texture();
    Texture.SetDisabled(false);
    Texture.SetTextureMode(tmModulate);
    Texture.SetMinFilter(miLinear);
    auto Picture = std::make_unique<TGLBitmapGraphic>(4, 4);
    Picture->Fill(255, 255, 255);
    Texture.Image().Picture().SetGraphic(std::move(Picture));
    DrawFrame();
    EXPECT_TRUE(Near(Read(32, 32), TPixel{0, 255, 0}));

    // A 512 x 235 picture goes through gluScaleImage on the real library.
    auto Wide = std::make_unique<TGLBitmapGraphic>(512, 235);
    Wide->Fill(255, 0, 255);
    Texture.Image().Picture().SetGraphic(std::move(Wide));
    DrawFrame();
    GLint Width = 0;
    GLint Height = 0;
    GL().glBindTexture(GL_TEXTURE_2D, Texture.Handle());
    GL().glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &Width);
    GL().glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &Height);
    EXPECT_EQ(Width, 512);
    EXPECT_EQ(Height, 256);
    EXPECT_EQ(Texture.RequiredMemorySize(), -1);      // uncompressed: the driver reports no size
    EXPECT_TRUE(Near(Read(32, 32), TPixel{0, 0, 0})); // green times magenta
}
