#include "services/AddOn.h"

#include "CompanionFolder.h"
#include "platform/testing/TestLibraryLoader.h"

using testing::ElementsAre;
using testing::IsEmpty;

using AddOnTest = TCompanionFolder;

TEST_F(AddOnTest, ListsAreSplitAndCopiedBeforeTheLibraryIsReleased)
{
    Install({"ztaddon.so"});
    // The library spoils and frees its text when it is unloaded.
    WriteFile("getProvinces.txt", "Rio de Janeiro|BR1\r\nSão Paulo|BR2\nRecife|BR3\r");
    WriteFile("getGMTLocations.txt", "-3|Brasília\n0|London\n");
    WriteFile("getTimeServers.txt", "a.example\rb.example");
    TTestLibraryLoader Loader;
    EXPECT_THAT(getProvinces(Loader), ElementsAre("Rio de Janeiro|BR1", "São Paulo|BR2", "Recife|BR3"));
    EXPECT_THAT(getGMTLocations(Loader), ElementsAre("-3|Brasília", "0|London"));
    EXPECT_THAT(getTimeServers(Loader), ElementsAre("a.example", "b.example"));
    EXPECT_EQ(Loader.Held(), 0);
    EXPECT_THAT(Log(), ElementsAre("load ztaddon", "getProvinces text", "unload ztaddon", "load ztaddon",
                                   "getGMTLocations text", "unload ztaddon", "load ztaddon",
                                   "getTimeServers text", "unload ztaddon"));
}

TEST_F(AddOnTest, NullTextIsAnEmptyList)
{
    Install({"ztaddon.so"});
    TTestLibraryLoader Loader;
    EXPECT_THAT(getTimeServers(Loader), IsEmpty());
    EXPECT_THAT(Log(), ElementsAre("load ztaddon", "getTimeServers null", "unload ztaddon"));
}

TEST_F(AddOnTest, ShutdownResultIsHandedBack)
{
    Install({"ztaddon.so"});
    TTestLibraryLoader Loader;
    EXPECT_EQ(SysShootDown(Loader), 1234);
    EXPECT_THAT(Log(), ElementsAre("load ztaddon", "SysShootDown", "unload ztaddon"));
}

TEST_F(AddOnTest, MissingLibraryGivesEmptyListsAndNoShutdown)
{
    WriteFile("getProvinces.txt", "Rio de Janeiro|BR1\n");
    TTestLibraryLoader Loader;
    EXPECT_THAT(getProvinces(Loader), IsEmpty());
    EXPECT_THAT(getGMTLocations(Loader), IsEmpty());
    EXPECT_THAT(getTimeServers(Loader), IsEmpty());
    EXPECT_EQ(SysShootDown(Loader), 0);
    EXPECT_EQ(Loader.Loads(), 0);
}

TEST_F(AddOnTest, MissingExportsBehaveAsAMissingLibraryButStillRelease)
{
    InstallHollow({"ztaddon.so"});
    WriteFile("getProvinces.txt", "Rio de Janeiro|BR1\n");
    TTestLibraryLoader Loader;
    EXPECT_THAT(getProvinces(Loader), IsEmpty());
    EXPECT_EQ(SysShootDown(Loader), 0);
    EXPECT_EQ(Loader.Loads(), 2);
    EXPECT_EQ(Loader.Held(), 0);
    EXPECT_THAT(Log(), ElementsAre("load ztaddon", "unload ztaddon", "load ztaddon", "unload ztaddon"));
}
