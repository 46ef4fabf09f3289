// The clock started in a Wayland session, as Plasma and GNOME users start it:
// a real compositor (weston, headless) with XWayland, and Qt's Wayland plugin installed.
#include "ClockFolder.h"
#include "TemporaryHome.h"
#include "XDisplay.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QRegularExpression>

#include <filesystem>
#include <fstream>
#include <thread>

namespace {

class WaylandSessionTest : public testing::Test
{
protected:
    void SetUp() override
    {
        Folder = Zentavo::Testing::MakeScratchFolder("wayland");
        Runtime = Folder + "/runtime";
        std::filesystem::create_directories(Runtime);
        std::filesystem::permissions(Runtime, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::replace);
        Socket = "zentavo-wayland-" + std::to_string(getpid());
        QProcessEnvironment Environment = QProcessEnvironment::systemEnvironment();
        Environment.insert("XDG_RUNTIME_DIR", QString::fromStdString(Runtime));
        Environment.insert("HOME", QString::fromStdString(Folder));
        Environment.remove("DISPLAY");
        Environment.remove("WAYLAND_DISPLAY");
        Compositor.setProcessEnvironment(Environment);
        Compositor.setProcessChannelMode(QProcess::MergedChannels);
        Compositor.setStandardOutputFile(QString::fromStdString(Folder + "/weston.log"));
        Compositor.start("weston", {"--backend=headless-backend.so", "--xwayland", "--idle-time=0",
                                    QString::fromStdString("--socket=" + Socket)});
        ASSERT_TRUE(Compositor.waitForStarted(10000)) << "weston does not start";
        // XWayland's display is chosen by the compositor; it says which.
        const QRegularExpression Listening("xserver listening on display (:[0-9]+)");
        ASSERT_TRUE(TXDisplay::WaitFor([&] {
            QFile Log(QString::fromStdString(Folder + "/weston.log"));
            if (!Log.open(QIODevice::ReadOnly))
                return false;
            const QRegularExpressionMatch Match = Listening.match(QString::fromUtf8(Log.readAll()));
            if (Match.hasMatch())
                XDisplayName = Match.captured(1).toStdString();
            return Match.hasMatch();
        })) << "the compositor offers no XWayland display";
    }

    void TearDown() override
    {
        for (QProcess* Process : {&Clock, &Compositor})
            if (Process->state() != QProcess::NotRunning) {
                Process->kill();
                Process->waitForFinished(5000);
            }
    }

    std::string Folder, Runtime, Socket, XDisplayName;
    QProcess Compositor;
    QProcess Clock;
};

TEST_F(WaylandSessionTest, TheClockRunsThroughXWaylandAsADesktopWindow)
{
    const TClockFolder Files(Folder);
    Files.WriteStore();

    // What a Wayland session hands a program it starts.
    QProcessEnvironment Environment = QProcessEnvironment::systemEnvironment();
    Environment.insert("XDG_RUNTIME_DIR", QString::fromStdString(Runtime));
    Environment.insert("WAYLAND_DISPLAY", QString::fromStdString(Socket));
    Environment.insert("DISPLAY", QString::fromStdString(XDisplayName));
    Environment.insert("XDG_SESSION_TYPE", "wayland");
    Environment.insert("HOME", QString::fromStdString(Folder));
    Environment.insert("XDG_CONFIG_HOME", QString::fromStdString(Files.ConfigHome));
    Environment.remove("QT_QPA_PLATFORM");
    Environment.remove("XAUTHORITY");
    Clock.setProcessEnvironment(Environment);
    Clock.setWorkingDirectory(QString::fromStdString(Files.WorkingFolder));
    Clock.start(ZENTAVO_EXECUTABLE, {});
    ASSERT_TRUE(Clock.waitForStarted(10000));

    // XWayland starts on the first X client; the clock is that client.
    std::unique_ptr<TXDisplay> X;
    ASSERT_TRUE(TXDisplay::WaitFor([&] {
        if (Clock.state() == QProcess::NotRunning)
            return true;
        setenv("DISPLAY", XDisplayName.c_str(), 1);
        try {
            X = std::make_unique<TXDisplay>();
        } catch (const std::exception&) {
        }
        return X != nullptr;
    }));
    ASSERT_NE(X, nullptr) << "the clock ended: " << Clock.readAllStandardError().toStdString();
    std::optional<Window> Found;
    EXPECT_TRUE(TXDisplay::WaitFor([&] { return (Found = X->FindByName("watch")).has_value(); }))
        << "the clock's window is not on the X display: Qt's Wayland plugin took it";
    ASSERT_TRUE(Found.has_value());
    const auto Types = X->AtomList(*Found, "_NET_WM_WINDOW_TYPE");
    ASSERT_FALSE(Types.empty());
    EXPECT_EQ(Types.front(), "_NET_WM_WINDOW_TYPE_DESKTOP");
    EXPECT_TRUE(X->BoundingShape(*Found).has_value()) << "the key colour is cut out of the window";

    Clock.terminate();
    EXPECT_TRUE(Clock.waitForFinished(10000));
    EXPECT_EQ(Clock.exitCode(), 0);
    EXPECT_EQ(Clock.readAllStandardError().toStdString(), "");
}

} // namespace
