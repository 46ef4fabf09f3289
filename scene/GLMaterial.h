#pragma once

#include "scene/GLUpdateAbleObject.h"

#include <cstdint>

namespace Scene {

struct TRenderContextInfo;

enum TBlendingMode : std::uint8_t
{
    bmOpaque,
    bmTransparency,
    bmAdditive,
    bmAlphaTest50,
    bmAlphaTest100,
    bmModulate,
};

// The look of a scene object. For now it holds only what the traversal needs
// to sort (BlendingMode); colours, face culling and the texture come with the
// materials work, behind the same Apply/UnApply pair.
class TGLMaterial : public TGLUpdateAbleObject
{
public:
    explicit TGLMaterial(TGLUpdateAbleObject* Owner) : TGLUpdateAbleObject(Owner) {}

    TBlendingMode BlendingMode() const { return FBlendingMode; }
    void SetBlendingMode(TBlendingMode Value)
    {
        if (Value == FBlendingMode)
            return;
        FBlendingMode = Value;
        NotifyChange(this);
    }

    // Drawn after the opaque objects of its level.
    bool Blended() const
    {
        return FBlendingMode == bmTransparency || FBlendingMode == bmAdditive || FBlendingMode == bmModulate;
    }

    // Sets up the OpenGL state for the owner's geometry.
    void Apply(TRenderContextInfo& Context) { (void)Context; }
    // Undoes what later objects must not inherit. True asks for one more
    // geometry pass.
    bool UnApply(TRenderContextInfo& Context)
    {
        (void)Context;
        return false;
    }

private:
    TBlendingMode FBlendingMode = bmOpaque;
};

} // namespace Scene
