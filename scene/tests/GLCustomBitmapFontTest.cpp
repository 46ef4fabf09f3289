#include "scene/GLCustomBitmapFont.h"

#include "GLRecorder.h"
#include "scene/GLBitmapFontUser.h"
#include "scene/GLDispatch.h"
#include "scene/GLStateCache.h"
#include "scene/RenderContextInfo.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

using namespace Scene;
using Scene::Testing::Primitives;
using Scene::Testing::TGLCall;
using Scene::Testing::TGLPrimitive;
using Scene::Testing::TGLRecorder;

namespace {

class TUserCounter : public TGLBitmapFontUser
{
public:
    void BitmapFontChanged() override { ++Changes; }
    void BitmapFontDestroyed(TGLCustomBitmapFont& Font) override { Destroyed = &Font; }
    int Changes = 0;
    TGLCustomBitmapFont* Destroyed = nullptr;
};

// The pixels of the last glTexImage2D, besides the recorder's log of the call.
struct TUpload
{
    int Width = 0;
    int Height = 0;
    std::vector<std::uint8_t> Texels;
};
TUpload GUpload;
decltype(&::glTexImage2D) GRecordTexImage = nullptr;

void CaptureTexImage2D(GLenum Target, GLint Level, GLint Format, GLsizei Width, GLsizei Height, GLint Border,
                       GLenum PixelFormat, GLenum Type, const void* Pixels)
{
    GRecordTexImage(Target, Level, Format, Width, Height, Border, PixelFormat, Type, Pixels);
    const auto* Bytes = static_cast<const std::uint8_t*>(Pixels);
    GUpload =
        TUpload{Width, Height, std::vector<std::uint8_t>(Bytes, Bytes + std::size_t(Width) * Height * 4)};
}

constexpr std::uint32_t Rgb(int R, int G, int B)
{
    return 0xFF000000u | std::uint32_t(R) << 16 | std::uint32_t(G) << 8 | std::uint32_t(B);
}

class BitmapFont : public ::testing::Test
{
protected:
    BitmapFont()
    {
        Table = Recorder.Table();
        GRecordTexImage = Table.glTexImage2D;
        Table.glTexImage2D = &CaptureTexImage2D;
        SetGLDispatch(&Table);
        Context.StateCache = &Cache;
        Font.GlyphPicture().SetSize(64, 32);
        Font.SetCharacterWidth(8);
        Font.Ranges().Add('A', 'D');
        Font.RegisterUser(User);
    }
    ~BitmapFont() override { SetGLDispatch(&Recorder.Table()); }

    std::vector<TGLPrimitive> Draw(std::string_view Text, TAlignment Alignment = taLeftJustify,
                                   TGLTextLayout Layout = tlTop)
    {
        Recorder.Clear();
        Font.RenderString(Context, Text, Alignment, Layout, TVector{1, 0.25f, 0, 0.5f});
        return Primitives(Recorder.Calls());
    }

    // Left edge, top, right edge and bottom of every quad, in drawing order.
    struct TQuad
    {
        float Left, Top, Right, Bottom;
    };
    std::vector<TQuad> Quads(std::string_view Text, TAlignment Alignment = taLeftJustify,
                             TGLTextLayout Layout = tlTop)
    {
        std::vector<TQuad> Result;
        for (const TGLPrimitive& Primitive : Draw(Text, Alignment, Layout)) {
            EXPECT_EQ(Primitive.Mode, GLenum(GL_QUADS));
            EXPECT_EQ(Primitive.Vertices.size() % 4, 0u);
            for (std::size_t I = 0; I + 3 < Primitive.Vertices.size(); I += 4) {
                const auto& V = Primitive.Vertices;
                Result.push_back(
                    TQuad{V[I].Position.X, V[I].Position.Y, V[I + 2].Position.X, V[I + 2].Position.Y});
            }
        }
        return Result;
    }

