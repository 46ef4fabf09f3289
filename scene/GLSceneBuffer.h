#pragma once

#include "scene/GLAbstractSceneBuffer.h"
#include "scene/GLCamera.h"
#include "scene/GLColor.h"
#include "scene/GLFogEnvironment.h"
#include "scene/GLRenderingContext.h"
#include "scene/GLSceneTypes.h"
#include "scene/GLStateCache.h"
#include "scene/GLUpdateAbleObject.h"
#include "scene/VectorGeometry.h"
#include "scene/WindowsColor.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace Scene {

class TGLDeviceContext;
class TGLScene;

enum TContextOption : std::uint8_t
{
    roDoubleBuffer,
    roStencilBuffer,
    roRenderToWindow,
    roTwoSideLighting,
    roStereo,
    roDestinationAlpha,
    roNoColorBuffer,
    roNoColorBufferClear,
    roNoSwapBuffers,
};

using TContextOptions = TSet<TContextOption>;

enum TGLAntiAliasing : std::uint8_t
{
    aaDefault,
    aaNone,
    aa2x,
    aa2xHQ,
    aa4x,
    aa4xHQ,
};

enum TGLDepthPrecision : std::uint8_t
{
    dpDefault,
    dp16bits,
    dp24bits,
    dp32bits,
};

enum TGLColorDepth : std::uint8_t
{
    cdDefault,
    cd8bits,
    cd16bits,
    cd24bits,
    cdFloat64bits,
    cdFloat128bits,
};

enum TGLShadeModel : std::uint8_t
{
    smDefault,
    smSmooth,
    smFlat,
};

enum TVSyncMode : std::uint8_t
{
    vsmSync,
    vsmNoSync,
};

// Draws one frame of a scene through a camera into a window's rendering
// context. It knows no window system: the viewer hands it a device context,
// its size and its paint requests, and the buffer drives OpenGL through the
// GL dispatch. Everything runs on the window's thread.
class TGLSceneBuffer : public TGLAbstractSceneBuffer, public TGLUpdateAbleObject
{
public:
    using TEvent = std::function<void()>;

    TGLSceneBuffer();
    ~TGLSceneBuffer() override;
    TGLSceneBuffer(const TGLSceneBuffer&) = delete;
    TGLSceneBuffer& operator=(const TGLSceneBuffer&) = delete;

    // --- Properties that only invalidate ----------------------------------------
    TGLFogEnvironment& FogEnvironment() { return FFogEnvironment; }
    const TGLFogEnvironment& FogEnvironment() const { return FFogEnvironment; }
    TColor BackgroundColor() const { return FBackgroundColor; }
    void SetBackgroundColor(TColor Value) { Invalidating(FBackgroundColor, Value); }
    TGLColor& AmbientColor() { return FAmbientColor; }
    const TGLColor& AmbientColor() const { return FAmbientColor; }
    bool DepthTest() const { return FDepthTest; }
    void SetDepthTest(bool Value) { Invalidating(FDepthTest, Value); }
    bool FaceCulling() const { return FFaceCulling; }
    void SetFaceCulling(bool Value) { Invalidating(FFaceCulling, Value); }
    bool FogEnable() const { return FFogEnable; }
    void SetFogEnable(bool Value) { Invalidating(FFogEnable, Value); }
    bool Lighting() const { return FLighting; }
    void SetLighting(bool Value) { Invalidating(FLighting, Value); }
    TGLShadeModel ShadeModel() const { return FShadeModel; }
    void SetShadeModel(TGLShadeModel Value) { Invalidating(FShadeModel, Value); }
    // Applied at the next frame, where the context offers swap control.
    TVSyncMode VSync() const { return FVSync; }
    void SetVSync(TVSyncMode Value) { FVSync = Value; }

