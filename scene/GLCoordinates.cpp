#include "scene/GLCoordinates.h"

#include "scene/GLCoordinatesUpdateAbleComponent.h"

#include <bit>
#include <cstring>

namespace Scene {

static_assert(std::endian::native == std::endian::little, "the stored form is little-endian");

TGLCoordinates::TGLCoordinates(TGLCoordinatesUpdateAbleComponent* Owner, const TVector& Value,
                               TGLCoordinatesStyle Style)
    : TGLUpdateAbleObject(Owner), FOwnerComponent(Owner), FValue(Value), FStyle(Style)
{}

void TGLCoordinates::SetX(float Value)
{
    TVector V = FValue;
    V.X = Value;
    Store(V);
}

void TGLCoordinates::SetY(float Value)
{
    TVector V = FValue;
    V.Y = Value;
    Store(V);
}

void TGLCoordinates::SetZ(float Value)
{
    TVector V = FValue;
    V.Z = Value;
    Store(V);
}

void TGLCoordinates::SetW(float Value)
{
    TVector V = FValue;
    V.W = Value;
    Store(V);
}

void TGLCoordinates::SetVector(const TVector& Value)
{
    Store(TVector{Value.X, Value.Y, Value.Z, FStyle == TGLCoordinatesStyle::Point ? 1.0f : 0.0f});
}

void TGLCoordinates::SetVector(float X, float Y, float Z)
{
    SetVector(TVector{X, Y, Z, 0});
}

void TGLCoordinates::SetRaw(const TVector& Value)
{
    Store(Value);
}

std::array<std::uint8_t, 16> TGLCoordinates::AsBytes() const
{
    std::array<std::uint8_t, 16> Bytes{};
    std::memcpy(Bytes.data(), FValue.Data(), Bytes.size());
    return Bytes;
}

void TGLCoordinates::SetFromBytes(const std::array<std::uint8_t, 16>& Bytes)
{
    TVector V;
    std::memcpy(V.Data(), Bytes.data(), Bytes.size());
    Store(V);
}

void TGLCoordinates::NotifyChange(TGLUpdateAbleObject* Sender)
{
    (void)Sender;
    if (FOwnerComponent)
        FOwnerComponent->CoordinateChanged(*this);
}

void TGLCoordinates::Store(const TVector& Value)
{
    if (Value == FValue)
        return;
    FValue = Value;
    NotifyChange(this);
}

} // namespace Scene
