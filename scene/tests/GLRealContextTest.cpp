#include "GLXTestContext.h"
#include "scene/GLCylinder.h"
#include "scene/GLDispatch.h"
#include "scene/GLSceneGraph.h"
#include "scene/GLSphere.h"
#include "scene/GLStateCache.h"
#include "scene/RenderContextInfo.h"

#include <array>
#include <cstdlib>
#include <gtest/gtest.h>

using namespace Scene;
using Scene::Testing::TGLXTestContext;

namespace {

constexpr int Size = 64;

class RealContext : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "no X display";
        ASSERT_TRUE(Window.Valid()) << Window.Error();
        SetGLDispatch(nullptr);
        Pass.StateCache = &Cache;
    }

    // Orthographic -1..1 view, black background, unlit white geometry.
    void DrawFrame(TGLScene& Scene)
    {
        const TGLDispatch& Gl = GL();
        Gl.glViewport(0, 0, Size, Size);
        Gl.glMatrixMode(GL_PROJECTION);
        Gl.glLoadIdentity();
        Gl.glOrtho(-1, 1, -1, 1, -10, 10);
        Gl.glMatrixMode(GL_MODELVIEW);
        Gl.glLoadIdentity();
        Gl.glClearColor(0, 0, 0, 1);
        Gl.glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        Gl.glColor4f(1, 1, 1, 1);
        Cache.Reset();
        Scene.RenderScene(Pass);
        Gl.glFinish();
    }

    int Red(int X, int Y)
    {
        std::array<GLubyte, 4> Pixel{};
        GL().glReadPixels(X, Y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, Pixel.data());
        return Pixel[0];
    }

    TGLXTestContext Window{Size, Size};
    TGLStateCache Cache;
    TRenderContextInfo Pass;
};

} // namespace

TEST_F(RealContext, SphereIsCompiledIntoAListAndDrawn)
{
    ASSERT_NE(GL().glGetString(GL_VERSION), nullptr);
    TGLScene Scene;
    TGLSphere& Ball = Scene.AddNewObject<TGLSphere>();
    Ball.SetRadius(0.8f);
    Ball.SetSlices(32);
    DrawFrame(Scene);
    EXPECT_EQ(GL().glGetError(), GLenum(GL_NO_ERROR));
    EXPECT_GT(Red(Size / 2, Size / 2), 200);
    EXPECT_GT(Red(Size / 2 + 20, Size / 2), 200); // 0.625 from the centre: inside
    EXPECT_EQ(Red(2, 2), 0);
    EXPECT_EQ(Red(Size / 2 + 30, Size / 2), 0); // 0.94: outside

    const GLuint List = Ball.GeometryList(Pass);
    EXPECT_EQ(GL().glIsList(List), GL_TRUE);
    // A second frame replays the same list.
    DrawFrame(Scene);
    EXPECT_EQ(Ball.GeometryList(Pass), List);
    EXPECT_GT(Red(Size / 2, Size / 2), 200);

    Scene.DestroyHandles();
    EXPECT_EQ(GL().glIsList(List), GL_FALSE);
    EXPECT_EQ(GL().glGetError(), GLenum(GL_NO_ERROR));
}

TEST_F(RealContext, GluCylinderIsDrawnAlongY)
{
    TGLScene Scene;
    TGLCylinder& Rod = Scene.AddNewObject<TGLCylinder>();
    Rod.SetBottomRadius(0.25f);
    Rod.SetTopRadius(0.25f);
    Rod.SetHeight(1.6f);
    DrawFrame(Scene);
    EXPECT_EQ(GL().glGetError(), GLenum(GL_NO_ERROR));
    EXPECT_GT(Red(Size / 2, Size / 2), 200);
    EXPECT_GT(Red(Size / 2, Size / 2 + 22), 200); // y 0.69: inside the rod's length
    EXPECT_EQ(Red(Size / 2, Size / 2 + 29), 0);   // y 0.91: beyond its end
    EXPECT_EQ(Red(Size / 2 + 16, Size / 2), 0);   // x 0.5: beside it
}
