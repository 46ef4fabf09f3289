// The live update as the program drives it: its sysConf.xml in the working
// folder, lu.so reached through the program's own binding after a refresh,
// then the program's start-up swap installing what lu.so staged.
#include "platform/LibraryLoader.h"
#include "platform/LinuxFileSystem.h"
#include "platform/LinuxLibraryLoader.h"
#include "services/ConfigDocument.h"
#include "services/SystemUpdate.h"
#include "services/SysUpdate.h"
#include "state/UserConnection.h"
#include "TestKey.h"
#include "UpdateServer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

std::string ReadFile(const fs::path& Path)
{
    std::ifstream File(Path, std::ios::binary);
    std::ostringstream Contents;
    Contents << File.rdbuf();
    return Contents.str();
}

TEST(LiveUpdateBindingTest, AStagedUpdateOfTheUpdaterItselfIsInstalledAtTheNextStartAndThenLeftAlone)
{
    // The update offered is a real library, so that the swapped-in file can be loaded.
    const std::string Installed = ReadFile(ZENTAVO_LU_TEST_LIBRARY);
    const std::string Offered = ReadFile(ZENTAVO_LU_LIBRARY);
    ASSERT_NE(Installed, Offered);
    fs::copy_file(ZENTAVO_LU_TEST_LIBRARY, "lu.so");
    fs::permissions("lu.so", fs::perms::owner_all);

    TUpdateServer Server;
    Server.Serve("/lu-2.so", Offered);
    std::string Element = "<lu";
    for (const auto& [Name, Value] : OfferAttributes("lu", "2", Server.Url("/lu-2.so"), Offered))
        Element += " " + Name + "=\"" + Value + "\"";
    Element += "/>";
    std::ofstream("sysConf.xml") << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<zentavo><library>"
                                 << Element << "<weather/></library></zentavo>\n";

    TConfigDocument Document;
    Document.LoadFromFile();
    ASSERT_TRUE(Document.Loaded());
    Platform::TLinuxLibraryLoader Loader;
    TUserConnection Connection;
    TSysUpdate(Loader).LiveUpdate(Document.Element("zentavo/library"), Connection);
    EXPECT_EQ(ReadFile("lu.so_"), Offered);
    EXPECT_EQ(ReadFile("lu.so"), Installed) << "the running program's library is not touched";

    Platform::TLinuxFileSystem Files;
    UpdateSystem(Document, Files, Platform::IsSafeToLoad);
    EXPECT_FALSE(fs::exists("lu.so_"));
    EXPECT_EQ(ReadFile("lu.so"), Offered);
    const Platform::TLibraryHandle Library = Loader.Load("lu.so");
    ASSERT_NE(Library, Platform::TLibraryHandle{}) << "the installed update loads";
    EXPECT_NE(Loader.Resolve(Library, "LiveUpdate"), nullptr);
    Loader.Release(Library);

    // The same offer again while it waits staged: not fetched twice. The
    // test build goes back in place, as the new lu.so trusts no test key.
    fs::remove("lu.so");
    fs::copy_file(ZENTAVO_LU_TEST_LIBRARY, "lu.so");
    fs::permissions("lu.so", fs::perms::owner_all);
    const std::size_t Before = Server.Requests().size();
    std::ofstream("sysConf.xml") << "<zentavo><library>" << Element << "</library></zentavo>\n";
    fs::copy_file(ZENTAVO_LU_LIBRARY, "lu.so_");
    fs::permissions("lu.so_", fs::perms::owner_read | fs::perms::owner_write);
    Document.LoadFromFile();
    TSysUpdate(Loader).LiveUpdate(Document.Element("zentavo/library"), Connection);
    EXPECT_EQ(Server.Requests().size(), Before) << "already staged: not fetched again";
    EXPECT_EQ(Before, 1u);
}

} // namespace
