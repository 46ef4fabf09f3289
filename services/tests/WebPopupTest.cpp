#include "services/WebPopup.h"

#include "CompanionFakes.h"
#include "CompanionFolder.h"
#include "platform/testing/TestLibraryLoader.h"

#include <QString>

using testing::ElementsAre;

class WebPopupTest : public TCompanionFolder
{
protected:
    std::u16string ReadUtf16(const std::string& Name)
    {
        const std::string Bytes = ReadFile(Name);
        return std::u16string(reinterpret_cast<const char16_t*>(Bytes.data()), Bytes.size() / 2);
    }

    TTestLibraryLoader Loader;
    TFakeWindow Window;
};

TEST_F(WebPopupTest, LibraryStaysLoadedFromLoadBrowserToUnloadBrowser)
{
    Install({"popup.so"});
    TWebPopup Popup(Loader);
    ASSERT_TRUE(Popup.LoadBrowser());
    EXPECT_TRUE(Popup.BrowserLoaded());
    EXPECT_NE(Popup.LibraryHandle(), nullptr);
    Popup.GetBrowserWin(&Window, QStringLiteral("http://localhost/ajuda?q=ção"),
                        QString::fromUtf8("Ajuda \xf0\x9f\x8c\x8d"), 40, 50, 640, 480, 3, 1);
    EXPECT_THAT(Log(), ElementsAre("load popup", "GetBrowserWin window=yes 40 50 640 480 3 1"));
    EXPECT_TRUE(Popup.UnloadBrowser());
    EXPECT_FALSE(Popup.BrowserLoaded());
    EXPECT_EQ(Popup.EntryPoint(), nullptr);
    EXPECT_EQ(Loader.Held(), 0);
    EXPECT_EQ(Log().back(), "unload popup");
    EXPECT_EQ(ReadUtf16("link.utf16"), u"http://localhost/ajuda?q=ção");
    EXPECT_EQ(ReadUtf16("caption.utf16"), u"Ajuda \U0001F30D");
}

TEST_F(WebPopupTest, AboutWindowGetsNoMainWindowAndNegativeNumbersStay)
{
    Install({"popup.so"});
    TWebPopup Popup(Loader);
    ASSERT_TRUE(Popup.LoadBrowser());
    Popup.GetBrowserWin(nullptr, "http://localhost/sobre", "Sobre", -25536, 0, 300, 200, 0, 0);
    Popup.UnloadBrowser();
    EXPECT_THAT(Log(),
                ElementsAre("load popup", "GetBrowserWin window=null -25536 0 300 200 0 0", "unload popup"));
}

TEST_F(WebPopupTest, MissingLibraryShowsNothing)
{
    TWebPopup Popup(Loader);
    EXPECT_FALSE(Popup.LoadBrowser());
    Popup.GetBrowserWin(&Window, "http://localhost/", "x", 0, 0, 1, 1, 0, 0);
    EXPECT_FALSE(Popup.UnloadBrowser());
    EXPECT_TRUE(Log().empty());
}

TEST_F(WebPopupTest, MissingExportShowsNothingAndUnloadStillReleases)
{
    InstallHollow({"popup.so"});
    TWebPopup Popup(Loader);
    EXPECT_FALSE(Popup.LoadBrowser());
    Popup.GetBrowserWin(&Window, "http://localhost/", "x", 0, 0, 1, 1, 0, 0);
    EXPECT_EQ(Loader.Held(), 1);
    EXPECT_TRUE(Popup.UnloadBrowser());
    EXPECT_EQ(Loader.Held(), 0);
    EXPECT_THAT(Log(), ElementsAre("load popup", "unload popup"));
}

TEST_F(WebPopupTest, DroppedBindingReleasesALibraryNotUnloaded)
{
    Install({"popup.so"});
    {
        TWebPopup Popup(Loader);
        Popup.LoadBrowser();
    }
    EXPECT_EQ(Loader.Held(), 0);
    EXPECT_THAT(Log(), ElementsAre("load popup", "unload popup"));
}

TEST_F(WebPopupTest, LoadingTwiceHoldsOneLibrary)
{
    Install({"popup.so"});
    TWebPopup Popup(Loader);
    Popup.LoadBrowser();
    Popup.LoadBrowser();
    EXPECT_EQ(Loader.Held(), 1);
    Popup.UnloadBrowser();
    EXPECT_EQ(Loader.Held(), 0);
}
