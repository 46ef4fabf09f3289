// Costs of the bitmap font: building the globe font's atlas with Qt (paid
// once per font change) and drawing the globe's caption as a HUD line each
// frame, against a do-nothing dispatch and, when a display exists, on Mesa.
#include "GLNullDispatch.h"
#include "GLXTestContext.h"
#include "scene/GLDispatch.h"
#include "scene/GLHUDText.h"
#include "scene/GLSceneGraph.h"
#include "scene/GLStateCache.h"
#include "scene/GLWindowsBitmapFont.h"
#include "scene/qt/QtGlyphRasteriser.h"
#include "scene/RenderContextInfo.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <memory>
#include <QGuiApplication>

using namespace Scene;
using Scene::Testing::NullGLDispatch;
using Scene::Testing::TGLXTestContext;

namespace {

// The do-nothing table, but handing out texture names, so the atlas is
// uploaded once as on a real context.
void NullGenTextures(GLsizei Count, GLuint* Names)
{
    static GLuint Next = 1;
    for (GLsizei I = 0; I < Count; ++I)
        Names[I] = Next++;
}

const TGLDispatch& NullTexturingDispatch()
{
    static const TGLDispatch Table = [] {
        TGLDispatch Result = NullGLDispatch();
        Result.glGenTextures = &NullGenTextures;
        return Result;
    }();
    return Table;
}

void MakeGlobeFont(TGLWindowsBitmapFont& Font)
{
    TFont& Face = Font.Font();
    Face.SetName("Trebuchet MS");
    Face.SetHeight(-11);
    Face.SetStyle({fsBold});
    Face.SetCharset(TFont::AnsiCharset);
    Font.SetMagFilter(maNearest);
    Font.Ranges()[0].SetStopASCII(255);
}

void AtlasBuild(benchmark::State& State)
{
    TGLWindowsBitmapFont Font;
    MakeGlobeFont(Font);
    for (auto _ : State)
        Font.BuildAtlas();
    State.counters["AtlasWidth"] = Font.GlyphPicture().Width();
    State.counters["AtlasHeight"] = Font.GlyphPicture().Height();
}

void CaptionFrame(benchmark::State& State, bool Mesa)
{
    static std::unique_ptr<TGLXTestContext> Context;
    if (Mesa) {
        if (!Context && std::getenv("DISPLAY"))
            Context = std::make_unique<TGLXTestContext>(328, 344);
        if (!Context || !Context->Valid()) {
            State.SkipWithError("no off-screen OpenGL context");
            return;
        }
        SetGLDispatch(nullptr);
    } else {
        SetGLDispatch(&NullTexturingDispatch());
    }
    TGLWindowsBitmapFont Font;
    MakeGlobeFont(Font);
    TGLScene Scene;
    TGLHUDText& Text = Scene.AddNewObject<TGLHUDText>();
    Text.SetBitmapFont(&Font);
    Text.SetPosition(TVector{5, 255, 0, 1});
    Text.SetText("Zentavo 3D Desktop");
    TGLStateCache Cache;
    TRenderContextInfo Pass;
    Pass.StateCache = &Cache;
    Pass.ViewportWidth = 328;
    Pass.ViewportHeight = 344;
    Scene.RenderScene(Pass); // the first frame uploads the atlas
    for (auto _ : State) {
        Cache.Reset();
        Scene.RenderScene(Pass);
        if (Mesa)
            GL().glFinish();
    }
    Scene.DestroyHandles();
    SetGLDispatch(nullptr);
}

} // namespace

BENCHMARK(AtlasBuild)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(CaptionFrame, NullGL, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(CaptionFrame, Mesa, true)->Unit(benchmark::kMicrosecond);

int main(int ArgumentCount, char** Arguments)
{
    QGuiApplication Application(ArgumentCount, Arguments);
    static TQtGlyphRasteriser Rasteriser;
    SetGlyphRasteriser(&Rasteriser);
    benchmark::Initialize(&ArgumentCount, Arguments);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    SetGlyphRasteriser(nullptr);
    return 0;
}
