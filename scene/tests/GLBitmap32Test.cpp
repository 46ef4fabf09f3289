#include "scene/GLBitmap32.h"

#include "scene/GLBitmapGraphic.h"

#include <array>
#include <gtest/gtest.h>

using namespace Scene;

namespace {

using TRGBA = std::array<int, 4>;

TRGBA At(TGLBitmap32& Bitmap, int X, int Row)
{
    const std::uint8_t* P = Bitmap.Pixel(X, Row);
    return {P[0], P[1], P[2], P[3]};
}

// A graphic of another pixel format: it only knows how to draw itself,
// each column in its own grey (the column index), and remembers the size
// it was drawn at.
class TPalettedGraphic : public TGLGraphic
{
public:
    TPalettedGraphic(int Width, int Height, int Bits) : FWidth(Width), FHeight(Height), FBits(Bits) {}
    int Width() const override { return FWidth; }
    int Height() const override { return FHeight; }
    int BitsPerPixel() const override { return FBits; }
    const std::uint8_t* ScanLine(int) const override
    {
        ADD_FAILURE() << "rows of a " << FBits << "-bit graphic were read directly";
        return nullptr;
    }
    std::vector<std::uint8_t> Draw24(int Width, int Height) const override
    {
        DrawnWidth = Width;
        DrawnHeight = Height;
        std::vector<std::uint8_t> Result;
        for (int Y = 0; Y < Height; ++Y)
            for (int X = 0; X < Width; ++X)
                Result.insert(Result.end(), {std::uint8_t(X), std::uint8_t(X), std::uint8_t(Y)});
        return Result;
    }
    std::unique_ptr<TGLGraphic> Clone() const override { return std::make_unique<TPalettedGraphic>(*this); }

    mutable int DrawnWidth = -1;
    mutable int DrawnHeight = -1;

private:
    int FWidth;
    int FHeight;
    int FBits;
};

TGLBitmap32 Converted(const TGLGraphic& Graphic)
{
    TGLBitmap32 Bitmap;
    Bitmap.Assign(&Graphic);
    return Bitmap;
}

} // namespace

TEST(Bitmap32, TwentyFourBitRowsBecomeRgbaBottomRowFirst)
{
    TGLBitmapGraphic Picture(4, 2);
    Picture.Fill(10, 20, 30);
    Picture.SetPixel(0, 0, 255, 255, 255); // top-left as displayed
    Picture.SetPixel(3, 1, 1, 2, 3);       // bottom-right
    TGLBitmap32 Bitmap = Converted(Picture);
    ASSERT_EQ(Bitmap.Width(), 4);
    ASSERT_EQ(Bitmap.Height(), 2);
    EXPECT_EQ(Bitmap.DataSize(), 4u * 2u * 4u);
    EXPECT_EQ(At(Bitmap, 0, 1), (TRGBA{255, 255, 255, 255}));
    EXPECT_EQ(At(Bitmap, 3, 0), (TRGBA{1, 2, 3, 255}));
    EXPECT_EQ(At(Bitmap, 0, 0), (TRGBA{10, 20, 30, 255}));
}

TEST(Bitmap32, ThirtyTwoBitPicturesKeepTheirAlpha)
{
    TGLBitmapGraphic Picture(4, 1, 32);
    Picture.SetPixel(2, 0, 9, 8, 7, 66);
    TGLBitmap32 Bitmap = Converted(Picture);
    EXPECT_EQ(At(Bitmap, 2, 0), (TRGBA{9, 8, 7, 66}));
}

TEST(Bitmap32, OtherFormatsAreDrawnAtTheirSizeWhenTheWidthIsAMultipleOf4)
{
    TPalettedGraphic Picture(8, 3, 1);
    TGLBitmap32 Bitmap = Converted(Picture);
    EXPECT_EQ(Picture.DrawnWidth, 8);
    EXPECT_EQ(Picture.DrawnHeight, 3);
    ASSERT_EQ(Bitmap.Width(), 8);
    // Drawn row 0 (top) is the data's last row; bytes blue, green, red.
    EXPECT_EQ(At(Bitmap, 5, 2), (TRGBA{0, 5, 5, 255}));
    EXPECT_EQ(At(Bitmap, 5, 0), (TRGBA{2, 5, 5, 255}));
}

