#include "scene/GLWindowsBitmapFont.h"

#include "FakeGlyphRasteriser.h"
#include "GLRecorder.h"
#include "scene/BitmapFontError.h"
#include "scene/GLBitmapFontUser.h"
#include "scene/GLDispatch.h"
#include "scene/GLStateCache.h"
#include "scene/RenderContextInfo.h"

#include <gtest/gtest.h>
#include <random>
#include <vector>

using namespace Scene;
using Scene::Testing::Primitives;
using Scene::Testing::TFakeGlyphRasteriser;
using Scene::Testing::TGLPrimitive;
using Scene::Testing::TGLRecorder;

namespace {

class TUserCounter : public TGLBitmapFontUser
{
public:
    void BitmapFontChanged() override { ++Changes; }
    void BitmapFontDestroyed(TGLCustomBitmapFont&) override {}
    int Changes = 0;
};

class WindowsFont : public ::testing::Test
{
protected:
    WindowsFont() { Context.StateCache = &Cache; }

    std::vector<TGLPrimitive> Draw(TGLCustomBitmapFont& Font, std::string_view Text)
    {
        Recorder.Clear();
        Font.RenderString(Context, Text, taLeftJustify, tlTop, TVector{1, 1, 1, 1});
        return Primitives(Recorder.Calls());
    }

    // Only the given codes, each Width pixels wide, lines Height - 2 high.
    void UseCharacters(TGLWindowsBitmapFont& Font, unsigned char First, unsigned char Last, int Width,
                       int Height)
    {
        Rasteriser.DefaultWidth = Width;
        Rasteriser.LineHeight = Height - 2;
        Font.Ranges().Clear();
        Font.Ranges().Add(First, Last);
        Font.BuildAtlas();
    }

    TGLRecorder Recorder;
    TFakeGlyphRasteriser Rasteriser;
    TGLStateCache Cache;
    TRenderContextInfo Context;
};

struct TPixelBox
{
    double Left, Top, Right, Bottom;
};

// The cell a texture rectangle was cut from, in atlas pixels (y downward).
TPixelBox Cell(const TGLCustomBitmapFont::TCharacterRectangle& R, int Width, int Height)
{
    return TPixelBox{R.Left * Width, Height - R.Top * Height, R.Right * Width, Height - R.Bottom * Height};
}

bool Overlap(const TPixelBox& A, const TPixelBox& B)
{
    return A.Left < B.Right && B.Left < A.Right && A.Top < B.Bottom && B.Top < A.Bottom;
}

} // namespace

// --- Metrics ------------------------------------------------------------------------

TEST_F(WindowsFont, CellSizeComesFromTheWidestOfMWAndUnderscoreAndTheTallLetters)
{
    Rasteriser.Widths = {{'M', 9}, {'W', 11}, {'_', 6}, {'i', 2}};
    Rasteriser.LineHeight = 10;
    TGLWindowsBitmapFont Font;
    EXPECT_EQ(Font.CharacterWidth(), 13);
    EXPECT_EQ(Font.CharacterHeight(), 12);
    EXPECT_EQ(Font.HorizontalSpaceFix(), 0);
    EXPECT_EQ(Font.CharacterWidthOf('W'), 11);
    EXPECT_EQ(Font.CharacterWidthOf('i'), 2);
    EXPECT_EQ(Font.CharacterWidthOf('a'), 5);
    EXPECT_EQ(Font.CharacterWidthOf(126), 0); // the default range stops at 125
    EXPECT_EQ(Font.CharacterWidthOf(31), 0);
    // Glyphs are always drawn white, whatever the font's colour.
    EXPECT_EQ(Rasteriser.LastFont.Color(), 0xFFFFFFu);
    EXPECT_EQ(Font.GlyphAlpha(), tiaAlphaFromIntensity);
    EXPECT_EQ(Font.MagFilter(), maLinear);
    EXPECT_EQ(Font.MinFilter(), miLinear);
}

