#pragma once

#include "scene/GLBaseSceneObject.h"
#include "scene/GLMaterial.h"

#include <memory>

namespace Scene {

// A scene object with a material: the material is applied before the
// object's own geometry and un-applied after it.
class TGLCustomSceneObject : public TGLBaseSceneObject
{
public:
    TGLCustomSceneObject();
    ~TGLCustomSceneObject() override;

    TGLMaterial& Material() { return *FMaterial; }
    const TGLMaterial& Material() const { return *FMaterial; }

    bool IsBlended() const override { return FMaterial->Blended(); }
    void RenderContent(TRenderContextInfo& Context, bool DrawSelf, bool DrawChildren) override;
    // Also deletes the material's texture object.
    void DestroyHandles() override;

private:
    std::unique_ptr<TGLMaterial> FMaterial;
};

} // namespace Scene
