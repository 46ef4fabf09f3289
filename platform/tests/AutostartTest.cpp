#include "platform/testing/FakeAutostart.h"
#include "platform/XdgAutostart.h"
#include "FileChecks.h"
#include "TemporaryHome.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <vector>

using namespace Platform;
namespace fs = std::filesystem;
using namespace Zentavo::Testing;

namespace {

std::string Contents(const std::string& Path)
{
    std::ifstream File(Path);
    return std::string(std::istreambuf_iterator<char>(File), {});
}

} // namespace

TEST(XdgAutostart, WritesTheEntryTheSessionStarts)
{
    const std::string Entry = std::string(std::getenv("XDG_CONFIG_HOME")) + "/autostart/zentavo-3d.desktop";
    TXdgAutostart Autostart;
    EXPECT_EQ(Autostart.EntryPath(), Entry);
    Autostart.Enable("/opt/zentavo/zentavo-3d", "/home/ana/.local/share/zentavo-3d");
    EXPECT_EQ(Contents(Entry), "[Desktop Entry]\n"
                               "Type=Application\n"
                               "Name=Zentavo 3D\n"
                               "Exec=/opt/zentavo/zentavo-3d\n"
                               "Path=/home/ana/.local/share/zentavo-3d\n"
                               "X-GNOME-Autostart-enabled=true\n");
    Autostart.Enable("/usr/bin/zentavo-3d", "/tmp");
    EXPECT_NE(Contents(Entry).find("Exec=/usr/bin/zentavo-3d\n"), std::string::npos);
    EXPECT_EQ(std::distance(fs::directory_iterator(fs::path(Entry).parent_path()), fs::directory_iterator()),
              1);

    Autostart.Disable();
    EXPECT_FALSE(fs::exists(Entry));
    EXPECT_NO_THROW(Autostart.Disable());
}

TEST(XdgAutostart, QuotesTheExecutableAsTheDesktopEntryFormatAsks)
{
    // Spaces need quotes; inside them $ " ` \ take a backslash; % doubles; and
    // then every backslash doubles again as in any value.
    EXPECT_NE(TXdgAutostart::EntryText("/opt/Zentavo 3D/zentavo-3d", "/w")
                  .find("Exec=\"/opt/Zentavo 3D/zentavo-3d\"\n"),
              std::string::npos);
    EXPECT_NE(TXdgAutostart::EntryText("/a b/$x\"y\\z%`", "/w")
                  .find("Exec=\"/a b/\\\\$x\\\\\"y\\\\\\\\z%%\\\\`\"\n"),
              std::string::npos);
    EXPECT_NE(TXdgAutostart::EntryText("/plain/100%", "/w").find("Exec=/plain/100%%\n"), std::string::npos);
    EXPECT_NE(TXdgAutostart::EntryText("/x", " lead\\ing\nline").find("Path=\\slead\\\\ing\\nline\n"),
              std::string::npos);
}

TEST(XdgAutostart, ARelativeExecutableBecomesAbsolute)
{
    const std::string Text = TXdgAutostart::EntryText("build/zentavo-3d", "/w");
    EXPECT_NE(Text.find("Exec=" + (fs::current_path() / "build/zentavo-3d").string() + "\n"),
              std::string::npos);
}

TEST(XdgAutostart, NoOneElseCanChangeTheEntryWhateverTheUmask)
{
    const std::string Config = Zentavo::Testing::MakeScratchFolder("autostart-modes") + "/config";
    const std::string Folder = Config + "/autostart";
    const std::string Entry = Folder + "/zentavo-3d.desktop";
    const std::string Expected = TXdgAutostart::EntryText("/opt/zentavo/zentavo-3d", "/w");
    {
        TUmask Umask(0);
        TXdgAutostart Autostart(Entry);
        // Folders it makes are private.
        Autostart.Enable("/opt/zentavo/zentavo-3d", "/w");
        EXPECT_EQ(Mode(Config), 0700u);
        EXPECT_EQ(Mode(Folder), 0700u);
        EXPECT_EQ(Mode(Entry), 0644u);
        EXPECT_EQ(Contents(Entry), Expected);

        // An open folder of ours loses the others' write bits and nothing more; an open
        // entry is replaced by a closed one.
        ASSERT_EQ(::chmod(Folder.c_str(), 0777), 0);
        ASSERT_EQ(::chmod(Entry.c_str(), 0666), 0);
        Autostart.Enable("/opt/zentavo/zentavo-3d", "/w");
        EXPECT_EQ(Mode(Folder), 0755u);
        EXPECT_EQ(Mode(Entry), 0644u);
        EXPECT_EQ(Contents(Entry), Expected);
        EXPECT_EQ(FolderListing(Folder), std::vector<std::string>{"zentavo-3d.desktop"});
    }
}

TEST(XdgAutostart, FailuresAreReported)
{
    const std::string Folder = Zentavo::Testing::MakeScratchFolder("autostart");
    std::ofstream(Folder + "/file") << "x";
    EXPECT_THROW(TXdgAutostart(Folder + "/file/autostart/zentavo-3d.desktop").Enable("/x", "/w"),
                 std::runtime_error);
    fs::create_directories(Folder + "/entry.desktop/inside");
    EXPECT_THROW(TXdgAutostart(Folder + "/entry.desktop").Disable(), std::runtime_error);
    // A folder where the entry should be cannot be replaced, and the new entry is not left behind.
    EXPECT_THROW(TXdgAutostart(Folder + "/entry.desktop").Enable("/x", "/w"), std::runtime_error);
    EXPECT_EQ(FolderListing(Folder), (std::vector<std::string>{"entry.desktop", "file"}));
}

TEST(FakeAutostart, RecordsTheSwitch)
{
    TFakeAutostart Autostart;
    EXPECT_FALSE(Autostart.Enabled());
    Autostart.Enable("/bin/zentavo-3d", "/work");
    EXPECT_TRUE(Autostart.Enabled());
    Autostart.Disable();
    EXPECT_FALSE(Autostart.Enabled());
    ASSERT_EQ(Autostart.Calls().size(), 2u);
    EXPECT_EQ(Autostart.Calls()[0].Executable, "/bin/zentavo-3d");
    EXPECT_EQ(Autostart.Calls()[0].WorkingFolder, "/work");
}