TEST_F(WindowsFont, ItalicWidensTheCellAndTightensTheStringWidth)
{
    Rasteriser.Widths = {{'M', 9}, {'W', 11}, {'_', 6}};
    TGLWindowsBitmapFont Font;
    Font.Font().SetStyle({fsItalic});
    Font.BuildAtlas();
    EXPECT_EQ(Font.HorizontalSpaceFix(), -4); // -(13 div 3)
    EXPECT_EQ(Font.CharacterWidth(), 17);
    EXPECT_EQ(Font.CharacterWidthOf('a'), 9); // measured 5, minus the fix
    // 2 * (-4 + 1) - 1 + 2 * 9
    EXPECT_EQ(Font.StringWidth("aa"), 11);
    const auto P = Draw(Font, "a a");
    ASSERT_EQ(P.size(), 1u);
    ASSERT_EQ(P[0].Vertices.size(), 8u);
    // a, space 1, then the space's own advance: 9 - 4 + 1
    EXPECT_EQ(P[0].Vertices[4].Position.X, 16);
}

// --- Atlas size -----------------------------------------------------------------------

TEST_F(WindowsFont, SmallestAtlasIsChosen)
{
    TGLWindowsBitmapFont Font;
    UseCharacters(Font, 'A', 'C', 5, 12);
    EXPECT_EQ(Font.GlyphPicture().Width(), 64);
    EXPECT_EQ(Font.GlyphPicture().Height(), 64);
}

TEST_F(WindowsFont, AtEqualAreaTheSquarerAtlasWins)
{
    // Cells 16 wide, rows 32 high: 256 x 64 is found first, 128 x 128 has
    // the same area and is square, no smaller atlas holds 20 characters.
    TGLWindowsBitmapFont Font;
    UseCharacters(Font, 'A', 'T', 14, 32);
    EXPECT_EQ(Font.PackedCharacterCount(256, 64), 20);
    EXPECT_EQ(Font.PackedCharacterCount(64, 256), 20);
    EXPECT_LT(Font.PackedCharacterCount(128, 64), 20);
    EXPECT_LT(Font.PackedCharacterCount(64, 128), 20);
    EXPECT_EQ(Font.GlyphPicture().Width(), 128);
    EXPECT_EQ(Font.GlyphPicture().Height(), 128);
}

TEST_F(WindowsFont, AtFullEqualityTheFirstFoundStays)
{
    // Both 128 x 64 and 64 x 128 hold 10 characters; heights are the outer loop.
    TGLWindowsBitmapFont Font;
    UseCharacters(Font, 'A', 'J', 14, 32);
    EXPECT_EQ(Font.PackedCharacterCount(64, 128), 10);
    EXPECT_LT(Font.PackedCharacterCount(64, 64), 10);
    EXPECT_EQ(Font.GlyphPicture().Width(), 128);
    EXPECT_EQ(Font.GlyphPicture().Height(), 64);
}

TEST_F(WindowsFont, TheLastCellOfAFullAtlasDoesNotCount)
{
    // Four 16-pixel cells fill a 64-pixel row; the fourth one asks for a new
    // row, and with no room for it the character is not counted.
    TGLWindowsBitmapFont Font;
    UseCharacters(Font, 'A', 'D', 14, 64);
    EXPECT_EQ(Font.PackedCharacterCount(64, 64), 3);
    EXPECT_EQ(Font.PackedCharacterCount(64, 128), 4);
    EXPECT_EQ(Font.GlyphPicture().Width(), 128);
    EXPECT_EQ(Font.GlyphPicture().Height(), 64);
}

