#pragma once

#include "scene/GLGraphic.h"

#include <QImage>

namespace Scene {

// A picture decoded by Qt, seen by the scene as a bitmap of the file's own
// pixel depth (Qt itself widens most formats when it decodes them).
class TQtPictureGraphic : public TGLGraphic
{
public:
    // BitsPerPixel is the picture's depth as stored (1, 4, 8, 16, 24, 32).
    TQtPictureGraphic(const QImage& Image, int BitsPerPixel);

    int Width() const override { return FImage.width(); }
    int Height() const override { return FImage.height(); }
    int BitsPerPixel() const override { return FBitsPerPixel; }
    const std::uint8_t* ScanLine(int Y) const override;
    // Nearest-pixel stretch, like a plain device blit.
    std::vector<std::uint8_t> Draw24(int Width, int Height) const override;
    std::unique_ptr<TGLGraphic> Clone() const override;

    const QImage& Image() const { return FImage; }

private:
    // Format_BGR888 for 24 bits, Format_ARGB32 (blue, green, red, alpha in
    // memory) for 32 bits, as decoded otherwise.
    QImage FImage;
    int FBitsPerPixel;
};

} // namespace Scene
