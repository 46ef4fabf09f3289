// popup.so on a real X server: its windows, shown by the popup program it
// starts, their links, and the program's life. The test is the clock here:
// it loads the library, calls it and releases it at once, and must never
// find the web engine in its own process.
#include "PopupTestSupport.h"
#include "TemporaryHome.h"
#include "XDisplay.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace PopupTesting;

namespace {

constexpr unsigned long PageColour = 0x2A7F3F;
constexpr const char* Program = "zentavo-popup";

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

std::optional<Window> WaitForWindow(TXDisplay& X, const std::string& Caption, int Milliseconds = 20000)
{
    std::optional<Window> Found;
    WaitFor([&] { return (Found = X.FindByName(Caption)).has_value(); }, Milliseconds);
    return Found;
}

void ClickAt(int X, int Y)
{
    QProcess Tool;
    Tool.start(QStringLiteral("xdotool"), {QStringLiteral("mousemove"), QString::number(X),
                                           QString::number(Y), QStringLiteral("click"), QStringLiteral("1")});
    ASSERT_TRUE(Tool.waitForFinished(10000));
}

bool PageShown(TXDisplay& X, int Left, int Top, int Width, int Height, int ProbeX, int ProbeY,
               unsigned long Colour)
{
    const std::vector<unsigned long> Screen = X.Screenshot(Left, Top, Width, Height);
    return Screen.size() == static_cast<size_t>(Width * Height) && Screen[ProbeY * Width + ProbeX] == Colour;
}

std::vector<int> RunningPrograms()
{
    return Children(getpid(), Program);
}

TEST(PopupWindowTest, WindowsShowTheirPageWhereAskedFromOneProgramThatEndsWithTheLastAndNeverInTheClock)
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
    TXDisplay X;

    ASSERT_FALSE(IsLoaded(ZENTAVO_POPUP_LIBRARY));
    ASSERT_EQ(CallGetBrowserWin(ZENTAVO_POPUP_LIBRARY, QStringLiteral("help.html"),
                                QStringLiteral("Ajuda do Zentavo 3D - teste"), 120, 80, 520, 380),
              1);
    EXPECT_TRUE(IsLoaded(ZENTAVO_POPUP_LIBRARY)) << "the library stays while its program runs";
    ASSERT_EQ(RunningPrograms().size(), 1u);
    const int Started = RunningPrograms().front();

    const std::optional<Window> Help = WaitForWindow(X, "Ajuda do Zentavo 3D - teste");
    ASSERT_TRUE(Help.has_value());
    int Left = 0, Top = 0, Width = 0, Height = 0;
    X.Geometry(*Help, Left, Top, Width, Height);
    EXPECT_EQ(std::vector<int>({Left, Top, Width, Height}), std::vector<int>({80, 120, 520, 380}));
    // What the screen shows in the window's place is the page: its colour and its white heading.
    ASSERT_TRUE(WaitFor(
        [&] {
            const std::vector<unsigned long> Screen = X.Screenshot(80, 120, 520, 380);
            int Text = 0;
            for (int Y = 0; Y < 80; ++Y)
                for (int Column = 0; Column < 300; ++Column)
                    Text += (Screen[Y * 520 + Column] & 0xF0F000) == 0xF0F000;
            return Screen[150 * 520 + 450] == PageColour && Text > 100;
        },
        20000));

    // A second window while the first is open goes to the same program.
    ASSERT_EQ(CallGetBrowserWin(ZENTAVO_POPUP_LIBRARY, QStringLiteral("help.html"), QStringLiteral("Outra"),
                                600, 700, 300, 200),
              1);
    const std::optional<Window> Other = WaitForWindow(X, "Outra");
    ASSERT_TRUE(Other.has_value());
    EXPECT_EQ(RunningPrograms(), std::vector<int>{Started});

    // A link to another site that the user clicks goes to the desktop's browser; the window stays on its
    // page.
    ClickAt(80 + 260, 120 + 260);
    ASSERT_TRUE(WaitFor([&] { return !Browser.Opened().empty(); }, 10000));
    EXPECT_EQ(Browser.Opened(), std::vector<std::string>{"http://elsewhere.invalid/page?x=1"});
    QTest::qWait(500);
    EXPECT_TRUE(PageShown(X, 80, 120, 520, 380, 450, 150, PageColour));

    X.RequestClose(*Other);
    ASSERT_TRUE(WaitFor([&] { return !X.FindByName("Outra").has_value(); }, 10000));
    QTest::qWait(500);
    EXPECT_TRUE(IsRunning(Started)) << "a window is still open";
    X.RequestClose(*Help);
    EXPECT_TRUE(WaitFor([&] { return !IsRunning(Started) && RunningPrograms().empty(); }, 10000))
        << "the program ends with its last window";
    EXPECT_TRUE(WaitFor([] { return !IsLoaded(ZENTAVO_POPUP_LIBRARY); }, 10000))
        << "the library goes with its program";
    EXPECT_FALSE(IsMapped("WebEngine")) << "the web engine came into the clock's process";