    TGLRecorder Recorder;
    TGLDispatch Table;
    TGLStateCache Cache;
    TRenderContextInfo Context;
    TUserCounter User;
    TGLCustomBitmapFont Font;
};

} // namespace

// --- Metrics ------------------------------------------------------------------------

TEST_F(BitmapFont, SettersClampAndEveryMetricChangeTellsTheUsers)
{
    const int Before = User.Changes;
    Font.SetCharacterWidth(0);
    EXPECT_EQ(Font.CharacterWidth(), 1);
    Font.SetCharacterHeight(-5);
    EXPECT_EQ(Font.CharacterHeight(), 1);
    Font.SetHorizontalSpace(-1);
    EXPECT_EQ(Font.HorizontalSpace(), 0);
    Font.SetVerticalSpace(-1);
    EXPECT_EQ(Font.VerticalSpace(), 0);
    EXPECT_EQ(User.Changes, Before + 4);
    Font.SetVerticalSpace(0); // unchanged
    EXPECT_EQ(User.Changes, Before + 4);

    // Widths are rebuilt, all equal to the cell width, after a notice.
    Font.SetCharacterWidth(12);
    EXPECT_EQ(Font.CharacterWidthOf('A'), 12);
    EXPECT_EQ(Font.CharacterWidthOf(200), 12);
}

TEST_F(BitmapFont, StringWidthCountsOnlyWhatTheDrawingAdvancesOver)
{
    // 2 characters * (fix 0 + space 1) - 1 + 2 * 8
    EXPECT_EQ(Font.StringWidth("AB"), 17);
    EXPECT_EQ(Font.StringWidth("A B"), 26);
    EXPECT_EQ(Font.StringWidth("A\nB"), 17); // line feed: no space
    EXPECT_EQ(Font.StringWidth("A\xC8"
                               "B"),
              17); // outside every range: no space
    EXPECT_EQ(Font.StringWidth(""), 0);
    Font.SetHorizontalSpaceFix(-2);
    EXPECT_EQ(Font.StringWidth("AB"), 13);
}

TEST_F(BitmapFont, DestroyingTheFontTellsItsUsers)
{
    TUserCounter Other;
    {
        TGLCustomBitmapFont Temporary;
        Temporary.RegisterUser(Other);
        Temporary.RegisterUser(Other); // once only
        EXPECT_EQ(Temporary.UserCount(), 1);
    }
    EXPECT_NE(Other.Destroyed, nullptr);
    Font.SetCharacterWidth(3);
    EXPECT_EQ(User.Changes, 1);
    Font.UnRegisterUser(User);
    Font.SetCharacterWidth(4);
    EXPECT_EQ(User.Changes, 1);
}

// --- Text layout --------------------------------------------------------------------

TEST_F(BitmapFont, LeftTopTextRunsRightAndDownFromTheAnchor)
{
    const auto Q = Quads("AB\rC");
    ASSERT_EQ(Q.size(), 3u);
    EXPECT_EQ(Q[0].Left, 0);
    EXPECT_EQ(Q[0].Top, 0);
    EXPECT_EQ(Q[0].Right, 8);
    EXPECT_EQ(Q[0].Bottom, -16);
    EXPECT_EQ(Q[1].Left, 9); // width 8 + horizontal space 1
    EXPECT_EQ(Q[2].Left, 0);
    EXPECT_EQ(Q[2].Top, -17); // height 16 + vertical space 1
    EXPECT_EQ(Q[2].Bottom, -33);
}

TEST_F(BitmapFont, CarriageReturnLineFeedShowsOneLineBreakAndTheLineFeedIsInvisible)
{
    const auto Q = Quads("AB\r\nCD");
    ASSERT_EQ(Q.size(), 4u);
    EXPECT_EQ(Q[2].Left, 0);
    EXPECT_EQ(Q[2].Top, -17);
    EXPECT_EQ(Q[3].Left, 9);

    const auto Right = Quads("AB\r\nCDA", taRightJustify);
    ASSERT_EQ(Right.size(), 5u);
    EXPECT_EQ(Right[1].Right, 0);
    EXPECT_EQ(Right[4].Right, 0); // the line feed adds no width either
}