TEST_F(WindowsFont, TooLargeCharactersFailAndShrinkTheFontToSixPoints)
{
    TGLWindowsBitmapFont Font;
    TUserCounter User;
    Font.RegisterUser(User);
    Rasteriser.LineHeight = 600;
    try {
        Font.BuildAtlas();
        FAIL() << "no error";
    } catch (const EBitmapFontError& Error) {
        EXPECT_STREQ(Error.what(), "Characters are too large or too many. Unable to create font texture.");
    }
    EXPECT_EQ(Font.Font().Size(), 6);
    EXPECT_TRUE(Font.TextureDirty());
    EXPECT_GE(User.Changes, 2);

    Rasteriser.LineHeight = 10;
    Rasteriser.DefaultWidth = 120; // 4 cells of 122 pixels a row, 42 rows: 168 < 224
    Font.Ranges()[0].SetStopASCII(255);
    EXPECT_THROW(Font.BuildAtlas(), EBitmapFontError);
}

TEST_F(WindowsFont, OverlappingRangesDoNotCountTwice)
{
    TGLWindowsBitmapFont Font;
    Font.Ranges().Add(100, 130);
    EXPECT_NO_THROW(Font.BuildAtlas());
    EXPECT_EQ(Font.Ranges().CharacterCount(), 94 + 31);
    EXPECT_NE(Font.CharacterRectangle(130), nullptr);
}

// --- Packing ----------------------------------------------------------------------------

TEST_F(WindowsFont, PackedCellsNeverOverlapAndStayInsideTheAtlas)
{
    std::mt19937 Random(1234);
    for (int Round = 0; Round < 40; ++Round) {
        Rasteriser.Widths.clear();
        for (int Code = 0; Code < 256; ++Code)
            Rasteriser.Widths[static_cast<unsigned char>(Code)] = 1 + static_cast<int>(Random() % 24);
        Rasteriser.LineHeight = 6 + static_cast<int>(Random() % 20);
        TGLWindowsBitmapFont Font;
        Font.Ranges()[0].SetStopASCII(255);
        Rasteriser.Drawn.clear();
        try {
            Font.BuildAtlas();
        } catch (const EBitmapFontError&) {
            continue; // too big for 512 x 512: nothing packed
        }
        const int W = Font.GlyphPicture().Width();
        const int H = Font.GlyphPicture().Height();
        std::vector<TPixelBox> Cells;
        for (int Code = 32; Code < 256; ++Code) {
            const auto* Rectangle = Font.CharacterRectangle(static_cast<unsigned char>(Code));
            ASSERT_NE(Rectangle, nullptr) << "code " << Code << " round " << Round;
            const TPixelBox Box = Cell(*Rectangle, W, H);
            EXPECT_GE(Box.Left, 0);
            EXPECT_GE(Box.Top, 0);
            EXPECT_LE(Box.Right, W) << "code " << Code << " round " << Round;
            EXPECT_LE(Box.Bottom, H) << "code " << Code << " round " << Round;
            // The rectangle spans the character's width (inset by 0.05 of a pixel).
            EXPECT_NEAR(Box.Right - Box.Left, Font.CharacterWidthOf(static_cast<unsigned char>(Code)) - 0.1,
                        1e-3);
            for (const TPixelBox& Other : Cells)
                ASSERT_FALSE(Overlap(Box, Other)) << "code " << Code << " round " << Round;
            Cells.push_back(Box);
        }
        // Every drawing call stayed in its own cell.
        const auto& Drawn = Rasteriser.Drawn;
        ASSERT_EQ(Drawn.size(), 224u);
        for (std::size_t I = 0; I < Drawn.size(); ++I) {
            EXPECT_LE(Drawn[I].Clip.Right, W);
            EXPECT_LE(Drawn[I].Clip.Bottom, H);
            EXPECT_EQ(Drawn[I].X, Drawn[I].Clip.Left + 1);
            EXPECT_EQ(Drawn[I].Y, Drawn[I].Clip.Top + 1);
            EXPECT_EQ(Drawn[I].Text.size(), 2u);
            EXPECT_EQ(Drawn[I].Text[1], ' ');
        }
    }
}

