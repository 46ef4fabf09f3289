#pragma once

#include "scene/GLQuadricObject.h"

#include <cstdint>

namespace Scene {

enum TCapType : std::uint8_t
{
    ctNone,
    // A fan from the centre of the sphere.
    ctCenter,
    // A flat fan from the point on the pole axis at the cap latitude.
    ctFlat,
};

// A latitude/longitude sphere about the local Y axis, which can be cut to a
// band or a dome. Its texture always spans the band that is drawn.
class TGLSphere : public TGLQuadricObject
{
public:
    float Radius() const { return FRadius; }
    void SetRadius(float Value);
    // Values <= 0 become 1.
    int Slices() const { return FSlices; }
    void SetSlices(int Value);
    int Stacks() const { return FStacks; }
    void SetStacks(int Value);
    // Latitudes in degrees, clamped to -90..90.
    int Top() const { return FTop; }
    void SetTop(int Value);
    int Bottom() const { return FBottom; }
    void SetBottom(int Value);
    // Longitudes in degrees, clamped to 0..360.
    int Start() const { return FStart; }
    void SetStart(int Value);
    int Stop() const { return FStop; }
    void SetStop(int Value);
    TCapType TopCap() const { return FTopCap; }
    void SetTopCap(TCapType Value);
    TCapType BottomCap() const { return FBottomCap; }
    void SetBottomCap(TCapType Value);

    TVector HalfExtents() const override;
    void EmitGeometry(TRenderContextInfo& Context) override;

private:
    void EmitCap(float Latitude, bool IsTop, float LongitudeStart, float LongitudeStep) const;
    template <typename T> void Store(T& Field, T Value);

    float FRadius = 0.5f;
    int FSlices = 16;
    int FStacks = 16;
    std::int8_t FTop = 90;
    std::int8_t FBottom = -90;
    std::int16_t FStart = 0;
    std::int16_t FStop = 360;
    TCapType FTopCap = ctNone;
    TCapType FBottomCap = ctNone;
};

} // namespace Scene
