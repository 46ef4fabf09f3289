// popup.so on a real X server: its web window, its links, its hold on itself.
// Like the clock, the test does not link the web engine: the library brings it.
#include "PopupTestSupport.h"
#include "TemporaryHome.h"
#include "zentavo_companion.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QScreen>
#include <QTest>

#include <dlfcn.h>
#include <filesystem>
#include <fstream>

using namespace PopupTesting;

namespace {

constexpr QRgb PageColour = 0xFF2A7F3F;

QWidget* PopupWindow()
{
    for (QWidget* Top : QApplication::topLevelWidgets())
        if (Top->objectName() == QLatin1String("ZentavoPopupWindow") && Top->isVisible())
            return Top;
    return nullptr;
}

template <typename TCondition> bool WaitFor(TCondition Condition, int Milliseconds)
{
    QElapsedTimer Timer;
    Timer.start();
    while (!Condition()) {
        if (Timer.elapsed() > Milliseconds)
            return false;
        QTest::qWait(50);
    }
    return true;
}

int32_t OpenPopup(const QString& Link, const QString& Caption, int Top, int Left, int Width, int Height)
{
    // As the clock does: load, call, release at once.
    void* Library = dlopen(ZENTAVO_POPUP_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    EXPECT_NE(Library, nullptr) << dlerror();
    if (Library == nullptr)
        return 0;
    auto* Function = reinterpret_cast<ZTGetBrowserWinFunction*>(dlsym(Library, "GetBrowserWin"));
    EXPECT_NE(Function, nullptr);
    const std::u16string LinkText = Utf16(Link);
    const std::u16string CaptionText = Utf16(Caption);
    const int32_t Result = Function ? Function(nullptr, reinterpret_cast<const uint16_t*>(LinkText.c_str()),
                                               reinterpret_cast<const uint16_t*>(CaptionText.c_str()), Top,
                                               Left, Width, Height, 0, 0)
                                    : 0;
    dlclose(Library);
    return Result;
}

TEST(PopupWindowTest, TheWindowShowsTheLocalPageWhereAskedSendsOtherSitesToTheBrowserAndReleasesTheLibrary)
{
    const std::string Folder = Zentavo::Testing::MakeScratchFolder("popup");
    std::filesystem::current_path(Folder);
    TFakeBrowser Browser(Folder);
    std::ofstream("help.html")
        << "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>Página de teste</title>"
           "<style>body{background:#2a7f3f;color:white;font:20px sans-serif}</style></head>"
           "<body><h1>Zentavo 3D</h1><p>Ajuda.</p>"
           "<a id=\"away\" href=\"http://elsewhere.invalid/page?x=1\" "
           "style=\"position:absolute;left:0;top:200px;"
           "width:100%;height:120px;background:#3060c0\">fora</a></body></html>";

    ASSERT_FALSE(IsLoaded(ZENTAVO_POPUP_LIBRARY));
    ASSERT_EQ(OpenPopup(QStringLiteral("help.html"), QStringLiteral("Ajuda do Zentavo 3D — teste"), 120, 80,
                        520, 380),
              1);
    EXPECT_TRUE(IsLoaded(ZENTAVO_POPUP_LIBRARY))
        << "the window holds its library after the clock released it";

    ASSERT_TRUE(WaitFor([] { return PopupWindow() != nullptr; }, 10000));
    QWidget* Window = PopupWindow();
    EXPECT_EQ(Window->windowTitle(), QStringLiteral("Ajuda do Zentavo 3D — teste"));
    EXPECT_EQ(Window->geometry(), QRect(80, 120, 520, 380));
    // What the screen shows in the window's place is the page.
    QImage Screen;
    ASSERT_TRUE(WaitFor(
        [&] {
            Screen = QGuiApplication::primaryScreen()->grabWindow(0, 80, 120, 520, 380).toImage();
            int Text = 0; // the white heading over the page's colour
            for (int Y = 0; Y < 80; ++Y)
                for (int X = 0; X < 300; ++X)
                    Text += qRed(Screen.pixel(X, Y)) > 230 && qGreen(Screen.pixel(X, Y)) > 230;
            return Screen.pixel(450, 150) == PageColour && Text > 100;
        },
        20000))
        << std::hex << Screen.pixel(450, 150);
    if (const char* Shots = getenv("ZENTAVO_SCREENSHOT_DIR"))
        Screen.save(QString::fromLocal8Bit(Shots) + QStringLiteral("/popup.png"));

    // A link to another site goes to the desktop's browser; the popup stays on its page.
    const QPoint Link = Window->mapToGlobal(QPoint(260, 260));
    QWidget* Target = QApplication::widgetAt(Link);
    ASSERT_NE(Target, nullptr);
    QTest::mouseClick(Target, Qt::LeftButton, {}, Target->mapFromGlobal(Link));
    ASSERT_TRUE(WaitFor([&] { return !Browser.Opened().empty(); }, 10000));
    EXPECT_EQ(Browser.Opened(), std::vector<std::string>{"http://elsewhere.invalid/page?x=1"});
    QTest::qWait(500);
    EXPECT_EQ(QGuiApplication::primaryScreen()->grabWindow(0, 80, 120, 520, 380).toImage().pixel(450, 150),
              PageColour);

    Window->close();
    EXPECT_TRUE(WaitFor([] { return !IsLoaded(ZENTAVO_POPUP_LIBRARY); }, 10000))
        << "the library goes with its last window";
    EXPECT_EQ(PopupWindow(), nullptr);

    // And it comes back for the next one.
    ASSERT_EQ(OpenPopup(QStringLiteral("help.html"), QStringLiteral("Outra"), 10, 10, 300, 200), 1);
    ASSERT_TRUE(WaitFor([] { return PopupWindow() != nullptr; }, 10000));
    EXPECT_TRUE(IsLoaded(ZENTAVO_POPUP_LIBRARY));
    PopupWindow()->close();
    EXPECT_TRUE(WaitFor([] { return !IsLoaded(ZENTAVO_POPUP_LIBRARY); }, 10000));
}

} // namespace
