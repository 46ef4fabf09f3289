#pragma once

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <vector>

namespace Scene {

// A picture file could not be decoded, or no decoder is installed.
class EInvalidGraphic : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// A decoded picture as the scene sees it: a size, a pixel format and rows of
// pixels. The program's picture decoder (a Qt adapter) makes them; the scene
// has a plain in-memory one (TGLBitmapGraphic).
class TGLGraphic
{
public:
    virtual ~TGLGraphic() = default;

    virtual int Width() const = 0;
    virtual int Height() const = 0;
    // Bits per pixel of the bitmap (1, 4, 8, 16, 24 or 32); 0 for a graphic
    // that is not a bitmap.
    virtual int BitsPerPixel() const = 0;
    // Row Y counted from the top, in the picture's own layout: blue, green,
    // red for 24 bits, blue, green, red, alpha for 32 bits. Asked only of
    // 24- and 32-bit bitmaps.
    virtual const std::uint8_t* ScanLine(int Y) const = 0;
    // The graphic drawn stretched over a 24-bit bitmap of Width x Height:
    // rows from the top, blue, green, red, without padding.
    virtual std::vector<std::uint8_t> Draw24(int Width, int Height) const = 0;
    virtual std::unique_ptr<TGLGraphic> Clone() const = 0;
};

} // namespace Scene