    // --- Properties that need a new rendering context ---------------------------
    TContextOptions ContextOptions() const { return FContextOptions; }
    void SetContextOptions(TContextOptions Value) { Structural(FContextOptions, Value); }
    int AccumBufferBits() const { return FAccumBufferBits; }
    void SetAccumBufferBits(int Value) { Structural(FAccumBufferBits, Value); }
    TGLAntiAliasing AntiAliasing() const { return FAntiAliasing; }
    void SetAntiAliasing(TGLAntiAliasing Value) { Structural(FAntiAliasing, Value); }
    TGLDepthPrecision DepthPrecision() const { return FDepthPrecision; }
    void SetDepthPrecision(TGLDepthPrecision Value) { Structural(FDepthPrecision, Value); }
    TGLColorDepth ColorDepth() const { return FColorDepth; }
    void SetColorDepth(TGLColorDepth Value) { Structural(FColorDepth, Value); }
    // The pixel format the options above ask for.
    TGLPixelFormatRequest PixelFormatRequest() const;

    // --- Events ------------------------------------------------------------------
    // A visible change while not rendering: the window should be repainted.
    const TEvent& OnChange() const { return FOnChange; }
    void SetOnChange(TEvent Value) { FOnChange = std::move(Value); }
    // A context property changed: the window and its context must be made again.
    const TEvent& OnStructuralChange() const { return FOnStructuralChange; }
    void SetOnStructuralChange(TEvent Value) { FOnStructuralChange = std::move(Value); }
    const TEvent& BeforeRender() const { return FBeforeRender; }
    void SetBeforeRender(TEvent Value) { FBeforeRender = std::move(Value); }
    const TEvent& InitiateRendering() const { return FInitiateRendering; }
    void SetInitiateRendering(TEvent Value) { FInitiateRendering = std::move(Value); }
    const TEvent& WrapUpRendering() const { return FWrapUpRendering; }
    void SetWrapUpRendering(TEvent Value) { FWrapUpRendering = std::move(Value); }
    // After the scene, before the buffers are swapped (the frame is in the back buffer).
    const TEvent& PostRender() const { return FPostRender; }
    void SetPostRender(TEvent Value) { FPostRender = std::move(Value); }
    // The frame is done; the context is still current.
    const TEvent& AfterRender() const { return FAfterRender; }
    void SetAfterRender(TEvent Value) { FAfterRender = std::move(Value); }

    // --- Camera ------------------------------------------------------------------
    TGLCamera* Camera() const { return FCamera; }
    // Leaves the old camera's scene and repaints through the new camera.
    void SetCamera(TGLCamera* Value);

    // --- Context and frames --------------------------------------------------------
    // Throws EGLContextError with "Failed to create RenderingContext.",
    // "Need at least OpenGL version 1.1" or "OS Error : ..."; no context is
    // kept after a failure.
    void CreateRenderingContext(TGLDeviceContext& Device);
    void DestroyRenderingContext();
    bool HasRenderingContext() const { return FContext != nullptr; }
    TGLRenderingContext* RenderingContext() const { return FContext.get(); }
    // Sizes below 1 count as 1.
    void ResizeViewport(int Width, int Height);
    const TGLViewport& Viewport() const { return FViewport; }
    int Width() const { return FViewport.Width; }
    int Height() const { return FViewport.Height; }
    // Draws one frame now; nothing while a frame is being drawn or without a context.
    void RenderFrame();
    bool Rendering() const { return FRendering; }

    // The steps of a frame, public so a caller with a current context can
    // run them alone.
    void ApplyRenderStates();
    void ClearTargets();
    void PrepareMatrices();
    void SetupLights(int MaxLights);

    // --- State of the last frame -----------------------------------------------------
    int RenderDPI() const { return FRenderDPI; }
    // Device pixels per window pixel (2 on a doubled screen). Frames use
    // 96 dots per inch times this, so the picture and the text keep their
    // size on screen whatever the pixel density.
    double DevicePixelRatio() const { return FDevicePixelRatio; }
    void SetDevicePixelRatio(double Value);
    const TMatrix& ProjectionMatrix() const { return FProjectionMatrix; }
    const TMatrix& ModelViewMatrix() const { return FModelViewMatrix; }
    const TVector& CameraWorldPosition() const { return FCameraWorldPosition; }
    TGLStateCache& StateCache() { return FStateCache; }

