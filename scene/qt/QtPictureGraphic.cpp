#include "scene/qt/QtPictureGraphic.h"

#include <cstring>
#include <QtEndian>

namespace Scene {

static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "32-bit rows are read as blue, green, red, alpha bytes");

TQtPictureGraphic::TQtPictureGraphic(const QImage& Image, int BitsPerPixel) : FBitsPerPixel(BitsPerPixel)
{
    if (BitsPerPixel == 24)
        FImage = Image.convertToFormat(QImage::Format_BGR888);
    else if (BitsPerPixel == 32)
        FImage = Image.convertToFormat(QImage::Format_ARGB32);
    else
        FImage = Image;
}

const std::uint8_t* TQtPictureGraphic::ScanLine(int Y) const
{
    return FImage.constScanLine(Y);
}

std::vector<std::uint8_t> TQtPictureGraphic::Draw24(int Width, int Height) const
{
    std::vector<std::uint8_t> Result(std::size_t(Width) * std::size_t(Height) * 3, 0);
    if (FImage.isNull() || Width <= 0 || Height <= 0)
        return Result;
    const QImage Drawn = FImage.scaled(Width, Height, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                             .convertToFormat(QImage::Format_BGR888);
    const std::size_t RowBytes = std::size_t(Width) * 3;
    for (int Y = 0; Y < Height; ++Y)
        std::memcpy(Result.data() + std::size_t(Y) * RowBytes, Drawn.constScanLine(Y), RowBytes);
    return Result;
}

std::unique_ptr<TGLGraphic> TQtPictureGraphic::Clone() const
{
    return std::make_unique<TQtPictureGraphic>(*this);
}

} // namespace Scene
