#include "scene/qt/QtGlyphRasteriser.h"

#include "scene/Font.h"
#include "scene/GLWindowsBitmapFont.h"
#include "scene/GlyphPicture.h"

#include <gtest/gtest.h>
#include <QFontInfo>
#include <QFontMetrics>

using namespace Scene;

namespace {

class QtRasteriser : public ::testing::Test
{
protected:
    QtRasteriser() : FPrevious(SetGlyphRasteriser(&Rasteriser)) {}
    ~QtRasteriser() override { SetGlyphRasteriser(FPrevious); }

    // The globe's font: "Trebuchet MS", 11 pixels, bold, Western.
    static void MakeGlobeFont(TFont& Font)
    {
        Font.SetName("Trebuchet MS");
        Font.SetHeight(-11);
        Font.SetStyle({fsBold});
        Font.SetCharset(TFont::AnsiCharset);
    }

    static bool IsGrey(std::uint32_t Pixel)
    {
        const auto R = (Pixel >> 16) & 0xFF;
        return R == ((Pixel >> 8) & 0xFF) && R == (Pixel & 0xFF);
    }

    TQtGlyphRasteriser Rasteriser;

private:
    TGlyphRasteriser* FPrevious;
};

} // namespace

TEST_F(QtRasteriser, WesternCodesMapToTheirCharactersAndInvisibleOnesToABox)
{
    const QString Text = TQtGlyphRasteriser::ToUnicode("A\x80\xE9\x9F\xFF");
    EXPECT_EQ(Text, QString::fromUtf8("A\u20AC\u00E9\u0178\u00FF"));
    // Controls, unassigned codes and the soft hyphen all get something visible.
    EXPECT_EQ(TQtGlyphRasteriser::ToUnicode(std::string_view("\0\r\x81\x7F", 4)), QString(4, QChar(0x25A1)));
    EXPECT_EQ(TQtGlyphRasteriser::ToUnicode("\xAD"), QString("-"));
}

TEST_F(QtRasteriser, HeightsFollowThePlatformSizeRules)
{
    TFont Font;
    MakeGlobeFont(Font);
    const QFont Em = TQtGlyphRasteriser::ToQFont(Font);
    EXPECT_EQ(Em.pixelSize(), 11);
    EXPECT_TRUE(Em.bold());
    EXPECT_FALSE(Em.italic());
    EXPECT_EQ(Em.family(), "Trebuchet MS"); // asked for; fontconfig picks the face

    Font.SetHeight(20); // the whole line
    EXPECT_NEAR(QFontMetrics(TQtGlyphRasteriser::ToQFont(Font)).height(), 20, 1);
    Font.SetStyle({fsItalic, fsUnderline});
    const QFont Styled = TQtGlyphRasteriser::ToQFont(Font);
    EXPECT_TRUE(Styled.italic());
    EXPECT_TRUE(Styled.underline());
    EXPECT_FALSE(Styled.bold());
}

TEST_F(QtRasteriser, EveryCodeHasAWidth)
{
    TFont Font;
    MakeGlobeFont(Font);
    TGlyphPicture Picture;
    const auto Canvas = Rasteriser.CreateCanvas(Picture, Font);
    for (int Code = 0; Code < 256; ++Code)
        EXPECT_GT(Canvas->TextWidth(std::string(1, static_cast<char>(Code))), 0) << "code " << Code;
    EXPECT_GE(Canvas->TextHeight("\"_pI|,"), 11);
    EXPECT_GT(Canvas->TextWidth("WW"), Canvas->TextWidth("W"));
}

TEST_F(QtRasteriser, DrawsGreyGlyphsOnlyInsideTheClip)
{
    TFont Font;
    MakeGlobeFont(Font);
    TGlyphPicture Picture;
    Picture.SetSize(64, 32);
    const auto Canvas = Rasteriser.CreateCanvas(Picture, Font);
    // Far more text than the clip holds.
    Canvas->TextRect(TGlyphRectangle{10, 5, 30, 20}, 11, 6, "WWWWWWWW");
    int White = 0;
    for (int Y = 0; Y < 32; ++Y)
        for (int X = 0; X < 64; ++X) {
            const std::uint32_t Pixel = Picture.Pixel(X, Y);
            const bool Inside = X >= 10 && X < 30 && Y >= 5 && Y < 20;
            if (!Inside) {
                ASSERT_EQ(Pixel, 0xFF000000u) << X << ", " << Y;
            }
            EXPECT_TRUE(IsGrey(Pixel)) << X << ", " << Y;
            EXPECT_EQ(Pixel >> 24, 0xFFu);
            White += (Pixel & 0xFF) > 128;
        }
    EXPECT_GT(White, 20);
    // Nothing to the left of the pen or above the line's top.
    for (int Y = 5; Y < 20; ++Y)
        EXPECT_EQ(Picture.Pixel(10, Y), 0xFF000000u);
    for (int X = 10; X < 30; ++X)
        EXPECT_EQ(Picture.Pixel(X, 5), 0xFF000000u);
}

TEST_F(QtRasteriser, TheGlobeFontBuildsItsWholeRange)
{
    TGLWindowsBitmapFont Font;
    MakeGlobeFont(Font.Font());
    Font.Ranges()[0].SetStopASCII(255);
    ASSERT_NO_THROW(Font.BuildAtlas());
    RecordProperty("Face", QFontInfo(TQtGlyphRasteriser::ToQFont(Font.Font())).family().toStdString());
    const int W = Font.GlyphPicture().Width();
    const int H = Font.GlyphPicture().Height();
    EXPECT_GE(W, 64);
    EXPECT_LE(W, 512);
    EXPECT_EQ(W & (W - 1), 0);
    EXPECT_EQ(H & (H - 1), 0);
    // 11-pixel letters, whatever face stands in: cells of about 8 to 24 pixels.
    EXPECT_GE(Font.CharacterWidth(), 8);
    EXPECT_LE(Font.CharacterWidth(), 24);
    EXPECT_GE(Font.CharacterHeight(), 11);
    EXPECT_LE(Font.CharacterHeight(), 24);
    for (int Code = 32; Code < 256; ++Code) {
        const auto C = static_cast<unsigned char>(Code);
        EXPECT_GT(Font.CharacterWidthOf(C), 0) << "code " << Code;
        EXPECT_NE(Font.CharacterRectangle(C), nullptr) << "code " << Code;
    }
    // Every letter of the caption left white pixels in its own cell.
    for (const char Letter : std::string("ZentavoDesk3")) {
        const auto* R = Font.CharacterRectangle(static_cast<unsigned char>(Letter));
        ASSERT_NE(R, nullptr);
        int Lit = 0;
        for (int Y = int(H - R->Top * H); Y < int(H - R->Bottom * H); ++Y)
            for (int X = int(R->Left * W); X < int(R->Right * W + 1); ++X)
                Lit += (Font.GlyphPicture().Pixel(X, Y) & 0xFF) > 128;
        EXPECT_GT(Lit, 3) << Letter;
    }
}
