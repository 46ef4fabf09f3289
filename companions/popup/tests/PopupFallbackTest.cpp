// popup.so where no web window can be shown: the link goes to the desktop's browser.
#include "PopupTestSupport.h"
#include "TemporaryHome.h"
#include "zentavo_companion.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTest>

#include <dlfcn.h>
#include <filesystem>
#include <fstream>

using namespace PopupTesting;

namespace {

TEST(PopupFallbackTest, WithoutADisplayForWindowsTheLinkOpensInTheDefaultBrowser)
{
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("offscreen"));
    const std::string Folder = Zentavo::Testing::MakeScratchFolder("popup-fallback");
    std::filesystem::current_path(Folder);
    TFakeBrowser Browser(Folder);
    std::ofstream("about.html") << "<html><body>Sobre</body></html>";

    void* Library = dlopen(ZENTAVO_POPUP_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(Library, nullptr) << dlerror();
    auto* Function = reinterpret_cast<ZTGetBrowserWinFunction*>(dlsym(Library, "GetBrowserWin"));
    ASSERT_NE(Function, nullptr);
    const std::u16string Caption = Utf16(QStringLiteral("Sobre o Zentavo 3D"));
    for (const char* Link : {"about.html", "https://example.invalid/servicos"}) {
        const std::u16string Text = Utf16(QString::fromUtf8(Link));
        EXPECT_EQ(Function(nullptr, reinterpret_cast<const uint16_t*>(Text.c_str()),
                           reinterpret_cast<const uint16_t*>(Caption.c_str()), 10, 10, 400, 300, 0, 0),
                  1);
    }
    // An empty link opens nothing.
    const std::u16string Empty;
    EXPECT_EQ(Function(nullptr, reinterpret_cast<const uint16_t*>(Empty.c_str()),
                       reinterpret_cast<const uint16_t*>(Caption.c_str()), 10, 10, 400, 300, 0, 0),
              0);
    dlclose(Library);
    EXPECT_FALSE(IsLoaded(ZENTAVO_POPUP_LIBRARY)) << "no window, so nothing holds the library";
    for (int Wait = 0; Wait < 100 && Browser.Opened().size() < 2; ++Wait)
        QTest::qWait(50);
    const std::vector<std::string> Opened = Browser.Opened();
    ASSERT_EQ(Opened.size(), 2u);
    EXPECT_EQ(Opened[0],
              "file://" + QDir::current().absoluteFilePath(QStringLiteral("about.html")).toStdString());
    EXPECT_EQ(Opened[1], "https://example.invalid/servicos");
}

TEST(PopupFallbackTest, TheClocksOwnPageOpensInTheUsersLanguageWhereThereIsOne)
{
    const std::string Folder = Zentavo::Testing::MakeScratchFolder("popup-language");
    std::filesystem::current_path(Folder);
    TFakeBrowser Browser(Folder);
    std::filesystem::create_directory("pages");
    for (const char* Page : {"pages/help.html", "pages/help.en.html", "pages/about.html"})
        std::ofstream(Page) << "<html><body>" << Page << "</body></html>";

    const auto Open = [](const char* Link) {
        void* Library = dlopen(ZENTAVO_POPUP_LIBRARY, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(Library, nullptr) << dlerror();
        auto* Function = reinterpret_cast<ZTGetBrowserWinFunction*>(dlsym(Library, "GetBrowserWin"));
        ASSERT_NE(Function, nullptr);
        const std::u16string Text = Utf16(QString::fromUtf8(Link));
        const std::u16string Caption = Utf16(QStringLiteral("Zentavo 3D"));
        EXPECT_EQ(Function(nullptr, reinterpret_cast<const uint16_t*>(Text.c_str()),
                           reinterpret_cast<const uint16_t*>(Caption.c_str()), 10, 10, 400, 300, 0, 0),
                  1);
        dlclose(Library);
    };
    const auto FileUrl = [](const char* Page) {
        return "file://" + QDir::current().absoluteFilePath(QString::fromUtf8(Page)).toStdString();
    };
    setenv("LANGUAGE", "en_GB:en", 1);
    Open("pages/help.html");
    // No English page: the Portuguese one rather than nothing.
    Open("pages/about.html");
    setenv("LANGUAGE", "de", 1);
    Open("pages/help.html");
    setenv("LANGUAGE", "", 1);
    for (int Wait = 0; Wait < 100 && Browser.Opened().size() < 3; ++Wait)
        QTest::qWait(50);
    EXPECT_EQ(Browser.Opened(),
              std::vector<std::string>(
                  {FileUrl("pages/help.en.html"), FileUrl("pages/about.html"), FileUrl("pages/help.html")}));
}

} // namespace
