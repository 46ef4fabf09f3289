#pragma once

#include "scene/GLBaseSceneObject.h"

#include <cstdint>
#include <functional>
#include <vector>

namespace Scene {

class TGLSceneBuffer;

enum TGLCameraStyle : std::uint8_t
{
    csPerspective,
    csOrthogonal,
    csOrtho2D,
    csCustom,
    csInfinitePerspective,
};

// A rectangle of the window in pixels, from its top-left corner.
struct TGLViewport
{
    int Left = 0;
    int Top = 0;
    int Width = 1;
    int Height = 1;
    friend bool operator==(const TGLViewport&, const TGLViewport&) = default;
};

// The point of view of a buffer. The projection follows FocalLength: the
// near plane is where a FocalLength-millimetre lens would put it for the
// window's size in pixels at the buffer's DPI.
class TGLCamera : public TGLBaseSceneObject
{
public:
    // Sets the projection for csCustom; may change ViewportRadius.
    using TCustomPerspectiveEvent = std::function<void(const TGLViewport& Viewport, int Width, int Height,
                                                       int DPI, float& ViewportRadius)>;

    TGLCamera();
    ~TGLCamera() override;

    bool IsCamera() const override { return true; }

    float DepthOfView() const { return FDepthOfView; }
    void SetDepthOfView(float Value);
    float FocalLength() const { return FFocalLength; }
    // A value not above 0 becomes 1.
    void SetFocalLength(float Value);
    float SceneScale() const { return FSceneScale; }
    void SetSceneScale(float Value);
    float NearPlaneBias() const { return FNearPlaneBias; }
    void SetNearPlaneBias(float Value);
    TGLBaseSceneObject* TargetObject() const { return FTargetObject; }
    // Becomes none when the target is destroyed.
    void SetTargetObject(TGLBaseSceneObject* Value);
    TGLCameraStyle CameraStyle() const { return FCameraStyle; }
    void SetCameraStyle(TGLCameraStyle Value);
    const TCustomPerspectiveEvent& OnCustomPerspective() const { return FOnCustomPerspective; }
    void SetOnCustomPerspective(TCustomPerspectiveEvent Value) { FOnCustomPerspective = std::move(Value); }

    // Of the last projection.
    float NearDistance() const { return FNearDistance; }
    float ViewportRadius() const { return FViewportRadius; }
    // Of the last view: normalised, w = 0; the up vector is made perpendicular to it.
    const TVector& LastDirection() const { return FLastDirection; }
    const TVector& LastUp() const { return FLastUp; }

    // Multiplies the current (projection) matrix. Viewport is the part of
    // the window drawn into; Width and Height are the window's.
    void ApplyProjection(const TGLViewport& Viewport, int Width, int Height, int DPI);
    // Multiplies the current (model-view) matrix by the viewing transform.
    void ApplyView();

    // Degrees seen across Dimension pixels (the smaller side of the window):
    // 0 with FocalLength 0.
    float FieldOfView(float Dimension) const;
    // Sets FocalLength so that Dimension pixels see Degrees.
    void SetFieldOfView(float Degrees, float Dimension);

    void RenderContent(TRenderContextInfo& Context, bool DrawSelf, bool DrawChildren) override;
    void ObjectDestroyed(TGLBaseSceneObject& Object) override;

private:
    friend class TGLSceneBuffer;
    // Buffers looking through this camera, told when it goes.
    void AddBuffer(TGLSceneBuffer& Buffer);
    void RemoveBuffer(TGLSceneBuffer& Buffer);
    void Changed();

    float FDepthOfView = 100;
    float FFocalLength = 50;
    float FSceneScale = 1;
    float FNearPlaneBias = 1;
    TGLBaseSceneObject* FTargetObject = nullptr;
    TGLCameraStyle FCameraStyle = csPerspective;
    TCustomPerspectiveEvent FOnCustomPerspective;
    float FNearDistance = 0;
    float FViewportRadius = 0;
    TVector FLastDirection{0, 0, -1, 0};
    TVector FLastUp{0, 1, 0, 0};
    std::vector<TGLSceneBuffer*> FBuffers;
};

} // namespace Scene