TEST_F(BitmapFont, RightJustifiedLinesEndAtTheAnchor)
{
    const auto Q = Quads("A\rABC\rAB", taRightJustify);
    ASSERT_EQ(Q.size(), 6u);
    EXPECT_EQ(Q[0].Right, 0);
    EXPECT_EQ(Q[0].Left, -8);
    EXPECT_EQ(Q[3].Right, 0);
    EXPECT_EQ(Q[1].Left, -26);
    EXPECT_EQ(Q[5].Right, 0);
}

TEST_F(BitmapFont, CenteredLinesRoundHalvesToEven)
{
    Font.SetCharacterWidth(20); // "AB": 2 - 1 + 40 = 41
    auto Q = Quads("AB", taCenter);
    ASSERT_EQ(Q.size(), 2u);
    EXPECT_EQ(Q[0].Left, -20);
    Font.SetCharacterWidth(21); // 43
    Q = Quads("AB", taCenter);
    ASSERT_EQ(Q.size(), 2u);
    EXPECT_EQ(Q[0].Left, -22);
}

TEST_F(BitmapFont, BottomAndCenterLayoutsLiftTheBlock)
{
    // Two lines of height 16 with 1 between: the block is 33 high.
    auto Q = Quads("A\rB", taLeftJustify, tlBottom);
    ASSERT_EQ(Q.size(), 2u);
    EXPECT_EQ(Q[0].Top, 33);
    EXPECT_EQ(Q[1].Bottom, 0);
    Q = Quads("A\rB", taLeftJustify, tlCenter); // 16.5: to the even 16
    EXPECT_EQ(Q[0].Top, 16);
    Font.SetCharacterHeight(17); // 35 high, 17.5: to the even 18
    Q = Quads("A\rB", taLeftJustify, tlCenter);
    EXPECT_EQ(Q[0].Top, 18);
}

TEST_F(BitmapFont, SpacesAdvanceControlCodesAndUnknownCodesDoNot)
{
    Font.SetHorizontalSpaceFix(-1);
    const auto Q = Quads("A B\t\x01\xC8"
                         "C");
    ASSERT_EQ(Q.size(), 3u);
    // A: 0..8, + space 1; the space: 8 + fix (-1) + 1; B at 17
    EXPECT_EQ(Q[1].Left, 17);
    EXPECT_EQ(Q[2].Left, 26); // tab, code 1 and code 200 neither drawn nor advancing
}

// --- Drawing state and texture coordinates ---------------------------------------------

TEST_F(BitmapFont, DrawsAllCharactersBetweenOneBeginAndEndInTheGivenColour)
{
    Draw("ABCD");
    EXPECT_EQ(Recorder.Count("glBegin"), 1u);
    EXPECT_EQ(Recorder.Count("glEnd"), 1u);
    EXPECT_EQ(Recorder.Count("glVertex2f"), 16u);
    const auto Colors = Recorder.CallsNamed("glColor4fv");
    ASSERT_EQ(Colors.size(), 1u);
    EXPECT_EQ(Colors[0].Args, (std::vector<double>{1, 0.25, 0, 0.5}));
    EXPECT_TRUE(Recorder.IsEnabled(GL_TEXTURE_2D));
    EXPECT_TRUE(Recorder.IsEnabled(GL_BLEND));
    EXPECT_FALSE(Recorder.IsEnabled(GL_LIGHTING));
    const auto Blend = Recorder.CallsNamed("glBlendFunc");
    ASSERT_EQ(Blend.size(), 1u);
    EXPECT_EQ(Blend[0].Args, (std::vector<double>{GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA}));
    const auto Names = Recorder.Names();
    const auto Push = std::find(Names.begin(), Names.end(), "glPushAttrib");
    const auto Pop = std::find(Names.begin(), Names.end(), "glPopAttrib");
    ASSERT_NE(Push, Names.end());
    EXPECT_LT(Push, std::find(Names.begin(), Names.end(), "glColor4fv"));
    EXPECT_GT(Pop, std::find(Names.begin(), Names.end(), "glEnd"));
    EXPECT_EQ(Recorder.CallsNamed("glPushAttrib")[0].Args[0], double(GL_CURRENT_BIT));
    // The bindings are forgotten, so the next user binds again.
    EXPECT_EQ(Cache.Texture(0), TGLStateCache::UnknownTexture);
    Draw("A");
    EXPECT_EQ(Recorder.Count("glBindTexture"), 1u);
    EXPECT_EQ(Recorder.Count("glTexImage2D"), 0u); // uploaded once
}

