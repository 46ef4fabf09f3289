// The real clock on a desktop with a real window manager (and, where a test
// asks, a real desktop manager): the places a person sees it in.
#include "DesktopSession.h"
#include "ClockFolder.h"
#include "TemporaryHome.h"
#include "XDisplay.h"

#include <gtest/gtest.h>

#include <QPoint>
#include <QProcess>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <regex>
#include <thread>

namespace {

constexpr unsigned long KeyColor = 0xA6CAF0;
constexpr unsigned long NormalWindowColor = 0xC03030;
constexpr unsigned long AllDesktops = 0xFFFFFFFFul;

bool Contains(const std::vector<std::string>& List, const std::string& Item)
{
    return std::find(List.begin(), List.end(), Item) != List.end();
}

// One session for the whole suite: a window manager per test would cost more than the tests.
class DesktopSessionTest : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        // ZENTAVO_WINDOW_MANAGER in the environment runs the suite under another one by hand.
        const char* Chosen = std::getenv("ZENTAVO_WINDOW_MANAGER");
        Session = new TDesktopSession(Chosen != nullptr && *Chosen != '\0' ? Chosen : ZENTAVO_WINDOW_MANAGER);
        if (!Session->Start())
            Failure = Session->Failure();
    }
    static void TearDownTestSuite()
    {
        delete Session;
        Session = nullptr;
    }

    void SetUp() override
    {
        ASSERT_TRUE(Failure.empty()) << Failure;
        X = std::make_unique<TXDisplay>();
        Files = std::make_unique<TClockFolder>(Zentavo::Testing::MakeScratchFolder("clock"));
    }

    void TearDown() override
    {
        if (Clock.state() != QProcess::NotRunning) {
            Clock.kill();
            Clock.waitForFinished(5000);
        }
        for (const Window Made : Made)
            X->Destroy(Made);
        if (Session != nullptr) {
            Session->KillDesktopManager();
            Session->Run("wmctrl", {"-k", "off"});
            Session->Run("wmctrl", {"-s", "0"});
        }
    }

    void WriteStore(int Top, int Left) { Files->WriteStore(Top, Left); }
    int Stored(const char* Name) const { return Files->Stored(Name).value_or(-99999); }

    // The clock, started as the desktop's autostart would start it.
    Window StartClock(const QStringList& Extra = {})
    {
        QProcessEnvironment Environment = Session->Environment();
        Environment.insert("XDG_CONFIG_HOME", QString::fromStdString(Files->ConfigHome));
        for (const QString& Setting : Extra)
            Environment.insert(Setting.section('=', 0, 0), Setting.section('=', 1));
        Clock.setProcessEnvironment(Environment);
        Clock.setWorkingDirectory(QString::fromStdString(Files->WorkingFolder));
        Clock.start(ZENTAVO_EXECUTABLE, {});
        EXPECT_TRUE(Clock.waitForStarted(10000));
        return WaitForClockWindow();
    }

    Window WaitForClockWindow()
    {
        std::optional<Window> Found;
        EXPECT_TRUE(TXDisplay::WaitFor([&] { return (Found = X->FindByName("watch")).has_value(); }))
            << "no clock window; the clock said: " << Clock.readAllStandardError().toStdString();
        return Found.value_or(0);
    }

    // Ends the clock as a logout does, and gives what it wrote on standard error.
    std::string StopClock()
    {
        Clock.terminate();
        EXPECT_TRUE(Clock.waitForFinished(10000));
        EXPECT_EQ(Clock.exitCode(), 0);
        return Clock.readAllStandardError().toStdString();
    }

    QPoint Place(Window Target) const
    {
        int Left = 0, Top = 0, Width = 0, Height = 0;
        X->Geometry(Target, Left, Top, Width, Height);
        return QPoint(Left, Top);
    }

    std::optional<Window> DesktopWindow() const
    {
        for (const Window Candidate : X->AllWindows())
            if (Candidate != ClockWindow && X->IsShown(Candidate) &&
                Contains(X->AtomList(Candidate, "_NET_WM_WINDOW_TYPE"), "_NET_WM_WINDOW_TYPE_DESKTOP") &&
                X->Name(Candidate) != "watch")
                return Candidate;
        return std::nullopt;
    }

    unsigned long PixelAt(QPoint Point) const { return X->Screenshot(Point.x(), Point.y(), 1, 1).at(0); }

    static TDesktopSession* Session;
    static std::string Failure;
    std::unique_ptr<TXDisplay> X;
    QProcess Clock;
    Window ClockWindow = 0;
    std::vector<Window> Made;
    std::unique_ptr<TClockFolder> Files;
};

TDesktopSession* DesktopSessionTest::Session = nullptr;
std::string DesktopSessionTest::Failure;

