#include "scene/GLBitmapGraphic.h"

#include <stdexcept>

namespace Scene {

TGLBitmapGraphic::TGLBitmapGraphic(int Width, int Height, int BitsPerPixel)
    : FWidth(Width), FHeight(Height), FBitsPerPixel(BitsPerPixel)
{
    if (Width < 0 || Height < 0 || (BitsPerPixel != 24 && BitsPerPixel != 32))
        throw std::invalid_argument("TGLBitmapGraphic: a 24- or 32-bit bitmap, width and height 0 or more");
    FPixels.assign(std::size_t(Width) * std::size_t(Height) * std::size_t(BytesPerPixel()), 0);
    Fill(0, 0, 0);
}

const std::uint8_t* TGLBitmapGraphic::ScanLine(int Y) const
{
    return FPixels.data() + std::size_t(Y) * std::size_t(FWidth) * std::size_t(BytesPerPixel());
}

std::vector<std::uint8_t> TGLBitmapGraphic::Draw24(int Width, int Height) const
{
    std::vector<std::uint8_t> Result(std::size_t(Width) * std::size_t(Height) * 3, 0);
    if (FWidth == 0 || FHeight == 0)
        return Result;
    std::uint8_t* Target = Result.data();
    for (int Y = 0; Y < Height; ++Y) {
        const std::uint8_t* Row = ScanLine(int(std::int64_t(Y) * FHeight / Height));
        for (int X = 0; X < Width; ++X) {
            const std::uint8_t* Source = Row + std::int64_t(X) * FWidth / Width * BytesPerPixel();
            *Target++ = Source[0];
            *Target++ = Source[1];
            *Target++ = Source[2];
        }
    }
    return Result;
}

std::unique_ptr<TGLGraphic> TGLBitmapGraphic::Clone() const
{
    return std::make_unique<TGLBitmapGraphic>(*this);
}

void TGLBitmapGraphic::SetPixel(int X, int Y, std::uint8_t Red, std::uint8_t Green, std::uint8_t Blue,
                                std::uint8_t Alpha)
{
    if (X < 0 || Y < 0 || X >= FWidth || Y >= FHeight)
        throw std::out_of_range("TGLBitmapGraphic::SetPixel: outside the bitmap");
    std::uint8_t* Pixel = FPixels.data() + (std::size_t(Y) * std::size_t(FWidth) + std::size_t(X)) *
                                               std::size_t(BytesPerPixel());
    Pixel[0] = Blue;
    Pixel[1] = Green;
    Pixel[2] = Red;
    if (FBitsPerPixel == 32)
        Pixel[3] = Alpha;
}

void TGLBitmapGraphic::Fill(std::uint8_t Red, std::uint8_t Green, std::uint8_t Blue, std::uint8_t Alpha)
{
    for (int Y = 0; Y < FHeight; ++Y)
        for (int X = 0; X < FWidth; ++X)
            SetPixel(X, Y, Red, Green, Blue, Alpha);
}

} // namespace Scene