TEST_F(BitmapFont, GridRectanglesFollowTheRangesStartGlyph)
{
    Font.Ranges().Add('a', 'b', 9); // glyph 9: second row, second column of 8
    const auto P = Draw("Ba");
    ASSERT_EQ(P.size(), 1u);
    const auto& V = P[0].Vertices;
    ASSERT_EQ(V.size(), 8u);
    // B is glyph 1: pixels 8..16 of the top row of a 64 x 32 texture.
    EXPECT_FLOAT_EQ(V[0].TexCoord.X, 8 / 64.0f);
    EXPECT_FLOAT_EQ(V[0].TexCoord.Y, 1.0f);
    EXPECT_FLOAT_EQ(V[2].TexCoord.X, 16 / 64.0f);
    EXPECT_FLOAT_EQ(V[2].TexCoord.Y, 0.5f);
    EXPECT_FLOAT_EQ(V[4].TexCoord.X, 8 / 64.0f);
    EXPECT_FLOAT_EQ(V[4].TexCoord.Y, 0.5f);
    EXPECT_FLOAT_EQ(V[6].TexCoord.Y, 0.0f);
}

TEST_F(BitmapFont, EmptyTextDrawsNothingAndMakesNoTexture)
{
    Draw("");
    EXPECT_TRUE(Recorder.Calls().empty());
    TGLCustomBitmapFont NoPicture;
    NoPicture.Ranges().Add('A', 'A');
    Recorder.Clear();
    NoPicture.RenderString(Context, "A", taLeftJustify, tlTop, TVector{1, 1, 1, 1});
    EXPECT_EQ(Recorder.Count("glBegin"), 0u);
    EXPECT_EQ(Recorder.Count("glTexImage2D"), 0u);
}

// --- Upload ----------------------------------------------------------------------------

TEST_F(BitmapFont, UploadSetsTheTextureParametersOnceUntilSomethingChanges)
{
    Draw("A");
    ASSERT_EQ(Recorder.Count("glGenTextures"), 1u);
    const auto Image = Recorder.CallsNamed("glTexImage2D");
    ASSERT_EQ(Image.size(), 1u);
    EXPECT_EQ(Image[0].Args,
              (std::vector<double>{GL_TEXTURE_2D, 0, GL_RGBA, 64, 32, 0, GL_RGBA, GL_UNSIGNED_BYTE}));
    auto Parameter = [&](GLenum Name) {
        for (const TGLCall& Call : Recorder.CallsNamed("glTexParameteri"))
            if (Call.Args[1] == Name)
                return Call.Args[2];
        return -1.0;
    };
    EXPECT_EQ(Parameter(GL_TEXTURE_WRAP_S), GL_REPEAT);
    EXPECT_EQ(Parameter(GL_TEXTURE_WRAP_T), GL_REPEAT);
    EXPECT_EQ(Parameter(GL_TEXTURE_MIN_FILTER), GL_LINEAR);
    EXPECT_EQ(Parameter(GL_TEXTURE_MAG_FILTER), GL_LINEAR);
    EXPECT_EQ(Recorder.CallsNamed("glHint")[0].Args,
              (std::vector<double>{GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST}));
    EXPECT_EQ(Font.TextureWidth(), 64);
    EXPECT_EQ(Font.TextureHeight(), 32);
    EXPECT_FALSE(Font.TextureDirty());

    const int Before = User.Changes;
    Font.SetMagFilter(maNearest);
    EXPECT_TRUE(Font.TextureDirty());
    EXPECT_EQ(User.Changes, Before + 1);
    Draw("A");
    EXPECT_EQ(Recorder.Count("glGenTextures"), 0u); // same texture object, new image
    EXPECT_EQ(Recorder.Count("glTexImage2D"), 1u);
    EXPECT_EQ(Parameter(GL_TEXTURE_MAG_FILTER), GL_NEAREST);
}

