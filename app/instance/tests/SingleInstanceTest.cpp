#include "app/instance/SingleInstance.h"
#include "TemporaryHome.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

TEST(SingleInstanceTest, OnlyTheFirstHoldsTheLockAndItsEndFreesItWhatEverItStarted)
{
    const std::string Lock = Zentavo::Testing::MakeScratchFolder("instance") + "/run/zentavo-3d/host-:0.lock";
    auto First = std::make_unique<TSingleInstance>(Lock);
    EXPECT_TRUE(First->IsFirst());
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

} // namespace
