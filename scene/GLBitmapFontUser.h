#pragma once

namespace Scene {

class TGLCustomBitmapFont;

// A scene object that draws with a bitmap font and registers with it.
class TGLBitmapFontUser
{
public:
    // The font's metrics became invalid: what was drawn must be drawn again.
    virtual void BitmapFontChanged() = 0;
    // The font is going away; the user must forget it.
    virtual void BitmapFontDestroyed(TGLCustomBitmapFont& Font) = 0;

protected:
    ~TGLBitmapFontUser() = default;
};

} // namespace Scene
