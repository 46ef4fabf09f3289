#include "scene/GLSceneBuffer.h"

#include "GLRecorder.h"
#include "scene/GLCamera.h"
#include "scene/GLContextError.h"
#include "scene/GLDummyCube.h"
#include "scene/GLLightSource.h"
#include "scene/GLSceneGraph.h"
#include "scene/GLSceneObject.h"
#include "scene/RenderContextInfo.h"
#include "SceneTestHelpers.h"
#include "TestRenderingContext.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace Scene;
using Scene::Testing::TGLCall;
using Scene::Testing::TGLRecorder;
using Scene::Testing::TTestDeviceContext;
using Scene::Testing::VectorNear;

namespace {

// Keeps a copy of the render pass it was drawn with and notes where in the
// call stream its geometry came.
class TProbe : public TGLSceneObject
{
public:
    TProbe() { FObjectStyle.Include(TGLObjectStyle::DirectDraw); }
    void EmitGeometry(TRenderContextInfo& Context) override
    {
        Pass = Context;
        ++Draws;
        GL().glPointSize(7);
    }
    TRenderContextInfo Pass;
    int Draws = 0;
};

class SceneBuffer : public ::testing::Test
{
protected:
    SceneBuffer()
    {
        Camera.SetPosition(TVector{0, 0, -10, 1});
        Camera.SetDirection(TVector{0, 0, 1, 0});
        Camera.SetFocalLength(120);
        Camera.SetDepthOfView(240);
        Buffer.SetCamera(&Camera);
        Buffer.ResizeViewport(328, 344);
        Buffer.SetOnChange([this] { ++Changes; });
        Buffer.SetOnStructuralChange([this] { ++StructuralChanges; });
        Device.Log.OnStep = [this](const char* Step) { Note(Step); };
    }

    void Create() { Buffer.CreateRenderingContext(Device); }

    void Frame()
    {
        Recorder.Clear();
        Journal.clear();
        Buffer.RenderFrame();
    }

    // An event or context step, with the number of GL calls made before it.
    void Note(const std::string& Step) { Journal.emplace_back(Step, Recorder.Calls().size()); }
    std::size_t At(const std::string& Step) const
    {
        for (const auto& [Name, Position] : Journal)
            if (Name == Step)
                return Position;
        ADD_FAILURE() << Step << " did not happen";
        return 0;
    }
    // Index of the first call named Name with first argument Argument (any when negative).
    std::size_t First(const std::string& Name, double Argument = -1) const
    {
        const auto& Calls = Recorder.Calls();
        for (std::size_t I = 0; I < Calls.size(); ++I)
            if (Calls[I].Name == Name &&
                (Argument < 0 || (!Calls[I].Args.empty() && Calls[I].Args[0] == Argument)))
                return I;
        ADD_FAILURE() << Name << " was not called";
        return Calls.size();
    }
    bool Has(const std::string& Name, double Argument) const
    {
        for (const TGLCall& Call : Recorder.CallsNamed(Name))
            if (!Call.Args.empty() && Call.Args[0] == Argument)
                return true;
        return false;
    }
    void HookAllEvents()
    {
        Buffer.SetBeforeRender([this] { Note("BeforeRender"); });
        Buffer.SetInitiateRendering([this] { Note("InitiateRendering"); });
        Buffer.SetWrapUpRendering([this] { Note("WrapUpRendering"); });
        Buffer.SetPostRender([this] { Note("PostRender"); });
        Buffer.SetAfterRender([this] { Note("AfterRender"); });
    }

    TGLRecorder Recorder;
    TGLScene Scene;
    TGLCamera& Camera = Scene.AddNewObject<TGLCamera>();
    TTestDeviceContext Device;
    TGLSceneBuffer Buffer;
    int Changes = 0;
    int StructuralChanges = 0;
    std::vector<std::pair<std::string, std::size_t>> Journal;
};

} // namespace