    // --- Frame statistics ----------------------------------------------------------------
    std::int64_t FrameCount() const { return FFrameCount; }
    // Every frame of the buffer's life: a statistics reset leaves it alone.
    std::int64_t RenderedFrames() const { return FRenderedFrames; }
    // Seconds.
    double LastFrameTime() const { return FLastFrameTime; }
    // Frames per second since the first frame after the last reset.
    double FrameRate() const { return FFrameRate; }
    void ResetFrameStats();
    // The monotonic counter the statistics read (by default the steady clock
    // in nanoseconds); Frequency is its ticks per second.
    void SetPerformanceCounter(std::function<std::int64_t()> Read, std::int64_t Frequency);

    // The owner is going away: AfterRender no longer fires.
    void SetOwnerDestroying(bool Value) { FOwnerDestroying = Value; }

    // --- From the scene and the owned objects ---------------------------------------------
    void NotifyChange() override;
    void SceneDestroyed(TGLScene& Scene) override;
    void NotifyChange(TGLUpdateAbleObject* Sender) override;
    // The camera is being destroyed.
    void CameraDestroyed(TGLCamera& Camera);

private:
    template <typename T> void Invalidating(T& Field, T Value)
    {
        if (Value == Field)
            return;
        Field = Value;
        NotifyChange();
    }
    template <typename T> void Structural(T& Field, T Value)
    {
        if (Value == Field)
            return;
        Field = Value;
        if (FOnStructuralChange)
            FOnStructuralChange();
    }
    static void Fire(const TEvent& Event)
    {
        if (Event)
            Event();
    }

    void RegisterWith(TGLScene& Scene);
    void Unregister();
    void ApplyVSync();
    void DrawScene(TGLScene& Scene);
    std::int64_t ReadCounter() const { return FReadCounter(); }

    TGLFogEnvironment FFogEnvironment;
    TGLColor FAmbientColor;
    TColor FBackgroundColor = clBtnFace;
    TContextOptions FContextOptions{roDoubleBuffer, roRenderToWindow};
    int FAccumBufferBits = 0;
    bool FDepthTest = true;
    bool FFaceCulling = true;
    bool FFogEnable = false;
    bool FLighting = true;
    TGLAntiAliasing FAntiAliasing = aaDefault;
    TGLDepthPrecision FDepthPrecision = dpDefault;
    TGLColorDepth FColorDepth = cdDefault;
    TGLShadeModel FShadeModel = smDefault;
    TVSyncMode FVSync = vsmNoSync;

    TEvent FOnChange;
    TEvent FOnStructuralChange;
    TEvent FBeforeRender;
    TEvent FInitiateRendering;
    TEvent FWrapUpRendering;
    TEvent FPostRender;
    TEvent FAfterRender;

    TGLCamera* FCamera = nullptr;
    // The scene this buffer is registered with.
    TGLScene* FScene = nullptr;
    std::unique_ptr<TGLRenderingContext> FContext;
    TGLViewport FViewport;
    bool FRendering = false;
    bool FOwnerDestroying = false;
    int FRenderDPI = 96;
    double FDevicePixelRatio = 1;
    // Read from the context when it is made.
    int FMaxLights = 8;
    int FBlueBits = 8;
    bool FFogDistanceAvailable = false;

    TMatrix FProjectionMatrix = IdentityMatrix();
    TMatrix FModelViewMatrix = IdentityMatrix();
    TVector FCameraWorldPosition{0, 0, 0, 1};
    TGLStateCache FStateCache;

    std::function<std::int64_t()> FReadCounter;
    std::int64_t FCounterFrequency = 1;
    std::int64_t FFrameCount = 0;
    std::int64_t FRenderedFrames = 0;
    std::int64_t FFirstFrameCounter = 0;
    double FLastFrameTime = 0;
    double FFrameRate = 0;
};

} // namespace Scene
