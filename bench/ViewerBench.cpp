// A whole frame of the scene buffer at the globe viewer's size (328 x 344) on
// the real Mesa libraries: the designed globe with its materials, pictures
// and heads-up text; the globe's meshes and lights alone; and the same frame
// with an empty scene (clearing, matrices and the pass alone), the floor.
// Run under xvfb-run (or any X display); the frame ends in glFinish, so
// rasterising counts.
#include "globe/GlobeScene.h"
#include "GLXTestContext.h"
#include "scene/GLArrowLine.h"
#include "scene/GLCamera.h"
#include "scene/GLCylinder.h"
#include "scene/GLDeviceContext.h"
#include "scene/GLDispatch.h"
#include "scene/GLDummyCube.h"
#include "scene/GLLightSource.h"
#include "scene/GLPictureImage.h"
#include "scene/GLRenderingContext.h"
#include "scene/GLSceneGraph.h"
#include "scene/GLSceneBuffer.h"
#include "scene/GLSphere.h"
#include "scene/GLSprite.h"
#include "scene/GLTexture.h"

#include <benchmark/benchmark.h>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <QGuiApplication>
#include <string>

using namespace Scene;
using Scene::Testing::TGLXTestContext;

namespace {

constexpr int Width = 328;
constexpr int Height = 344;

TGLXTestContext* MesaContext()
{
    static std::unique_ptr<TGLXTestContext> Context;
    if (!Context && std::getenv("DISPLAY"))
        Context = std::make_unique<TGLXTestContext>(Width, Height);
    return Context && Context->Valid() ? Context.get() : nullptr;
}

// The off-screen context is current for the whole run; presenting a frame
// waits for it to be drawn.
class TPbufferContext : public TGLRenderingContext
{
public:
    void CreateContext(const TGLPixelFormatRequest&) override {}
    void Activate() override {}
    void Deactivate() override {}
    void SwapBuffers() override { GL().glFinish(); }
};

class TPbufferDevice : public TGLDeviceContext
{
public:
    std::unique_ptr<TGLRenderingContext> NewRenderingContext() override
    {
        return std::make_unique<TPbufferContext>();
    }
};

// The globe's tree with its mesh sizes, lights and camera.
struct TGlobeMeshes
{
    TGLScene Scene;
    TGLCamera& Camera = Scene.AddNewObject<TGLCamera>();

