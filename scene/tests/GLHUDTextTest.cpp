#include "scene/GLHUDText.h"

#include "FakeGlyphRasteriser.h"
#include "GLRecorder.h"
#include "RecordingSceneBuffer.h"
#include "scene/BitmapFontError.h"
#include "scene/GLDispatch.h"
#include "scene/GLSceneGraph.h"
#include "scene/GLStateCache.h"
#include "scene/GLWindowsBitmapFont.h"
#include "scene/RenderContextInfo.h"
#include "SceneTestHelpers.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <memory>

using namespace Scene;
using Scene::Testing::MatrixNear;
using Scene::Testing::TFakeGlyphRasteriser;
using Scene::Testing::TGLRecorder;
using Scene::Testing::TRecordingSceneBuffer;

namespace {

struct TPixel
{
    float X;
    float Y; // downward from the top edge
};

class HUDText : public ::testing::Test
{
protected:
    HUDText()
    {
        Context.StateCache = &Cache;
        Context.Buffer = &Buffer;
        Scene.AddBuffer(Buffer);
        Rasteriser.Widths = {{'M', 9}, {'W', 9}, {'_', 9}};
        Rasteriser.LineHeight = 12; // cells 11 x 14
        Font = std::make_unique<TGLWindowsBitmapFont>();
        Text.SetBitmapFont(Font.get());
        Text.SetPosition(TVector{5, 255, 0, 1});
        Text.SetText("Zentavo 3D Desktop");
        Text.ModulateColor().SetColor(1, 0.25f, 0, 1);
    }

    // A camera's projection and view, which the text must not follow.
    void Render(int Width, int Height, int DPI = 96)
    {
        const TGLDispatch& Gl = GL();
        Gl.glMatrixMode(GL_PROJECTION);
        Gl.glLoadIdentity();
        Gl.glFrustum(-0.5, 0.5, -0.5, 0.5, 2.6, 240);
        Gl.glMatrixMode(GL_MODELVIEW);
        Gl.glLoadIdentity();
        Gl.gluLookAt(0, 0, -10, 0, 0, 0, 0, 1, 0);
        Context.ViewportWidth = Width;
        Context.ViewportHeight = Height;
        Context.RenderDPI = DPI;
        Recorder.Clear();
        Scene.RenderScene(Context);
    }

    // Window position of every vertex given so far (projection identity while drawing).
    std::vector<TPixel> Pixels() const
    {
        std::vector<TPixel> Result;
        for (const TVector& V : Recorder.EyeVertices())
            Result.push_back(TPixel{(V.X / V.W + 1) / 2 * Context.ViewportWidth,
                                    (1 - V.Y / V.W) / 2 * Context.ViewportHeight});
        return Result;
    }

    TGLRecorder Recorder;
    TFakeGlyphRasteriser Rasteriser;
    TRecordingSceneBuffer Buffer;
    TGLStateCache Cache;
    TRenderContextInfo Context;
    std::unique_ptr<TGLWindowsBitmapFont> Font;
    TGLScene Scene;
    TGLHUDText& Text = Scene.AddNewObject<TGLHUDText>();
};

} // namespace

TEST_F(HUDText, DefaultsAndObjectStyle)
{
    TGLHUDText Fresh;
    EXPECT_EQ(Fresh.BitmapFont(), nullptr);
    EXPECT_EQ(Fresh.Text(), "");
    EXPECT_EQ(Fresh.Rotation(), 0);
    EXPECT_EQ(Fresh.Alignment(), taLeftJustify);
    EXPECT_EQ(Fresh.Layout(), tlTop);
    EXPECT_EQ(Fresh.ModulateColor().AsVector(), (TVector{1, 1, 1, 1}));
    EXPECT_TRUE(Fresh.ObjectStyle().Contains(TGLObjectStyle::DirectDraw));
    EXPECT_TRUE(Fresh.ObjectStyle().Contains(TGLObjectStyle::NoVisibilityCulling));
    EXPECT_FALSE(Fresh.IsBlended());
}

TEST_F(HUDText, TextKeepsItsPixelPositionAfterAResize)
{
    for (const auto& [Width, Height] : {std::pair{328, 344}, std::pair{640, 480}, std::pair{101, 57}}) {
        Render(Width, Height);
        const auto P = Pixels();
        ASSERT_EQ(P.size(), 4u * 16) << Width << " x " << Height; // 18 characters, 2 spaces
        // The first glyph, Z (5 wide), from (5, 255) down to the line's bottom.
        EXPECT_NEAR(P[0].X, 5, 1e-3) << Width << " x " << Height;
        EXPECT_NEAR(P[0].Y, 255, 1e-3) << Width << " x " << Height;
        EXPECT_NEAR(P[2].X, 10, 1e-3);
        EXPECT_NEAR(P[2].Y, 255 + 14, 1e-3);
        // The second glyph one pixel of space later.
        EXPECT_NEAR(P[4].X, 11, 1e-3);
    }
}

