#include "scene/GLMaterial.h"

#include "scene/GLBaseSceneObject.h"
#include "scene/GLDispatch.h"
#include "scene/GLStateCache.h"
#include "scene/GLTexture.h"
#include "scene/GLTextureEx.h"
#include "scene/RenderContextInfo.h"

namespace Scene {

TGLMaterial::TGLMaterial(TGLUpdateAbleObject* Owner) : TGLUpdateAbleObject(Owner), FFrontProperties(this) {}

TGLMaterial::~TGLMaterial() = default;

TGLFaceProperties& TGLMaterial::BackProperties()
{
    if (!FBackProperties)
        FBackProperties = std::make_unique<TGLFaceProperties>(this);
    return *FBackProperties;
}

void TGLMaterial::SetBlendingMode(TBlendingMode Value)
{
    if (Value == FBlendingMode)
        return;
    FBlendingMode = Value;
    NotifyChange(this);
}

void TGLMaterial::SetMaterialOptions(TMaterialOptions Value)
{
    if (Value == FMaterialOptions)
        return;
    FMaterialOptions = Value;
    NotifyChange(this);
}

void TGLMaterial::SetFaceCulling(TFaceCulling Value)
{
    if (Value == FFaceCulling)
        return;
    FFaceCulling = Value;
    NotifyChange(this);
}

TGLTexture& TGLMaterial::Texture()
{
    if (!FTexture)
        FTexture = std::make_unique<TGLTexture>(this);
    return *FTexture;
}

void TGLMaterial::SetMaterialLibrary(std::string Value)
{
    if (Value == FMaterialLibrary)
        return;
    FMaterialLibrary = std::move(Value);
    NotifyChange(this);
}

void TGLMaterial::SetLibMaterialName(std::string Value)
{
    if (Value == FLibMaterialName)
        return;
    FLibMaterialName = std::move(Value);
    NotifyChange(this);
}

TGLTextureEx& TGLMaterial::TextureEx()
{
    if (!FTextureEx)
        FTextureEx = std::make_unique<TGLTextureEx>(this);
    return *FTextureEx;
}

void TGLMaterial::NotifyTexMapChange()
{
    if (auto* Object = dynamic_cast<TGLBaseSceneObject*>(Owner()))
        Object->MarkGeometryChanged();
    else
        NotifyChange(this);
}

void TGLMaterial::DestroyHandles()
{
    if (FTexture)
        FTexture->DestroyHandles();
}

// --- Apply and un-apply ----------------------------------------------------------------

void TGLMaterial::Apply(TRenderContextInfo& Context)
{
    TGLStateCache& Cache = *Context.StateCache;
    if (FMaterialOptions.Contains(moNoLighting) && Cache.IsEnabled(stLighting)) {
        Cache.Disable(stLighting);
        ++Context.LightingDisabledCounter;
    }
    if (Cache.IsEnabled(stLighting)) {
        FFrontProperties.Apply(Cache, GL_FRONT);
    } else {
        GL().glColor4fv(FFrontProperties.Diffuse().Data());
        Cache.SetPolygonMode(GL_FRONT,
                             TGLFaceProperties::PolygonModeToGLEnum(FFrontProperties.PolygonMode()));
    }
    ApplyFaceCulling(Context);
    ApplyBlending(Context);
    if (FMaterialOptions.Contains(moIgnoreFog) && Cache.IsEnabled(stFog)) {
        Cache.Disable(stFog);
        ++Context.FogDisabledCounter;
    }
    if (FTexture)
        FTexture->Apply(Context);
}

void TGLMaterial::ApplyFaceCulling(TRenderContextInfo& Context)
{
    TGLStateCache& Cache = *Context.StateCache;
    // Back faces that stay visible get their own colours, lit or not.
    const auto ShowBackFaces = [&] { BackProperties().Apply(Cache, GL_BACK); };
    if (Cache.IsEnabled(stCullFace)) {
        if (FFaceCulling == fcNoCull || (FFaceCulling == fcBufferDefault && !Context.FaceCulling)) {
            Cache.Disable(stCullFace);
            ShowBackFaces();
        }
    } else if (FFaceCulling == fcCull || (FFaceCulling == fcBufferDefault && Context.FaceCulling)) {
        Cache.Enable(stCullFace);
    } else {
        ShowBackFaces();
    }
}

void TGLMaterial::ApplyBlending(TRenderContextInfo& Context)
{
    TGLStateCache& Cache = *Context.StateCache;
    const TGLDispatch& Gl = GL();
    switch (FBlendingMode) {
    case bmOpaque:
        Cache.Disable(stBlend);
        Cache.Disable(stAlphaTest);
        break;
    case bmTransparency:
        Cache.Enable(stBlend);
        Cache.Enable(stAlphaTest);
        Gl.glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        break;
    case bmAdditive:
        Cache.Enable(stBlend);
        Cache.Enable(stAlphaTest);
        Gl.glBlendFunc(GL_SRC_ALPHA, GL_ONE);
        break;
    case bmAlphaTest50:
        Cache.Disable(stBlend);
        Cache.Enable(stAlphaTest);
        Gl.glAlphaFunc(GL_GEQUAL, 0.5f);
        break;
    case bmAlphaTest100:
        Cache.Disable(stBlend);
        Cache.Enable(stAlphaTest);
        Gl.glAlphaFunc(GL_GEQUAL, 1.0f);
        break;
    case bmModulate:
        Cache.Enable(stBlend);
        Cache.Enable(stAlphaTest);
        Gl.glBlendFunc(GL_DST_COLOR, GL_ZERO);
        break;
    }
}

bool TGLMaterial::UnApply(TRenderContextInfo& Context)
{
    TGLStateCache& Cache = *Context.StateCache;
    if (FBlendingMode == bmAlphaTest50 || FBlendingMode == bmAlphaTest100)
        GL().glAlphaFunc(GL_GREATER, 0);
    if (FMaterialOptions.Contains(moNoLighting) && Context.LightingDisabledCounter > 0) {
        if (--Context.LightingDisabledCounter == 0)
            Cache.Enable(stLighting);
    }
    if (FMaterialOptions.Contains(moIgnoreFog) && Context.FogDisabledCounter > 0) {
        if (--Context.FogDisabledCounter == 0)
            Cache.Enable(stFog);
    }
    if (FTexture && !FTexture->Disabled())
        FTexture->UnApply(Context);
    return false;
}

} // namespace Scene
