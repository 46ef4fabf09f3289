#include "services/PictureLibrary.h"

#include "CompanionFakes.h"
#include "CompanionFolder.h"
#include "services/HostPopupMenu.h"
#include "platform/testing/TestLibraryLoader.h"

#include <QImage>

using testing::ElementsAre;

class PictureLibraryTest : public TCompanionFolder
{
protected:
    TTestLibraryLoader Loader;
};

TEST_F(PictureLibraryTest, LibraryFillsTheEmptyBitmapFromPixels)
{
    Install({"images.so"});
    TPictureLibrary Pictures(Loader);
    Pictures.GetPicture("MOON");
    const QImage& Moon = Pictures.PictureBitmap();
    ASSERT_EQ(Moon.size(), QSize(3, 2));
    for (int Index = 0; Index < 6; ++Index)
        EXPECT_EQ(Moon.pixel(Index % 3, Index / 3), 0xFF000000u | static_cast<unsigned>(Index * 0x203040))
            << "pixel " << Index;
    EXPECT_EQ(Loader.Held(), 0);
    EXPECT_THAT(Log(), ElementsAre("load images", "GetPicture MOON before=0x0", "SetPixels 1",
                                   "SetPixels negative 0", "after=3x2", "unload images"));
}

TEST_F(PictureLibraryTest, FilledBitmapSurvivesTheTripThroughABmpFile)
{
    Install({"images.so"});
    TPictureLibrary Pictures(Loader);
    Pictures.GetPicture("MOON");
    ASSERT_TRUE(Pictures.PictureBitmap().save("moon.bmp", "BMP"));
    QImage Loaded("moon.bmp");
    ASSERT_EQ(Loaded.size(), QSize(3, 2));
    for (int Index = 0; Index < 6; ++Index)
        EXPECT_EQ(Loaded.pixel(Index % 3, Index / 3), Pictures.PictureBitmap().pixel(Index % 3, Index / 3));
}

TEST_F(PictureLibraryTest, LibraryFillsTheBitmapFromAFile)
{
    Install({"images.so"});
    QImage Source(5, 4, QImage::Format_RGB32);
    Source.fill(qRgb(200, 10, 30));
    ASSERT_TRUE(Source.save("source.bmp", "BMP"));
    TPictureLibrary Pictures(Loader);
    Pictures.GetPicture("FILE");
    ASSERT_EQ(Pictures.PictureBitmap().size(), QSize(5, 4));
    EXPECT_EQ(Pictures.PictureBitmap().pixel(4, 3), qRgb(200, 10, 30));
    EXPECT_THAT(Log(), ElementsAre("load images", "GetPicture FILE before=0x0", "LoadFromFile missing 0",
                                   "LoadFromFile 1", "after=5x4", "unload images"));
}

TEST_F(PictureLibraryTest, EveryRequestStartsFromANewEmptyBitmap)
{
    Install({"images.so"});
    TPictureLibrary Pictures(Loader);
    Pictures.GetPicture("MOON");
    Pictures.GetPicture("UNKNOWN");
    EXPECT_TRUE(Pictures.PictureBitmap().isNull());
}

TEST_F(PictureLibraryTest, MissingLibraryOrExportLeavesTheBitmapEmpty)
{
    TPictureLibrary Pictures(Loader);
    Pictures.GetPicture("MOON");
    EXPECT_TRUE(Pictures.PictureBitmap().isNull());
    InstallHollow({"images.so"});
    Pictures.GetPicture("MOON");
    EXPECT_TRUE(Pictures.PictureBitmap().isNull());
    EXPECT_EQ(Loader.Held(), 0);
    EXPECT_THAT(Log(), ElementsAre("load images", "unload images"));
}

TEST_F(PictureLibraryTest, TrayIconGetsItsArgumentsAndCanPopTheMenuUp)
{
    Install({"images.so"});
    TFakeMenu Menu;
    THostPopupMenu HostMenu(Menu);
    TPictureLibrary Pictures(Loader);
    Pictures.SetTaskBarIcon(0x3a00007, TPictureLibrary::TaskIconIdentifier, TPictureLibrary::ShowIcon,
                            &HostMenu, "CLOCK", "Despertador: 07:30");
    Pictures.SetTaskBarIcon(0x3a00007, TPictureLibrary::TaskIconIdentifier, TPictureLibrary::RemoveIcon,
                            nullptr, "CLOCK", "");
    EXPECT_THAT(Menu.Points, ElementsAre(std::make_pair(10, 20)));
    EXPECT_THAT(Log(),
                ElementsAre("load images",
                            "SetTaskBarIcon window=60817415 id=193 operation=0 menu=yes icon=CLOCK "
                            "tip=Despertador: 07:30",
                            "Popup 1", "unload images", "load images",
                            "SetTaskBarIcon window=60817415 id=193 operation=2 menu=null icon=CLOCK tip=",
                            "unload images"));
}

TEST_F(PictureLibraryTest, MenuThatFailsReportsFalseToTheLibrary)
{
    Install({"images.so"});
    TFakeMenu Menu;
    Menu.Broken = true;
    THostPopupMenu HostMenu(Menu);
    TPictureLibrary Pictures(Loader);
    Pictures.SetTaskBarIcon(1, 193, 0, &HostMenu, "CLOCK", "x");
    EXPECT_THAT(Log(), testing::Contains("Popup 0"));
}
