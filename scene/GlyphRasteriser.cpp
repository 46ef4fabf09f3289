#include "scene/GlyphRasteriser.h"

namespace Scene {
namespace {

TGlyphRasteriser* GRasteriser = nullptr;

} // namespace

TGlyphRasteriser* GlyphRasteriser()
{
    return GRasteriser;
}

TGlyphRasteriser* SetGlyphRasteriser(TGlyphRasteriser* Rasteriser)
{
    TGlyphRasteriser* Previous = GRasteriser;
    GRasteriser = Rasteriser;
    return Previous;
}

} // namespace Scene
