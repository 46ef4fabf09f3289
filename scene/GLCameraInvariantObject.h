#pragma once

#include "scene/GLImmaterialSceneObject.h"

#include <cstdint>

namespace Scene {

enum TGLCameraInvarianceMode : std::uint8_t
{
    cimNone,
    // Placed relative to the camera: it moves with the camera.
    cimPosition,
    // Keeps its place but never turns with the view: it always faces the screen.
    cimOrientation,
};

class TGLCameraInvariantObject : public TGLImmaterialSceneObject
{
public:
    TGLCameraInvarianceMode CamInvarianceMode() const { return FCamInvarianceMode; }
    void SetCamInvarianceMode(TGLCameraInvarianceMode Value);

    void RenderContent(TRenderContextInfo& Context, bool DrawSelf, bool DrawChildren) override;

private:
    TGLCameraInvarianceMode FCamInvarianceMode = cimNone;
};

} // namespace Scene
