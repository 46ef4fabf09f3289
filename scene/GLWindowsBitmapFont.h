#pragma once

#include "scene/Font.h"
#include "scene/GLCustomBitmapFont.h"
#include "scene/GlyphCanvas.h"

#include <functional>

namespace Scene {

// A bitmap font whose atlas is rendered from a platform font by the
// installed glyph rasteriser: white glyphs on black, every character's cell
// packed into the smallest power-of-two picture, squarest first. The atlas is
// built when the font is made (if a rasteriser is installed) and again each
// time its texture is rebuilt. Its texture keeps only alpha, the glyphs'
// intensity.
class TGLWindowsBitmapFont : public TGLCustomBitmapFont
{
public:
    static constexpr int MinimumAtlasSize = 64;
    static constexpr int MaximumAtlasSize = 512;

    TGLWindowsBitmapFont();

    TFont& Font() { return FFont; }
    const TFont& Font() const { return FFont; }
    void SetFont(const TFont& Value) { FFont.Assign(Value); }

    // Measures the characters and renders the atlas now. Throws
    // EBitmapFontError (and sets the font to 6 points) when the characters
    // do not fit into the largest atlas. Does nothing without a rasteriser.
    void BuildAtlas();
    // The number of characters that fit into a Width x Height atlas with the
    // current metrics (without drawing).
    int PackedCharacterCount(int Width, int Height) const;

    void NotifyChange(TGLUpdateAbleObject* Sender) override;

    // Set by what draws the font, from the screen's device pixel ratio; a
    // change renders the atlas again at the next use.
    float RasterScale() const override { return FRasterScale; }
    void SetRasterScale(float Value) override;

protected:
    GLint TextureFormat() const override { return GL_ALPHA; }
    void PrepareGlyphs() override { BuildAtlas(); }
    // Widths and rectangles come only from an atlas build.
    void MetricsInvalidated() override { FTextureDirty = true; }
    void BuildCharacterRectangles() override {}

private:
    // Called with every character's cell as it is placed.
    using TPlace = std::function<void(unsigned char Code, const TGlyphRectangle& Cell)>;
    // Places the characters in code order and returns how many were counted.
    int Pack(int Width, int Height, const TPlace& Place) const;
    int DistinctCharacterCount() const;

    TFont FFont;
    float FRasterScale = 1;
};

} // namespace Scene
