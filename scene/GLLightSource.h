#pragma once

#include "scene/GLBaseSceneObject.h"
#include "scene/GLColor.h"
#include "scene/GLCoordinates.h"

#include <cstdint>
#include <GL/gl.h>

namespace Scene {

enum TLightStyle : std::uint8_t
{
    lsSpot,
    lsOmni,
    // Shines from SpotDirection, turned with the light and all its parents.
    lsParallel,
};

// An OpenGL light. While it is in a scene it holds one of the scene's light
// slots; slot i drives GL_LIGHT0 + i. It draws nothing but its children.
class TGLLightSource : public TGLBaseSceneObject
{
public:
    TGLLightSource();

    bool IsLightSource() const override { return true; }

    TGLColor& Ambient() { return FAmbient; }
    const TGLColor& Ambient() const { return FAmbient; }
    TGLColor& Diffuse() { return FDiffuse; }
    const TGLColor& Diffuse() const { return FDiffuse; }
    TGLColor& Specular() { return FSpecular; }
    const TGLColor& Specular() const { return FSpecular; }
    float ConstAttenuation() const { return FConstAttenuation; }
    void SetConstAttenuation(float Value) { Store(FConstAttenuation, Value); }
    float LinearAttenuation() const { return FLinearAttenuation; }
    void SetLinearAttenuation(float Value) { Store(FLinearAttenuation, Value); }
    float QuadraticAttenuation() const { return FQuadraticAttenuation; }
    void SetQuadraticAttenuation(float Value) { Store(FQuadraticAttenuation, Value); }
    TLightStyle LightStyle() const { return FLightStyle; }
    void SetLightStyle(TLightStyle Value) { Store(FLightStyle, Value); }
    bool Shining() const { return FShining; }
    void SetShining(bool Value) { Store(FShining, Value); }
    // Degrees; 180 is no cone.
    float SpotCutOff() const { return FSpotCutOff; }
    void SetSpotCutOff(float Value) { Store(FSpotCutOff, Value); }
    TGLCoordinates& SpotDirection() { return FSpotDirection; }
    const TGLCoordinates& SpotDirection() const { return FSpotDirection; }
    float SpotExponent() const { return FSpotExponent; }
    void SetSpotExponent(float Value) { Store(FSpotExponent, Value); }

    // Loads the light into Light (GL_LIGHT0 + slot). The model-view matrix
    // must hold the viewing transform; it is left changed.
    void LoadLight(GLenum Light);

    void RenderContent(TRenderContextInfo& Context, bool DrawSelf, bool DrawChildren) override;
    void CoordinateChanged(TGLCoordinates& Sender) override;
    void NotifyChange(TGLUpdateAbleObject* Sender) override;

private:
    template <typename T> void Store(T& Field, T Value)
    {
        if (Value == Field)
            return;
        Field = Value;
        SignalChanged();
    }

    TGLColor FAmbient;
    TGLColor FDiffuse;
    TGLColor FSpecular;
    TGLCoordinates FSpotDirection;
    float FConstAttenuation = 1;
    float FLinearAttenuation = 0;
    float FQuadraticAttenuation = 0;
    float FSpotCutOff = 180;
    float FSpotExponent = 0;
    TLightStyle FLightStyle = lsSpot;
    bool FShining = true;
};

} // namespace Scene
