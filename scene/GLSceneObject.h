#pragma once

#include "scene/GLCustomSceneObject.h"

namespace Scene {

// The base of the visible meshes; its material is part of its stored form.
class TGLSceneObject : public TGLCustomSceneObject
{
};

} // namespace Scene
