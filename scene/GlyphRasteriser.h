#pragma once

#include "scene/GlyphCanvas.h"

#include <memory>

namespace Scene {

class TFont;
class TGlyphPicture;

// Draws platform fonts for the bitmap fonts. The scene layer has none of its
// own: the program installs one (the Qt adapter) with SetGlyphRasteriser.
class TGlyphRasteriser
{
public:
    virtual ~TGlyphRasteriser() = default;

    // A canvas on Picture with Font selected; its colour is ignored, glyphs
    // are always white. Picture must keep its size while the canvas lives.
    virtual std::unique_ptr<TGlyphCanvas> CreateCanvas(TGlyphPicture& Picture, const TFont& Font) = 0;
};

// The installed rasteriser, null when none is.
TGlyphRasteriser* GlyphRasteriser();
// Installs Rasteriser (not owned; null removes it) and returns the previous one.
TGlyphRasteriser* SetGlyphRasteriser(TGlyphRasteriser* Rasteriser);

} // namespace Scene