TEST(SceneBufferProperties, DefaultsOfTheStoredDesign)
{
    TGLSceneBuffer Buffer;
    EXPECT_EQ(Buffer.BackgroundColor(), clBtnFace);
    EXPECT_EQ(Buffer.AmbientColor().AsVector(), (TVector{0.2f, 0.2f, 0.2f, 1}));
    EXPECT_EQ(Buffer.ContextOptions(), (TContextOptions{roDoubleBuffer, roRenderToWindow}));
    EXPECT_EQ(Buffer.AccumBufferBits(), 0);
    EXPECT_TRUE(Buffer.DepthTest());
    EXPECT_TRUE(Buffer.FaceCulling());
    EXPECT_FALSE(Buffer.FogEnable());
    EXPECT_TRUE(Buffer.Lighting());
    EXPECT_EQ(Buffer.AntiAliasing(), aaDefault);
    EXPECT_EQ(Buffer.DepthPrecision(), dpDefault);
    EXPECT_EQ(Buffer.ColorDepth(), cdDefault);
    EXPECT_EQ(Buffer.ShadeModel(), smDefault);
    EXPECT_EQ(Buffer.VSync(), vsmNoSync);
    const TGLFogEnvironment& Fog = Buffer.FogEnvironment();
    EXPECT_EQ(Fog.FogColor().AsVector(), (TVector{0, 0, 0, 1}));
    EXPECT_EQ(Fog.FogStart(), 10);
    EXPECT_EQ(Fog.FogEnd(), 1000);
    EXPECT_EQ(Fog.FogMode(), fmLinear);
    EXPECT_EQ(Fog.FogDistance(), fdDefault);
    EXPECT_EQ(Buffer.Width(), 1);
    EXPECT_EQ(Buffer.Height(), 1);
    EXPECT_EQ(Buffer.Camera(), nullptr);
    EXPECT_EQ(Buffer.FrameCount(), 0);
}

TEST(SceneBufferProperties, PixelFormatFollowsTheOptions)
{
    TGLSceneBuffer Buffer;
    TGLPixelFormatRequest Default = Buffer.PixelFormatRequest();
    EXPECT_TRUE(Default.DoubleBuffer);
    EXPECT_FALSE(Default.Stereo);
    EXPECT_EQ(Default.ColorBits, 24);
    EXPECT_EQ(Default.DepthBits, 24);
    EXPECT_EQ(Default.StencilBits, 0);
    EXPECT_EQ(Default.AlphaBits, 0);
    EXPECT_EQ(Default.AccumBits, 0);
    EXPECT_EQ(Default.AuxBuffers, 0);

    // The globe's options.
    Buffer.SetContextOptions({roDoubleBuffer, roRenderToWindow, roStereo, roDestinationAlpha});
    TGLPixelFormatRequest Globe = Buffer.PixelFormatRequest();
    EXPECT_TRUE(Globe.Stereo);
    EXPECT_EQ(Globe.AlphaBits, 8);

    Buffer.SetContextOptions({roStencilBuffer, roNoColorBuffer});
    Buffer.SetDepthPrecision(dp16bits);
    Buffer.SetAccumBufferBits(32);
    Buffer.SetAntiAliasing(aa4xHQ);
    TGLPixelFormatRequest Other = Buffer.PixelFormatRequest();
    EXPECT_FALSE(Other.DoubleBuffer);
    EXPECT_EQ(Other.ColorBits, 0);
    EXPECT_EQ(Other.StencilBits, 8);
    EXPECT_EQ(Other.DepthBits, 16);
    EXPECT_EQ(Other.AccumBits, 32);
    EXPECT_EQ(Other.Samples, 4);

    Buffer.SetContextOptions({});
    Buffer.SetColorDepth(cd16bits);
    EXPECT_EQ(Buffer.PixelFormatRequest().ColorBits, 16);
}

