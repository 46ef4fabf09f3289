#pragma once

#include <string_view>

namespace Scene {

// Pixels from (Left, Top) up to, not including, (Right, Bottom).
struct TGlyphRectangle
{
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
};

// One font selected on one glyph picture: measures texts and draws them.
// Texts are 8-bit codes in the font's character set.
class TGlyphCanvas
{
public:
    virtual ~TGlyphCanvas() = default;

    // Pixels the pen advances over the text.
    virtual int TextWidth(std::string_view Text) = 0;
    // Height of the line the text takes (ascent plus descent of the font).
    virtual int TextHeight(std::string_view Text) = 0;
    // Draws the text in white with the top-left corner of its line at
    // (X, Y), changing no pixel outside Clip.
    virtual void TextRect(const TGlyphRectangle& Clip, int X, int Y, std::string_view Text) = 0;
};

} // namespace Scene
