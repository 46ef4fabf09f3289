#include "GLXTestContext.h"
#include "scene/GLDispatch.h"
#include "scene/GLHUDText.h"
#include "scene/GLSceneGraph.h"
#include "scene/GLStateCache.h"
#include "scene/GLWindowsBitmapFont.h"
#include "scene/qt/QtGlyphRasteriser.h"
#include "scene/RenderContextInfo.h"

#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <vector>

using namespace Scene;
using Scene::Testing::TGLXTestContext;

namespace {

constexpr int Width = 328;
constexpr int Height = 344;

struct TColor
{
    int R, G, B;
};

// Sky blue, the globe's background and key colour.
constexpr TColor Background{166, 202, 240};
constexpr TColor Orange{255, 64, 0};

// The globe's caption on a real Mesa context: the font rendered by Qt into
// its atlas, uploaded, and drawn as the HUD text over a cleared frame.
class HUDTextPixels : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "no X display";
        ASSERT_TRUE(Window.Valid()) << Window.Error();
        SetGLDispatch(nullptr);
        FPrevious = SetGlyphRasteriser(&Rasteriser);
        Pass.StateCache = &Cache;
        Font = std::make_unique<TGLWindowsBitmapFont>();
        TFont& Face = Font->Font();
        Face.SetName("Trebuchet MS");
        Face.SetHeight(-11);
        Face.SetStyle({fsBold});
        Face.SetCharset(TFont::AnsiCharset);
        Font->SetMagFilter(maNearest);
        Font->Ranges()[0].SetStopASCII(255);
        Text.SetBitmapFont(Font.get());
        Text.SetPosition(TVector{5, 255, 0, 1});
        Text.SetText("Zentavo 3D Desktop");
        Text.ModulateColor().SetColor(1, 0.25f, 0, 1);
    }

    void TearDown() override
    {
        if (Font)
            SetGlyphRasteriser(FPrevious);
    }

    // One frame with a viewport of ViewportHeight rows at the bottom of the
    // window (the viewport's top edge Height - ViewportHeight rows down).
    void DrawFrame(int ViewportHeight = Height)
    {
        const TGLDispatch& Gl = GL();
        Gl.glViewport(0, 0, Width, ViewportHeight);
        Gl.glClearColor(Background.R / 255.0f, Background.G / 255.0f, Background.B / 255.0f, 1);
        Gl.glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        // A perspective camera the text must not follow.
        Gl.glMatrixMode(GL_PROJECTION);
        Gl.glLoadIdentity();
        Gl.glFrustum(-0.48, 0.48, -0.5, 0.5, 2.6, 240);
        Gl.glMatrixMode(GL_MODELVIEW);
        Gl.glLoadIdentity();
        Gl.gluLookAt(0, 0, -10, 0, 0, 0, 0, 1, 0);
        Gl.glEnable(GL_DEPTH_TEST);
        Pass.ViewportWidth = Width;
        Pass.ViewportHeight = ViewportHeight;
        Cache.Reset();
        Scene.RenderScene(Pass);
        Gl.glFinish();
        ASSERT_EQ(Gl.glGetError(), GLenum(GL_NO_ERROR));
        Frame.assign(std::size_t(Width) * Height * 4, 0);
        Gl.glPixelStorei(GL_PACK_ALIGNMENT, 1);
        Gl.glReadPixels(0, 0, Width, Height, GL_RGBA, GL_UNSIGNED_BYTE, Frame.data());
    }

    // Y counted down from the window's top edge.
    TColor Pixel(int X, int Y) const
    {
        const std::uint8_t* P = Frame.data() + (std::size_t(Height - 1 - Y) * Width + X) * 4;
        return TColor{P[0], P[1], P[2]};
    }

    static bool Near(const TColor& A, const TColor& B, int Tolerance)
    {
        return std::abs(A.R - B.R) <= Tolerance && std::abs(A.G - B.G) <= Tolerance &&
               std::abs(A.B - B.B) <= Tolerance;
    }

    // Checks the text block whose top-left corner is at (Left, Top) of the window.
    void ExpectTextAt(int Left, int Top)
    {
        const int Right = Left + Font->StringWidth(Text.Text());
        const int Bottom = Top + Font->CharacterHeight();
        int Solid = 0;
        int FirstSolidColumn = Width;
        for (int Y = 0; Y < Height; ++Y)
            for (int X = 0; X < Width; ++X) {
                const TColor C = Pixel(X, Y);
                if (X < Left || X >= Right || Y < Top || Y >= Bottom) {
                    ASSERT_TRUE(Near(C, Background, 1)) << "text outside its block at " << X << ", " << Y
                                                        << ": " << C.R << " " << C.G << " " << C.B;
                    continue;
                }
                // Every covered pixel is a blend of the modulate colour over the background.
                const double Coverage = (C.R - Background.R) / double(Orange.R - Background.R);
                const TColor Blend{int(std::lround(Orange.R * Coverage + Background.R * (1 - Coverage))),
                                   int(std::lround(Orange.G * Coverage + Background.G * (1 - Coverage))),
                                   int(std::lround(Orange.B * Coverage + Background.B * (1 - Coverage)))};
                EXPECT_GE(Coverage, -0.02) << X << ", " << Y;
                EXPECT_LE(Coverage, 1.02) << X << ", " << Y;
                EXPECT_TRUE(Near(C, Blend, 4)) << X << ", " << Y << ": " << C.R << " " << C.G << " " << C.B;
                if (Near(C, Orange, 6)) {
                    ++Solid;
                    FirstSolidColumn = std::min(FirstSolidColumn, X);
                }
            }
        // 16 bold glyphs leave fully covered pixels (about 130 to 280 with
        // the sans faces tried), starting with the Z.
        EXPECT_GT(Solid, 16 * 4);
        EXPECT_LT(FirstSolidColumn, Left + Font->CharacterWidthOf('Z'));
    }

    TGLXTestContext Window{Width, Height};
    TQtGlyphRasteriser Rasteriser;
    TGLStateCache Cache;
    TRenderContextInfo Pass;
    std::unique_ptr<TGLWindowsBitmapFont> Font;
    TGLScene Scene;
    TGLHUDText& Text = Scene.AddNewObject<TGLHUDText>();
    std::vector<std::uint8_t> Frame;

private:
    TGlyphRasteriser* FPrevious = nullptr;
};

} // namespace

TEST_F(HUDTextPixels, CaptionIsDrawnInTheModulateColourAtItsPixelPosition)
{
    DrawFrame();
    ExpectTextAt(5, 255);
    EXPECT_TRUE(Near(Pixel(0, 0), Background, 1));
    // The second frame reuses the texture and draws the same picture.
    const std::vector<std::uint8_t> First = Frame;
    DrawFrame();
    EXPECT_EQ(Frame, First);
}

TEST_F(HUDTextPixels, TextKeepsItsDistanceFromTheViewportsTopLeftCorner)
{
    // A viewport 44 rows shorter: its top edge is 44 rows lower in the window.
    DrawFrame(300);
    ExpectTextAt(5, 255 + 44);
}