TEST_F(SceneBuffer, DrawingSettersInvalidateAndContextSettersRecreate)
{
    const auto Count = [&](auto Change) {
        Changes = 0;
        StructuralChanges = 0;
        Change();
        return std::pair{Changes, StructuralChanges};
    };
    using TCounts = std::pair<int, int>;
    EXPECT_EQ(Count([&] { Buffer.SetBackgroundColor(clSkyBlue); }), (TCounts{1, 0}));
    EXPECT_EQ(Count([&] { Buffer.SetBackgroundColor(clSkyBlue); }), (TCounts{0, 0}));
    EXPECT_EQ(Count([&] { Buffer.SetDepthTest(false); }), (TCounts{1, 0}));
    EXPECT_EQ(Count([&] { Buffer.SetFaceCulling(false); }), (TCounts{1, 0}));
    EXPECT_EQ(Count([&] { Buffer.SetLighting(false); }), (TCounts{1, 0}));
    EXPECT_EQ(Count([&] { Buffer.SetLighting(false); }), (TCounts{0, 0}));
    EXPECT_EQ(Count([&] { Buffer.SetShadeModel(smSmooth); }), (TCounts{1, 0}));
    EXPECT_EQ(Count([&] { Buffer.SetFogEnable(true); }), (TCounts{1, 0}));
    EXPECT_EQ(Count([&] { Buffer.AmbientColor().SetRed(0.5f); }), (TCounts{1, 0}));
    EXPECT_EQ(Count([&] { Buffer.FogEnvironment().SetFogEnd(500); }), (TCounts{1, 0}));
    EXPECT_EQ(Count([&] { Buffer.FogEnvironment().FogColor().SetBlue(1); }), (TCounts{1, 0}));

    EXPECT_EQ(Count([&] { Buffer.SetContextOptions({roDoubleBuffer}); }), (TCounts{0, 1}));
    EXPECT_EQ(Count([&] { Buffer.SetContextOptions({roDoubleBuffer}); }), (TCounts{0, 0}));
    EXPECT_EQ(Count([&] { Buffer.SetAntiAliasing(aa2x); }), (TCounts{0, 1}));
    EXPECT_EQ(Count([&] { Buffer.SetDepthPrecision(dp32bits); }), (TCounts{0, 1}));
    EXPECT_EQ(Count([&] { Buffer.SetColorDepth(cd16bits); }), (TCounts{0, 1}));
}