    // And a new program comes for the next window.
    ASSERT_EQ(CallGetBrowserWin(ZENTAVO_POPUP_LIBRARY, QStringLiteral("help.html"),
                                QStringLiteral("Mais uma"), 10, 10, 300, 200),
              1);
    const std::optional<Window> Next = WaitForWindow(X, "Mais uma");
    ASSERT_TRUE(Next.has_value());
    ASSERT_EQ(RunningPrograms().size(), 1u);
    EXPECT_NE(RunningPrograms().front(), Started);
    X.RequestClose(*Next);
    EXPECT_TRUE(WaitFor([] { return RunningPrograms().empty() && !IsLoaded(ZENTAVO_POPUP_LIBRARY); }, 10000));
    EXPECT_FALSE(IsMapped("WebEngine"));
}

TEST(PopupWindowTest, TheDelayClosesTheWindowAndOneBeyondTheTimersReachNeverWrapsToAMoment)
{
    const std::string Folder = Zentavo::Testing::MakeScratchFolder("popup-delay");
    std::filesystem::current_path(Folder);
    TFakeBrowser Browser(Folder);
    std::ofstream("page.html") << "<!DOCTYPE html><html><body>Zentavo</body></html>";
    TXDisplay X;

    // 4294968 s in milliseconds wraps a 32-bit count to 704 ms.
    for (const int32_t Delay : {4294968, 2147483647}) {
        SCOPED_TRACE(Delay);
        ASSERT_EQ(CallGetBrowserWin(ZENTAVO_POPUP_LIBRARY, QStringLiteral("page.html"),
                                    QStringLiteral("Longa"), 10, 10, 300, 200, Delay),
                  1);
        const std::optional<Window> Long = WaitForWindow(X, "Longa");
        ASSERT_TRUE(Long.has_value());
        QTest::qWait(2000);
        ASSERT_TRUE(X.FindByName("Longa").has_value()) << "the window closed at once";
        X.RequestClose(*Long);
        EXPECT_TRUE(WaitFor([&] { return !X.FindByName("Longa").has_value(); }, 10000));
    }

    ASSERT_EQ(CallGetBrowserWin(ZENTAVO_POPUP_LIBRARY, QStringLiteral("page.html"), QStringLiteral("Curta"),
                                10, 10, 300, 200, 1),
              1);
    ASSERT_TRUE(WaitForWindow(X, "Curta").has_value());
    EXPECT_TRUE(WaitFor([&] { return !X.FindByName("Curta").has_value(); }, 5000))
        << "a delay of 1 s closes it";
    EXPECT_TRUE(WaitFor([] { return RunningPrograms().empty() && !IsLoaded(ZENTAVO_POPUP_LIBRARY); }, 10000));
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
    TXDisplay X;

    ASSERT_EQ(CallGetBrowserWin(ZENTAVO_POPUP_LIBRARY, QStringLiteral("page.html"),
                                QStringLiteral("Navegacao"), 100, 100, 400, 320),
              1);
    const std::optional<Window> Window = WaitForWindow(X, "Navegacao");
    ASSERT_TRUE(Window.has_value());
    // Wait for the page's blocks, then for its scripts to have tried.
    ASSERT_TRUE(WaitFor([&] { return PageShown(X, 100, 100, 400, 320, 200, 250, 0x3060C0); }, 20000));
    QTest::qWait(1500);
    EXPECT_TRUE(Browser.Opened().empty()) << "the page's scripts opened " << Browser.Opened().front();

    ClickAt(100 + 200, 100 + 40);
    QTest::qWait(1500);
    EXPECT_TRUE(Browser.Opened().empty()) << "a steam: link went out";
    ClickAt(100 + 200, 100 + 140);
    ASSERT_TRUE(WaitFor([&] { return !Browser.Opened().empty(); }, 10000));
    EXPECT_EQ(Browser.Opened(), std::vector<std::string>{"mailto:ajuda@example.org"});
    ClickAt(100 + 200, 100 + 240);
    EXPECT_TRUE(WaitFor([&] { return Browser.Opened().size() >= 2; }, 10000));
    QTest::qWait(1500); // for any further address
    EXPECT_EQ(Browser.Opened().size(), 2u) << "one address for one click";
    if (Browser.Opened().size() >= 2) {
        EXPECT_NE(Browser.Opened()[1].find(".invalid/"), std::string::npos) << Browser.Opened()[1];
    }

    X.RequestClose(*Window);
    EXPECT_TRUE(WaitFor([] { return RunningPrograms().empty() && !IsLoaded(ZENTAVO_POPUP_LIBRARY); }, 10000));
    EXPECT_FALSE(IsMapped("WebEngine"));
}

