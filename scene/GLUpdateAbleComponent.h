#pragma once

#include "scene/GLUpdateAbleObject.h"

namespace Scene {

// Root of the scene object classes. It is an updateable object without an
// owner, so the things it owns (coordinates, material, colours) can report
// their changes to it.
class TGLUpdateAbleComponent : public TGLUpdateAbleObject
{
public:
    TGLUpdateAbleComponent() = default;
};

} // namespace Scene
