// The online services on the real window: the weather on the sprite and the
// heads-up line, and the services menu's errors in the error report.
#include "WatchFixture.h"

#include "scene/GLHUDText.h"
#include "scene/GLPictureImage.h"
#include "scene/GLSprite.h"
#include "scene/GLTexture.h"
#include "services/zentavo_companion.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QMenu>
#include <QTest>

namespace {

std::string SentCode;

uint8_t DrawWeather(ZTWindow* MainWindow, uintptr_t, const char* WeatherCode, ZTUserConnection, ZTRSSWeather**)
{
    SentCode = WeatherCode;
    MainWindow->Methods->SetCaption(MainWindow, "São Paulo 24°C, nublado");
    ZTBitmap* Brush = MainWindow->Methods->BrushBitmap(MainWindow);
    std::vector<uint32_t> Pixels(8 * 8, 0xFF3366CCu);
    Pixels[7 * 8] = 0xFF00FF00u; // the see-through background
    Brush->Methods->SetPixels(Brush, 8, 8, Pixels.data());
    return 1;
}

const char* Provinces()
{
    return "Rio de Janeiro, Brazil|-22.9064,-43.1822\nSão Paulo, Brazil|-23.5475,-46.6361\n";
}

class WatchOnlineTest : public TWatchFixture
{
protected:
    void SetUp() override
    {
        TWatchFixture::SetUp();
        SeedStore();
        StoreText("UF", "São Paulo");
    }
    Scene::TGLPictureImage& Sprite() { return Window->Globe->WeatherPic->Material().Texture().Image(); }
};

TEST_F(WatchOnlineTest, TheWeatherPictureAndTextReachTheGlobeAndTheWindowRedraws)
{
    Libraries.AddLibrary("ztaddon.so", {{"getProvinces", reinterpret_cast<void*>(&Provinces)}});
    Libraries.AddLibrary("weather.so", {{"getWeatherInfo", reinterpret_cast<void*>(&DrawWeather)}});
    Twatch& Watch = Start();
    Watch.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&Watch));
    QTest::qWait(50);
    const auto Frames = Watch.ScreenView->Buffer().RenderedFrames();
    Watch.zt_WeatherForecast();
    EXPECT_TRUE(Watch.GMTSystem->WeatherOk);
    EXPECT_EQ(SentCode, "-23.5475,-46.6361");
    EXPECT_EQ(Watch.HUDText->Text(), "S\xE3o Paulo 24\xB0" "C, nublado") << "the caption in the code page";
    EXPECT_EQ(Sprite().Width(), 8);
    EXPECT_EQ(Sprite().Height(), 8);
    EXPECT_FALSE(QFile::exists("weather.bmp"));
    QTRY_VERIFY_WITH_TIMEOUT(Watch.ScreenView->Buffer().RenderedFrames() > Frames, 5000);
}

TEST_F(WatchOnlineTest, WithoutTheWeatherLibraryTheLineKeepsItsDesignedTextAndTheSpriteStaysBlank)
{
    Twatch& Watch = Start();
    Watch.zt_WeatherForecast();
    EXPECT_FALSE(Watch.GMTSystem->WeatherOk);
    EXPECT_EQ(Watch.HUDText->Text(), "Zentavo 3D Desktop");
    EXPECT_EQ(Sprite().Width(), 1) << "the keyed placeholder";
    EXPECT_TRUE(Errors.empty());
}

TEST_F(WatchOnlineTest, AMenuItemWithABadAttributeReachesTheErrorReport)
{
    WriteConfiguration("<zentavo><library><weather><channel font=\"Canal\"/><forecast font=\"Previsão\"/>"
                       "</weather><popup><help link=\"x\" caption=\"y\"/><shopwindow elapse=\"60\"/></popup>"
                       "</library><system><aboutus link=\"x\" caption=\"y\" top=\"alto\"/></system></zentavo>");
    Twatch& Watch = Start();
    EXPECT_EQ(Watch.WeatherChannel->text(), "Canal");
    Watch.WeatherChannel->trigger();
    Watch.Ajuda1->trigger();
    Watch.Sobre1->trigger();
    ASSERT_EQ(Errors.size(), 3u);
    EXPECT_TRUE(Errors[0].contains("link")) << Errors[0].toStdString();
    EXPECT_TRUE(Errors[1].contains("top")) << Errors[1].toStdString();
    EXPECT_TRUE(Errors[2].contains("alto")) << Errors[2].toStdString();
    EXPECT_TRUE(Launcher.Opened().empty());
    EXPECT_TRUE(Watch.GMTSystem->Connected) << "set before the attribute was read";
}

} // namespace