TEST_F(WindowsFont, AWideCharacterAfterANarrowOneStartsANewRowInsteadOfLeavingTheAtlas)
{
    Rasteriser.Widths = {{'A', 20}, {'B', 3}, {'C', 40}};
    TGLWindowsBitmapFont Font;
    Font.Ranges().Clear();
    Font.Ranges().Add('A', 'C');
    Font.BuildAtlas();
    ASSERT_EQ(Font.GlyphPicture().Width(), 64);
    const auto* C = Font.CharacterRectangle('C');
    ASSERT_NE(C, nullptr);
    EXPECT_FLOAT_EQ(C->Left, 1.05f / 64);
    EXPECT_LE(C->Right, 1.0f);
    EXPECT_FLOAT_EQ(C->Top, (64 - (Font.CharacterHeight() + 0.05f)) / 64);
}

// Regression: a row used to ask for room for a second cell as wide as the last one and for
// the next code with any width; only the very next code counts.
TEST_F(WindowsFont, ARowGoesOnWhileTheVeryNextCodeHasRoom)
{
    // 64 wide, rows 16 high. A's cell is 32: 32 + B's 10 + 2 fits, so B follows in row 0 (a
    // second 30-wide character would not have fitted); B's cell ends at 44, and 44 + C's 20 + 2
    // does not fit.
    Rasteriser.Widths = {{'A', 30}, {'B', 10}, {'C', 20}};
    Rasteriser.LineHeight = 14;
    TGLWindowsBitmapFont Font;
    Font.Ranges().Clear();
    Font.Ranges().Add('A', 'C');
    Font.BuildAtlas();
    ASSERT_EQ(Font.GlyphPicture().Width(), 64);
    ASSERT_EQ(Font.GlyphPicture().Height(), 64);
    const struct
    {
        unsigned char Code;
        int Left, Top;
    } Expected[] = {{'A', 0, 0}, {'B', 32, 0}, {'C', 0, 16}};
    for (const auto& Item : Expected) {
        const auto* Rectangle = Font.CharacterRectangle(Item.Code);
        ASSERT_NE(Rectangle, nullptr) << Item.Code;
        const TPixelBox Box = Cell(*Rectangle, 64, 64);
        EXPECT_NEAR(Box.Left, Item.Left + 1.05, 1e-3) << Item.Code;
        EXPECT_NEAR(Box.Top, Item.Top + 0.05, 1e-3) << Item.Code;
    }
}

TEST_F(WindowsFont, ACodeWithoutWidthLetsTheRowGoOn)
{
    // B is in no range, so after A only B's width 0 is asked for: the row goes on and C, which
    // fits, follows A in row 0.
    Rasteriser.Widths = {{'A', 30}, {'C', 10}};
    Rasteriser.LineHeight = 14;
    TGLWindowsBitmapFont Font;
    Font.Ranges().Clear();
    Font.Ranges().Add('A', 'A');
    Font.Ranges().Add('C', 'C');
    Font.BuildAtlas();
    ASSERT_EQ(Font.GlyphPicture().Width(), 64);
    const auto* C = Font.CharacterRectangle('C');
    ASSERT_NE(C, nullptr);
    const TPixelBox Box = Cell(*C, 64, Font.GlyphPicture().Height());
    EXPECT_NEAR(Box.Left, 32 + 1.05, 1e-3);
    EXPECT_NEAR(Box.Top, 0.05, 1e-3);

    // With C 41 wide the row still goes on after A, and C (22 + 43 > 64) cannot be placed in
    // it: 64 pixels do not hold both, and C goes beside A in a wider atlas rather than into a
    // new row or past the edge.
    Rasteriser.Widths = {{'A', 20}, {'C', 41}};
    Font.BuildAtlas();
    EXPECT_EQ(Font.PackedCharacterCount(64, 64), 1);
    EXPECT_EQ(Font.PackedCharacterCount(64, 512), 1);
    EXPECT_EQ(Font.PackedCharacterCount(128, 64), 2);
    ASSERT_EQ(Font.GlyphPicture().Width(), 128);
    ASSERT_EQ(Font.GlyphPicture().Height(), 64);
    const auto* Wide = Font.CharacterRectangle('C');
    ASSERT_NE(Wide, nullptr);
    const TPixelBox WideBox = Cell(*Wide, 128, 64);
    EXPECT_NEAR(WideBox.Left, 22 + 1.05, 1e-3);
    EXPECT_NEAR(WideBox.Top, 0.05, 1e-3);
    EXPECT_LE(WideBox.Right, 128);
}