TEST_F(HUDText, RenderDPIScalesPositionAndSize)
{
    Rasteriser.ScaleWithFontHeight = true;
    Render(328, 344, 144); // factor 1.5
    const auto P = Pixels();
    ASSERT_FALSE(P.empty());
    EXPECT_NEAR(P[0].X, 7.5, 1e-3);
    EXPECT_NEAR(P[0].Y, 382.5, 1e-3);
    // The glyphs are rendered for the screen's resolution and drawn one to one: sharp, at about 1.5 times.
    EXPECT_EQ(Rasteriser.LastFont.Height(), -17);
    EXPECT_NEAR(P[2].X - P[0].X, Rasteriser.Width('Z'), 1e-3);
    EXPECT_NEAR(P[2].X - P[0].X, 7.5, 0.51);
    EXPECT_NEAR(P[2].Y - P[0].Y, Rasteriser.Height() + 2, 1e-3);
    EXPECT_NEAR(P[2].Y - P[0].Y, 21, 1);
}

TEST_F(HUDText, RotationTurnsAboutTheAnchorAndScaleStretches)
{
    Text.SetRotation(90);
    Render(328, 344);
    auto P = Pixels();
    ASSERT_FALSE(P.empty());
    EXPECT_NEAR(P[0].X, 5, 1e-3);
    EXPECT_NEAR(P[0].Y, 255, 1e-3);
    // The top-right corner of Z turns from 5 pixels right to 5 pixels up.
    EXPECT_NEAR(P[3].X, 5, 1e-3);
    EXPECT_NEAR(P[3].Y, 250, 1e-3);

    Text.SetRotation(0);
    Text.SetScale(TVector{2, 3, 1, 0});
    Render(328, 344);
    P = Pixels();
    EXPECT_NEAR(P[0].X, 5, 1e-3);
    EXPECT_NEAR(P[0].Y, 255, 1e-3);
    EXPECT_NEAR(P[2].X, 15, 1e-3);
    EXPECT_NEAR(P[2].Y, 255 + 42, 1e-3);
}

TEST_F(HUDText, AlignmentAndLayoutApplyAroundThePosition)
{
    Text.SetText("AB\r\nABC");
    Text.SetAlignment(taRightJustify);
    Text.SetLayout(tlBottom);
    Render(328, 344);
    const auto P = Pixels();
    ASSERT_EQ(P.size(), 20u);
    // Two lines of 14 with 1 between end at the anchor; each line ends at x = 5.
    EXPECT_NEAR(P[0].Y, 255 - 29, 1e-3);
    EXPECT_NEAR(P[6].X, 5, 1e-3);
    EXPECT_NEAR(P[18].X, 5, 1e-3);
    EXPECT_NEAR(P[18].Y, 255, 1e-3);
}

TEST_F(HUDText, DrawsInTheModulateColourWithoutDepthTestAndPutsEverythingBack)
{
    Render(328, 344);
    const TMatrix ModelView = Recorder.ModelView();
    const TMatrix Projection = Recorder.Projection();
    const auto Colors = Recorder.CallsNamed("glColor4fv");
    ASSERT_EQ(Colors.size(), 1u);
    EXPECT_EQ(Colors[0].Args, (std::vector<double>{1, 0.25, 0, 1}));

    const auto Names = Recorder.Names();
    const auto At = [&](const char* Name) {
        return std::find(Names.begin(), Names.end(), Name) - Names.begin();
    };
    const auto Last = [&](const char* Name) {
        return Names.rend() - std::find(Names.rbegin(), Names.rend(), Name) - 1;
    };
    EXPECT_LT(At("glPolygonMode"), At("glBegin"));
    EXPECT_LT(At("glLoadMatrixf"), At("glBegin"));
    EXPECT_LT(At("glPushAttrib"), At("glBegin"));
    const auto PushAttrib = Recorder.CallsNamed("glPushAttrib");
    ASSERT_EQ(PushAttrib.size(), 2u);
    EXPECT_EQ(PushAttrib[0].Args[0], double(GL_ENABLE_BIT));
    const auto Disabled = Recorder.CallsNamed("glDisable");
    EXPECT_TRUE(std::any_of(Disabled.begin(), Disabled.end(),
                            [](const auto& Call) { return Call.Args[0] == GL_DEPTH_TEST; }));
    EXPECT_GT(Last("glPopAttrib"), At("glEnd"));
    EXPECT_EQ(Recorder.Count("glPushMatrix"), Recorder.Count("glPopMatrix"));
    EXPECT_EQ(Recorder.ModelViewDepth(), 1u);
    // The camera's matrices are untouched after the text.
    Render(328, 344);
    EXPECT_TRUE(MatrixNear(Recorder.ModelView(), ModelView));
    EXPECT_TRUE(MatrixNear(Recorder.Projection(), Projection));
    // Polygon mode through the cache: sent once.
    EXPECT_EQ(Recorder.Count("glPolygonMode"), 0u);
}

