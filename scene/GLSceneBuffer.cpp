#include "scene/GLSceneBuffer.h"

#include "scene/Frustum.h"
#include "scene/GLContextError.h"
#include "scene/GLDeviceContext.h"
#include "scene/GLDispatch.h"
#include "scene/GLLightSource.h"
#include "scene/GLSceneGraph.h"
#include "scene/RenderContextInfo.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace Scene {
namespace {

constexpr int LightSlotCount = TGLScene::LightSlotCount;

// Sets a flag for the lifetime of the scope, also when leaving by an exception.
class TFlagScope
{
public:
    explicit TFlagScope(bool& Flag) : FFlag(Flag) { FFlag = true; }
    ~TFlagScope() { FFlag = false; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& FFlag;
};

class TActivation
{
public:
    explicit TActivation(TGLRenderingContext& Context) : FContext(Context) { FContext.Activate(); }
    ~TActivation() { FContext.Deactivate(); }
    TActivation(const TActivation&) = delete;
    TActivation& operator=(const TActivation&) = delete;

private:
    TGLRenderingContext& FContext;
};

std::int64_t SteadyNanoseconds()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// "major.minor..." at least 1.1.
bool VersionAtLeast11(const GLubyte* Version)
{
    if (!Version)
        return false;
    int Major = 0;
    int Minor = 0;
    if (std::sscanf(reinterpret_cast<const char*>(Version), "%d.%d", &Major, &Minor) != 2)
        return false;
    return Major > 1 || (Major == 1 && Minor >= 1);
}

bool HasExtension(const GLubyte* Extensions, const char* Name)
{
    if (!Extensions)
        return false;
    const char* Text = reinterpret_cast<const char*>(Extensions);
    const std::size_t Length = std::strlen(Name);
    for (const char* At = std::strstr(Text, Name); At; At = std::strstr(At + 1, Name))
        if ((At == Text || At[-1] == ' ') && (At[Length] == ' ' || At[Length] == '\0'))
            return true;
    return false;
}

TVector BackgroundRGBA(TColor Color)
{
    const TColor RGB = ColorToRGB(Color);
    return TVector{float(RGB & 0xFF) / 255.0f, float((RGB >> 8) & 0xFF) / 255.0f,
                   float((RGB >> 16) & 0xFF) / 255.0f, 1};
}

} // namespace

TGLSceneBuffer::TGLSceneBuffer()
    : FFogEnvironment(this), FAmbientColor(this, TVector{0.2f, 0.2f, 0.2f, 1}),
      FReadCounter(&SteadyNanoseconds), FCounterFrequency(1'000'000'000)
{}

TGLSceneBuffer::~TGLSceneBuffer()
{
    FOnChange = nullptr;
    FOnStructuralChange = nullptr;
    DestroyRenderingContext();
    if (FCamera)
        FCamera->RemoveBuffer(*this);
    Unregister();
}

// --- Properties ----------------------------------------------------------------------

TGLPixelFormatRequest TGLSceneBuffer::PixelFormatRequest() const
{
    static constexpr int ColorBits[] = {24, 8, 16, 24, 64, 128};
    static constexpr int DepthBits[] = {24, 16, 24, 32};
    static constexpr int Samples[] = {0, 0, 2, 2, 4, 4};
    TGLPixelFormatRequest Request;
    Request.DoubleBuffer = FContextOptions.Contains(roDoubleBuffer);
    Request.Stereo = FContextOptions.Contains(roStereo);
    Request.RenderToWindow = FContextOptions.Contains(roRenderToWindow);
    Request.ColorBits = FContextOptions.Contains(roNoColorBuffer) ? 0 : ColorBits[FColorDepth];
    Request.DepthBits = DepthBits[FDepthPrecision];
    Request.StencilBits = FContextOptions.Contains(roStencilBuffer) ? 8 : 0;
    Request.AlphaBits = FContextOptions.Contains(roDestinationAlpha) ? 8 : 0;
    Request.AccumBits = FAccumBufferBits;
    Request.AuxBuffers = 0;
    Request.Samples = Samples[FAntiAliasing];
    return Request;
}

void TGLSceneBuffer::NotifyChange()
{
    if (!FRendering && FOnChange)
        FOnChange();
}

void TGLSceneBuffer::NotifyChange(TGLUpdateAbleObject* Sender)
{
    (void)Sender;
    NotifyChange();
}

// --- Camera and scene --------------------------------------------------------------------

void TGLSceneBuffer::SetCamera(TGLCamera* Value)
{
    if (Value == FCamera)
        return;
    if (FCamera)
        FCamera->RemoveBuffer(*this);
    Unregister();
    FCamera = Value;
    if (FCamera) {
        FCamera->AddBuffer(*this);
        FCamera->MarkTransformChanged();
    }
    NotifyChange();
}

void TGLSceneBuffer::RegisterWith(TGLScene& Scene)
{
    if (FScene == &Scene)
        return;
    Unregister();
    Scene.AddBuffer(*this);
    FScene = &Scene;
}

void TGLSceneBuffer::Unregister()
{
    if (!FScene)
        return;
    FScene->RemoveBuffer(*this);
    FScene = nullptr;
}

void TGLSceneBuffer::SceneDestroyed(TGLScene& Scene)
{
    if (&Scene == FScene)
        FScene = nullptr;
}

void TGLSceneBuffer::CameraDestroyed(TGLCamera& Camera)
{
    if (&Camera != FCamera)
        return;
    Unregister();
    FCamera = nullptr;
    NotifyChange();
}

// --- Context ------------------------------------------------------------------------------

void TGLSceneBuffer::CreateRenderingContext(TGLDeviceContext& Device)
{
    DestroyRenderingContext();
    TFlagScope Rendering(FRendering);
    std::unique_ptr<TGLRenderingContext> Context = Device.NewRenderingContext();
    if (!Context)
        throw EGLContextError("Failed to create RenderingContext.");
    Context->CreateContext(PixelFormatRequest());
    {
        TActivation Active(*Context);
        const TGLDispatch& Gl = GL();
        if (!VersionAtLeast11(Gl.glGetString(GL_VERSION)))
            throw EGLContextError("Need at least OpenGL version 1.1");
        GLint Value = 0;
        Gl.glGetIntegerv(GL_MAX_LIGHTS, &Value);
        FMaxLights = Value;
        Value = 8;
        Gl.glGetIntegerv(GL_BLUE_BITS, &Value);
        FBlueBits = Value;
        FFogDistanceAvailable = HasExtension(Gl.glGetString(GL_EXTENSIONS), "GL_NV_fog_distance");
        // A new context starts from the OpenGL defaults.
        FStateCache = TGLStateCache();
        Gl.glViewport(0, 0, FViewport.Width, FViewport.Height);
        ApplyRenderStates();
        const TVector Background = BackgroundRGBA(FBackgroundColor);
        Gl.glClearColor(Background.X, Background.Y, Background.Z, 1);
    }
    FContext = std::move(Context);
}

void TGLSceneBuffer::DestroyRenderingContext()
{
    if (!FContext)
        return;
    std::unique_ptr<TGLRenderingContext> Context = std::move(FContext);
    if (FScene) {
        // The scene's lists and textures belong to this context.
        TActivation Active(*Context);
        FScene->DestroyHandles();
    }
    Unregister();
    FStateCache = TGLStateCache();
}

void TGLSceneBuffer::SetDevicePixelRatio(double Value)
{
    if (!(Value > 0))
        Value = 1;
    Invalidating(FDevicePixelRatio, Value);
}

void TGLSceneBuffer::ResizeViewport(int Width, int Height)
{
    FViewport.Left = 0;
    FViewport.Top = 0;
    FViewport.Width = std::max(Width, 1);
    FViewport.Height = std::max(Height, 1);
    if (FContext && !FRendering) {
        TActivation Active(*FContext);
        GL().glViewport(0, 0, FViewport.Width, FViewport.Height);
    }
}

// --- Frame ------------------------------------------------------------------------------------

void TGLSceneBuffer::RenderFrame()
{
    if (FRendering || !FContext)
        return;
    const TVector Background = BackgroundRGBA(FBackgroundColor);
    const std::int64_t Start = ReadCounter();
    TGLScene* Scene = FCamera ? FCamera->Scene() : nullptr;
    if (Scene) {
        FCamera->WorldTransform();
        RegisterWith(*Scene);
    }
    TFlagScope Rendering(FRendering);
    TActivation Active(*FContext);
    if (FFrameCount == 0)
        FFirstFrameCounter = Start;
    FRenderDPI = static_cast<int>(std::lround(96 * FDevicePixelRatio));
    const TGLDispatch& Gl = GL();
    ApplyRenderStates();
    Gl.glClearColor(Background.X, Background.Y, Background.Z, 1);
    ClearTargets();
    PrepareMatrices();
    ApplyVSync();
    Fire(FBeforeRender);
    if (Scene) {
        SetupLights(FMaxLights);
        if (FFogEnable) {
            FStateCache.Enable(stFog);
            FFogEnvironment.Apply(FFogDistanceAvailable);
        } else {
            FStateCache.Disable(stFog);
        }
        DrawScene(*Scene);
    }
    Fire(FPostRender);
    if (!FContextOptions.Contains(roNoSwapBuffers))
        FContext->SwapBuffers();
    ++FFrameCount;
    ++FRenderedFrames;
    const std::int64_t Now = ReadCounter();
    FLastFrameTime = double(Now - Start) / double(FCounterFrequency);
    if (Now - FFirstFrameCounter > 0)
        FFrameRate = double(FFrameCount) * double(FCounterFrequency) / double(Now - FFirstFrameCounter);
    if (!FOwnerDestroying)
        Fire(FAfterRender);
}

void TGLSceneBuffer::ApplyRenderStates()
{
    const TGLDispatch& Gl = GL();
    Gl.glLightModelfv(GL_LIGHT_MODEL_AMBIENT, FAmbientColor.Data());
    Gl.glLightModeli(GL_LIGHT_MODEL_TWO_SIDE,
                     FContextOptions.Contains(roTwoSideLighting) ? GL_TRUE : GL_FALSE);
    FStateCache.Enable(stNormalize);
    FStateCache.SetEnabled(stDepthTest, FDepthTest);
    FStateCache.SetEnabled(stCullFace, FFaceCulling);
    FStateCache.SetEnabled(stLighting, FLighting);
    FStateCache.SetEnabled(stFog, FFogEnable);
    FStateCache.SetEnabled(stDither, FBlueBits < 8);
    Gl.glDepthFunc(GL_LEQUAL);
    Gl.glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    Gl.glShadeModel(FShadeModel == smFlat ? GL_FLAT : GL_SMOOTH);
}

void TGLSceneBuffer::ClearTargets()
{
    GLbitfield Mask = GL_DEPTH_BUFFER_BIT;
    if (!FContextOptions.Contains(roNoColorBuffer) && !FContextOptions.Contains(roNoColorBufferClear))
        Mask |= GL_COLOR_BUFFER_BIT;
    if (FContextOptions.Contains(roStencilBuffer))
        Mask |= GL_STENCIL_BUFFER_BIT;
    GL().glClear(Mask);
}

void TGLSceneBuffer::PrepareMatrices()
{
    const TGLDispatch& Gl = GL();
    Gl.glMatrixMode(GL_PROJECTION);
    Gl.glLoadIdentity();
    if (FCamera)
        FCamera->ApplyProjection(FViewport, FViewport.Width, FViewport.Height, FRenderDPI);
    Gl.glGetFloatv(GL_PROJECTION_MATRIX, FProjectionMatrix.Data());
    Gl.glMatrixMode(GL_MODELVIEW);
    Gl.glLoadIdentity();
    if (FCamera) {
        FCamera->ApplyView();
        FCameraWorldPosition = FCamera->WorldPosition();
    }
    Gl.glGetFloatv(GL_MODELVIEW_MATRIX, FModelViewMatrix.Data());
}

void TGLSceneBuffer::ApplyVSync()
{
    if (!FContext->SwapControlAvailable())
        return;
    const int Interval = FVSync == vsmSync ? 1 : 0;
    if (FContext->SwapInterval() != Interval)
        FContext->SetSwapInterval(Interval);
}

void TGLSceneBuffer::SetupLights(int MaxLights)
{
    const TGLDispatch& Gl = GL();
    TGLScene* Scene = FCamera ? FCamera->Scene() : nullptr;
    Gl.glPushMatrix();
    const int Count = std::min(LightSlotCount, MaxLights);
    for (int I = 0; I < Count; ++I) {
        const GLenum Light = GL_LIGHT0 + I;
        auto* Source = Scene ? dynamic_cast<TGLLightSource*>(Scene->LightSlots()[I]) : nullptr;
        if (!Source || !Source->Shining()) {
            Gl.glDisable(Light);
            continue;
        }
        Gl.glEnable(Light);
        // Back to the viewing transform for every light.
        Gl.glPopMatrix();
        Gl.glPushMatrix();
        Source->LoadLight(Light);
    }
    Gl.glPopMatrix();
    for (int I = LightSlotCount; I < MaxLights; ++I)
        Gl.glDisable(GL_LIGHT0 + I);
}

void TGLSceneBuffer::DrawScene(TGLScene& Scene)
{
    const TGLDispatch& Gl = GL();
    TRenderContextInfo Pass;
    Pass.Scene = &Scene;
    Pass.Buffer = this;
    Pass.StateCache = &FStateCache;
    Pass.ObjectsSorting = Scene.ObjectsSorting();
    Pass.VisibilityCulling = Scene.VisibilityCulling();
    Pass.FaceCulling = FFaceCulling;
    Pass.DepthTest = FDepthTest;
    Pass.CameraPosition = FCameraWorldPosition;
    if (FCamera) {
        Pass.CameraDirection = FCamera->LastDirection();
        Pass.CameraUp = FCamera->LastUp();
        Pass.CameraDepthOfView = FCamera->DepthOfView();
        Pass.ViewportRadius = FCamera->ViewportRadius();
        Pass.NearClippingDistance = FCamera->NearDistance();
        Pass.FarClippingDistance = FCamera->NearDistance() + FCamera->DepthOfView();
    }
    Pass.Frustum = ExtractFrustum(FModelViewMatrix, FProjectionMatrix);
    Pass.ModelViewMatrix = FModelViewMatrix;
    Pass.ViewportWidth = FViewport.Width;
    Pass.ViewportHeight = FViewport.Height;
    Pass.RenderDPI = FRenderDPI;
    FStateCache.Reset();
    Pass.IgnoreMaterials = FContextOptions.Contains(roNoColorBuffer);
    const GLboolean Colours = Pass.IgnoreMaterials ? GL_FALSE : GL_TRUE;
    Gl.glColorMask(Colours, Colours, Colours, Colours);

    Fire(FInitiateRendering);
    Scene.RenderScene(Pass);
    Gl.glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    Fire(FWrapUpRendering);

    // The state every frame ends in, which the materials count on.
    FStateCache.Disable(stBlend);
    FStateCache.Disable(stTexture2D);
    FStateCache.Disable(stTextureRect);
    FStateCache.Enable(stAlphaTest);
    Gl.glAlphaFunc(GL_GREATER, 0);
}

// --- Statistics ----------------------------------------------------------------------------------

void TGLSceneBuffer::ResetFrameStats()
{
    FFrameCount = 0;
    FFirstFrameCounter = 0;
    FFrameRate = 0;
}

void TGLSceneBuffer::SetPerformanceCounter(std::function<std::int64_t()> Read, std::int64_t Frequency)
{
    if (Read && Frequency > 0) {
        FReadCounter = std::move(Read);
        FCounterFrequency = Frequency;
    } else {
        FReadCounter = &SteadyNanoseconds;
        FCounterFrequency = 1'000'000'000;
    }
}

} // namespace Scene