TEST_F(WindowsFont, RectanglesAreInsetIntoTheirCells)
{
    TGLWindowsBitmapFont Font;
    UseCharacters(Font, 'A', 'B', 14, 32);
    // A at (0, 0), B at (16, 0) of a 64 x 64 atlas.
    const auto* B = Font.CharacterRectangle('B');
    ASSERT_NE(B, nullptr);
    EXPECT_FLOAT_EQ(B->Left, 17.05f / 64);
    EXPECT_FLOAT_EQ(B->Right, (16 + 16 - 1.05f) / 64);
    EXPECT_FLOAT_EQ(B->Top, (64 - 0.05f) / 64);
    EXPECT_FLOAT_EQ(B->Bottom, (64 - 31.95f) / 64);
    // The glyph was drawn white on black in its cell.
    EXPECT_EQ(Font.GlyphPicture().Pixel(17, 1), 0xFFFFFFFFu);
    EXPECT_EQ(Font.GlyphPicture().Pixel(16, 1), 0xFF000000u);
    EXPECT_EQ(Font.GlyphPicture().Pixel(40, 40), 0xFF000000u);
}

// --- Texture and drawing -----------------------------------------------------------------

TEST_F(WindowsFont, UploadRebuildsTheAtlasIntoAnAlphaTexture)
{
    TGLWindowsBitmapFont Font;
    const int Canvases = Rasteriser.CanvasCount;
    Draw(Font, "A");
    EXPECT_EQ(Rasteriser.CanvasCount, Canvases + 2); // measuring, then drawing
    const auto Image = Recorder.CallsNamed("glTexImage2D");
    ASSERT_EQ(Image.size(), 1u);
    EXPECT_EQ(Image[0].Args[2], GL_ALPHA);
    EXPECT_EQ(Image[0].Args[3], Font.GlyphPicture().Width());
    Draw(Font, "A");
    EXPECT_EQ(Rasteriser.CanvasCount, Canvases + 2); // not per frame
    EXPECT_EQ(Recorder.Count("glTexImage2D"), 0u);
}

TEST_F(WindowsFont, CodesOutsideEveryRangeAreSkippedWithoutAdvance)
{
    TGLWindowsBitmapFont Font;
    const auto P = Draw(Font, "A\xC8"
                              "B");
    ASSERT_EQ(P.size(), 1u);
    ASSERT_EQ(P[0].Vertices.size(), 8u);
    EXPECT_EQ(P[0].Vertices[4].Position.X, 6); // A is 5 wide, then 1 of space
    // The quads carry the packed rectangles.
    const auto* B = Font.CharacterRectangle('B');
    ASSERT_NE(B, nullptr);
    EXPECT_FLOAT_EQ(P[0].Vertices[4].TexCoord.X, B->Left);
    EXPECT_FLOAT_EQ(P[0].Vertices[4].TexCoord.Y, B->Top);
    EXPECT_FLOAT_EQ(P[0].Vertices[6].TexCoord.X, B->Right);
    EXPECT_FLOAT_EQ(P[0].Vertices[6].TexCoord.Y, B->Bottom);
}

