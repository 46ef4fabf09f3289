#pragma once

#include "scene/GLCustomSceneObject.h"

namespace Scene {

// Draws without applying its material.
class TGLImmaterialSceneObject : public TGLCustomSceneObject
{
public:
    bool IsBlended() const override { return false; }
    void RenderContent(TRenderContextInfo& Context, bool DrawSelf, bool DrawChildren) override
    {
        TGLBaseSceneObject::RenderContent(Context, DrawSelf, DrawChildren);
    }
};

} // namespace Scene
