#include "scene/GLCamera.h"
#include "scene/GLDispatch.h"
#include "scene/GLDummyCube.h"
#include "scene/GLHUDText.h"
#include "scene/GLLightSource.h"
#include "scene/GLSceneGraph.h"
#include "scene/GLSphere.h"
#include "scene/GLSprite.h"
#include "scene/GLTexture.h"
#include "scene/GLWindowsBitmapFont.h"
#include "scene/qt/GLSceneViewer.h"
#include "scene/qt/QtGlyphRasteriser.h"
#include "scene/qt/QtPictureLoader.h"
#include "ViewerTestSupport.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <ostream>
#include <QImage>
#include <QRect>
#include <QWidget>
#include <sstream>
#include <string>

using namespace Scene;
using namespace Scene::Testing;

namespace {

constexpr int ViewerWidth = 328;
constexpr int ViewerHeight = 344;

struct TRgb
{
    int R, G, B;
    bool operator==(const TRgb&) const = default;
};

constexpr TRgb KeyColour{166, 202, 240};
// The sprite picture: its bottom-left pixel, so its keyed colour, and the rest.
constexpr TRgb Magenta{255, 0, 255};
constexpr TRgb Green{0, 255, 0};
// The glass: unlit, so drawn flat in its Diffuse colour.
constexpr TRgb Yellow{255, 255, 0};
constexpr float GlassAlpha = 0.4f;
// The caption's modulate colour (1, 0.25, 0).
constexpr TRgb Orange{255, 64, 0};

TRgb At(const QImage& Image, int X, int Y)
{
    const QColor C = Image.pixelColor(X, Y);
    return TRgb{C.red(), C.green(), C.blue()};
}

bool Near(const TRgb& A, const TRgb& B, int Tolerance)
{
    return std::abs(A.R - B.R) <= Tolerance && std::abs(A.G - B.G) <= Tolerance &&
           std::abs(A.B - B.B) <= Tolerance;
}

std::ostream& operator<<(std::ostream& Out, const TRgb& C)
{
    return Out << "(" << C.R << ", " << C.G << ", " << C.B << ")";
}

// Pixels that break a rule: counted, the first few described, so one fault
// does not report thousands of failures.
class TMismatches
{
public:
    template <typename... TParts> void Add(const TParts&... Parts)
    {
        if (FCount++ >= 5)
            return;
        std::ostringstream Line;
        (Line << ... << Parts);
        FFirst += Line.str() + "\n";
    }
    int Count() const { return FCount; }
    const std::string& First() const { return FFirst; }

private:
    int FCount = 0;
    std::string FFirst;
};

// A disc on the screen, in window pixels from the top-left corner.
struct TDisc
{
    double X, Y, Radius;
    bool Contains(int PX, int PY, double Margin) const
    {
        return std::hypot(PX + 0.5 - X, PY + 0.5 - Y) <= Radius + Margin;
    }
};

bool Inside(const QRectF& Rect, int X, int Y, double Margin)
{
    return Rect.adjusted(-Margin, -Margin, Margin, Margin).contains(QPointF(X + 0.5, Y + 0.5));
}

// The small scene of a globe frame in the real viewer, drawn by the buffer's
// own render pass: an opaque lit sphere, a translucent sphere in front of its
// left rim, a sprite with a keyed picture in front of its right half and a
// line of HUD text below. The sprite sits in a group listed before the
// sphere, so it is drawn before the sphere although it is blended: only
// depth can make its keyed texels hide the sphere.
class ScenePixels : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!std::getenv("DISPLAY"))
            GTEST_SKIP() << "no X display";
        SetGLDispatch(nullptr);
        FPreviousRasteriser = SetGlyphRasteriser(&FRasteriser);
        FRasteriserInstalled = true;
        InstallQtPictureLoader();

        PlaceGlobeCamera(Camera, Planet);

        Sun.SetLightStyle(lsParallel);
        Sun.SpotDirection().SetVector(0, 0, -1); // from the camera's side

        Planet.SetRadius(1);
        Planet.SetSlices(48);
        Planet.SetStacks(48);
        Planet.Material().FrontProperties().Diffuse().SetColor(0.9f, 0.15f, 0.1f, 1);

        // World +X is the viewer's left.
        Glass.SetPosition(TVector{0.55f, -0.1f, -4, 1});
        Glass.SetRadius(0.35f);
        Glass.SetSlices(32);
        Glass.SetStacks(32);
        TGLMaterial& GlassMaterial = Glass.Material();
        GlassMaterial.SetBlendingMode(bmTransparency);
        GlassMaterial.SetMaterialOptions({moNoLighting});
        GlassMaterial.FrontProperties().Diffuse().SetColor(1, 1, 0, GlassAlpha);

        // The weather picture's settings, from a 24-bit picture file.
        Sprite.SetPosition(TVector{-0.55f, 0.1f, -3, 1});
        Sprite.SetWidth(1);
        Sprite.SetHeight(1);
        TGLMaterial& SpriteMaterial = Sprite.Material();
        SpriteMaterial.SetBlendingMode(bmTransparency);
        SpriteMaterial.SetFaceCulling(fcCull);
        TGLTexture& Texture = SpriteMaterial.Texture();
        Texture.SetImageAlpha(tiaTopLeftPointColorTransparent);
        Texture.SetMagFilter(maNearest);
        Texture.SetMinFilter(miLinear);
        Texture.SetTextureMode(tmReplace);
        QImage Picture(8, 8, QImage::Format_RGB888);
        Picture.fill(QColor(Green.R, Green.G, Green.B));
        for (int Y = 0; Y < 8; ++Y)
            for (int X = 0; X < 4; ++X)
                Picture.setPixelColor(X, Y, QColor(Magenta.R, Magenta.G, Magenta.B));
        ASSERT_TRUE(Picture.save("keyed.bmp"));
        Texture.Image().LoadFromFile("keyed.bmp");
        Texture.SetDisabled(false);

        TFont& Face = Font.Font();
        Face.SetName("Trebuchet MS");
        Face.SetHeight(-11);
        Face.SetStyle({fsBold});
        Face.SetCharset(TFont::AnsiCharset);
        Font.SetMagFilter(maNearest);
        Font.Ranges()[0].SetStopASCII(255);
        Caption.SetBitmapFont(&Font);
        Caption.SetPosition(TVector{5, 300, 0, 1});
        Caption.SetText("Zentavo 3D Desktop");
        Caption.ModulateColor().SetColor(1, 0.25f, 0, 1);

        // Every frame as drawn, the first one included.
        View.Buffer().SetAfterRender([this] { Frames[View.Buffer().FrameCount()] = View.GrabFrame(); });
        ASSERT_TRUE(ShowGlobeViewer(View, Camera));
        ASSERT_TRUE(View.LastError().empty()) << View.LastError();
        Measure();
    }

    void TearDown() override
    {
        View.Buffer().SetAfterRender(nullptr);
        if (FRasteriserInstalled)
            SetGlyphRasteriser(FPreviousRasteriser);
    }

    // Draws one more frame and returns it.
    QImage NextFrame()
    {
        const std::int64_t Before = View.Buffer().FrameCount();
        View.Surface()->update();
        EXPECT_TRUE(WaitUntil([&] { return View.Buffer().FrameCount() > Before; })) << View.LastError();
        Settle(View);
        return Latest();
    }

    QImage Latest()
    {
        const QImage Image = View.GrabFrame();
        EXPECT_EQ(Image.size(), QSize(ViewerWidth, ViewerHeight));
        return Image;
    }

    // The frame with Object hidden, then shown again.
    QImage Without(TGLBaseSceneObject& Object)
    {
        const std::int64_t Before = View.Buffer().FrameCount();
        Object.SetVisible(false);
        const QImage Image = NextFrame();
        for (std::int64_t Number = Before + 1; Number <= View.Buffer().FrameCount(); ++Number)
            Frames.erase(Number);
        Object.SetVisible(true);
        NextFrame();
        return Image;
    }

    // Window pixel of a point given in the camera's coordinates.
    QPointF ToWindow(const TVector& Eye) const
    {
        const TVector Clip = VectorTransform(Eye, View.Buffer().ProjectionMatrix());
        return QPointF((Clip.X / Clip.W + 1) / 2 * ViewerWidth, (1 - Clip.Y / Clip.W) / 2 * ViewerHeight);
    }

    TVector ToEye(const TVector& World) const
    {
        return VectorTransform(World, View.Buffer().ModelViewMatrix());
    }

    TDisc DiscOf(const TGLSphere& Sphere) const
    {
        const TVector Centre = ToEye(Sphere.Position().AsVector());
        const QPointF At = ToWindow(Centre);
        const double Distance = std::sqrt(Centre.X * Centre.X + Centre.Y * Centre.Y + Centre.Z * Centre.Z);
        const double Tangent =
            Sphere.Radius() / std::sqrt(Distance * Distance - Sphere.Radius() * Sphere.Radius());
        // Pixels per unit of tangent: the projection's vertical scale over half the height.
        const double Scale = View.Buffer().ProjectionMatrix().Rows[1].Y * ViewerHeight / 2;
        return TDisc{At.x(), At.y(), Tangent * Scale};
    }

    // The sprite's two halves on the screen: the keyed left one and the green right one.
    std::array<QRectF, 2> SpriteHalves() const
    {
        const TVector Centre = ToEye(Sprite.Position().AsVector());
        const float W = Sprite.Width() / 2;
        const float H = Sprite.Height() / 2;
        const QPointF A = ToWindow(TVector{Centre.X - W, Centre.Y + H, Centre.Z, 1});
        const QPointF B = ToWindow(TVector{Centre.X + W, Centre.Y - H, Centre.Z, 1});
        const QRectF Whole = QRectF(A, B).normalized();
        const double Middle = Whole.center().x();
        return {QRectF(QPointF(Whole.left(), Whole.top()), QPointF(Middle, Whole.bottom())),
                QRectF(QPointF(Middle, Whole.top()), QPointF(Whole.right(), Whole.bottom()))};
    }

    void Measure()
    {
        PlanetDisc = DiscOf(Planet);
        GlassDisc = DiscOf(Glass);
        const auto Halves = SpriteHalves();
        KeyedHalf = Halves[0];
        GreenHalf = Halves[1];
        CaptionBlock = QRectF(5, 300, Font.StringWidth(Caption.Text()), Font.CharacterHeight());
    }

    // Nothing of the scene can reach this pixel.
    bool Uncovered(int X, int Y, double Margin) const
    {
        return !PlanetDisc.Contains(X, Y, Margin) && !GlassDisc.Contains(X, Y, Margin) &&
               !Inside(KeyedHalf, X, Y, Margin) && !Inside(GreenHalf, X, Y, Margin) &&
               !Inside(CaptionBlock, X, Y, Margin);
    }

    template <typename TCheck> void ForEachPixel(TCheck Check)
    {
        for (int Y = 0; Y < ViewerHeight; ++Y)
            for (int X = 0; X < ViewerWidth; ++X)
                Check(X, Y);
    }

    // Declared before the scene, which its caption refers to.
    TGLWindowsBitmapFont Font;
    TGLScene Scene;
    TGLCamera& Camera = Scene.AddNewObject<TGLCamera>();
    TGLDummyCube& Board = Scene.AddNewObject<TGLDummyCube>();
    TGLSprite& Sprite = Board.AddNewChild<TGLSprite>();
    TGLSphere& Planet = Scene.AddNewObject<TGLSphere>();
    TGLSphere& Glass = Scene.AddNewObject<TGLSphere>();
    TGLLightSource& Sun = Scene.AddNewObject<TGLLightSource>();
    TGLHUDText& Caption = Scene.AddNewObject<TGLHUDText>();
    TGLSceneViewer View;

    std::map<std::int64_t, QImage> Frames;
    TDisc PlanetDisc{};
    TDisc GlassDisc{};
    QRectF KeyedHalf;
    QRectF GreenHalf;
    QRectF CaptionBlock;