TEST_F(DesktopSessionTest, WithoutADesktopWindowTheClockStaysBelowOnEveryWorkspaceThroughShowDesktop)
{
    WriteStore(100, 120);
    ClockWindow = StartClock();
    ASSERT_NE(ClockWindow, 0u);
    EXPECT_EQ(Place(ClockWindow), QPoint(120, 100));

    // What task bars, pagers and window switchers read.
    const auto Types = X->AtomList(ClockWindow, "_NET_WM_WINDOW_TYPE");
    ASSERT_FALSE(Types.empty());
    EXPECT_EQ(Types.front(), "_NET_WM_WINDOW_TYPE_DESKTOP");
    const auto States = X->AtomList(ClockWindow, "_NET_WM_STATE");
    EXPECT_TRUE(Contains(States, "_NET_WM_STATE_SKIP_TASKBAR"));
    EXPECT_TRUE(Contains(States, "_NET_WM_STATE_SKIP_PAGER"));
    EXPECT_TRUE(X->Items(ClockWindow, "WM_TRANSIENT_FOR", "WINDOW").empty())
        << "a transient window is kept on one workspace by some window managers";
    EXPECT_TRUE(TXDisplay::WaitFor([&] {
        return X->Items(ClockWindow, "_NET_WM_DESKTOP", "CARDINAL") ==
               std::vector<unsigned long>{AllDesktops};
    }));

    // A normal window over it stays over it, even after a click on the clock.
    const Window Normal = X->CreateWindow(200, 150, 300, 200, NormalWindowColor);
    Made.push_back(Normal);
    ASSERT_TRUE(TXDisplay::WaitFor([&] { return X->IsShown(Normal); }));
    Session->Run("xdotool", {"mousemove", "140", "420", "click", "1"});
    Session->Run("xdotool", {"mousemove", "700", "700"});
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const QPoint Inside = QPoint(120, 100) + QPoint(180, 160); // on the globe, under the normal window
    EXPECT_TRUE(TXDisplay::WaitFor([&] { return PixelAt(Inside) == NormalWindowColor; }))
        << "the normal window is not over the clock";
    const auto Stacking = X->Items(X->Root(), "_NET_CLIENT_LIST_STACKING", "WINDOW");
    const auto Below = std::find(Stacking.begin(), Stacking.end(), ClockWindow);
    const auto Above = std::find(Stacking.begin(), Stacking.end(), Normal);
    if (Below != Stacking.end() && Above != Stacking.end()) {
        EXPECT_LT(Below, Above) << "the window manager stacks the clock above a normal window";
    }

    // What the user sees there: the clock's globe, not the wallpaper and not the normal window.
    // Compositing window managers hide windows without unmapping them, so the screen is the judge.
    const unsigned long Wallpaper = PixelAt(QPoint(1270, 1010));
    const auto GlobeShows = [&] {
        const unsigned long Pixel = PixelAt(Inside);
        return Pixel != NormalWindowColor && Pixel != Wallpaper && Pixel != KeyColor;
    };

    // Show Desktop hides the normal window, not the clock.
    ASSERT_TRUE(Session->Run("wmctrl", {"-k", "on"}));
    EXPECT_TRUE(TXDisplay::WaitFor(GlobeShows, std::chrono::seconds(5)))
        << "after Show Desktop: " << std::hex << PixelAt(Inside) << " wallpaper " << Wallpaper;
    EXPECT_TRUE(X->IsShown(ClockWindow));
    EXPECT_FALSE(Contains(X->AtomList(ClockWindow, "_NET_WM_STATE"), "_NET_WM_STATE_HIDDEN"));
    ASSERT_TRUE(Session->Run("wmctrl", {"-k", "off"}));
    EXPECT_TRUE(TXDisplay::WaitFor([&] { return PixelAt(Inside) == NormalWindowColor; }));

    // On the second workspace the normal window stays behind and the clock is there.
    Session->Run("wmctrl", {"-n", "2"});
    ASSERT_GE(X->Items(X->Root(), "_NET_NUMBER_OF_DESKTOPS", "CARDINAL").at(0), 2u);
    ASSERT_TRUE(Session->Run("wmctrl", {"-s", "1"}));
    EXPECT_TRUE(TXDisplay::WaitFor(GlobeShows, std::chrono::seconds(5))) << "on the second workspace";
    EXPECT_TRUE(X->IsShown(ClockWindow));
    EXPECT_EQ(Place(ClockWindow), QPoint(120, 100));
    ASSERT_TRUE(Session->Run("wmctrl", {"-s", "0"}));

    EXPECT_EQ(StopClock(), "");
}

TEST_F(DesktopSessionTest, ThePlaceSavedIsTheRealOneWhereverTheWindowManagerPutIt)
{
    // Three starts: the place Qt caches after a window manager's reply was wrong in some of them.
    for (int Run = 0; Run < 3; ++Run) {
        WriteStore(40 + Run, 50 + Run);
        ClockWindow = StartClock();
        ASSERT_NE(ClockWindow, 0u);
        EXPECT_TRUE(TXDisplay::WaitFor([&] { return Place(ClockWindow) == QPoint(50 + Run, 40 + Run); }))
            << "run " << Run;
        EXPECT_EQ(StopClock(), "");
        EXPECT_EQ(Stored("Top"), 40 + Run) << "run " << Run;
        EXPECT_EQ(Stored("Left"), 50 + Run) << "run " << Run;
    }

    // The window manager moves it (its keyboard move, a script): that place is saved.
    ClockWindow = StartClock();
    ASSERT_NE(ClockWindow, 0u);
    Session->Run("wmctrl", {"-i", "-r", QString::number(ClockWindow), "-e", "0,333,222,-1,-1"});
    TXDisplay::WaitFor([&] { return Place(ClockWindow) == QPoint(333, 222); }, std::chrono::seconds(3));
    const QPoint Real = Place(ClockWindow);
    EXPECT_EQ(StopClock(), "");
    EXPECT_EQ(Stored("Top"), Real.y());
    EXPECT_EQ(Stored("Left"), Real.x());
}