TEST_F(BitmapFont, MipmapsOnlyForMipmappedMinificationFilters)
{
    Font.SetMinFilter(miNearest);
    Draw("A");
    EXPECT_EQ(Recorder.Count("gluBuild2DMipmaps"), 0u);
    EXPECT_EQ(Recorder.Count("glTexImage2D"), 1u);

    Font.SetMinFilter(miLinearMipmapLinear);
    Draw("A");
    EXPECT_EQ(Recorder.Count("glTexImage2D"), 0u);
    const auto Mipmaps = Recorder.CallsNamed("gluBuild2DMipmaps");
    ASSERT_EQ(Mipmaps.size(), 1u);
    EXPECT_EQ(Mipmaps[0].Args,
              (std::vector<double>{GL_TEXTURE_2D, GL_RGBA, 64, 32, GL_RGBA, GL_UNSIGNED_BYTE}));

    Recorder.SetString(GL_EXTENSIONS, "GL_ARB_multitexture GL_SGIS_generate_mipmap");
    Font.SetMinFilter(miNearestMipmapNearest);
    Draw("A");
    EXPECT_EQ(Recorder.Count("gluBuild2DMipmaps"), 0u);
    EXPECT_EQ(Recorder.Count("glTexImage2D"), 1u);
    bool Generates = false;
    for (const TGLCall& Call : Recorder.CallsNamed("glTexParameteri"))
        Generates = Generates || (Call.Args[1] == GL_GENERATE_MIPMAP_SGIS && Call.Args[2] == 1);
    EXPECT_TRUE(Generates);
}

TEST_F(BitmapFont, PicturesArePaddedToPowersOfTwoAndLimitedByTheMaximumSize)
{
    Font.GlyphPicture().SetSize(60, 20);
    Font.GlyphPicture().SetPixel(0, 0, Rgb(255, 255, 255));
    Draw("A");
    ASSERT_EQ(GUpload.Width, 64);
    ASSERT_EQ(GUpload.Height, 32);
    // Top-left picture pixel: first texel of the last row; the padding is black.
    const std::size_t TopLeft = std::size_t(31) * 64 * 4;
    EXPECT_EQ(GUpload.Texels[TopLeft], 255);
    EXPECT_EQ(GUpload.Texels[0], 0);
    EXPECT_EQ(GUpload.Texels[TopLeft + 63 * 4], 0);

    Recorder.SetInteger(GL_MAX_TEXTURE_SIZE, 32);
    Font.SetMinFilter(miNearest);
    Draw("A");
    const auto Scale = Recorder.CallsNamed("gluScaleImage");
    ASSERT_EQ(Scale.size(), 1u);
    EXPECT_EQ(Scale[0].Args,
              (std::vector<double>{GL_RGBA, 64, 32, GL_UNSIGNED_BYTE, 32, 32, GL_UNSIGNED_BYTE}));
    EXPECT_EQ(GUpload.Width, 32);
    EXPECT_EQ(GUpload.Height, 32);
    EXPECT_EQ(Font.TextureWidth(), 64); // the bitmap's size, not the scaled one
}