private:
    TQtGlyphRasteriser FRasteriser;
    TGlyphRasteriser* FPreviousRasteriser = nullptr;
    bool FRasteriserInstalled = false;
};

} // namespace

TEST_F(ScenePixels, TheLayoutKeepsTheObjectsApart)
{
    // The checks below count on this arrangement.
    EXPECT_NEAR(PlanetDisc.X, ViewerWidth / 2.0, 0.5);
    EXPECT_NEAR(PlanetDisc.Radius, 91.2, 0.5);
    EXPECT_LT(GlassDisc.X, PlanetDisc.X - PlanetDisc.Radius + GlassDisc.Radius / 2);
    EXPECT_GT(GlassDisc.X, PlanetDisc.X - PlanetDisc.Radius);
    EXPECT_GT(KeyedHalf.left(), GlassDisc.X + GlassDisc.Radius);
    EXPECT_NEAR(KeyedHalf.width(), 64.8, 1);
    EXPECT_GT(CaptionBlock.top(), PlanetDisc.Y + PlanetDisc.Radius + 10);
    EXPECT_GT(CaptionBlock.width(), 60);
}

TEST_F(ScenePixels, TheBackgroundIsExactlyTheKeyColourInEveryFrame)
{
    ASSERT_TRUE(Frames.count(1));
    NextFrame();
    for (const auto& [Number, Frame] : Frames) {
        ASSERT_EQ(Frame.size(), QSize(ViewerWidth, ViewerHeight)) << "frame " << Number;
        int Background = 0;
        TMismatches Wrong;
        ForEachPixel([&, &Frame = Frame](int X, int Y) {
            if (!Uncovered(X, Y, 2))
                return;
            ++Background;
            if (At(Frame, X, Y) != KeyColour)
                Wrong.Add(X, ", ", Y, ": ", At(Frame, X, Y));
        });
        EXPECT_EQ(Wrong.Count(), 0) << "frame " << Number << "\n" << Wrong.First();
        EXPECT_GT(Background, ViewerWidth * ViewerHeight / 2) << "frame " << Number;
    }
}

