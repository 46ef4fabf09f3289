#pragma once

#include "scene/GLUpdateAbleObject.h"
#include "scene/VectorGeometry.h"

#include <array>
#include <cstdint>

namespace Scene {

// A Windows colour (0x00BBGGRR) as floats: each byte / 255.
TVector ConvertWinColor(std::uint32_t Color, float Alpha = 1);

// Red, green, blue, alpha in 0..1. A change of value notifies the owner; a
// scene object that owns a colour recompiles its geometry.
class TGLColor : public TGLUpdateAbleObject
{
public:
    explicit TGLColor(TGLUpdateAbleObject* Owner, const TVector& Value = TVector{0, 0, 0, 1})
        : TGLUpdateAbleObject(Owner), FValue(Value)
    {}

    float Red() const { return FValue.X; }
    float Green() const { return FValue.Y; }
    float Blue() const { return FValue.Z; }
    float Alpha() const { return FValue.W; }
    void SetRed(float Value) { Store(TVector{Value, FValue.Y, FValue.Z, FValue.W}); }
    void SetGreen(float Value) { Store(TVector{FValue.X, Value, FValue.Z, FValue.W}); }
    void SetBlue(float Value) { Store(TVector{FValue.X, FValue.Y, Value, FValue.W}); }
    void SetAlpha(float Value) { Store(TVector{FValue.X, FValue.Y, FValue.Z, Value}); }

    const TVector& AsVector() const { return FValue; }
    const float* Data() const { return FValue.Data(); }
    void SetColor(const TVector& Value) { Store(Value); }
    void SetColor(float Red, float Green, float Blue, float Alpha = 1)
    {
        Store(TVector{Red, Green, Blue, Alpha});
    }
    void Assign(const TGLColor& Source) { Store(Source.FValue); }
    // Keeps the alpha.
    void SetAsWinColor(std::uint32_t Color) { Store(ConvertWinColor(Color, FValue.W)); }

    // The stored form "Color": red, green, blue, alpha as little-endian single floats.
    std::array<std::uint8_t, 16> AsBytes() const;
    void SetFromBytes(const std::array<std::uint8_t, 16>& Bytes);

private:
    void Store(const TVector& Value)
    {
        if (Value == FValue)
            return;
        FValue = Value;
        NotifyChange(this);
    }

    TVector FValue;
};

} // namespace Scene
