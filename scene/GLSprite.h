#pragma once

#include "scene/GLSceneObject.h"

namespace Scene {

// A textured rectangle that always faces the viewer; drawn every frame from
// the current model-view matrix.
class TGLSprite : public TGLSceneObject
{
public:
    TGLSprite();

    float Width() const { return FWidth; }
    void SetWidth(float Value) { Store(FWidth, Value); }
    float Height() const { return FHeight; }
    void SetHeight(float Value) { Store(FHeight, Value); }
    // Degrees about the viewing axis.
    float Rotation() const { return FRotation; }
    void SetRotation(float Value) { Store(FRotation, Value); }
    // Clamped to 0..1.
    float AlphaChannel() const { return FAlphaChannel; }
    void SetAlphaChannel(float Value);
    bool NoZWrite() const { return FNoZWrite; }
    void SetNoZWrite(bool Value) { Store(FNoZWrite, Value); }
    bool MirrorU() const { return FMirrorU; }
    void SetMirrorU(bool Value) { Store(FMirrorU, Value); }
    bool MirrorV() const { return FMirrorV; }
    void SetMirrorV(bool Value) { Store(FMirrorV, Value); }

    TVector HalfExtents() const override;
    void EmitGeometry(TRenderContextInfo& Context) override;

private:
    template <typename T> void Store(T& Field, T Value)
    {
        if (Value == Field)
            return;
        Field = Value;
        MarkGeometryChanged();
    }

    float FWidth = 1;
    float FHeight = 1;
    float FRotation = 0;
    float FAlphaChannel = 1;
    bool FNoZWrite = false;
    bool FMirrorU = false;
    bool FMirrorV = false;
};

} // namespace Scene
