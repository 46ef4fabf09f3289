#include "scene/GLFaceProperties.h"

#include "scene/GLStateCache.h"

#include <algorithm>

namespace Scene {

TGLFaceProperties::TGLFaceProperties(TGLUpdateAbleObject* Owner)
    : TGLUpdateAbleObject(Owner), FAmbient(this, TVector{0.2f, 0.2f, 0.2f, 1}),
      FDiffuse(this, TVector{0.8f, 0.8f, 0.8f, 1}), FEmission(this), FSpecular(this)
{}

void TGLFaceProperties::SetShininess(int Value)
{
    Value = std::clamp(Value, 0, MaxShininess);
    if (Value == FShininess)
        return;
    FShininess = Value;
    NotifyChange(this);
}

void TGLFaceProperties::SetPolygonMode(TPolygonMode Value)
{
    if (Value == FPolygonMode)
        return;
    FPolygonMode = Value;
    NotifyChange(this);
}

void TGLFaceProperties::Assign(const TGLFaceProperties& Source)
{
    FAmbient.Assign(Source.FAmbient);
    FDiffuse.Assign(Source.FDiffuse);
    FEmission.Assign(Source.FEmission);
    FSpecular.Assign(Source.FSpecular);
    SetShininess(Source.FShininess);
    SetPolygonMode(Source.FPolygonMode);
}

void TGLFaceProperties::Apply(TGLStateCache& Cache, GLenum Face) const
{
    Cache.SetMaterialColors(Face, FEmission.AsVector(), FAmbient.AsVector(), FDiffuse.AsVector(),
                            FSpecular.AsVector(), FShininess);
    Cache.SetPolygonMode(Face, PolygonModeToGLEnum(FPolygonMode));
}

GLenum TGLFaceProperties::PolygonModeToGLEnum(TPolygonMode Mode)
{
    switch (Mode) {
    case pmLines:
        return GL_LINE;
    case pmPoints:
        return GL_POINT;
    case pmFill:
        break;
    }
    return GL_FILL;
}

} // namespace Scene
