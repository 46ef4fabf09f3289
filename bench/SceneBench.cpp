// Costs of the scene layer: building the Earth's display list, one frame of
// the globe's tree when nothing changed, and the two vector-by-matrix paths.
// "NullGL" runs against a do-nothing dispatch (the scene's own cost); "Mesa"
// against the real libraries in an off-screen context, when a display exists.
#include "GLNullDispatch.h"
#include "GLXTestContext.h"
#include "scene/GLArrowLine.h"
#include "scene/GLCylinder.h"
#include "scene/GLDispatch.h"
#include "scene/GLDummyCube.h"
#include "scene/GLSceneGraph.h"
#include "scene/GLSphere.h"
#include "scene/GLSprite.h"
#include "scene/GLStateCache.h"
#include "scene/RenderContextInfo.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>
#include <random>
#include <vector>

using namespace Scene;
using Scene::Testing::NullGLCounters;
using Scene::Testing::NullGLDispatch;
using Scene::Testing::TGLXTestContext;

namespace {

// The real context is made once and kept for every Mesa benchmark.
TGLXTestContext* MesaContext()
{
    static std::unique_ptr<TGLXTestContext> Context;
    if (!Context && std::getenv("DISPLAY"))
        Context = std::make_unique<TGLXTestContext>(328, 344);
    return Context && Context->Valid() ? Context.get() : nullptr;
}

bool UseDispatch(benchmark::State& State, bool Mesa)
{
    if (!Mesa) {
        SetGLDispatch(&NullGLDispatch());
        return true;
    }
    SetGLDispatch(nullptr);
    if (!MesaContext()) {
        State.SkipWithError("no OpenGL context (run under xvfb-run)");
        return false;
    }
    return true;
}

void SphereListBuild(benchmark::State& State, bool Mesa)
{
    if (!UseDispatch(State, Mesa))
        return;
    TGLStateCache Cache;
    TRenderContextInfo Context;
    Context.StateCache = &Cache;
    {
        TGLSphere Earth;
        Earth.SetRadius(1.5f);
        Earth.SetSlices(120);
        Earth.SetStacks(120);
        for (auto _ : State) {
            Earth.MarkGeometryChanged();
            benchmark::DoNotOptimize(Earth.GeometryList(Context));
        }
        if (Mesa)
            GL().glFinish();
    }
    State.counters["Triangles"] = 28800;
    State.SetItemsProcessed(State.iterations() * 28800);
    SetGLDispatch(nullptr);
}

// The globe's tree: Planetarium > Axis > TimePoint, Earth, Minutos, Horas >
// two light stand-ins; WeatherPic beside it.
struct TGlobe
{
    TGLScene Scene;
    TGLDummyCube& Planetarium = Scene.AddNewObject<TGLDummyCube>();
    TGLCylinder& Axis = Planetarium.AddNewChild<TGLCylinder>();
    TGLArrowLine& TimePoint = Axis.AddNewChild<TGLArrowLine>();
    TGLSphere& Earth = Axis.AddNewChild<TGLSphere>();
    TGLSphere& Minutos = Axis.AddNewChild<TGLSphere>();
    TGLSphere& Horas = Axis.AddNewChild<TGLSphere>();
    TGLSprite& WeatherPic = Scene.AddNewObject<TGLSprite>();