TEST(PopupWindowTest, WhereTheProgramCannotShowTheWindowTheLinkOpensInTheDefaultBrowser)
{
    const std::string Folder = Zentavo::Testing::MakeScratchFolder("popup-without-program");
    std::filesystem::current_path(Folder);
    TFakeBrowser Browser(Folder);
    namespace fs = std::filesystem;
    const fs::path Built(ZENTAVO_POPUP_LIBRARY);

    // A library without its program beside it, and one whose program others may change.
    fs::create_directories(Folder + "/alone");
    fs::copy_file(Built, Folder + "/alone/popup.so");
    fs::create_directories(Folder + "/unsafe");
    fs::copy_file(Built, Folder + "/unsafe/popup.so");
    fs::copy_file(Built.parent_path() / Program, Folder + "/unsafe/" + Program);
    fs::permissions(Folder + "/unsafe/" + Program, fs::perms::all);
    ASSERT_EQ(CallGetBrowserWin((Folder + "/alone/popup.so").c_str(),
                                QStringLiteral("https://example.invalid/a"), QStringLiteral("Sozinha"), 10,
                                10, 300, 200),
              1);
    ASSERT_EQ(CallGetBrowserWin((Folder + "/unsafe/popup.so").c_str(),
                                QStringLiteral("https://example.invalid/b"), QStringLiteral("Insegura"), 10,
                                10, 300, 200),
              1);
    EXPECT_TRUE(RunningPrograms().empty());

    // A web engine that cannot run in the program.
    qputenv("QTWEBENGINEPROCESS_PATH", QByteArray(Folder.c_str()) + "/missing/QtWebEngineProcess");
    const int32_t Result =
        CallGetBrowserWin(ZENTAVO_POPUP_LIBRARY, QStringLiteral("https://example.invalid/c"),
                          QStringLiteral("Sem motor"), 10, 10, 300, 200);
    qunsetenv("QTWEBENGINEPROCESS_PATH");
    EXPECT_EQ(Result, 1);
    EXPECT_TRUE(WaitFor([&] { return Browser.Opened().size() >= 3; }, 15000));
    EXPECT_EQ(Browser.Opened(),
              std::vector<std::string>(
                  {"https://example.invalid/a", "https://example.invalid/b", "https://example.invalid/c"}));
    EXPECT_TRUE(WaitFor([] { return RunningPrograms().empty() && !IsLoaded(ZENTAVO_POPUP_LIBRARY); }, 10000))
        << "a program without windows ends";
    TXDisplay X;
    for (const char* Caption : {"Sozinha", "Insegura", "Sem motor"})
        EXPECT_FALSE(X.FindByName(Caption).has_value()) << Caption;
}

// A stand-in for the popup program, beside a copy of the library: it records each run and the
// request it read, then behaves as Mode says.
std::string LibraryWithProgram(const std::string& Folder, const std::string& Mode)
{
    namespace fs = std::filesystem;
    fs::create_directories(Folder);
    fs::copy_file(ZENTAVO_POPUP_LIBRARY, Folder + "/popup.so");
    const std::string Script = Folder + "/" + Program;
    std::ofstream(Script) << "#!/bin/sh\n"
                             "Folder=$(dirname \"$0\")\n"
                             "echo run >> \"$Folder/runs\"\n"
                             "IFS= read -r Line\n"
                             "echo \"$Line\" >> \"$Folder/requests\"\n"
                             "Runs=$(wc -l < \"$Folder/runs\")\n"
                             "case "
                          << Mode
                          << " in\n"
                             "  ended-first) [ \"$Runs\" -eq 1 ] && exit 0 ;;\n"
                             "  failed) exit 3 ;;\n"
                             "  never-answers) exit 0 ;;\n"
                             "esac\n"
                             "set -- $Line\n"
                             "echo \"shown $2\"\n";
    fs::permissions(Script, fs::perms::owner_all);
    return Folder + "/popup.so";
}

std::vector<std::string> Lines(const std::string& File)
{
    std::vector<std::string> Result;
    std::ifstream Input(File);
    for (std::string Line; std::getline(Input, Line);)
        Result.push_back(Line);
    return Result;
}

