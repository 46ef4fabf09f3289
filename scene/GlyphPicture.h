#pragma once

#include "scene/GLUpdateAbleObject.h"

#include <cstdint>
#include <vector>

namespace Scene {

// The 32-bit picture a bitmap font's texture is made from. Pixels are
// 0xAARRGGBB words, row by row from the top row; a rasteriser may write them
// directly. Changes made through the methods notify the owner unless the
// notice is suspended.
class TGlyphPicture : public TGLUpdateAbleObject
{
public:
    explicit TGlyphPicture(TGLUpdateAbleObject* Owner = nullptr) : TGLUpdateAbleObject(Owner) {}

    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    bool Empty() const { return FWidth <= 0 || FHeight <= 0; }

    // New pixels are black; kept pixels keep their place.
    void SetSize(int Width, int Height);
    void Fill(std::uint32_t Color);
    void Clear() { SetSize(0, 0); }

    std::uint32_t Pixel(int X, int Y) const { return FPixels[Index(X, Y)]; }
    void SetPixel(int X, int Y, std::uint32_t Color);
    std::uint32_t* ScanLine(int Y) { return FPixels.data() + Index(0, Y); }
    const std::uint32_t* ScanLine(int Y) const { return FPixels.data() + Index(0, Y); }
    std::uint32_t* Bits() { return FPixels.data(); }
    const std::uint32_t* Bits() const { return FPixels.data(); }

    // While suspended (counted), changes are not reported.
    void SuspendNotice() { ++FSuspended; }
    void ResumeNotice() { --FSuspended; }
    // Reports a change made to the pixels directly.
    void Changed();

private:
    std::size_t Index(int X, int Y) const
    {
        return static_cast<std::size_t>(Y) * static_cast<std::size_t>(FWidth) + static_cast<std::size_t>(X);
    }

    int FWidth = 0;
    int FHeight = 0;
    std::vector<std::uint32_t> FPixels;
    int FSuspended = 0;
};

} // namespace Scene
