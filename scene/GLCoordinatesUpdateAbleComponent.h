#pragma once

#include "scene/GLUpdateAbleComponent.h"

namespace Scene {

class TGLCoordinates;

// A component that owns coordinates and is told when one of them changes.
class TGLCoordinatesUpdateAbleComponent : public TGLUpdateAbleComponent
{
public:
    virtual void CoordinateChanged(TGLCoordinates& Sender) = 0;
};

} // namespace Scene
