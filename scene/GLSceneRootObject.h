#pragma once

#include "scene/GLBaseSceneObject.h"

namespace Scene {

// "ObjectRoot" and "CameraRoot" of a scene: draw nothing themselves, and
// their children take their own local transform as their world transform.
class TGLSceneRootObject : public TGLBaseSceneObject
{
public:
    TGLSceneRootObject(TGLScene& Scene, std::string Name);
    bool IsSceneRoot() const override { return true; }
};

} // namespace Scene