    explicit TGlobeMeshes(bool WithGlobe)
    {
        Camera.SetPosition(TVector{0, 0, -10, 1});
        Camera.SetDirection(TVector{0, 0, 1, 0});
        Camera.SetDepthOfView(240);
        Camera.SetFocalLength(120);
        if (!WithGlobe)
            return;
        TGLDummyCube& Planetarium = Scene.AddNewObject<TGLDummyCube>();
        Planetarium.SetCubeSize(3.35f);
        Camera.SetTargetObject(&Planetarium);
        TGLCylinder& Axis = Planetarium.AddNewChild<TGLCylinder>();
        Axis.SetDirection(TVector{0, 0, 1, 0});
        Axis.SetBottomRadius(0.05f);
        Axis.SetTopRadius(0.05f);
        Axis.SetHeight(3.5f);
        Axis.Material().SetBlendingMode(bmTransparency);
        TGLArrowLine& TimePoint = Axis.AddNewChild<TGLArrowLine>();
        TimePoint.SetDirection(TVector{0, 0, -1, 0});
        TimePoint.SetPosition(TVector{0, 0, 0.015f, 1});
        TimePoint.SetBottomRadius(0.03f);
        TimePoint.SetTopRadius(0.03f);
        TimePoint.SetHeight(3.12f);
        TimePoint.SetLoops(5);
        TimePoint.SetParts(TArrowLineParts{alTopArrow});
        TimePoint.SetTopArrowHeadHeight(0.3f);
        TimePoint.SetTopArrowHeadRadius(0.07f);
        TGLSphere& Earth = Axis.AddNewChild<TGLSphere>();
        Earth.SetRadius(1.5f);
        Earth.SetSlices(120);
        Earth.SetStacks(120);
        TGLSphere& Minutos = Axis.AddNewChild<TGLSphere>();
        Minutos.SetDirection(TVector{0, 0, -1, 0});
        Minutos.SetRadius(1.6f);
        Minutos.SetTop(-2);
        Minutos.SetBottom(-90);
        Minutos.Material().SetBlendingMode(bmTransparency);
        TGLSphere& Horas = Axis.AddNewChild<TGLSphere>();
        Horas.SetDirection(TVector{0, 0, -1, 0});
        Horas.SetRadius(1.6f);
        Horas.SetBottom(2);
        Horas.Material().SetBlendingMode(bmTransparency);
        TGLLightSource& Sum = Horas.AddNewChild<TGLLightSource>();
        Sum.SetLightStyle(lsParallel);
        Sum.SetPosition(TVector{0, 0, -1000, 1});
        Sum.Specular().SetColor(0.05f, 0.05f, 0.05f, 0);
        Sum.AddNewChild<TGLLightSource>().SetLightStyle(lsParallel);
        TGLSprite& WeatherPic = Scene.AddNewObject<TGLSprite>();
        WeatherPic.SetPosition(TVector{1.1f, -0.45f, -2, 1});
        WeatherPic.SetScale(TVector{0.6f, 0.6f, 0.6f, 0});
        WeatherPic.SetObjectsSorting(osNone);
        WeatherPic.Material().SetBlendingMode(bmTransparency);
    }
};

void RunFrames(benchmark::State& State, TGLSceneBuffer& Buffer)
{
    TPbufferDevice Device;
    Buffer.ResizeViewport(Width, Height);
    Buffer.CreateRenderingContext(Device);
    Buffer.RenderFrame(); // compiles the display lists, uploads the textures
    Buffer.ResetFrameStats();
    for (auto _ : State)
        Buffer.RenderFrame();
    State.counters["BufferFrameRate"] = Buffer.FrameRate();
    Buffer.DestroyRenderingContext();
}

void Frame(benchmark::State& State, bool WithGlobe)
{
    SetGLDispatch(nullptr);
    if (!MesaContext()) {
        State.SkipWithError("no OpenGL context (run under xvfb-run)");
        return;
    }
    TGlobeMeshes Globe(WithGlobe);
    TGLSceneBuffer Buffer;
    Buffer.SetBackgroundColor(clSkyBlue);
    Buffer.SetContextOptions({roDoubleBuffer, roRenderToWindow, roStereo, roDestinationAlpha});
    Buffer.SetShadeModel(smSmooth);
    Buffer.SetCamera(&Globe.Camera);
    RunFrames(State, Buffer);
}

// The clock's own scene, dressed with the pictures the clock ships, set up as
// the main window's viewer is.
void DesignedGlobeFrame(benchmark::State& State)
{
    SetGLDispatch(nullptr);
    if (!MesaContext()) {
        State.SkipWithError("no OpenGL context (run under xvfb-run)");
        return;
    }
    TGlobeScene Globe;
    for (auto [Sphere, Name] : {std::pair{Globe.Earth, "SURFACE"}, std::pair{Globe.Horas, "DOMO_H"},
                                std::pair{Globe.Minutos, "DOMO_M"}})
        Sphere->Material().Texture().Image().LoadFromFile(std::string(ZENTAVO_SOURCE_DIR "/data/pictures/") +
                                                          Name + ".bmp");
    TGLSceneBuffer Buffer;
    Buffer.SetCamera(Globe.Camera_1);
    Buffer.SetBackgroundColor(clSkyBlue);
    Buffer.SetContextOptions({roDoubleBuffer, roRenderToWindow, roStereo, roDestinationAlpha});
    Buffer.SetShadeModel(smSmooth);
    TGLFogEnvironment& Fog = Buffer.FogEnvironment();
    Fog.FogColor().SetColor(0.914f, 0.914f, 0.914f, 1);
    Fog.SetFogStart(10);
    Fog.SetFogEnd(1000);
    Fog.SetFogDistance(fdEyeRadial);
    RunFrames(State, Buffer);
}

// Keeps the mean time of each run, to print the ratio at the end.
class TRatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& Runs) override
    {
        for (const Run& R : Runs) {
            if (R.error_occurred)
                continue;
            // With repetitions the mean stands for the run.
            if (R.run_type == Run::RT_Iteration || R.aggregate_name == "mean")
                Times[R.run_name.str()] = R.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(Runs);
    }
    std::map<std::string, double> Times;
};

} // namespace

BENCHMARK(DesignedGlobeFrame)->Name("Frame/Globe")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Frame, GlobeMeshes, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Frame, EmptyScene, false)->Unit(benchmark::kMicrosecond);

int main(int ArgumentCount, char** Arguments)
{
    // The heads-up text's font is drawn by the toolkit.
    QGuiApplication Application(ArgumentCount, Arguments);
    benchmark::Initialize(&ArgumentCount, Arguments);
    TRatioReporter Reporter;
    benchmark::RunSpecifiedBenchmarks(&Reporter);
    const auto Empty = Reporter.Times.find("Frame/EmptyScene");
    for (const char* Name : {"Frame/Globe", "Frame/GlobeMeshes"}) {
        const auto Found = Reporter.Times.find(Name);
        if (Found != Reporter.Times.end() && Empty != Reporter.Times.end() && Empty->second > 0)
            std::printf("%s %.1f us, empty frame %.1f us, ratio %.2f\n", Name, Found->second, Empty->second,
                        Found->second / Empty->second);
    }
    benchmark::Shutdown();
    return 0;
}
