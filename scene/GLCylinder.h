#pragma once

#include "scene/GLCylinderBase.h"
#include "scene/GLSceneTypes.h"

#include <cstdint>

namespace Scene {

enum TCylinderPart : std::uint8_t
{
    cySides,
    cyBottom,
    cyTop,
};

using TCylinderParts = TSet<TCylinderPart>;

enum TCylinderAlignment : std::uint8_t
{
    // From -Height/2 to +Height/2 on the local Y axis.
    caCenter,
    // From -Height to 0.
    caTop,
    // From 0 to Height.
    caBottom,
};

// A capped cylinder (or cone) along the local Y axis.
class TGLCylinder : public TGLCylinderBase
{
public:
    float TopRadius() const { return FTopRadius; }
    void SetTopRadius(float Value) { Store(FTopRadius, Value); }
    TCylinderParts Parts() const { return FParts; }
    void SetParts(TCylinderParts Value) { Store(FParts, Value); }
    TCylinderAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TCylinderAlignment Value) { Store(FAlignment, Value); }

    TVector HalfExtents() const override;
    void EmitGeometry(TRenderContextInfo& Context) override;

private:
    float FTopRadius = 0.5f;
    TCylinderParts FParts{cySides, cyBottom, cyTop};
    TCylinderAlignment FAlignment = caCenter;
};

} // namespace Scene