class GlyphAlpha : public BitmapFont
{
protected:
    // A 4 x 2 picture; the key of the keyed modes is its top-left pixel.
    GlyphAlpha()
    {
        TGlyphPicture& P = Font.GlyphPicture();
        P.SetSize(4, 2);
        P.SetPixel(0, 0, Rgb(10, 20, 30)); // top-left
        P.SetPixel(1, 0, Rgb(30, 60, 91));
        P.SetPixel(2, 0, Rgb(0, 0, 0));
        P.SetPixel(3, 0, Rgb(0, 0, 1));
        P.SetPixel(0, 1, Rgb(255, 0, 0)); // bottom-left
        P.SetPixel(1, 1, Rgb(10, 20, 30));
        P.SetPixel(2, 1, Rgb(255, 255, 255));
        P.SetPixel(3, 1, Rgb(10, 20, 31));
    }

    // Alphas of the top row, then the bottom row, as displayed.
    std::vector<int> Alphas(TGLTextureImageAlpha Mode)
    {
        Font.SetGlyphAlpha(Mode);
        Draw("A");
        EXPECT_EQ(GUpload.Width, 4);
        EXPECT_EQ(GUpload.Height, 2);
        std::vector<int> Result;
        for (int Row : {1, 0})
            for (int X = 0; X < 4; ++X)
                Result.push_back(GUpload.Texels[(std::size_t(Row) * 4 + X) * 4 + 3]);
        return Result;
    }
};

TEST_F(GlyphAlpha, KeyedModesMakeTheDisplayedTopLeftColourTransparent)
{
    EXPECT_EQ(Alphas(tiaDefault), (std::vector<int>{0, 255, 255, 255, 255, 0, 255, 255}));
    EXPECT_EQ(Alphas(tiaTopLeftPointColorTransparent),
              (std::vector<int>{0, 255, 255, 255, 255, 0, 255, 255}));
    // The colours go up unchanged, bottom row first.
    EXPECT_EQ(GUpload.Texels[0], 255);
    EXPECT_EQ(GUpload.Texels[1], 0);
    EXPECT_EQ(GUpload.Texels[16 + 4], 30);
}

TEST_F(GlyphAlpha, IntensityModesTakeTheAverageOfTheColour)
{
    const std::vector<int> Intensity{20, 60, 0, 0, 85, 20, 255, 20};
    EXPECT_EQ(Alphas(tiaAlphaFromIntensity), Intensity);
    EXPECT_EQ(Alphas(tiaLuminance), Intensity);
    // 255 * sqrt(60 / 255) = 123.7
    EXPECT_EQ(Alphas(tiaLuminanceSqrt)[1], 124);
    EXPECT_EQ(Alphas(tiaLuminanceSqrt)[2], 0);
}

TEST_F(GlyphAlpha, SuperBlackOpaqueAndInverseModes)
{
    EXPECT_EQ(Alphas(tiaSuperBlackTransparent), (std::vector<int>{255, 255, 0, 255, 255, 255, 255, 255}));
    const std::vector<int> Opaque(8, 255);
    EXPECT_EQ(Alphas(tiaOpaque), Opaque);
    EXPECT_EQ(Alphas(tiaInverseLuminance), Opaque);
    EXPECT_EQ(Alphas(tiaInverseLuminanceSqrt), Opaque);
}

TEST_F(BitmapFont, ContextLossAndPictureChangesRebuildTheTexture)
{
    Draw("A");
    const GLuint First = Font.TextureHandle();
    ASSERT_NE(First, 0u);
    Recorder.Clear();
    Font.DestroyHandles();
    const auto Deleted = Recorder.CallsNamed("glDeleteTextures");
    ASSERT_EQ(Deleted.size(), 1u);
    EXPECT_EQ(Deleted[0].Args[1], First);
    EXPECT_EQ(Font.TextureHandle(), 0u);
    Draw("A");
    EXPECT_EQ(Recorder.Count("glGenTextures"), 1u);
    EXPECT_EQ(Recorder.Count("glTexImage2D"), 1u);

    const int Before = User.Changes;
    Font.GlyphPicture().SetPixel(3, 3, Rgb(1, 2, 3));
    EXPECT_TRUE(Font.TextureDirty());
    EXPECT_EQ(User.Changes, Before + 1);
}