TEST(PopupWindowTest, AWindowAskedAsTheProgramEndedGoesToANewOneAndAFailedProgramLeavesItToTheBrowser)
{
    const std::string Folder = Zentavo::Testing::MakeScratchFolder("popup-program-ends");
    std::filesystem::current_path(Folder);
    TFakeBrowser Browser(Folder);
    const auto Ask = [](const std::string& Library, const char* Link) {
        return CallGetBrowserWin(Library.c_str(), QString::fromUtf8(Link), QStringLiteral("Janela"), 10, 10,
                                 300, 200);
    };
    const auto Settled = [](const std::string& Library) {
        return WaitFor([&] { return RunningPrograms().empty() && !IsLoaded(Library.c_str()); }, 10000);
    };

    // The program ended with its last window just as this one was sent: a new program shows it.
    const std::string Ended = LibraryWithProgram(Folder + "/ended", "ended-first");
    ASSERT_EQ(Ask(Ended, "https://example.invalid/one"), 1);
    EXPECT_TRUE(Settled(Ended));
    EXPECT_EQ(Lines(Folder + "/ended/runs").size(), 2u);
    const std::vector<std::string> Requests = Lines(Folder + "/ended/requests");
    ASSERT_EQ(Requests.size(), 2u);
    EXPECT_EQ(Requests[0], Requests[1]) << "the same window, asked again";

    // A program that failed, or that ends twice without showing it: the desktop's browser, once.
    const std::string Failed = LibraryWithProgram(Folder + "/failed", "failed");
    ASSERT_EQ(Ask(Failed, "https://example.invalid/two"), 1);
    EXPECT_TRUE(Settled(Failed));
    EXPECT_EQ(Lines(Folder + "/failed/runs").size(), 1u);
    const std::string Silent = LibraryWithProgram(Folder + "/silent", "never-answers");
    ASSERT_EQ(Ask(Silent, "https://example.invalid/three"), 1);
    EXPECT_TRUE(Settled(Silent));
    EXPECT_EQ(Lines(Folder + "/silent/runs").size(), 2u) << "asked again once, not forever";
    EXPECT_TRUE(WaitFor([&] { return Browser.Opened().size() >= 2; }, 10000));
    QTest::qWait(300);
    EXPECT_EQ(Browser.Opened(),
              std::vector<std::string>({"https://example.invalid/two", "https://example.invalid/three"}));

    // An installed copy's working folder links to the installed library: the program is found beside that.
    const std::string Installed = LibraryWithProgram(Folder + "/installed", "shows");
    std::filesystem::create_directories(Folder + "/work");
    std::filesystem::create_symlink(Installed, Folder + "/work/popup.so");
    ASSERT_EQ(Ask(Folder + "/work/popup.so", "https://example.invalid/four"), 1);
    EXPECT_TRUE(Settled(Folder + "/work/popup.so"));
    EXPECT_EQ(Lines(Folder + "/installed/runs").size(), 1u) << "not the program beside the installed library";
    EXPECT_EQ(Browser.Opened().size(), 2u);
}

// Run by the next test in a process of its own: a clock with a window open, killed from outside.
TEST(PopupWindowTest, DISABLED_ClockWithAWindowOpen)
{
    const std::string Folder = Zentavo::Testing::MakeScratchFolder("popup-clock");
    std::filesystem::current_path(Folder);
    std::ofstream("page.html") << "<!DOCTYPE html><html><body>Zentavo</body></html>";
    ASSERT_EQ(CallGetBrowserWin(ZENTAVO_POPUP_LIBRARY, QStringLiteral("page.html"), QStringLiteral("Orfa"),
                                10, 10, 300, 200),
              1);
    QTest::qWait(60000);
}

TEST(PopupWindowTest, TheProgramAndItsWebEngineEndWhenTheClockDies)
{
    QProcess Clock;
    Clock.setProcessChannelMode(QProcess::ForwardedChannels);
    Clock.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=PopupWindowTest.DISABLED_ClockWithAWindowOpen"),
                 QStringLiteral("--gtest_also_run_disabled_tests")});
    ASSERT_TRUE(Clock.waitForStarted(5000));
    TXDisplay X;
    ASSERT_TRUE(WaitForWindow(X, "Orfa").has_value());
    const std::vector<int> Programs = Children(static_cast<int>(Clock.processId()), Program);
    ASSERT_EQ(Programs.size(), 1u);
    const std::vector<int> Engine = Children(Programs.front(), "QtWebEngineProc");
    EXPECT_FALSE(Engine.empty());

    ::kill(static_cast<pid_t>(Clock.processId()), SIGKILL);
    ASSERT_TRUE(Clock.waitForFinished(5000));
    EXPECT_TRUE(WaitFor([&] { return !IsRunning(Programs.front()); }, 5000))
        << "the program outlived the clock";
    EXPECT_TRUE(WaitFor(
        [&] {
            for (const int Process : Engine)
                if (IsRunning(Process))
                    return false;
            return true;
        },
        10000))
        << "the web engine's processes outlived the clock";
    EXPECT_TRUE(WaitFor([&] { return !X.FindByName("Orfa").has_value(); }, 5000));
}

} // namespace
