#pragma once

#include "scene/GlyphRasteriser.h"

#include <QFont>
#include <QString>
#include <string_view>

namespace Scene {

class TFont;

// Draws the bitmap fonts' glyphs with QPainter into the glyph picture. A
// face the system lacks is replaced by the one fontconfig offers for it.
// Needs a QGuiApplication. The program installs one at start:
//     static Scene::TQtGlyphRasteriser Rasteriser;
//     Scene::SetGlyphRasteriser(&Rasteriser);
class TQtGlyphRasteriser : public TGlyphRasteriser
{
public:
    std::unique_ptr<TGlyphCanvas> CreateCanvas(TGlyphPicture& Picture, const TFont& Font) override;

    // The Qt font for a platform font description: a negative height is the
    // pixel size of the em, a positive one the height of the whole line.
    static QFont ToQFont(const TFont& Font);
    // 8-bit codes of the Western code page as the characters to draw; codes
    // without a visible character become one, so every code has a width.
    static QString ToUnicode(std::string_view Text);
};

} // namespace Scene