TEST_F(SceneBuffer, ContextCreationSetsTheViewportStatesAndClearColour)
{
    Buffer.SetBackgroundColor(clSkyBlue);
    Create();
    ASSERT_TRUE(Buffer.HasRenderingContext());
    EXPECT_EQ(Device.Log.Creations, 1);
    EXPECT_EQ(Device.Log.Request, Buffer.PixelFormatRequest());
    EXPECT_EQ(Device.Log.Depth, 0);
    EXPECT_TRUE(Has("glViewport", 0));
    EXPECT_EQ(Recorder.CallsNamed("glViewport").back().Args, (std::vector<double>{0, 0, 328, 344}));
    EXPECT_TRUE(Recorder.IsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(Recorder.IsEnabled(GL_LIGHTING));
    const TGLCall Clear = Recorder.CallsNamed("glClearColor").back();
    EXPECT_NEAR(Clear.Args[0], 166 / 255.0, 1e-6);
    EXPECT_NEAR(Clear.Args[1], 202 / 255.0, 1e-6);
    EXPECT_NEAR(Clear.Args[2], 240 / 255.0, 1e-6);
    EXPECT_EQ(Clear.Args[3], 1);
}

TEST_F(SceneBuffer, ContextCreationFailuresCarryTheirMessagesAndKeepNoContext)
{
    const auto Message = [&] {
        try {
            Create();
        } catch (const EGLContextError& Error) {
            return std::string(Error.what());
        }
        return std::string("no error");
    };
    Device.NoContext = true;
    EXPECT_EQ(Message(), "Failed to create RenderingContext.");
    EXPECT_FALSE(Buffer.HasRenderingContext());

    Device.NoContext = false;
    Device.FailureText = "The requested pixel format is not supported.";
    EXPECT_EQ(Message(), "OS Error : The requested pixel format is not supported.");
    EXPECT_FALSE(Buffer.HasRenderingContext());

    Device.FailureText.clear();
    Recorder.SetString(GL_VERSION, "1.0 Ancient");
    EXPECT_EQ(Message(), "Need at least OpenGL version 1.1");
    EXPECT_FALSE(Buffer.HasRenderingContext());
    EXPECT_EQ(Device.Log.Depth, 0) << "left current after the failure";
    EXPECT_FALSE(Buffer.Rendering());

    Recorder.SetString(GL_VERSION, "2.1 Mesa");
    EXPECT_EQ(Message(), "no error");
    EXPECT_TRUE(Buffer.HasRenderingContext());
}

TEST_F(SceneBuffer, NoFrameWithoutAContext)
{
    Frame();
    EXPECT_TRUE(Recorder.Calls().empty());
    EXPECT_EQ(Buffer.FrameCount(), 0);
}

TEST_F(SceneBuffer, FrameStepsComeInOrder)
{
    TProbe& Probe = Scene.AddNewObject<TProbe>();
    Scene.AddNewObject<TGLLightSource>();
    Create();
    HookAllEvents();
    Frame();
    ASSERT_EQ(Probe.Draws, 1);

    const std::size_t Ambient = First("glLightModelfv", GL_LIGHT_MODEL_AMBIENT);
    const std::size_t DepthFunc = First("glDepthFunc");
    const std::size_t ClearColour = First("glClearColor");
    const std::size_t Clear = First("glClear");
    const std::size_t Projection = First("glMatrixMode", GL_PROJECTION);
    const std::size_t Frustum = First("glFrustum");
    const std::size_t ModelView = First("glMatrixMode", GL_MODELVIEW);
    const std::size_t LookAt = First("gluLookAt");
    const std::size_t Light = First("glLightfv", GL_LIGHT0);
    const std::size_t Reset = First("glMaterialfv", GL_FRONT_AND_BACK);
    const std::size_t Geometry = First("glPointSize");
    const std::size_t AlphaFunc = First("glAlphaFunc");
    EXPECT_LT(Ambient, DepthFunc);
    EXPECT_LT(DepthFunc, ClearColour);
    EXPECT_LT(ClearColour, Clear);
    EXPECT_LT(Clear, Projection);
    EXPECT_LT(Projection, Frustum);
    EXPECT_LT(Frustum, ModelView);
    EXPECT_LT(ModelView, LookAt);
    EXPECT_LE(LookAt, At("BeforeRender"));
    EXPECT_LE(At("BeforeRender"), Light);
    EXPECT_LT(Light, Reset);
    EXPECT_LE(Reset, At("InitiateRendering"));
    EXPECT_LE(At("InitiateRendering"), Geometry);
    EXPECT_LT(Geometry, At("WrapUpRendering"));
    EXPECT_LE(At("WrapUpRendering"), AlphaFunc);
    EXPECT_LT(AlphaFunc, At("PostRender"));
    EXPECT_LE(At("PostRender"), At("SwapBuffers"));
    EXPECT_LE(At("SwapBuffers"), At("AfterRender"));
    EXPECT_EQ(At("AfterRender"), Recorder.Calls().size());
    EXPECT_EQ(Device.Log.Swaps, 1);
    EXPECT_EQ(Device.Log.Depth, 0);
    EXPECT_EQ(Buffer.FrameCount(), 1);
    EXPECT_FALSE(Buffer.Rendering());
}

TEST_F(SceneBuffer, AFrameEndsInTheKnownState)
{
    Scene.AddNewObject<TProbe>();
    Create();
    Buffer.StateCache().Enable(stBlend);
    Buffer.StateCache().Enable(stTexture2D);
    Frame();
    EXPECT_FALSE(Recorder.IsEnabled(GL_BLEND));
    EXPECT_FALSE(Recorder.IsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(Recorder.IsEnabled(GL_ALPHA_TEST));
    const TGLCall Alpha = Recorder.CallsNamed("glAlphaFunc").back();
    EXPECT_EQ(Alpha.Args, (std::vector<double>{GL_GREATER, 0}));
    // Both colour masks on again.
    EXPECT_EQ(Recorder.CallsNamed("glColorMask").back().Args, (std::vector<double>{1, 1, 1, 1}));
}

TEST_F(SceneBuffer, TheSecondFrameSkipsUnchangedStatesButResetsMaterials)
{
    Scene.AddNewObject<TProbe>();
    Create();
    Frame();
    Frame();
    EXPECT_FALSE(Has("glEnable", GL_NORMALIZE));
    EXPECT_FALSE(Has("glEnable", GL_DEPTH_TEST));
    // (The alpha test does come back: an opaque material switches it off, the frame's end on again.)
    // The default material goes to both faces at every frame.
    EXPECT_TRUE(Has("glMaterialfv", GL_FRONT_AND_BACK));
    EXPECT_EQ(Recorder.Count("glFrontFace"), 1u);
}

TEST_F(SceneBuffer, TheRenderPassCarriesTheCameraAndTheBuffer)
{
    TGLDummyCube& Target = Scene.AddNewObject<TGLDummyCube>();
    Target.SetPosition(TVector{0, 3, 0, 1});
    Camera.SetTargetObject(&Target);
    TProbe& Probe = Scene.AddNewObject<TProbe>();
    Buffer.SetFaceCulling(false);
    Create();
    Frame();
    const TRenderContextInfo& Pass = Probe.Pass;
    EXPECT_EQ(Pass.Scene, &Scene);
    EXPECT_EQ(Pass.Buffer, &Buffer);
    EXPECT_EQ(Pass.StateCache, &Buffer.StateCache());
    EXPECT_FALSE(Pass.FaceCulling);
    EXPECT_TRUE(Pass.DepthTest);
    EXPECT_FALSE(Pass.IgnoreMaterials);
    EXPECT_TRUE(VectorNear(Pass.CameraPosition, TVector{0, 0, -10, 1}));
    EXPECT_TRUE(VectorNear(Pass.CameraDirection, VectorNormalize(TVector{0, 3, 10, 0})));
    EXPECT_NEAR(VectorDotProduct(Pass.CameraUp, Pass.CameraDirection), 0, 1e-6);
    EXPECT_NEAR(VectorLength(Pass.CameraUp), 1, 1e-6);
    EXPECT_NEAR(Pass.NearClippingDistance, 2.6369f, 1e-4f);
    EXPECT_NEAR(Pass.FarClippingDistance, 2.6369f + 240, 1e-3f);
    EXPECT_EQ(Pass.CameraDepthOfView, 240);
    EXPECT_EQ(Pass.ViewportWidth, 328);
    EXPECT_EQ(Pass.ViewportHeight, 344);
    EXPECT_EQ(Pass.RenderDPI, 96);
    EXPECT_TRUE(Scene::Testing::MatrixNear(Pass.ModelViewMatrix, Buffer.ModelViewMatrix()));
    EXPECT_TRUE(Scene::Testing::MatrixNear(Buffer.ProjectionMatrix(), Recorder.Projection()));
    // The frustum holds the target but not a point behind the camera.
    EXPECT_TRUE(IsSphereInFrustum(TVector{0, 3, 0, 1}, 0.01f, Pass.Frustum));
    EXPECT_FALSE(IsSphereInFrustum(TVector{0, 0, -20, 1}, 0.01f, Pass.Frustum));
    EXPECT_EQ(Scene.CurrentBuffer(), &Buffer);
}

TEST_F(SceneBuffer, ADoubledScreenSeesTheSamePicture)
{
    Create();
    Frame();
    const TGLCall Single = Recorder.CallsNamed("glFrustum").at(0);
    Changes = 0;
    Buffer.SetDevicePixelRatio(2);
    EXPECT_EQ(Changes, 1);
    Buffer.ResizeViewport(656, 688);
    Frame();
    EXPECT_EQ(Buffer.RenderDPI(), 192);
    const TGLCall Double = Recorder.CallsNamed("glFrustum").at(0);
    for (int I = 0; I < 5; ++I)
        EXPECT_NEAR(Double.Args[I], Single.Args[I], 1e-9) << I;
}

TEST_F(SceneBuffer, LightingOffDrawsUnlitAndSwitchingItBackInvalidates)
{
    Scene.AddNewObject<TGLLightSource>();
    TProbe& Probe = Scene.AddNewObject<TProbe>();
    Create();
    Frame();
    Buffer.SetLighting(false);
    Frame();
    EXPECT_EQ(Probe.Draws, 2);
    EXPECT_TRUE(Has("glDisable", GL_LIGHTING));
    EXPECT_FALSE(Recorder.IsEnabled(GL_LIGHTING));
    // Lights are still loaded, to no effect.
    EXPECT_TRUE(Has("glLightfv", GL_LIGHT0));

    Changes = 0;
    Buffer.SetLighting(true);
    EXPECT_EQ(Changes, 1);
    Frame();
    EXPECT_TRUE(Has("glEnable", GL_LIGHTING));
    EXPECT_TRUE(Recorder.IsEnabled(GL_LIGHTING));
}

TEST_F(SceneBuffer, SceneChangesInvalidateOnlyOutsideAFrame)
{
    TGLDummyCube& Cube = Scene.AddNewObject<TGLDummyCube>();
    Create();
    Frame(); // registers the buffer with the scene
    ASSERT_NE(std::find(Scene.Buffers().begin(), Scene.Buffers().end(), &Buffer), Scene.Buffers().end());
    Changes = 0;
    Cube.SetTurnAngle(10);
    EXPECT_EQ(Changes, 1);

    Buffer.SetBeforeRender([&] { Cube.SetTurnAngle(20); });
    Changes = 0;
    Frame();
    EXPECT_EQ(Changes, 0);
}

TEST_F(SceneBuffer, AFrameRequestedInsideAFrameIsIgnored)
{
    Create();
    Buffer.SetPostRender([&] { Buffer.RenderFrame(); });
    Frame();
    EXPECT_EQ(Buffer.FrameCount(), 1);
    EXPECT_EQ(Device.Log.Swaps, 1);
}

TEST_F(SceneBuffer, AFailingFrameLeavesNoFlagOrCurrentContext)
{
    Create();
    Buffer.SetBeforeRender([] { throw std::runtime_error("draw failed"); });
    EXPECT_THROW(Frame(), std::runtime_error);
    EXPECT_FALSE(Buffer.Rendering());
    EXPECT_EQ(Device.Log.Depth, 0);
    Buffer.SetBeforeRender(nullptr);
    Frame();
    EXPECT_EQ(Buffer.FrameCount(), 1);
}

TEST_F(SceneBuffer, ClearingFollowsTheContextOptions)
{
    Create();
    Frame();
    EXPECT_EQ(Recorder.CallsNamed("glClear").at(0).Args,
              std::vector<double>{GL_DEPTH_BUFFER_BIT | GL_COLOR_BUFFER_BIT});

    Buffer.SetContextOptions({roDoubleBuffer, roNoColorBufferClear, roStencilBuffer, roNoSwapBuffers});
    Frame();
    EXPECT_EQ(Recorder.CallsNamed("glClear").at(0).Args,
              std::vector<double>{GL_DEPTH_BUFFER_BIT | GL_STENCIL_BUFFER_BIT});
    EXPECT_EQ(Device.Log.Swaps, 1) << "swapped despite roNoSwapBuffers";

    TProbe& Probe = Scene.AddNewObject<TProbe>();
    Buffer.SetContextOptions({roNoColorBuffer});
    Frame();
    EXPECT_EQ(Recorder.CallsNamed("glClear").at(0).Args, std::vector<double>{GL_DEPTH_BUFFER_BIT});
    EXPECT_TRUE(Probe.Pass.IgnoreMaterials);
    EXPECT_EQ(Recorder.CallsNamed("glColorMask").at(0).Args, (std::vector<double>{0, 0, 0, 0}));
}

TEST_F(SceneBuffer, ShadeModelTwoSideLightingAndDither)
{
    // Dithering stays for frame buffers with fewer than 8 blue bits only.
    Recorder.SetInteger(GL_BLUE_BITS, 5);
    Create();
    Frame();
    EXPECT_TRUE(Recorder.IsEnabled(GL_DITHER));
    Recorder.SetInteger(GL_BLUE_BITS, 8);
    Create();
    Frame();
    EXPECT_EQ(Recorder.CallsNamed("glShadeModel").at(0).Args, std::vector<double>{GL_SMOOTH});
    EXPECT_EQ(Recorder.CallsNamed("glLightModeli").at(0).Args,
              (std::vector<double>{GL_LIGHT_MODEL_TWO_SIDE, GL_FALSE}));
    EXPECT_FALSE(Recorder.IsEnabled(GL_DITHER));

    Buffer.SetShadeModel(smFlat);
    Buffer.SetContextOptions({roDoubleBuffer, roTwoSideLighting});
    Frame();
    EXPECT_EQ(Recorder.CallsNamed("glShadeModel").at(0).Args, std::vector<double>{GL_FLAT});
    EXPECT_EQ(Recorder.CallsNamed("glLightModeli").at(0).Args,
              (std::vector<double>{GL_LIGHT_MODEL_TWO_SIDE, GL_TRUE}));
}

TEST_F(SceneBuffer, FogIsSentOnlyWhenEnabled)
{
    Create();
    Frame();
    EXPECT_EQ(Recorder.Count("glFogfv"), 0u);
    EXPECT_FALSE(Recorder.IsEnabled(GL_FOG));

    Buffer.SetFogEnable(true);
    Buffer.FogEnvironment().FogColor().SetColor(0.914f, 0.914f, 0.914f, 1);
    Buffer.FogEnvironment().SetFogMode(fmExp2);
    Frame();
    EXPECT_TRUE(Recorder.IsEnabled(GL_FOG));
    EXPECT_EQ(Recorder.CallsNamed("glFogi").at(0).Args, (std::vector<double>{GL_FOG_MODE, GL_EXP2}));
    EXPECT_EQ(Recorder.CallsNamed("glFogfv").at(0).Args,
              (std::vector<double>{GL_FOG_COLOR, 0.914f, 0.914f, 0.914f, 1}));
    const auto Fogf = Recorder.CallsNamed("glFogf");
    ASSERT_EQ(Fogf.size(), 2u);
    EXPECT_EQ(Fogf[0].Args, (std::vector<double>{GL_FOG_START, 10}));
    EXPECT_EQ(Fogf[1].Args, (std::vector<double>{GL_FOG_END, 1000}));
}

TEST_F(SceneBuffer, VSyncOnlyWhereTheContextHasSwapControl)
{
    Create();
    Frame();
    EXPECT_EQ(Device.Last->IntervalChanges, 0);

    Device.SwapControl = true;
    Create();
    Frame();
    EXPECT_EQ(Device.Last->Interval, 0) << "vsmNoSync is the default";
    Frame();
    EXPECT_EQ(Device.Last->IntervalChanges, 1);
    Buffer.SetVSync(vsmSync);
    Frame();
    EXPECT_EQ(Device.Last->Interval, 1);
    EXPECT_EQ(Device.Last->IntervalChanges, 2);
}

TEST_F(SceneBuffer, AnEmptyWindowKeepsAOneByOneViewport)
{
    Create();
    Recorder.Clear();
    Buffer.ResizeViewport(0, 0);
    EXPECT_EQ(Buffer.Viewport(), (TGLViewport{0, 0, 1, 1}));
    EXPECT_EQ(Recorder.CallsNamed("glViewport").at(0).Args, (std::vector<double>{0, 0, 1, 1}));
    EXPECT_EQ(Device.Log.Depth, 0);
    Buffer.ResizeViewport(-5, 20);
    EXPECT_EQ(Buffer.Width(), 1);
    EXPECT_EQ(Buffer.Height(), 20);
}

TEST_F(SceneBuffer, FrameStatisticsFromTheCounter)
{
    std::int64_t Now = 1000;
    Buffer.SetPerformanceCounter([&] { return Now; }, 100);
    // Each frame takes 5 ticks: 50 ms.
    Buffer.SetBeforeRender([&] { Now += 5; });
    Create();
    Frame();
    EXPECT_EQ(Buffer.FrameCount(), 1);
    EXPECT_DOUBLE_EQ(Buffer.LastFrameTime(), 0.05);
    EXPECT_DOUBLE_EQ(Buffer.FrameRate(), 20);
    Now += 15;
    Frame();
    // Two frames in 25 ticks since the first began.
    EXPECT_EQ(Buffer.FrameCount(), 2);
    EXPECT_DOUBLE_EQ(Buffer.FrameRate(), 2 * 100 / 25.0);

    const std::size_t CallsBefore = Recorder.Calls().size();
    Buffer.ResetFrameStats();
    EXPECT_EQ(Buffer.FrameCount(), 0);
    EXPECT_EQ(Buffer.FrameRate(), 0);
    EXPECT_EQ(Recorder.Calls().size(), CallsBefore) << "a reset draws nothing";
    Now += 1000;
    Frame();
    EXPECT_DOUBLE_EQ(Buffer.FrameRate(), 20) << "the rate restarts from the first frame after the reset";
}

TEST_F(SceneBuffer, ChangingTheCameraLeavesTheOldScene)
{
    Create();
    Frame();
    ASSERT_EQ(Scene.Buffers().size(), 1u);
    TGLScene Other;
    TGLCamera& Elsewhere = Other.AddNewObject<TGLCamera>();
    Changes = 0;
    Buffer.SetCamera(&Elsewhere);
    EXPECT_TRUE(Scene.Buffers().empty());
    EXPECT_EQ(Changes, 1);
    Frame();
    EXPECT_EQ(Other.Buffers().size(), 1u);
    Buffer.SetCamera(&Camera);
    EXPECT_TRUE(Other.Buffers().empty());
}

TEST_F(SceneBuffer, ADestroyedCameraIsForgotten)
{
    Create();
    Frame();
    Scene.Cameras().DeleteChildren();
    EXPECT_EQ(Buffer.Camera(), nullptr);
    EXPECT_TRUE(Scene.Buffers().empty());
    Frame(); // clears, draws no scene
    EXPECT_EQ(Recorder.Count("gluLookAt"), 0u);
    EXPECT_EQ(Recorder.Count("glClear"), 1u);
}

TEST_F(SceneBuffer, DestroyingTheContextReleasesTheScenesHandles)
{
    TGLDummyCube& Cube = Scene.AddNewObject<TGLDummyCube>();
    (void)Cube;
    TProbe& Listed = Scene.AddNewObject<TProbe>();
    Listed.SetObjectStyle({}); // compiled into a display list
    Create();
    Frame();
    ASSERT_EQ(Recorder.Count("glNewList"), 1u);
    Recorder.Clear();
    const int Activations = Device.Log.Activations;
    Buffer.DestroyRenderingContext();
    EXPECT_FALSE(Buffer.HasRenderingContext());
    EXPECT_EQ(Recorder.Count("glDeleteLists"), 1u);
    EXPECT_EQ(Device.Log.Activations, Activations + 1) << "handles released without the context current";
    EXPECT_TRUE(Scene.Buffers().empty());
    // A new context starts from fresh states and compiles again.
    Create();
    EXPECT_TRUE(Has("glEnable", GL_NORMALIZE));
    Frame();
    EXPECT_EQ(Recorder.Count("glNewList"), 1u);
}

TEST_F(SceneBuffer, AfterRenderIsSkippedWhileTheOwnerIsDestroyed)
{
    Create();
    int After = 0;
    Buffer.SetAfterRender([&] { ++After; });
    Frame();
    Buffer.SetOwnerDestroying(true);
    Frame();
    EXPECT_EQ(After, 1);
    EXPECT_EQ(Buffer.FrameCount(), 2);
}
