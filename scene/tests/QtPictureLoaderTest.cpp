#include "scene/qt/QtPictureLoader.h"

#include "scene/GLBitmap32.h"
#include "scene/GLPersistentImage.h"
#include "scene/GLPictureLoader.h"
#include "scene/GLTexture.h"

#include <array>
#include <fstream>
#include <gtest/gtest.h>
#include <QImage>

using namespace Scene;

namespace {

void Put16(std::vector<std::uint8_t>& Bytes, unsigned Value)
{
    Bytes.push_back(std::uint8_t(Value));
    Bytes.push_back(std::uint8_t(Value >> 8));
}

void Put32(std::vector<std::uint8_t>& Bytes, std::uint32_t Value)
{
    Put16(Bytes, Value & 0xFFFF);
    Put16(Bytes, Value >> 16);
}

// Writes a bottom-up BMP. Pixel(X, Y) gives the stored bytes of the pixel at
// X, Y (Y from the top): 1 byte 0/1 for 1 bit, blue, green, red (and alpha).
// With AlphaMask a 32-bit file gets a header that declares its alpha byte.
template <typename TPixel>
void WriteBmp(const std::string& FileName, int Width, int Height, int Bits, TPixel Pixel,
              bool AlphaMask = false)
{
    const int HeaderSize = AlphaMask ? 108 : 40;
    const int PaletteSize = Bits == 1 ? 8 : 0;
    const int RowBytes = (Width * Bits + 31) / 32 * 4;
    const int Offset = 14 + HeaderSize + PaletteSize;
    std::vector<std::uint8_t> B;
    B.push_back('B');
    B.push_back('M');
    Put32(B, std::uint32_t(Offset + RowBytes * Height));
    Put32(B, 0);
    Put32(B, std::uint32_t(Offset));
    Put32(B, std::uint32_t(HeaderSize));
    Put32(B, std::uint32_t(Width));
    Put32(B, std::uint32_t(Height));
    Put16(B, 1);
    Put16(B, unsigned(Bits));
    Put32(B, AlphaMask ? 3 : 0); // BI_BITFIELDS or BI_RGB
    Put32(B, std::uint32_t(RowBytes * Height));
    Put32(B, 2835);
    Put32(B, 2835);
    Put32(B, Bits == 1 ? 2 : 0);
    Put32(B, 0);
    if (AlphaMask) {
        Put32(B, 0x00FF0000);
        Put32(B, 0x0000FF00);
        Put32(B, 0x000000FF);
        Put32(B, 0xFF000000);
        Put32(B, 0x73524742); // sRGB
        B.resize(14 + 108, 0);
    }
    if (Bits == 1) {
        B.insert(B.end(), {0, 0, 0, 0});       // black
        B.insert(B.end(), {255, 255, 255, 0}); // white
    }
    for (int Row = Height - 1; Row >= 0; --Row) {
        std::vector<std::uint8_t> Line(std::size_t(RowBytes), 0);
        for (int X = 0; X < Width; ++X) {
            const std::vector<std::uint8_t> P = Pixel(X, Row);
            if (Bits == 1)
                Line[std::size_t(X / 8)] |= std::uint8_t(P[0] << (7 - X % 8));
            else
                std::copy(P.begin(), P.end(), Line.begin() + X * (Bits / 8));
        }
        B.insert(B.end(), Line.begin(), Line.end());
    }
    std::ofstream(FileName, std::ios::binary)
        .write(reinterpret_cast<const char*>(B.data()), std::streamsize(B.size()));
}

std::array<int, 4> At(TGLBitmap32& Bitmap, int X, int Row)
{
    const std::uint8_t* P = Bitmap.Pixel(X, Row);
    return {P[0], P[1], P[2], P[3]};
}

TGLBitmap32 Converted(const TGLGraphic& Graphic)
{
    TGLBitmap32 Bitmap;
    Bitmap.Assign(&Graphic);
    return Bitmap;
}

} // namespace

