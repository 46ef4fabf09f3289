// The scheduled shutdown as the program reaches it: ztaddon.so from its
// working folder through the program's own binding, to a fake logind on a
// private bus.
#include "FakeBusServices.h"
#include "platform/LinuxLibraryLoader.h"
#include "PrivateBus.h"
#include "services/AddOn.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using namespace Zentavo::Testing;

TEST(ShutDownBindingTest, TheProgramsShutdownReachesLogindOnceAndARefusalGivesZero)
{
    TPrivateBus Bus;
    if (!Bus.Installed())
        GTEST_SKIP() << Bus.FailureReason();
    ASSERT_TRUE(Bus.Started()) << Bus.FailureReason();
    std::filesystem::copy_file(ZENTAVO_ADDON_LIBRARY, "ztaddon.so");
    std::filesystem::permissions("ztaddon.so", std::filesystem::perms::owner_all);
    Platform::TLinuxLibraryLoader Loader;
    {
        TFakeBusServices::TOptions Options;
        Options.Logind = "challenge";
        TFakeBusServices Services(Options);
        ASSERT_TRUE(Services.Started()) << Services.FailureReason();
        EXPECT_NE(SysShootDown(Loader), 0);
        EXPECT_EQ(Services.CallsOf("org.freedesktop.login1.Manager.PowerOff"),
                  std::vector<std::string>{"org.freedesktop.login1.Manager.PowerOff true"});
    }
    TFakeBusServices::TOptions Options;
    Options.Logind = "no";
    TFakeBusServices Services(Options);
    ASSERT_TRUE(Services.Started()) << Services.FailureReason();
    EXPECT_EQ(SysShootDown(Loader), 0);
    EXPECT_TRUE(Services.CallsOf("org.freedesktop.login1.Manager.PowerOff").empty());
}

} // namespace