TEST_F(WindowsFont, AFontChangeReplacesTheTextureAtTheNextDrawing)
{
    TGLWindowsBitmapFont Font;
    TUserCounter User;
    Font.RegisterUser(User);
    Draw(Font, "A");
    const GLuint First = Font.TextureHandle();

    const int Before = User.Changes;
    Font.Font().SetName("Trebuchet MS");
    EXPECT_EQ(User.Changes, Before + 1);
    EXPECT_TRUE(Font.TextureDirty());
    EXPECT_EQ(Recorder.Count("glDeleteTextures"), 0u); // the context may not be current here
    Draw(Font, "A");
    const auto Deleted = Recorder.CallsNamed("glDeleteTextures");
    ASSERT_EQ(Deleted.size(), 1u);
    EXPECT_EQ(Deleted[0].Args[1], First);
    EXPECT_EQ(Recorder.Count("glGenTextures"), 1u);
    EXPECT_EQ(Rasteriser.LastFont.Name(), "Trebuchet MS");

    Font.SetMinFilter(miNearest); // a filter: same object, new image
    Draw(Font, "A");
    EXPECT_EQ(Recorder.Count("glDeleteTextures"), 0u);
    EXPECT_EQ(Recorder.Count("glTexImage2D"), 1u);
}

TEST_F(WindowsFont, AnyMetricChangeRebuildsTheAtlasBeforeTheNextDrawing)
{
    TGLWindowsBitmapFont Font;
    Draw(Font, "AB");
    Font.SetHorizontalSpace(3);
    EXPECT_EQ(Font.CharacterRectangle('A'), nullptr);
    const auto P = Draw(Font, "AB");
    ASSERT_EQ(P.size(), 1u);
    ASSERT_EQ(P[0].Vertices.size(), 8u);
    EXPECT_EQ(P[0].Vertices[4].Position.X, 8); // measured 5 again, then 3 of space
}

TEST(WindowsFontWithoutRasteriser, DrawsNothing)
{
    TGLRecorder Recorder;
    TGLStateCache Cache;
    TRenderContextInfo Context;
    Context.StateCache = &Cache;
    TGLWindowsBitmapFont Font;
    EXPECT_TRUE(Font.GlyphPicture().Empty());
    Font.RenderString(Context, "Zentavo", taLeftJustify, tlTop, TVector{1, 1, 1, 1});
    EXPECT_EQ(Recorder.Count("glBegin"), 0u);
}

// --- Scaled screens ---------------------------------------------------------------------

TEST_F(WindowsFont, ARasterScaleRendersTheGlyphsAtTheScreensResolutionWithScaledSpaces)
{
    TGLWindowsBitmapFont Font;
    TUserCounter User;
    Font.RegisterUser(User);
    Font.SetHorizontalSpace(3);
    Draw(Font, "AB");
    const int Height = Font.Font().Height();
    EXPECT_EQ(Rasteriser.LastFont.Height(), Height);

    const int Before = User.Changes;
    Font.SetRasterScale(2);
    EXPECT_EQ(User.Changes, Before + 1);
    Font.SetRasterScale(2); // the same scale: nothing to do
    EXPECT_EQ(User.Changes, Before + 1);
    const auto P = Draw(Font, "AB");
    EXPECT_EQ(Rasteriser.LastFont.Height(), 2 * Height) << "the font asked for at twice its pixel height";
    EXPECT_EQ(Font.Font().Height(), Height) << "the font's own size is the user's";
    ASSERT_EQ(P.size(), 1u);
    ASSERT_EQ(P[0].Vertices.size(), 8u);
    EXPECT_EQ(P[0].Vertices[4].Position.X, Font.CharacterWidthOf('A') + 6);
    EXPECT_EQ(Font.StringWidth("AB"), Font.CharacterWidthOf('A') + Font.CharacterWidthOf('B') + 6);
}

TEST_F(WindowsFont, AScaledAtlasThatCannotFitFallsBackToUnscaledGlyphs)
{
    Rasteriser.LineHeight = 20;
    Rasteriser.DefaultWidth = 10;
    Rasteriser.ScaleWithFontHeight = true;
    TGLWindowsBitmapFont Font;
    Font.Ranges()[0].SetStopASCII(255);
    Font.SetRasterScale(4);
    EXPECT_NO_THROW(Font.BuildAtlas());
    EXPECT_FLOAT_EQ(Font.RasterScale(), 1);
    EXPECT_NE(Font.CharacterRectangle('A'), nullptr);
}
