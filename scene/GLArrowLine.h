#pragma once

#include "scene/GLCylinderBase.h"
#include "scene/GLSceneTypes.h"

#include <cstdint>

namespace Scene {

enum TArrowHeadStackingStyle : std::uint8_t
{
    // Heads sit beyond the ends of the line.
    ahssStacked,
    ahssCentered,
    // Heads lie inside Height.
    ahssIncluded,
};

enum TArrowLinePart : std::uint8_t
{
    alLine,
    alTopArrow,
    alBottomArrow,
};

using TArrowLineParts = TSet<TArrowLinePart>;

// A line along the local +Z axis, centred on the origin, with cone heads.
class TGLArrowLine : public TGLCylinderBase
{
public:
    TGLArrowLine();

    float TopRadius() const { return FTopRadius; }
    void SetTopRadius(float Value) { Store(FTopRadius, Value); }
    TArrowHeadStackingStyle HeadStackingStyle() const { return FHeadStackingStyle; }
    void SetHeadStackingStyle(TArrowHeadStackingStyle Value) { Store(FHeadStackingStyle, Value); }
    TArrowLineParts Parts() const { return FParts; }
    void SetParts(TArrowLineParts Value) { Store(FParts, Value); }
    float TopArrowHeadHeight() const { return FTopArrowHeadHeight; }
    void SetTopArrowHeadHeight(float Value) { Store(FTopArrowHeadHeight, Value); }
    float TopArrowHeadRadius() const { return FTopArrowHeadRadius; }
    void SetTopArrowHeadRadius(float Value) { Store(FTopArrowHeadRadius, Value); }
    float BottomArrowHeadHeight() const { return FBottomArrowHeadHeight; }
    void SetBottomArrowHeadHeight(float Value) { Store(FBottomArrowHeadHeight, Value); }
    float BottomArrowHeadRadius() const { return FBottomArrowHeadRadius; }
    void SetBottomArrowHeadRadius(float Value) { Store(FBottomArrowHeadRadius, Value); }

    TVector HalfExtents() const override;
    void EmitGeometry(TRenderContextInfo& Context) override;

private:
    float HeadFactor() const;

    float FTopRadius = 0.1f;
    TArrowHeadStackingStyle FHeadStackingStyle = ahssStacked;
    TArrowLineParts FParts{alLine, alTopArrow};
    float FTopArrowHeadHeight = 0.5f;
    float FTopArrowHeadRadius = 0.2f;
    float FBottomArrowHeadHeight = 0.5f;
    float FBottomArrowHeadRadius = 0.2f;
};

} // namespace Scene