TEST(QtPictureLoader, OneBitPalettedPlaceholderIsStretchedTo88)
{
    // 85 x 81 with a white top-left pixel and a white right column.
    WriteBmp("placeholder.bmp", 85, 81, 1, [](int X, int Y) {
        return std::vector<std::uint8_t>{std::uint8_t((X == 0 && Y == 0) || X == 84)};
    });
    const auto Graphic = LoadQtPicture("placeholder.bmp");
    EXPECT_EQ(Graphic->Width(), 85);
    EXPECT_EQ(Graphic->Height(), 81);
    EXPECT_EQ(Graphic->BitsPerPixel(), 1);
    TGLBitmap32 Bitmap = Converted(*Graphic);
    ASSERT_EQ(Bitmap.Width(), 88);
    ASSERT_EQ(Bitmap.Height(), 81);
    EXPECT_EQ(At(Bitmap, 0, 80), (std::array<int, 4>{255, 255, 255, 255})); // top-left: the last row
    EXPECT_EQ(At(Bitmap, 0, 0), (std::array<int, 4>{0, 0, 0, 255}));
    EXPECT_EQ(At(Bitmap, 40, 40), (std::array<int, 4>{0, 0, 0, 255}));
    EXPECT_EQ(At(Bitmap, 87, 0)[0], 255); // the white column stretched to the new edge
}

TEST(QtPictureLoader, TwentyFourBitRowsAreBlueGreenRed)
{
    WriteBmp("rgb.bmp", 4, 2, 24, [](int X, int Y) {
        return std::vector<std::uint8_t>{std::uint8_t(X), std::uint8_t(Y * 100), 200};
    });
    const auto Graphic = LoadQtPicture("rgb.bmp");
    EXPECT_EQ(Graphic->BitsPerPixel(), 24);
    const std::uint8_t* Top = Graphic->ScanLine(0);
    EXPECT_EQ((std::vector<int>{Top[9], Top[10], Top[11]}), (std::vector<int>{3, 0, 200}));
    TGLBitmap32 Bitmap = Converted(*Graphic);
    EXPECT_EQ(At(Bitmap, 3, 0), (std::array<int, 4>{200, 100, 3, 255}));
}

TEST(QtPictureLoader, ThirtyTwoBitAlphaIsKeptWhenTheFileDeclaresIt)
{
    const auto Pixel = [](int X, int) { return std::vector<std::uint8_t>{10, 20, 30, std::uint8_t(X * 60)}; };
    WriteBmp("alpha.bmp", 4, 1, 32, Pixel, true);
    const auto WithAlpha = LoadQtPicture("alpha.bmp");
    EXPECT_EQ(WithAlpha->BitsPerPixel(), 32);
    TGLBitmap32 Bitmap = Converted(*WithAlpha);
    EXPECT_EQ(At(Bitmap, 2, 0), (std::array<int, 4>{30, 20, 10, 120}));

    // A plain 32-bit file has no alpha: its fourth byte is padding.
    WriteBmp("plain32.bmp", 4, 1, 32, Pixel);
    const auto Plain = LoadQtPicture("plain32.bmp");
    EXPECT_EQ(Plain->BitsPerPixel(), 32);
    TGLBitmap32 Opaque = Converted(*Plain);
    EXPECT_EQ(At(Opaque, 2, 0), (std::array<int, 4>{30, 20, 10, 255}));
}

TEST(QtPictureLoader, PngPicturesToo)
{
    QImage Image(3, 2, QImage::Format_ARGB32);
    Image.fill(QColor(255, 0, 0, 128));
    ASSERT_TRUE(Image.save("picture.png"));
    const auto Graphic = LoadQtPicture("picture.png");
    EXPECT_EQ(Graphic->BitsPerPixel(), 32);
    TGLBitmap32 Bitmap = Converted(*Graphic); // width 3: drawn into 24 bits
    EXPECT_EQ(Bitmap.Width(), 4);
    EXPECT_EQ(At(Bitmap, 3, 1), (std::array<int, 4>{255, 0, 0, 255}));

    Image.convertTo(QImage::Format_RGB32);
    ASSERT_TRUE(Image.save("opaque.png"));
    EXPECT_EQ(LoadQtPicture("opaque.png")->BitsPerPixel(), 24);
}

TEST(QtPictureLoader, UnreadableFilesRaise)
{
    std::ofstream("broken.bmp") << "BM this is no bitmap";
    EXPECT_THROW(LoadQtPicture("broken.bmp"), EInvalidGraphic);
    EXPECT_THROW(LoadQtPicture("missing.bmp"), EInvalidGraphic);
}

TEST(QtPictureLoader, InstalledItServesTextureImages)
{
    InstallQtPictureLoader();
    WriteBmp("surface.bmp", 8, 4, 24, [](int, int) { return std::vector<std::uint8_t>{0, 0, 255}; });
    TGLTexture Texture(nullptr);
    Texture.Image().LoadFromFile("surface.bmp");
    EXPECT_EQ(Texture.Image().Width(), 8);
    EXPECT_EQ(At(Texture.Image().GetBitmap32(), 7, 3), (std::array<int, 4>{255, 0, 0, 255}));
    SetGLPictureLoader(nullptr);
}
