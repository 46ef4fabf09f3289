#pragma once

#include "scene/GLQuadricObject.h"

namespace Scene {

// Common properties of the GLU cylinders.
class TGLCylinderBase : public TGLQuadricObject
{
public:
    float BottomRadius() const { return FBottomRadius; }
    void SetBottomRadius(float Value);
    float Height() const { return FHeight; }
    void SetHeight(float Value);
    // Values <= 0 are ignored: GLU cannot draw them.
    int Slices() const { return FSlices; }
    void SetSlices(int Value);
    int Stacks() const { return FStacks; }
    void SetStacks(int Value);
    int Loops() const { return FLoops; }
    void SetLoops(int Value);

protected:
    template <typename T> void Store(T& Field, T Value)
    {
        if (Value == Field)
            return;
        Field = Value;
        MarkGeometryChanged();
    }

    float FBottomRadius = 0.5f;
    float FHeight = 1;
    int FSlices = 16;
    int FStacks = 4;
    int FLoops = 1;
};

} // namespace Scene
