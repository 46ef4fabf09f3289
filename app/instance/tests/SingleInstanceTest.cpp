#include "app/instance/SingleInstance.h"
#include "app/instance/InstanceCall.h"
#include "TemporaryHome.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <future>
#include <memory>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

TEST(SingleInstanceTest, OnlyTheFirstHoldsTheLockAndItsEndFreesItWhatEverItStarted)
{
    const std::string Lock = Zentavo::Testing::MakeScratchFolder("instance") + "/run/zentavo-3d/host-:0.lock";
    auto First = std::make_unique<TSingleInstance>(Lock);
    EXPECT_TRUE(First->IsFirst());
    EXPECT_EQ(First->Path(), Lock);
    struct stat Status
    {
    };
    ASSERT_EQ(::stat(Lock.c_str(), &Status), 0);
    EXPECT_EQ(Status.st_mode & 0777, 0600u);
    EXPECT_FALSE(TSingleInstance(Lock).IsFirst());

    // A program the clock started outlives it without keeping the lock.
    pid_t Child = 0;
    char Sleep[] = "sleep", Seconds[] = "30";
    char* Arguments[] = {Sleep, Seconds, nullptr};
    ASSERT_EQ(::posix_spawnp(&Child, "sleep", nullptr, nullptr, Arguments, environ), 0);
    // Until its exec the child shares every descriptor, the lock's too.
    const auto Name = [&] {
        std::ifstream Comm("/proc/" + std::to_string(Child) + "/comm");
        std::string Text;
        std::getline(Comm, Text);
        return Text;
    };
    for (int Wait = 0; Wait < 500 && Name() != "sleep"; ++Wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    First.reset();
    EXPECT_TRUE(TSingleInstance(Lock).IsFirst());
    ::kill(Child, SIGKILL);
    ::waitpid(Child, nullptr, 0);
}

TEST(SingleInstanceTest, ALockThatCannotBeMadeLetsTheClockRun)
{
    const std::string Folder = Zentavo::Testing::MakeScratchFolder("instance");
    std::filesystem::create_directory(Folder + "/locked");
    ::chmod((Folder + "/locked").c_str(), 0500);
    if (::access((Folder + "/locked").c_str(), W_OK) == 0)
        GTEST_SKIP() << "running with rights that ignore the folder's mode";
    EXPECT_TRUE(TSingleInstance(Folder + "/locked/zentavo-3d/x.lock").IsFirst());
}

TEST(SingleInstanceTest, NoFolderToNameTheLockInLetsTheClockRun)
{
    const std::string Home = std::getenv("HOME");
    for (const char* Variable : {"HOME", "XDG_RUNTIME_DIR", "XDG_CACHE_HOME"})
        unsetenv(Variable);
    const TSingleInstance Instance;
    EXPECT_TRUE(Instance.IsFirst());
    EXPECT_EQ(Instance.Path(), "");
    setenv("HOME", Home.c_str(), 1);
}

TEST(SingleInstanceTest, TheDisplayNamesTheLockAndTheRuntimeFolderHoldsIt)
{
    EXPECT_EQ(TSingleInstance::DisplayName(":0", nullptr), ":0");
    EXPECT_EQ(TSingleInstance::DisplayName(":0.1", "wayland-0"), ":0") << "every screen of one display";
    EXPECT_EQ(TSingleInstance::DisplayName("localhost:10.0", nullptr), "localhost:10");
    EXPECT_EQ(TSingleInstance::DisplayName("/tmp/launch-x/org.x:0", nullptr), "_tmp_launch-x_org.x:0");
    EXPECT_EQ(TSingleInstance::DisplayName("", "wayland-1"), "wayland-1");
    EXPECT_EQ(TSingleInstance::DisplayName(nullptr, nullptr), "no-display");

    const std::string Runtime = Zentavo::Testing::MakeScratchFolder("runtime");
    setenv("XDG_RUNTIME_DIR", Runtime.c_str(), 1);
    setenv("DISPLAY", ":7.0", 1);
    const std::string Path = TSingleInstance::LockPath();
    EXPECT_EQ(Path.rfind(Runtime + "/zentavo-3d/", 0), 0u) << Path;
    EXPECT_EQ(Path.substr(Path.size() - 8), "-:7.lock") << Path;
    unsetenv("XDG_RUNTIME_DIR");
    setenv("XDG_CACHE_HOME", (Runtime + "/cache").c_str(), 1);
    EXPECT_EQ(TSingleInstance::LockPath().rfind(Runtime + "/cache/zentavo-3d/", 0), 0u);
}

TEST(InstanceCallTest, ASecondStartsCallReachesTheRunningClockAndOnlyIt)
{
    const std::string Folder = Zentavo::Testing::MakeScratchFolder("call");
    const std::string Socket = TInstanceCall::SocketPathFor(Folder + "/host-:0.lock");
    EXPECT_EQ(Socket, Folder + "/host-:0.socket");
    EXPECT_FALSE(TInstanceCall::Call(Socket)) << "no clock runs";

    // What a clock that died left behind is no obstacle.
    std::ofstream(Socket) << "stale";
    int Calls = 0;
    TInstanceCall Running(Socket, [&] { ++Calls; });
    ASSERT_TRUE(Running.Listening());
    struct stat Status
    {
    };
    ASSERT_EQ(::stat(Socket.c_str(), &Status), 0);
    EXPECT_EQ(Status.st_mode & 077, 0u) << "only the user may call";

    // The call waits for the clock's answer, which comes from its event loop.
    for (int Round = 1; Round <= 2; ++Round) {
        std::future<bool> Taken = std::async(std::launch::async, [&] { return TInstanceCall::Call(Socket); });
        QElapsedTimer Timer;
        Timer.start();
        while (Calls < Round && Timer.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        EXPECT_EQ(Calls, Round);
        EXPECT_TRUE(Taken.get());
    }
}

} // namespace
