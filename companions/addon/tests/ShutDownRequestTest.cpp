// SysShootDown of ztaddon.so, loaded as the clock loads it, against fake
// session managers and logind on a private bus: nothing reaches the machine's.
#include "FakeBusServices.h"
#include "PrivateBus.h"
#include "zentavo_companion.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

using namespace Zentavo::Testing;
using TOptions = TFakeBusServices::TOptions;

class ShutDownRequestTest : public testing::Test
{
protected:
    void SetUp() override
    {
        FBus = std::make_unique<TPrivateBus>();
        if (!FBus->Installed())
            GTEST_SKIP() << FBus->FailureReason();
        ASSERT_TRUE(FBus->Started()) << FBus->FailureReason();
        FLibrary = ::dlopen(ZENTAVO_ADDON_LIBRARY, RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(FLibrary, nullptr) << ::dlerror();
        FSysShootDown = reinterpret_cast<ZTSysShootDownFunction*>(::dlsym(FLibrary, "SysShootDown"));
        ASSERT_NE(FSysShootDown, nullptr);
    }
    void TearDown() override
    {
        FServices.reset();
        if (FLibrary)
            ::dlclose(FLibrary);
        FBus.reset();
    }
    void StartServices(const TOptions& Options)
    {
        FServices = std::make_unique<TFakeBusServices>(Options);
        ASSERT_TRUE(FServices->Started()) << FServices->FailureReason();
    }
    static TOptions Logind(const char* Answer)
    {
        TOptions Options;
        Options.Logind = Answer;
        return Options;
    }

    std::unique_ptr<TPrivateBus> FBus;
    std::unique_ptr<TFakeBusServices> FServices;
    void* FLibrary = nullptr;
    ZTSysShootDownFunction* FSysShootDown = nullptr;
};

TEST_F(ShutDownRequestTest, LogindPowersOffOnceWithInteractionAllowedWhenItMayOrMayAfterAsking)
{
    for (const char* Answer : {"yes", "challenge"}) {
        StartServices(Logind(Answer));
        EXPECT_NE(FSysShootDown(), 0) << Answer;
        EXPECT_EQ(FServices->CallsOf("org.freedesktop.login1.Manager"),
                  (std::vector<std::string>{"org.freedesktop.login1.Manager.CanPowerOff",
                                            "org.freedesktop.login1.Manager.PowerOff true"}))
            << Answer;
        FServices.reset();
    }
}

TEST_F(ShutDownRequestTest, ARefusalOrNoLogindAtAllLeavesTheComputerOnAndSaysSo)
{
    for (const char* Answer : {"no", "na"}) {
        StartServices(Logind(Answer));
        EXPECT_EQ(FSysShootDown(), 0) << Answer;
        EXPECT_TRUE(FServices->CallsOf("org.freedesktop.login1.Manager.PowerOff").empty()) << Answer;
        FServices.reset();
    }
    EXPECT_EQ(FSysShootDown(), 0) << "nobody on the bus";
}

TEST_F(ShutDownRequestTest, TheSessionManagersShutdownComesFirstSoProgramsCanSaveTheirWork)
{
    for (const char* Session : {"gnome", "kde", "xfce"}) {
        TOptions Options = Logind("yes");
        Options.Session = Session;
        StartServices(Options);
        EXPECT_NE(FSysShootDown(), 0) << Session;
        EXPECT_TRUE(FServices->CallsOf("org.freedesktop.login1").empty()) << Session;
        const std::vector<std::string> Calls = FServices->Calls();
        ASSERT_FALSE(Calls.empty()) << Session;
        const std::string Expected = std::string(Session) == "gnome" ? "org.gnome.SessionManager.Shutdown"
                                     : std::string(Session) == "kde"
                                         ? "org.kde.Shutdown.logoutAndShutdown"
                                         : "org.xfce.Session.Manager.Shutdown true";
        EXPECT_EQ(Calls.back(), Expected) << Session;
        EXPECT_EQ(FServices->CallsOf(Expected).size(), 1u) << Session;
        FServices.reset();
    }
}

TEST_F(ShutDownRequestTest, ASessionThatCannotShutDownLeavesItToLogind)
{
    TOptions Options = Logind("yes");
    Options.Session = "gnome";
    Options.SessionCanShutdown = false;
    StartServices(Options);
    EXPECT_NE(FSysShootDown(), 0);
    EXPECT_TRUE(FServices->CallsOf("org.gnome.SessionManager.Shutdown").empty());
    EXPECT_EQ(FServices->CallsOf("org.freedesktop.login1.Manager.PowerOff").size(), 1u);
}

// A session bus that accepts and never speaks must not hold the worker for
// its authentication timeout: logind is asked soon after.
TEST_F(ShutDownRequestTest, AHungSessionBusLeavesItToLogindInAFewSeconds)
{
    StartServices(Logind("yes"));
    const std::string Path = FBus->Folder() + "/hung-session";
    const int Socket = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un Address{};
    Address.sun_family = AF_UNIX;
    std::snprintf(Address.sun_path, sizeof Address.sun_path, "%s", Path.c_str());
    ASSERT_EQ(::bind(Socket, reinterpret_cast<sockaddr*>(&Address), sizeof Address), 0);
    ASSERT_EQ(::listen(Socket, 4), 0);
    const std::string Hung = "unix:path=" + Path;
    ::setenv("DBUS_SESSION_BUS_ADDRESS", Hung.c_str(), 1);
    const auto Start = std::chrono::steady_clock::now();
    EXPECT_NE(FSysShootDown(), 0);
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count(), 3.0);
    EXPECT_EQ(FServices->CallsOf("org.freedesktop.login1.Manager.PowerOff").size(), 1u);
    ::setenv("DBUS_SESSION_BUS_ADDRESS", FBus->Address().c_str(), 1);
    ::close(Socket);
}

} // namespace
