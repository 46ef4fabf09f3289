#pragma once

#include "scene/GLUpdateAbleObject.h"
#include "scene/VectorGeometry.h"

#include <array>
#include <cstdint>

namespace Scene {

class TGLCoordinatesUpdateAbleComponent;

enum class TGLCoordinatesStyle : std::uint8_t
{
    Point,     // w = 1 when a whole vector is set
    Direction, // w = 0 when a whole vector is set
};

// One vector of a scene object (position, direction, up, scale). Every change
// is reported to the owning object's coordinates-changed handler; setting the
// value it already has reports nothing.
class TGLCoordinates : public TGLUpdateAbleObject
{
public:
    TGLCoordinates(TGLCoordinatesUpdateAbleComponent* Owner, const TVector& Value, TGLCoordinatesStyle Style);

    float X() const { return FValue.X; }
    float Y() const { return FValue.Y; }
    float Z() const { return FValue.Z; }
    float W() const { return FValue.W; }
    void SetX(float Value);
    void SetY(float Value);
    void SetZ(float Value);
    void SetW(float Value);

    const TVector& AsVector() const { return FValue; }
    TGLCoordinatesStyle Style() const { return FStyle; }
    // Copies x, y, z; w comes from the style.
    void SetVector(const TVector& Value);
    void SetVector(float X, float Y, float Z);
    // Stores all four components as given.
    void SetRaw(const TVector& Value);

    // The stored form "Coordinates": x, y, z, w as little-endian single floats.
    std::array<std::uint8_t, 16> AsBytes() const;
    void SetFromBytes(const std::array<std::uint8_t, 16>& Bytes);

    void NotifyChange(TGLUpdateAbleObject* Sender) override;

private:
    void Store(const TVector& Value);

    TGLCoordinatesUpdateAbleComponent* FOwnerComponent;
    TVector FValue;
    TGLCoordinatesStyle FStyle;
};

} // namespace Scene