TEST_F(ScenePixels, TheOpaqueSphereCoversItsDisc)
{
    const QImage Frame = Latest();
    int Covered = 0;
    int Lit = 0;
    ForEachPixel([&](int X, int Y) {
        if (!PlanetDisc.Contains(X, Y, -2) || GlassDisc.Contains(X, Y, 2) || Inside(KeyedHalf, X, Y, 2) ||
            Inside(GreenHalf, X, Y, 2))
            return;
        const TRgb C = At(Frame, X, Y);
        Covered += C != KeyColour;
        // Lit red: red well above green and blue.
        Lit += C.R > C.G + 40 && C.R > C.B + 40;
    });
    EXPECT_GT(Covered, 10000);
    EXPECT_EQ(Lit, Covered);
    // Lit head-on: the centre is brighter than the rim.
    const int CX = int(PlanetDisc.X);
    const int CY = int(PlanetDisc.Y);
    EXPECT_GT(At(Frame, CX, CY).R, At(Frame, CX, CY + int(PlanetDisc.Radius) - 4).R + 40);
}

TEST_F(ScenePixels, BlendedPixelsLieBetweenTheirSources)
{
    const QImage Behind = Without(Glass);
    const QImage Frame = Latest();
    int OverPlanet = 0;
    int OverBackground = 0;
    TMismatches Elsewhere;
    TMismatches NoBlend;
    ForEachPixel([&](int X, int Y) {
        const TRgb C = At(Frame, X, Y);
        const TRgb Back = At(Behind, X, Y);
        if (!GlassDisc.Contains(X, Y, 2)) {
            // Everything else is drawn alike.
            if (!Near(C, Back, 1))
                Elsewhere.Add(X, ", ", Y, ": ", C, " was ", Back);
            return;
        }
        if (!GlassDisc.Contains(X, Y, -2))
            return;
        const std::array<int, 3> Front{Yellow.R, Yellow.G, Yellow.B};
        const std::array<int, 3> Under{Back.R, Back.G, Back.B};
        const std::array<int, 3> Seen{C.R, C.G, C.B};
        for (int I = 0; I < 3; ++I) {
            const double Expected = GlassAlpha * Front[I] + (1 - GlassAlpha) * Under[I];
            if (std::abs(Seen[I] - Expected) > 3 || Seen[I] < std::min(Front[I], Under[I]) - 1 ||
                Seen[I] > std::max(Front[I], Under[I]) + 1) {
                NoBlend.Add(X, ", ", Y, ": ", C, " is no 0.4 blend of ", Yellow, " over ", Back);
                break;
            }
        }
        if (Back == KeyColour)
            ++OverBackground;
        else
            ++OverPlanet;
    });
    EXPECT_EQ(NoBlend.Count(), 0) << NoBlend.First();
    EXPECT_EQ(Elsewhere.Count(), 0) << Elsewhere.First();
    // The glass straddles the sphere's rim.
    EXPECT_GT(OverPlanet, 1000);
    EXPECT_GT(OverBackground, 1000);
}

