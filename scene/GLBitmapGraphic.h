#pragma once

#include "scene/GLGraphic.h"

namespace Scene {

// A 24- or 32-bit bitmap held in memory (pictures made by the program
// itself, such as a stored one-pixel placeholder). Rows from the top.
class TGLBitmapGraphic : public TGLGraphic
{
public:
    // BitsPerPixel is 24 or 32 (anything else throws std::invalid_argument).
    // Pixels start black, alpha 255.
    TGLBitmapGraphic(int Width, int Height, int BitsPerPixel = 24);

    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    int BitsPerPixel() const override { return FBitsPerPixel; }
    const std::uint8_t* ScanLine(int Y) const override;
    // Nearest-pixel stretch.
    std::vector<std::uint8_t> Draw24(int Width, int Height) const override;
    std::unique_ptr<TGLGraphic> Clone() const override;

    // Y from the top; Alpha is kept only by 32-bit bitmaps.
    void SetPixel(int X, int Y, std::uint8_t Red, std::uint8_t Green, std::uint8_t Blue,
                  std::uint8_t Alpha = 255);
    void Fill(std::uint8_t Red, std::uint8_t Green, std::uint8_t Blue, std::uint8_t Alpha = 255);

private:
    int BytesPerPixel() const { return FBitsPerPixel / 8; }

    int FWidth;
    int FHeight;
    int FBitsPerPixel;
    std::vector<std::uint8_t> FPixels;
};

} // namespace Scene