TEST(Bitmap32, WidthsNotAMultipleOf4AreStretchedToTheNextOne)
{
    TPalettedGraphic OneBit(85, 81, 1);
    EXPECT_EQ(Converted(OneBit).Width(), 88);
    EXPECT_EQ(OneBit.DrawnWidth, 88);
    EXPECT_EQ(OneBit.DrawnHeight, 81);

    // Even 24-bit bitmaps, whose rows would not be 4-byte aligned.
    TGLBitmapGraphic Picture(5, 1);
    for (int X = 0; X < 5; ++X)
        Picture.SetPixel(X, 0, std::uint8_t(X * 10), 0, 0);
    TGLBitmap32 Bitmap = Converted(Picture);
    ASSERT_EQ(Bitmap.Width(), 8);
    EXPECT_EQ(At(Bitmap, 0, 0)[0], 0);
    EXPECT_EQ(At(Bitmap, 7, 0)[0], 40); // the last column is the picture's last
}

TEST(Bitmap32, AnEmptyPictureGivesAnEmptyBitmap)
{
    TGLBitmap32 Bitmap(2, 2);
    Bitmap.Assign(nullptr);
    EXPECT_EQ(Bitmap.Width(), 0);
    EXPECT_EQ(Bitmap.Height(), 0);
    EXPECT_EQ(Bitmap.DataSize(), 0u);
    Bitmap.Assign(&static_cast<const TGLGraphic&>(TGLBitmapGraphic(0, 0)));
    EXPECT_EQ(Bitmap.DataSize(), 0u);
}

TEST(Bitmap32, ImageAlphaModes)
{
    // Bottom row (data row 0): the key (0, 128, 255), grey (30, 60, 91),
    // black, almost black. Top row: white, key, (64, 64, 64), alpha-10 red.
    TGLBitmapGraphic Picture(4, 2, 32);
    Picture.SetPixel(0, 1, 0, 128, 255);
    Picture.SetPixel(1, 1, 30, 60, 91);
    Picture.SetPixel(2, 1, 0, 0, 0);
    Picture.SetPixel(3, 1, 0, 0, 1);
    Picture.SetPixel(0, 0, 255, 255, 255);
    Picture.SetPixel(1, 0, 0, 128, 255);
    Picture.SetPixel(2, 0, 64, 64, 64);
    Picture.SetPixel(3, 0, 255, 0, 0, 10);

    const auto Alphas = [&](TGLTextureImageAlpha Mode) {
        TGLBitmap32 Bitmap = Converted(Picture);
        Bitmap.ApplyImageAlpha(Mode);
        std::array<int, 8> Result{};
        for (int I = 0; I < 8; ++I)
            Result[I] = At(Bitmap, I % 4, I / 4)[3];
        return Result;
    };
    using A = std::array<int, 8>;
    EXPECT_EQ(Alphas(tiaDefault), (A{255, 255, 255, 255, 255, 255, 255, 10}));
    EXPECT_EQ(Alphas(tiaOpaque), (A{255, 255, 255, 255, 255, 255, 255, 255}));
    EXPECT_EQ(Alphas(tiaLuminance), (A{127, 60, 0, 0, 255, 127, 64, 85}));
    EXPECT_EQ(Alphas(tiaAlphaFromIntensity), Alphas(tiaLuminance));
    EXPECT_EQ(Alphas(tiaInverseLuminance), (A{128, 195, 255, 255, 0, 128, 191, 170}));
    // 255 * sqrt(64 / 255) = 127.75; 255 * sqrt(85 / 255) = 147.22
    EXPECT_EQ(Alphas(tiaLuminanceSqrt)[6], 128);
    EXPECT_EQ(Alphas(tiaLuminanceSqrt)[7], 147);
    EXPECT_EQ(Alphas(tiaInverseLuminanceSqrt)[6], 127);
    // Only exact black; every other pixel becomes opaque, alpha-10 red included.
    EXPECT_EQ(Alphas(tiaSuperBlackTransparent), (A{255, 255, 0, 255, 255, 255, 255, 255}));
    // Keyed on the first converted pixel: the picture's bottom-left.
    EXPECT_EQ(Alphas(tiaTopLeftPointColorTransparent), (A{0, 255, 255, 255, 255, 0, 255, 255}));
}

TEST(Bitmap32, TheKeyIsTheBottomLeftPixelNotTheTopLeftOne)
{
    TGLBitmapGraphic Picture(4, 3);
    Picture.Fill(255, 255, 255);
    for (int X = 0; X < 4; ++X)
        Picture.SetPixel(X, 2, 255, 0, 0); // a red bottom row under a white top-left
    TGLBitmap32 Bitmap = Converted(Picture);
    Bitmap.ApplyImageAlpha(tiaTopLeftPointColorTransparent);
    for (int X = 0; X < 4; ++X) {
        EXPECT_EQ(At(Bitmap, X, 0)[3], 0);
        EXPECT_EQ(At(Bitmap, X, 2)[3], 255);
    }
}
