// The add-on library as the program reaches it: from its working folder,
// through its own bindings, into the setup dialog's zone rule.
#include "app/clock/ClockHands.h"
#include "platform/LinuxLibraryLoader.h"
#include "services/AddOn.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

TEST(AddOnBindingTest, TheZoneAndServerListsReachTheProgramAndEveryZoneGivesItsOffset)
{
    std::filesystem::copy_file(ZENTAVO_ADDON_LIBRARY, "ztaddon.so");
    std::filesystem::permissions("ztaddon.so", std::filesystem::perms::owner_all);
    Platform::TLinuxLibraryLoader Loader;
    const std::vector<std::string> Zones = getGMTLocations(Loader);
    ASSERT_GT(Zones.size(), 300u);
    for (const std::string& Entry : Zones) {
        const int Offset = TClockHands::OffsetOfEntry(Entry); // throws for an entry the clock cannot read
        EXPECT_GE(Offset, -12) << Entry;
        EXPECT_LE(Offset, 14) << Entry;
    }
    EXPECT_NE(std::find(Zones.begin(), Zones.end(), "(GMT +05:30) Kolkata, India"), Zones.end());
    EXPECT_EQ(TClockHands::OffsetOfEntry("(GMT +05:30) Kolkata, India"), 5);
    const std::vector<std::string> Servers = getTimeServers(Loader);
    EXPECT_NE(std::find(Servers.begin(), Servers.end(), "pool.ntp.org"), Servers.end());
    EXPECT_TRUE(getProvinces(Loader).empty()) << "no city list in this working folder";
}

} // namespace
