#pragma once

#include "scene/GLColor.h"
#include "scene/GLUpdateAbleObject.h"

#include <cstdint>

namespace Scene {

enum TFogMode : std::uint8_t
{
    fmLinear,
    fmExp,
    fmExp2,
};

enum TFogDistance : std::uint8_t
{
    fdDefault,
    fdEyeRadial,
    fdEyePlane,
};

// The fog of a buffer; sent only while the buffer's FogEnable is on.
class TGLFogEnvironment : public TGLUpdateAbleObject
{
public:
    explicit TGLFogEnvironment(TGLUpdateAbleObject* Owner);

    TGLColor& FogColor() { return FFogColor; }
    const TGLColor& FogColor() const { return FFogColor; }
    float FogStart() const { return FFogStart; }
    void SetFogStart(float Value) { Store(FFogStart, Value); }
    float FogEnd() const { return FFogEnd; }
    void SetFogEnd(float Value) { Store(FFogEnd, Value); }
    TFogMode FogMode() const { return FFogMode; }
    void SetFogMode(TFogMode Value) { Store(FFogMode, Value); }
    TFogDistance FogDistance() const { return FFogDistance; }
    void SetFogDistance(TFogDistance Value) { Store(FFogDistance, Value); }

    // FogDistance needs GL_NV_fog_distance; without it the driver's default holds.
    void Apply(bool FogDistanceAvailable) const;

private:
    template <typename T> void Store(T& Field, T Value)
    {
        if (Value == Field)
            return;
        Field = Value;
        NotifyChange(this);
    }

    TGLColor FFogColor;
    float FFogStart = 10;
    float FFogEnd = 1000;
    TFogMode FFogMode = fmLinear;
    TFogDistance FFogDistance = fdDefault;
};

} // namespace Scene
