#include "globe/GlobeScene.h"
#include "scene/GLBitmapGraphic.h"
#include "scene/GLPictureImage.h"
#include "scene/GLTexture.h"
#include "scene/qt/GLSceneViewer.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>

#include <cstdlib>

using namespace Scene;

namespace {

struct TBox
{
    int Left = 1 << 20, Top = 1 << 20, Right = -1, Bottom = -1;
    int Count = 0;
    void Add(int X, int Y)
    {
        Left = std::min(Left, X);
        Top = std::min(Top, Y);
        Right = std::max(Right, X);
        Bottom = std::max(Bottom, Y);
        ++Count;
    }
};

bool Near(const QColor& Color, int R, int G, int B, int Tolerance)
{
    return std::abs(Color.red() - R) <= Tolerance && std::abs(Color.green() - G) <= Tolerance &&
           std::abs(Color.blue() - B) <= Tolerance;
}

// The designed globe in its 328 x 344 viewer, dressed with the pictures the
// clock ships, drawn by the real OpenGL.
class GlobeRenderTest : public testing::Test
{
protected:
    void SetUp() override
    {
        if (std::getenv("DISPLAY") == nullptr)
            GTEST_SKIP() << "no X display";
        Globe.ConfigureViewer(Viewer);
        for (auto [Sphere, Name] : {std::pair{Globe.Earth, "SURFACE"}, std::pair{Globe.Horas, "DOMO_H"},
                                    std::pair{Globe.Minutos, "DOMO_M"}})
            Sphere->Material().Texture().Image().LoadFromFile(
                std::string(ZENTAVO_SOURCE_DIR "/data/pictures/") + Name + ".bmp");
        Viewer.setGeometry(0, 0, 328, 344);
        Viewer.show();
        Frame(); // the alpha test of the frame's end hides keyed texels from the second frame on
    }

    // Draws one more frame and reads it back.
    QImage Frame()
    {
        QElapsedTimer Timer;
        Timer.start();
        const auto Before = Viewer.Buffer().FrameCount();
        Viewer.Surface()->update();
        while (Viewer.Buffer().FrameCount() == Before && Timer.elapsed() < 10000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
            QThread::msleep(2);
        }
        EXPECT_GT(Viewer.Buffer().FrameCount(), Before) << "no frame drawn";
        return Viewer.GrabFrame();
    }

    // A weather picture that is red but for its keyed first (bottom-left) texel.
    void ShowRedWeather()
    {
        auto Picture = std::make_unique<TGLBitmapGraphic>(8, 8, 24);
        Picture->Fill(255, 0, 0);
        Picture->SetPixel(0, 7, 0, 0, 255);
        Globe.WeatherPic->Material().Texture().Image().Picture().SetGraphic(std::move(Picture));
    }

    static TBox Where(const QImage& Picture, const std::function<bool(const QColor&)>& Wanted)
    {
        TBox Box;
        for (int Y = 0; Y < Picture.height(); ++Y)
            for (int X = 0; X < Picture.width(); ++X)
                if (Wanted(Picture.pixelColor(X, Y)))
                    Box.Add(X, Y);
        return Box;
    }

    static bool IsRed(const QColor& Color) { return Near(Color, 255, 0, 0, 8); }

    TGlobeScene Globe;
    TGLSceneViewer Viewer;
};

} // namespace

TEST_F(GlobeRenderTest, TheEarthShowsItsMapUnderTheDomes)
{
    const QImage Picture = Frame();
    ASSERT_EQ(Picture.size(), QSize(328, 344));
    // The night side faces the viewer (no turn yet), dim but with land and sea.
    int Land = 0, Sea = 0;
    for (int Y = 100; Y < 250; ++Y)
        for (int X = 100; X < 230; ++X) {
            const QColor C = Picture.pixelColor(X, Y);
            Land += C.green() > C.blue() + 4 ? 1 : 0;
            Sea += C.blue() > C.green() + 4 ? 1 : 0;
        }
    EXPECT_GT(Land, 1000);
    EXPECT_GT(Sea, 1000);
    EXPECT_EQ(Picture.pixelColor(4, 4), QColor(166, 202, 240)) << "the background is the key colour";
}

TEST_F(GlobeRenderTest, TheArrowConeGlowsGoldAtTheCentre)
{
    // The emission plus the global ambient light (0.2) on the cone's default ambient (0.2).
    const TBox Gold = Where(Frame(), [](const QColor& C) { return Near(C, 186 + 10, 148 + 10, 0 + 10, 4); });
    ASSERT_GT(Gold.Count, 20);
    EXPECT_NEAR((Gold.Left + Gold.Right) / 2.0, 164, 3);
    EXPECT_NEAR((Gold.Top + Gold.Bottom) / 2.0, 172, 3);
    EXPECT_LT(Gold.Right - Gold.Left, 20) << "the cone is seen head-on";
}

TEST_F(GlobeRenderTest, TheHeadsUpLineStartsNearFiveTwoHundredFiftyFive)
{
    const TBox Orange = Where(Frame(), [](const QColor& C) { return Near(C, 255, 64, 0, 10); });
    ASSERT_GT(Orange.Count, 30);
    EXPECT_NEAR(Orange.Left, 5, 3);
    EXPECT_NEAR(Orange.Top, 257, 4);
    EXPECT_LT(Orange.Bottom, 255 + 16);
}

TEST_F(GlobeRenderTest, TheWeatherSpriteShowsNothingUntilAPictureArrives)
{
    const QImage With = Frame();
    Globe.WeatherPic->SetVisible(false);
    const QImage Without = Frame();
    EXPECT_EQ(With, Without);
}

TEST_F(GlobeRenderTest, TheWeatherSpriteCoversItsDesignedRectangle)
{
    ShowRedWeather();
    Frame();
    const TBox Red = Where(Frame(), IsRed);
    ASSERT_GT(Red.Count, 1000);
    EXPECT_NEAR(Red.Left, 5, 3);
    EXPECT_NEAR(Red.Right, 73, 3);
    EXPECT_NEAR(Red.Top, 189, 3);
    EXPECT_NEAR(Red.Bottom, 257, 3);
}

TEST_F(GlobeRenderTest, ZoomingInMovesTheNearPlanePastTheSpriteAtAbout364)
{
    // The sprite stands 8 units in front of the camera; the near plane is 0.021974 x FocalLength away.
    Frame();
    EXPECT_NEAR(Globe.Camera_1->NearDistance(), 2.6369, 1e-3);
    Globe.Camera_1->SetFocalLength(363);
    Frame();
    EXPECT_LT(Globe.Camera_1->NearDistance(), 8.0f);
    Globe.Camera_1->SetFocalLength(365);
    Frame();
    EXPECT_GT(Globe.Camera_1->NearDistance(), 8.0f);
}

TEST_F(GlobeRenderTest, AFocalLengthOfZeroOrLessIsTakenAsOne)
{
    Globe.Camera_1->SetFocalLength(0);
    EXPECT_FLOAT_EQ(Globe.Camera_1->FocalLength(), 1);
    Globe.Camera_1->SetFocalLength(-30);
    EXPECT_FLOAT_EQ(Globe.Camera_1->FocalLength(), 1);
    Frame(); // a frame still draws
}