TEST_F(HUDText, WithoutFontOrTextOnlyTheChildrenDraw)
{
    TGLHUDText& Child = Text.AddNewChild<TGLHUDText>();
    Child.SetBitmapFont(Font.get());
    Child.SetText("A");
    Text.SetText("");
    Render(328, 344);
    EXPECT_EQ(Recorder.Count("glBegin"), 1u);
    EXPECT_EQ(Recorder.EyeVertices().size(), 4u);
    Text.SetText("B");
    Text.SetBitmapFont(nullptr);
    Render(328, 344);
    EXPECT_EQ(Recorder.EyeVertices().size(), 4u);
}

TEST_F(HUDText, EveryPropertyChangeRepaints)
{
    int Changes = Buffer.Changes;
    const auto Changed = [&] {
        const bool Result = Buffer.Changes > Changes;
        Changes = Buffer.Changes;
        return Result;
    };
    Text.SetText("Pitch: 12");
    EXPECT_TRUE(Changed());
    Text.SetText("Pitch: 12");
    EXPECT_FALSE(Changed());
    Text.SetRotation(10);
    EXPECT_TRUE(Changed());
    Text.SetAlignment(taCenter);
    EXPECT_TRUE(Changed());
    Text.SetLayout(tlCenter);
    EXPECT_TRUE(Changed());
    Text.ModulateColor().SetGreen(1);
    EXPECT_TRUE(Changed());
    Font->SetMagFilter(maNearest); // the font's notice reaches its users
    EXPECT_TRUE(Changed());
    Text.SetBitmapFont(nullptr);
    EXPECT_TRUE(Changed());
    EXPECT_EQ(Font->UserCount(), 0);
}

TEST_F(HUDText, FontAndTextForgetEachOtherWhenOneGoes)
{
    EXPECT_EQ(Font->UserCount(), 1);
    {
        TGLHUDText Other;
        Other.SetBitmapFont(Font.get());
        EXPECT_EQ(Font->UserCount(), 2);
    }
    EXPECT_EQ(Font->UserCount(), 1);
    const int Changes = Buffer.Changes;
    Font.reset();
    EXPECT_EQ(Text.BitmapFont(), nullptr);
    EXPECT_GT(Buffer.Changes, Changes);
    Render(328, 344);
    EXPECT_EQ(Recorder.Count("glBegin"), 0u);
}

TEST_F(HUDText, ContextLossDeletesTheFontTexture)
{
    Render(328, 344);
    const GLuint Texture = Font->TextureHandle();
    ASSERT_NE(Texture, 0u);
    Recorder.Clear();
    Scene.DestroyHandles();
    const auto Deleted = Recorder.CallsNamed("glDeleteTextures");
    ASSERT_EQ(Deleted.size(), 1u);
    EXPECT_EQ(Deleted[0].Args[1], Texture);
    Render(328, 344);
    EXPECT_EQ(Recorder.Count("glTexImage2D"), 1u);
}

TEST_F(HUDText, AFontThatCannotBeBuiltLeavesTheMatrixStacksBalanced)
{
    Rasteriser.LineHeight = 600;
    Font->SetMagFilter(maNearest);
    EXPECT_THROW(Render(328, 344), EBitmapFontError);
    EXPECT_EQ(Recorder.ModelViewDepth(), 1u);
    EXPECT_EQ(Recorder.Count("glPushMatrix"), Recorder.Count("glPopMatrix"));
    EXPECT_EQ(Recorder.Count("glPushAttrib"), Recorder.Count("glPopAttrib"));
    // The font shrank to 6 points; the next frame draws again.
    Rasteriser.LineHeight = 8;
    Render(328, 344);
    EXPECT_EQ(Recorder.Count("glBegin"), 1u);
}
