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

int32_t OpenPopup(const QString& Link, const QString& Caption, int Top, int Left, int Width, int Height,
                  int32_t Delay = 0)
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
                                               Left, Width, Height, Delay, 0)
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

TEST(PopupWindowTest, TheDelayClosesTheWindowAndOneBeyondTheTimersReachNeverWrapsToAMoment)
{
    const std::string Folder = Zentavo::Testing::MakeScratchFolder("popup-delay");
    std::filesystem::current_path(Folder);
    TFakeBrowser Browser(Folder);
    std::ofstream("page.html") << "<!DOCTYPE html><html><body>Zentavo</body></html>";

    // 4294968 s in milliseconds wraps a 32-bit count to 704 ms.
    for (const int32_t Delay : {4294968, 2147483647}) {
        SCOPED_TRACE(Delay);
        ASSERT_EQ(OpenPopup(QStringLiteral("page.html"), QStringLiteral("Longa"), 10, 10, 300, 200, Delay),
                  1);
        ASSERT_TRUE(WaitFor([] { return PopupWindow() != nullptr; }, 10000));
        QTest::qWait(2000);
        ASSERT_NE(PopupWindow(), nullptr) << "the window closed at once";
        PopupWindow()->close();
        EXPECT_TRUE(WaitFor([] { return PopupWindow() == nullptr; }, 10000));
    }

    ASSERT_EQ(OpenPopup(QStringLiteral("page.html"), QStringLiteral("Curta"), 10, 10, 300, 200, 1), 1);
    ASSERT_TRUE(WaitFor([] { return PopupWindow() != nullptr; }, 10000));
    EXPECT_TRUE(WaitFor([] { return PopupWindow() == nullptr; }, 5000)) << "a delay of 1 s closes it";
    EXPECT_TRUE(WaitFor([] { return !IsLoaded(ZENTAVO_POPUP_LIBRARY); }, 10000));
}

TEST(PopupWindowTest, OnlyAUsersClickOpensAnotherSiteOnePerClickAndOnlyForTheWebOrMail)
{
    const std::string Folder = Zentavo::Testing::MakeScratchFolder("popup-navigation");
    std::filesystem::current_path(Folder);
    TFakeBrowser Browser(Folder);
    const char* Block =
        "style=\"position:absolute;left:0;width:100%;height:90px;display:block;background:#3060c0\"";
    std::ofstream("page.html")
        << "<!DOCTYPE html><html><body style=\"margin:0\">"
        << "<a id=\"steam\" href=\"steam://run/1\" " << Block << " ></a>"
        << "<a id=\"mail\" href=\"mailto:ajuda@example.org\" " << Block << " onmouseover=\"\" ></a>"
        << "<a id=\"many\" href=\"http://first.invalid/\" " << Block << " ></a>"
        << "<script>"
           "document.getElementById('steam').style.top='0px';"
           "document.getElementById('mail').style.top='100px';"
           "document.getElementById('many').style.top='200px';"
           "document.getElementById('many').addEventListener('click', function () {"
           "  window.open('http://second.invalid/'); window.open('http://third.invalid/');"
           "});"
           "setTimeout(function () { window.open('http://unasked.invalid/'); }, 200);"
           "setTimeout(function () { location.href = 'smb://server/share'; }, 400);"
           "setTimeout(function () { location.href = 'http://elsewhere.invalid/'; }, 600);"
           "</script></body></html>";

    ASSERT_EQ(OpenPopup(QStringLiteral("page.html"), QStringLiteral("Navegação"), 100, 100, 400, 320), 1);
    ASSERT_TRUE(WaitFor([] { return PopupWindow() != nullptr; }, 10000));
    QWidget* Window = PopupWindow();
    // Wait for the page's blocks, then for its scripts to have tried.
    ASSERT_TRUE(WaitFor(
        [] {
            const QImage Screen =
                QGuiApplication::primaryScreen()->grabWindow(0, 100, 100, 400, 320).toImage();
            return Screen.pixel(200, 250) == 0xFF3060C0u;
        },
        20000));
    QTest::qWait(1500);
    EXPECT_TRUE(Browser.Opened().empty()) << "the page's scripts opened " << Browser.Opened().front();

    const auto Click = [&](int Y) {
        const QPoint At = Window->mapToGlobal(QPoint(200, Y));
        QWidget* Target = QApplication::widgetAt(At);
        ASSERT_NE(Target, nullptr);
        QTest::mouseClick(Target, Qt::LeftButton, {}, Target->mapFromGlobal(At));
    };
    Click(40);
    QTest::qWait(1500);
    EXPECT_TRUE(Browser.Opened().empty()) << "a steam: link went out";
    Click(140);
    ASSERT_TRUE(WaitFor([&] { return !Browser.Opened().empty(); }, 10000));
    EXPECT_EQ(Browser.Opened(), std::vector<std::string>{"mailto:ajuda@example.org"});
    Click(240);
    EXPECT_TRUE(WaitFor([&] { return Browser.Opened().size() >= 2; }, 10000));
    QTest::qWait(1500); // for any further address
    EXPECT_EQ(Browser.Opened().size(), 2u) << "one address for one click";
    if (Browser.Opened().size() >= 2) {
        EXPECT_NE(Browser.Opened()[1].find(".invalid/"), std::string::npos) << Browser.Opened()[1];
    }

    Window->close();
    EXPECT_TRUE(WaitFor([] { return !IsLoaded(ZENTAVO_POPUP_LIBRARY); }, 10000));
}

} // namespace
