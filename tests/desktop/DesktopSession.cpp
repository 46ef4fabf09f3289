#include "DesktopSession.h"

#include "TemporaryHome.h"

#include <QDir>
#include <QFile>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>
#include <unistd.h>

#include <X11/Xlib.h>

namespace {

void Stop(QProcess& Process)
{
    if (Process.state() == QProcess::NotRunning)
        return;
    Process.terminate();
    if (!Process.waitForFinished(3000)) {
        Process.kill();
        Process.waitForFinished(3000);
    }
}

bool WaitUntil(const std::function<bool()>& Condition, std::chrono::milliseconds Limit)
{
    const auto Deadline = std::chrono::steady_clock::now() + Limit;
    while (std::chrono::steady_clock::now() < Deadline) {
        if (Condition())
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return Condition();
}

bool DisplayAnswers(const std::string& Name)
{
    Display* Connection = XOpenDisplay(Name.c_str());
    if (Connection == nullptr)
        return false;
    XCloseDisplay(Connection);
    return true;
}

} // namespace

TDesktopSession::TDesktopSession(std::string WindowManager) : FWindowManagerName(std::move(WindowManager)) {}

TDesktopSession::~TDesktopSession()
{
    Stop(FDesktopManager);
    Stop(FWindowManager);
    Stop(FBus);
    Stop(FServer);
}

QProcessEnvironment TDesktopSession::Environment() const
{
    QProcessEnvironment Environment = QProcessEnvironment::systemEnvironment();
    const QString Home = QString::fromStdString(FFolder + "/home");
    Environment.insert("DISPLAY", QString::fromStdString(FDisplay));
    Environment.insert("HOME", Home);
    Environment.insert("XDG_CONFIG_HOME", Home + "/.config");
    Environment.insert("XDG_DATA_HOME", Home + "/.local/share");
    Environment.insert("XDG_CACHE_HOME", Home + "/.cache");
    Environment.insert("XDG_RUNTIME_DIR", QString::fromStdString(FFolder + "/runtime"));
    Environment.insert("DBUS_SESSION_BUS_ADDRESS", QString::fromStdString(FBusAddress));
    Environment.insert("XDG_CURRENT_DESKTOP", FWindowManagerName == "xfwm4" ? "XFCE" : "LXDE");
    Environment.remove("QT_QPA_PLATFORM");
    Environment.remove("WAYLAND_DISPLAY");
    Environment.remove("XDG_SESSION_TYPE");
    Environment.remove("XAUTHORITY");
    return Environment;
}

bool TDesktopSession::Start()
{
    FFolder = Zentavo::Testing::MakeScratchFolder("desktop-" + FWindowManagerName);
    for (const char* Sub : {"/home/.config", "/home/.local/share", "/home/.cache", "/runtime"})
        std::filesystem::create_directories(FFolder + Sub);
    std::filesystem::permissions(FFolder + "/runtime", std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::replace);
    if (!StartServer() || !StartBus())
        return false;
    // KWin takes its number of workspaces from its settings only.
    if (FWindowManagerName == "kwin_x11")
        std::ofstream(FFolder + "/home/.config/kwinrc") << "[Desktops]\nNumber=2\nRows=1\n";

    FWindowManager.setProcessEnvironment(Environment());
    FWindowManager.setProcessChannelMode(QProcess::MergedChannels);
    FWindowManager.setStandardOutputFile(QString::fromStdString(FFolder + "/window-manager.log"));
    if (FWindowManagerName == "xfwm4")
        FWindowManager.start("xfwm4", {"--compositor=off", "--replace"});
    else if (FWindowManagerName == "mutter")
        FWindowManager.start("mutter", {"--x11", "--replace", "--sm-disable"});
    else if (FWindowManagerName == "kwin_x11")
        FWindowManager.start("kwin_x11", {"--replace"});
    else
        FWindowManager.start(QString::fromStdString(FWindowManagerName), {});
    if (!FWindowManager.waitForStarted(5000)) {
        FFailure = FWindowManagerName + " does not start";
        return false;
    }
    // A window manager is ready once it announces itself on the root window.
    Display* Connection = XOpenDisplay(FDisplay.c_str());
    const Atom Check = XInternAtom(Connection, "_NET_SUPPORTING_WM_CHECK", False);
    const bool Ready = WaitUntil(
        [&] {
            Atom Type = 0;
            int Format = 0;
            unsigned long Count = 0, Remaining = 0;
            unsigned char* Data = nullptr;
            const bool Found =
                XGetWindowProperty(Connection, DefaultRootWindow(Connection), Check, 0, 1, False,
                                   AnyPropertyType, &Type, &Format, &Count, &Remaining, &Data) == Success &&
                Count == 1;
            if (Data != nullptr)
                XFree(Data);
            return Found;
        },
        std::chrono::seconds(10));
    XCloseDisplay(Connection);
    if (!Ready)
        FFailure = FWindowManagerName + " did not take the screen";
    return Ready;
}

bool TDesktopSession::StartServer()
{
    // A display number nobody uses, away from the ones people and xvfb-run take.
    for (int Number = 60 + getpid() % 100; Number < 260; ++Number) {
        const std::string Socket = "/tmp/.X11-unix/X" + std::to_string(Number);
        const std::string Lock = "/tmp/.X" + std::to_string(Number) + "-lock";
        if (std::filesystem::exists(Socket) || std::filesystem::exists(Lock))
            continue;
        FDisplay = ":" + std::to_string(Number);
        FServer.setProcessChannelMode(QProcess::MergedChannels);
        FServer.setStandardOutputFile(QString::fromStdString(FFolder + "/server.log"));
        FServer.start("Xvfb", {QString::fromStdString(FDisplay), "-screen", "0", "1280x1024x24", "+extension",
                               "SHAPE", "-nolisten", "tcp", "-noreset"});
        if (!FServer.waitForStarted(5000)) {
            FFailure = "Xvfb does not start";
            return false;
        }
        if (WaitUntil([&] { return DisplayAnswers(FDisplay) || FServer.state() == QProcess::NotRunning; },
                      std::chrono::seconds(10)) &&
            FServer.state() != QProcess::NotRunning) {
            setenv("DISPLAY", FDisplay.c_str(), 1);
            return true;
        }
        Stop(FServer); // another server took the number first
    }
    FFailure = "no free display number";
    return false;
}

bool TDesktopSession::StartBus()
{
    // The standard session configuration: desktop managers start their settings services through it.
    FBus.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
    if (!FBus.waitForStarted(5000) || !FBus.waitForReadyRead(5000)) {
        FFailure = "no session bus";
        return false;
    }
    FBusAddress = FBus.readLine().trimmed().toStdString();
    return !FBusAddress.empty();
}

bool TDesktopSession::StartDesktopManager()
{
    FDesktopManager.setProcessEnvironment(Environment());
    FDesktopManager.setProcessChannelMode(QProcess::MergedChannels);
    FDesktopManager.setStandardOutputFile(QString::fromStdString(FFolder + "/desktop-manager.log"),
                                          QIODevice::Append);
    if (FWindowManagerName == "xfwm4")
        FDesktopManager.start("xfdesktop", {"--disable-wm-check"});
    else
        FDesktopManager.start("pcmanfm", {"--desktop"});
    return FDesktopManager.waitForStarted(5000);
}

void TDesktopSession::KillDesktopManager()
{
    if (FDesktopManager.state() == QProcess::NotRunning)
        return;
    FDesktopManager.kill();
    FDesktopManager.waitForFinished(5000);
}

bool TDesktopSession::Run(const QString& Program, const QStringList& Arguments)
{
    QProcess Tool;
    Tool.setProcessEnvironment(Environment());
    Tool.setProcessChannelMode(QProcess::MergedChannels);
    Tool.start(Program, Arguments);
    return Tool.waitForFinished(10000) && Tool.exitStatus() == QProcess::NormalExit && Tool.exitCode() == 0;
}
