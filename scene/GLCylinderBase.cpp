#include "scene/GLCylinderBase.h"

namespace Scene {

void TGLCylinderBase::SetBottomRadius(float Value)
{
    Store(FBottomRadius, Value);
}

void TGLCylinderBase::SetHeight(float Value)
{
    Store(FHeight, Value);
}

void TGLCylinderBase::SetSlices(int Value)
{
    if (Value > 0)
        Store(FSlices, Value);
}

void TGLCylinderBase::SetStacks(int Value)
{
    if (Value > 0)
        Store(FStacks, Value);
}

void TGLCylinderBase::SetLoops(int Value)
{
    if (Value > 0)
        Store(FLoops, Value);
}

} // namespace Scene
