#pragma once

#include "scene/Frustum.h"
#include "scene/GLSceneTypes.h"
#include "scene/VectorGeometry.h"

namespace Scene {

class TGLAbstractSceneBuffer;
class TGLScene;
class TGLStateCache;

// One render pass: filled by the buffer before it asks the scene to draw,
// read and (for sorting and culling) temporarily changed by the traversal.
struct TRenderContextInfo
{
    TGLScene* Scene = nullptr;
    TGLAbstractSceneBuffer* Buffer = nullptr;
    // Required: every enable/disable of the traversal goes through it.
    TGLStateCache* StateCache = nullptr;

    // Set from the scene by TGLScene::RenderScene; changed per subtree.
    TGLObjectsSorting ObjectsSorting = osRenderBlendedLast;
    TGLVisibilityCulling VisibilityCulling = vcNone;

    // Colourless and picking passes draw geometry only.
    bool IgnoreMaterials = false;
    // The buffer's switches.
    bool FaceCulling = true;
    bool DepthTest = true;

    // Camera, in world space.
    TVector CameraPosition{0, 0, 0, 1};
    TVector CameraDirection{0, 0, -1, 0};
    TVector CameraUp{0, 1, 0, 0};
    // Length of the lines drawn by ShowAxes.
    float CameraDepthOfView = 100;
    float ViewportRadius = 0;
    float NearClippingDistance = 0;
    float FarClippingDistance = 0;
    // World space; the default holds everything.
    TFrustum Frustum;
    // The camera's viewing transform, loaded before the scene is drawn.
    TMatrix ModelViewMatrix = IdentityMatrix();

    int ViewportWidth = 0;
    int ViewportHeight = 0;
    int RenderDPI = 96;

    // Materials that switch lighting or fog off count here, so nested ones
    // switch it back on only once.
    int LightingDisabledCounter = 0;
    int FogDisabledCounter = 0;
};

} // namespace Scene