TEST_F(DesktopSessionTest, ADesktopManagerThatStartsLateIsJoinedAndOneThatRestartsIsFollowed)
{
    WriteStore(160, 180);
    ClockWindow = StartClock();
    ASSERT_NE(ClockWindow, 0u);
    const QPoint Where(180, 160);
    EXPECT_EQ(Place(ClockWindow), Where);

    for (int Round = 0; Round < 2; ++Round) {
        // The desktop manager starts (late, or again): the clock goes inside its window.
        ASSERT_TRUE(Session->StartDesktopManager());
        std::optional<Window> Desktop;
        ASSERT_TRUE(TXDisplay::WaitFor([&] { return (Desktop = DesktopWindow()).has_value(); },
                                       std::chrono::seconds(15)))
            << "the desktop manager shows no desktop window";
        EXPECT_TRUE(TXDisplay::WaitFor(
            [&] {
                const std::optional<Window> Found = X->FindByName("watch");
                if (Found)
                    ClockWindow = *Found;
                return Found && X->Parent(*Found) == *Desktop;
            },
            std::chrono::seconds(6)))
            << "round " << Round << ": not taken into the desktop window";
        EXPECT_EQ(Place(ClockWindow), Where) << "round " << Round;
        // The key colour shows the desktop manager's desktop beneath.
        EXPECT_TRUE(TXDisplay::WaitFor([&] { return PixelAt(Where + QPoint(320, 336)) != KeyColor; }));

        // It ends as a crash would end it, taking its windows with it.
        Session->KillDesktopManager();
        EXPECT_TRUE(TXDisplay::WaitFor(
            [&] {
                const std::optional<Window> Found = X->FindByName("watch");
                if (Found)
                    ClockWindow = *Found;
                return Found && !DesktopWindow();
            },
            std::chrono::seconds(6)))
            << "round " << Round << ": the clock has no window any more";
        EXPECT_EQ(Clock.state(), QProcess::Running);
        EXPECT_EQ(Place(ClockWindow), Where) << "round " << Round;
        EXPECT_TRUE(TXDisplay::WaitFor([&] { return PixelAt(Where + QPoint(320, 336)) != KeyColor; }));
    }
    EXPECT_EQ(StopClock(), "");
    EXPECT_EQ(Stored("Top"), Where.y());
    EXPECT_EQ(Stored("Left"), Where.x());
}

#ifdef ZENTAVO_SCALED_SCREEN_TEST
TEST_F(DesktopSessionTest, OnAScreenScaledTwiceTheWholeWindowOutsideTheGlobeIsSeeThrough)
{
    WriteStore(20, 30);
    // Under the window manager the root window's own colour is the wallpaper.
    ClockWindow = StartClock({"QT_SCALE_FACTOR=2"});
    ASSERT_NE(ClockWindow, 0u);
    int Left = 0, Top = 0, Width = 0, Height = 0;
    X->Geometry(ClockWindow, Left, Top, Width, Height);
    EXPECT_EQ(Width, 658);
    EXPECT_EQ(Height, 690);
    EXPECT_EQ(QPoint(Left, Top), QPoint(60, 40)) << "the stored place is in logical pixels";
    std::vector<unsigned long> Screen;
    const unsigned long Wallpaper = X->Screenshot(Left + Width - 1, Top + Height - 1, 1, 1).at(0);
    // Until the globe is drawn and the frame shaped.
    TXDisplay::WaitFor([&] {
        Screen = X->Screenshot(Left, Top, Width, Height);
        return std::count(Screen.begin(), Screen.end(), KeyColor) == 0 &&
               Screen[static_cast<std::size_t>(Height / 2) * Width + Width / 2] != Wallpaper;
    });
    EXPECT_EQ(std::count(Screen.begin(), Screen.end(), KeyColor), 0)
        << "key-coloured pixels are left on the screen";
    // The moon at twice its size: its picture reaches beyond the first 32 x 32 device pixels.
    int MoonPixels = 0;
    for (int Row = 0; Row < 70; ++Row)
        for (int Column = 0; Column < 70; ++Column)
            MoonPixels += Screen[static_cast<std::size_t>(Row) * Width + Column] != Wallpaper &&
                          (Row >= 34 || Column >= 34);
    EXPECT_GT(MoonPixels, 500);
    EXPECT_EQ(StopClock(), "");
    EXPECT_EQ(Stored("Top"), 20);
    EXPECT_EQ(Stored("Left"), 30);
}
#endif

} // namespace
