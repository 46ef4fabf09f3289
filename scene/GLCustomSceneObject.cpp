#include "scene/GLCustomSceneObject.h"

#include "scene/GLSceneGraph.h"
#include "scene/RenderContextInfo.h"

namespace Scene {

TGLCustomSceneObject::TGLCustomSceneObject() : FMaterial(std::make_unique<TGLMaterial>(this)) {}

TGLCustomSceneObject::~TGLCustomSceneObject() = default;

void TGLCustomSceneObject::RenderContent(TRenderContextInfo& Context, bool DrawSelf, bool DrawChildren)
{
    if (DrawSelf) {
        if (TGLScene* Owner = Scene())
            Owner->SetCurrentObject(this);
        if (Context.IgnoreMaterials) {
            DrawGeometry(Context);
        } else {
            FMaterial->Apply(Context);
            do
                DrawGeometry(Context);
            while (FMaterial->UnApply(Context));
        }
    }
    if (DrawChildren)
        RenderChildRange(0, Count() - 1, Context);
}

void TGLCustomSceneObject::DestroyHandles()
{
    FMaterial->DestroyHandles();
    TGLBaseSceneObject::DestroyHandles();
}

} // namespace Scene
