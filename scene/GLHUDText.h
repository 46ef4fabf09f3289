#pragma once

#include "scene/GLBitmapFontUser.h"
#include "scene/GLColor.h"
#include "scene/GLImmaterialSceneObject.h"
#include "scene/GLTextTypes.h"

#include <string>

namespace Scene {

class TGLCustomBitmapFont;

// Text in front of the scene, placed in window pixels: Position is measured
// from the viewport's top-left corner with y downward, so the text neither
// turns nor zooms with the camera. Drawn with a bitmap font every frame.
class TGLHUDText : public TGLImmaterialSceneObject, public TGLBitmapFontUser
{
public:
    TGLHUDText();
    ~TGLHUDText() override;

    // Not owned: the font tells this object when it goes away.
    TGLCustomBitmapFont* BitmapFont() const { return FBitmapFont; }
    void SetBitmapFont(TGLCustomBitmapFont* Value);
    // Carriage return (13) starts a new line.
    const std::string& Text() const { return FText; }
    void SetText(std::string Value);
    // Degrees about the axis pointing out of the screen.
    float Rotation() const { return FRotation; }
    void SetRotation(float Value);
    TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    TGLTextLayout Layout() const { return FLayout; }
    void SetLayout(TGLTextLayout Value);
    TGLColor& ModulateColor() { return FModulateColor; }
    const TGLColor& ModulateColor() const { return FModulateColor; }

    void EmitGeometry(TRenderContextInfo& Context) override;
    void DestroyHandles() override;

    void BitmapFontChanged() override { SignalChanged(); }
    void BitmapFontDestroyed(TGLCustomBitmapFont& Font) override;

private:
    template <typename T> void Store(T& Field, T Value)
    {
        if (Value == Field)
            return;
        Field = Value;
        MarkGeometryChanged();
    }

    TGLCustomBitmapFont* FBitmapFont = nullptr;
    std::string FText;
    float FRotation = 0;
    TAlignment FAlignment = taLeftJustify;
    TGLTextLayout FLayout = tlTop;
    TGLColor FModulateColor;
};

} // namespace Scene