TEST_F(ScenePixels, KeyedTexelsAreAbsentFromTheSecondFrameOn)
{
    ASSERT_TRUE(Frames.count(1));
    const QImage Bare = Without(Board);
    NextFrame();
    NextFrame();
    ASSERT_GE(Frames.size(), 4u);
    for (const auto& [Number, Frame] : Frames) {
        ASSERT_EQ(Frame.size(), QSize(ViewerWidth, ViewerHeight)) << "frame " << Number;
        int Keyed = 0;
        int SphereThrough = 0;
        int GreenArea = 0;
        int GreenTexels = 0;
        TMismatches KeyShown;
        TMismatches Wrong;
        ForEachPixel([&, &Frame = Frame, Number = Number](int X, int Y) {
            const TRgb C = At(Frame, X, Y);
            // The key colour never shows, not even in the first frame.
            if (Near(C, Magenta, 60))
                KeyShown.Add(X, ", ", Y, ": ", C);
            if (Inside(GreenHalf, X, Y, -2)) {
                ++GreenArea;
                GreenTexels += Near(C, Green, 1);
                return;
            }
            if (!Inside(KeyedHalf, X, Y, -2))
                return;
            ++Keyed;
            const TRgb Under = At(Bare, X, Y);
            if (Number == 1) {
                // The first frame still passes every alpha: the keyed texels,
                // drawn before the sphere, leave the background and its depth.
                if (C != KeyColour)
                    Wrong.Add(X, ", ", Y, ": ", C, " instead of the key colour");
            } else {
                if (!Near(C, Under, 1))
                    Wrong.Add(X, ", ", Y, ": ", C, " instead of ", Under);
                SphereThrough += Under != KeyColour;
            }
        });
        EXPECT_EQ(KeyShown.Count(), 0) << "frame " << Number << "\n" << KeyShown.First();
        EXPECT_EQ(Wrong.Count(), 0) << "frame " << Number << "\n" << Wrong.First();
        EXPECT_GT(Keyed, 3000) << "frame " << Number;
        EXPECT_GT(GreenArea, 3000) << "frame " << Number;
        EXPECT_EQ(GreenTexels, GreenArea) << "frame " << Number;
        if (Number > 1) {
            EXPECT_GT(SphereThrough, Keyed / 2) << "frame " << Number;
        }
    }
}