    TGlobe()
    {
        Planetarium.SetCubeSize(3.35f);
        Axis.SetBottomRadius(0.05f);
        Axis.SetTopRadius(0.05f);
        Axis.SetHeight(3.5f);
        Axis.Material().SetBlendingMode(bmTransparency);
        TimePoint.SetDirection(TVector{0, 0, -1, 0});
        TimePoint.SetPosition(TVector{0, 0, 0.015f, 1});
        TimePoint.SetHeight(3.12f);
        TimePoint.SetParts(TArrowLineParts{alTopArrow});
        TimePoint.SetTopArrowHeadHeight(0.3f);
        TimePoint.SetTopArrowHeadRadius(0.07f);
        Earth.SetRadius(1.5f);
        Earth.SetSlices(120);
        Earth.SetStacks(120);
        Minutos.SetRadius(1.6f);
        Minutos.SetTop(-2);
        Minutos.SetDirection(TVector{0, 0, -1, 0});
        Minutos.Material().SetBlendingMode(bmTransparency);
        Horas.SetRadius(1.6f);
        Horas.SetBottom(2);
        Horas.SetDirection(TVector{0, 0, -1, 0});
        Horas.Material().SetBlendingMode(bmTransparency);
        Horas.AddNewChild<TGLBaseSceneObject>().AddNewChild<TGLBaseSceneObject>();
        WeatherPic.SetPosition(TVector{1.1f, -0.45f, -2, 1});
        WeatherPic.SetScale(TVector{0.6f, 0.6f, 0.6f, 0});
        WeatherPic.SetObjectsSorting(osNone);
        WeatherPic.Material().SetBlendingMode(bmTransparency);
    }
};

void GlobeFrame(benchmark::State& State, bool Mesa, bool TurnEveryFrame)
{
    if (!UseDispatch(State, Mesa))
        return;
    {
        TGlobe Globe;
        TGLStateCache Cache;
        TRenderContextInfo Context;
        Context.StateCache = &Cache;
        Context.CameraPosition = TVector{0, 0, -10, 1};
        Context.CameraDepthOfView = 240;
        Globe.Scene.RenderScene(Context); // first frame: lists and matrices
        const auto Rebuilds = TGLBaseSceneObject::TransformRebuildCount();
        const auto Compiles = NullGLCounters().ListCompiles;
        float Angle = 0;
        for (auto _ : State) {
            if (TurnEveryFrame)
                Globe.Horas.SetTurnAngle(Angle += 0.25f);
            GL().glMatrixMode(GL_MODELVIEW);
            GL().glLoadIdentity();
            Globe.Scene.RenderScene(Context);
            if (Mesa)
                GL().glFinish(); // the whole frame, rasterising included
        }
        const double Iterations = static_cast<double>(State.iterations());
        const auto Rebuilt = TGLBaseSceneObject::TransformRebuildCount() - Rebuilds;
        State.counters["MatrixRebuildsPerFrame"] = static_cast<double>(Rebuilt) / Iterations;
        if (!Mesa)
            State.counters["ListCompilesPerFrame"] =
                static_cast<double>(NullGLCounters().ListCompiles - Compiles) / Iterations;
        if (!TurnEveryFrame && Rebuilt != 0)
            State.SkipWithError("an unchanged frame rebuilt a matrix");
    }
    SetGLDispatch(nullptr);
}

std::vector<TVector> RandomVectors(std::size_t Count)
{
    std::mt19937 Random(42);
    std::uniform_real_distribution<float> Value(-10, 10);
    std::vector<TVector> Result(Count);
    for (TVector& V : Result)
        V = TVector{Value(Random), Value(Random), Value(Random), 1};
    return Result;
}

template <TVector (*Transform)(const TVector&, const TMatrix&)> void VectorByMatrix(benchmark::State& State)
{
    const std::vector<TVector> In = RandomVectors(1024);
    std::vector<TVector> Out(In.size());
    TMatrix M = CreateRotationMatrix(VectorNormalize(TVector{1, 2, 3, 0}), 0.6f);
    M[3] = TVector{1, 2, 3, 1};
    for (auto _ : State) {
        for (std::size_t I = 0; I < In.size(); ++I)
            Out[I] = Transform(In[I], M);
        benchmark::DoNotOptimize(Out.data());
        benchmark::ClobberMemory();
    }
    State.SetItemsProcessed(State.iterations() * static_cast<std::int64_t>(In.size()));
}

} // namespace

BENCHMARK_CAPTURE(SphereListBuild, NullGL, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(SphereListBuild, Mesa, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(GlobeFrame, NoChangeNullGL, false, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(GlobeFrame, NoChangeMesa, true, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(GlobeFrame, HourTurnEachFrameNullGL, false, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_TEMPLATE(VectorByMatrix, VectorTransformPlain);
BENCHMARK_TEMPLATE(VectorByMatrix, VectorTransformSSE);

BENCHMARK_MAIN();
