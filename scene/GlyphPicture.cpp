#include "scene/GlyphPicture.h"

#include <algorithm>
#include <stdexcept>

namespace Scene {

void TGlyphPicture::SetSize(int Width, int Height)
{
    if (Width < 0 || Height < 0)
        throw std::invalid_argument("TGlyphPicture::SetSize: negative size");
    if (Width == 0 || Height == 0)
        Width = Height = 0;
    if (Width == FWidth && Height == FHeight)
        return;
    std::vector<std::uint32_t> Pixels(static_cast<std::size_t>(Width) * static_cast<std::size_t>(Height),
                                      0xFF000000u);
    const int KeptWidth = std::min(Width, FWidth);
    for (int Y = 0; Y < std::min(Height, FHeight); ++Y)
        std::copy_n(ScanLine(Y), KeptWidth, Pixels.data() + static_cast<std::size_t>(Y) * Width);
    FPixels = std::move(Pixels);
    FWidth = Width;
    FHeight = Height;
    Changed();
}

void TGlyphPicture::Fill(std::uint32_t Color)
{
    std::fill(FPixels.begin(), FPixels.end(), Color);
    Changed();
}

void TGlyphPicture::SetPixel(int X, int Y, std::uint32_t Color)
{
    if (X < 0 || Y < 0 || X >= FWidth || Y >= FHeight)
        throw std::out_of_range("TGlyphPicture::SetPixel: outside the picture");
    FPixels[Index(X, Y)] = Color;
    Changed();
}

void TGlyphPicture::Changed()
{
    if (FSuspended == 0)
        NotifyChange(this);
}

} // namespace Scene