TEST_F(ScenePixels, TheCaptionIsDrawnInTheModulateColourWhereItStands)
{
    const QImage Plain = Without(Caption);
    const QImage Frame = Latest();
    int Solid = 0;
    int FirstSolidColumn = ViewerWidth;
    TMismatches Outside;
    TMismatches NoBlend;
    ForEachPixel([&](int X, int Y) {
        const TRgb C = At(Frame, X, Y);
        const TRgb Under = At(Plain, X, Y);
        if (!Inside(CaptionBlock, X, Y, 0)) {
            if (!Near(C, Under, 1))
                Outside.Add(X, ", ", Y, ": ", C, " was ", Under);
            return;
        }
        // Every pixel is the modulate colour over the background, by the glyph's coverage.
        const double Coverage = (C.R - Under.R) / double(Orange.R - Under.R);
        const TRgb Blend{int(std::lround(Orange.R * Coverage + Under.R * (1 - Coverage))),
                         int(std::lround(Orange.G * Coverage + Under.G * (1 - Coverage))),
                         int(std::lround(Orange.B * Coverage + Under.B * (1 - Coverage)))};
        if (Coverage < -0.02 || Coverage > 1.02 || !Near(C, Blend, 4))
            NoBlend.Add(X, ", ", Y, ": ", C, " is not ", Orange, " over ", Under);
        if (Near(C, Orange, 6)) {
            ++Solid;
            FirstSolidColumn = std::min(FirstSolidColumn, X);
        }
    });
    EXPECT_EQ(Outside.Count(), 0) << "text outside its block\n" << Outside.First();
    EXPECT_EQ(NoBlend.Count(), 0) << NoBlend.First();
    // 16 bold glyphs leave fully covered pixels, the Z first.
    EXPECT_GT(Solid, 16 * 4);
    EXPECT_LT(FirstSolidColumn, 5 + Font.CharacterWidthOf('Z'));
}
