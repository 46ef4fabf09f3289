// What following the desktop costs and how fast it is, on a real window
// manager (openbox) with 40 other programs' windows:
// - one look for the desktop window, against the floor of one round trip to
//   the X server (the placement looks every two seconds);
// - with the real clock and a real desktop manager (pcmanfm): from the
//   desktop window's appearance to the clock inside it, and from the desktop
//   manager's end to the clock's own window back on the screen.
#include "ClockFolder.h"
#include "DesktopSession.h"
#include "platform/X11DesktopWindow.h"
#include "TemporaryHome.h"
#include "XDisplay.h"

#include <QApplication>
#include <QProcess>
#include <QWidget>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include <X11/Xlib.h>

namespace {

using TClock = std::chrono::steady_clock;

double Microseconds(TClock::duration Span)
{
    return std::chrono::duration<double, std::micro>(Span).count();
}

double Median(std::vector<double> Values)
{
    std::sort(Values.begin(), Values.end());
    return Values.empty() ? 0 : Values[Values.size() / 2];
}

template <typename TWork> double MedianOf(int Runs, TWork Work)
{
    std::vector<double> Times;
    for (int Run = 0; Run < Runs; ++Run) {
        const auto Start = TClock::now();
        Work();
        Times.push_back(Microseconds(TClock::now() - Start));
    }
    return Median(Times);
}

} // namespace

int main(int ArgumentCount, char** Arguments)
{
    Zentavo::Testing::EnterTemporaryHome();
    TDesktopSession Session("openbox");
    if (!Session.Start()) {
        std::fprintf(stderr, "no desktop: %s\n", Session.Failure().c_str());
        return 1;
    }
    TXDisplay X;
    std::vector<Window> Others;
    for (int Index = 0; Index < 40; ++Index)
        Others.push_back(X.CreateWindow(20 * Index, 10 * Index, 200, 150, 0x303030 + Index));
    TXDisplay::WaitFor([&] { return X.Items(X.Root(), "_NET_CLIENT_LIST", "WINDOW").size() >= 40; });

    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication Application(ArgumentCount, Arguments);
    Platform::TX11DesktopWindow Desktop;
    Display* Connection = XOpenDisplay(nullptr);
    const double Floor = MedianOf(500, [&] { XSync(Connection, False); });
    const double First = MedianOf(1, [&] { Desktop.FindProgramManager(); });
    const double Look = MedianOf(500, [&] { Desktop.FindProgramManager(); });
    std::printf("look for the desktop window, 40 clients: first %.0f us, then %.0f us a look"
                " (floor, one round trip: %.0f us; %.1f x)\n",
                First, Look, Floor, Look / Floor);
    XCloseDisplay(Connection);

    // The real clock and a real desktop manager.
    const TClockFolder Files(Zentavo::Testing::MakeScratchFolder("bench"));
    Files.WriteStore(100, 100);
    QProcess Clock;
    QProcessEnvironment Environment = Session.Environment();
    Environment.insert("XDG_CONFIG_HOME", QString::fromStdString(Files.ConfigHome));
    Clock.setProcessEnvironment(Environment);
    Clock.setWorkingDirectory(QString::fromStdString(Files.WorkingFolder));
    Clock.start(ZENTAVO_EXECUTABLE, {});
    if (!TXDisplay::WaitFor([&] { return X.FindByName("watch").has_value(); })) {
        std::fprintf(stderr, "the clock shows no window\n");
        return 1;
    }
    const auto DesktopWindow = [&]() -> std::optional<Window> {
        for (const Window Candidate : X.AllWindows()) {
            const auto Types = X.AtomList(Candidate, "_NET_WM_WINDOW_TYPE");
            if (X.Name(Candidate) != "watch" && X.IsShown(Candidate) && !Types.empty() &&
                Types.front() == "_NET_WM_WINDOW_TYPE_DESKTOP")
                return Candidate;
        }
        return std::nullopt;
    };
    std::vector<double> Joined;
    std::vector<double> Back;
    for (int Round = 0; Round < 5; ++Round) {
        Session.StartDesktopManager();
        std::optional<Window> Found;
        TXDisplay::WaitFor([&] { return (Found = DesktopWindow()).has_value(); });
        const auto Appeared = TClock::now();
        TXDisplay::WaitFor([&] {
            const auto Clock = X.FindByName("watch");
            return Found && Clock && X.Parent(*Clock) == *Found;
        });
        Joined.push_back(Microseconds(TClock::now() - Appeared) / 1000);
        const auto Killed = TClock::now();
        Session.KillDesktopManager();
        TXDisplay::WaitFor([&] {
            const auto Clock = X.FindByName("watch");
            return Clock && X.Parent(*Clock) != Found.value_or(0);
        });
        Back.push_back(Microseconds(TClock::now() - Killed) / 1000);
    }
    std::printf("desktop window shown -> clock inside it: median %.0f ms of 5\n", Median(Joined));
    std::printf("desktop manager killed -> clock's own window shown: median %.0f ms of 5\n", Median(Back));
    Clock.terminate();
    Clock.waitForFinished(10000);
    for (const Window Other : Others)
        X.Destroy(Other);
    return 0;
}
