#include "platform/LinuxLibraryLoader.h"
#include "services/CompanionMenu.h"
#include "services/HostPopupMenu.h"
#include "services/PictureLibrary.h"
#include "TemporaryHome.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QSystemTrayIcon>
#include <QTest>

#include <filesystem>

namespace {

class TCountingMenu : public TCompanionMenu
{
public:
    void Popup(int, int) override { ++Popups; }
    int Popups = 0;
};

// The real images.so in a working folder of its own, reached through the clock's own binding.
class ImagesCompanionTest : public testing::Test
{
protected:
    void SetUp() override
    {
        FPrevious = std::filesystem::current_path();
        const std::string Folder = Zentavo::Testing::MakeScratchFolder("images");
        std::filesystem::current_path(Folder);
        std::filesystem::copy_file(ZENTAVO_IMAGES_LIBRARY, "images.so");
        std::filesystem::permissions("images.so", std::filesystem::perms::owner_all |
                                                      std::filesystem::perms::group_read |
                                                      std::filesystem::perms::group_exec);
        std::filesystem::create_directory("pictures");
    }

    void TearDown() override { std::filesystem::current_path(FPrevious); }

    static void WritePicture(const QString& FileName, QSize Size, QColor Color)
    {
        QImage Picture(Size, QImage::Format_RGB32);
        Picture.fill(Color);
        ASSERT_TRUE(Picture.save(QStringLiteral("pictures/") + FileName));
    }

    QSystemTrayIcon* TrayIcon() const
    {
        return qApp->findChild<QSystemTrayIcon*>(QStringLiteral("ZentavoTrayIcon"));
    }

    Platform::TLinuxLibraryLoader Loader;

private:
    std::filesystem::path FPrevious;
};

} // namespace

TEST_F(ImagesCompanionTest, ServesNamedPicturesFromThePicturesFolder)
{
    WritePicture(QStringLiteral("SURFACE.bmp"), QSize(8, 4), QColor(10, 120, 200));
    WritePicture(QStringLiteral("moon.png"), QSize(32, 32), QColor(250, 250, 210));
    TPictureLibrary Surface(Loader);
    Surface.GetPicture("SURFACE");
    ASSERT_EQ(Surface.PictureBitmap().size(), QSize(8, 4));
    EXPECT_EQ(Surface.PictureBitmap().pixelColor(3, 2), QColor(10, 120, 200));
    TPictureLibrary Moon(Loader);
    Moon.GetPicture("MOON");
    EXPECT_EQ(Moon.PictureBitmap().size(), QSize(32, 32)) << "found in lower case";
}

TEST_F(ImagesCompanionTest, AnUnknownOrUnsafeNameLeavesTheBitmapEmpty)
{
    WritePicture(QStringLiteral("SURFACE.bmp"), QSize(8, 4), Qt::red);
    std::filesystem::create_directory("elsewhere");
    QImage Outside(4, 4, QImage::Format_RGB32);
    Outside.fill(Qt::green);
    ASSERT_TRUE(Outside.save(QStringLiteral("elsewhere/SECRET.bmp")));
    for (const char* Name : {"DOMO_H", "../elsewhere/SECRET", "", "SURFACE.bmp"}) {
        TPictureLibrary Pictures(Loader);
        Pictures.GetPicture(Name);
        EXPECT_TRUE(Pictures.PictureBitmap().isNull()) << Name;
    }
}

TEST_F(ImagesCompanionTest, TheTrayIconShowsWithItsTipAndStaysAfterTheLibraryIsReleased)
{
    TCountingMenu Menu;
    THostPopupMenu HostMenu(Menu);
    {
        TPictureLibrary Pictures(Loader);
        Pictures.SetTaskBarIcon(0, 193, TPictureLibrary::ShowIcon, &HostMenu, "CLOCK",
                                "Zentavo agendou um evento para\r08/12/2026 07:30:00");
    }
    QSystemTrayIcon* Icon = TrayIcon();
    ASSERT_NE(Icon, nullptr);
    EXPECT_TRUE(Icon->isVisible());
    EXPECT_EQ(Icon->toolTip(), QStringLiteral("Zentavo agendou um evento para\n08/12/2026 07:30:00"));
    // A click on the icon pops the clock's menu up.
    emit Icon->activated(QSystemTrayIcon::Trigger);
    EXPECT_EQ(Menu.Popups, 1);

    {
        TPictureLibrary Pictures(Loader);
        Pictures.SetTaskBarIcon(0, 193, TPictureLibrary::RemoveIcon, nullptr, "CLOCK", "");
    }
    EXPECT_EQ(TrayIcon(), nullptr);
}

TEST_F(ImagesCompanionTest, RemovingAnIconThatIsNotShownDoesNothing)
{
    TPictureLibrary Pictures(Loader);
    Pictures.SetTaskBarIcon(0, 193, TPictureLibrary::RemoveIcon, nullptr, "CLOCK", "");
    EXPECT_EQ(TrayIcon(), nullptr);
}
