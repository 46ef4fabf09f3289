#include "app/install/WorkingFolder.h"
#include "app/install/InstalledCopy.h"
#include "platform/LibraryLoader.h"
#include "TemporaryHome.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

std::string Read(const fs::path& File)
{
    std::ifstream Stream(File);
    return std::string(std::istreambuf_iterator<char>(Stream), {});
}

void Write(const fs::path& File, const std::string& Text)
{
    fs::create_directories(File.parent_path());
    std::ofstream(File) << Text;
}

mode_t Mode(const fs::path& Path)
{
    struct stat Status
    {
    };
    EXPECT_EQ(::stat(Path.c_str(), &Status), 0) << Path;
    return Status.st_mode & 07777;
}

void Age(const fs::path& File, std::chrono::hours By)
{
    fs::last_write_time(File, fs::last_write_time(File) - By);
}

// An installed copy as the install rules lay it out, and a user without a working folder.
class WorkingFolderTest : public testing::Test
{
protected:
    void SetUp() override
    {
        Root = Zentavo::Testing::MakeScratchFolder("working-folder");
        Prefix = Root / "prefix";
        Write(Data() / "sysConf.xml", "<zentavo>installed</zentavo>");
        Write(Data() / "weather-cities.txt", "Berlin, Germany|52.5244,13.4105\n");
        Write(Data() / "pictures/MOON.bmp", "moon");
        Write(Data() / "pages/help.html", "help");
        Write(Libraries() / "weather.so", "weather");
        Write(Libraries() / "images.so", "images");
        Write(Libraries() / "notes.txt", "not a library");
        fs::create_directories(Prefix / "bin");
        Working = Root / "home/.local/share/zentavo-3d";
    }

    // Where the install rules put them, seen from bin/.
    fs::path Data() const { return (Prefix / "bin" / ZENTAVO_DATA_FROM_PROGRAM).lexically_normal(); }
    fs::path Libraries() const
    {
        return (Prefix / "bin" / ZENTAVO_LIBRARIES_FROM_PROGRAM).lexically_normal();
    }
    TInstalledCopy Copy() const { return TInstalledCopy(Data(), Libraries()); }
    void Prepare() { TWorkingFolder(Working).Prepare(Copy()); }

    fs::path Root, Prefix, Working;
};

TEST_F(WorkingFolderTest, AFirstStartMakesAPrivateFolderWithTheDataAndLinksToTheLibraries)
{
    Prepare();
    EXPECT_EQ(Mode(Working), 0700u);
    EXPECT_EQ(Mode(Working.parent_path()), 0700u) << "made parents are private too";
    EXPECT_EQ(Read(Working / "sysConf.xml"), "<zentavo>installed</zentavo>");
    EXPECT_EQ(Mode(Working / "sysConf.xml"), 0600u);
    EXPECT_EQ(Read(Working / "pictures/MOON.bmp"), "moon");
    EXPECT_EQ(Read(Working / "pages/help.html"), "help");
    EXPECT_EQ(Read(Working / "weather-cities.txt"), "Berlin, Germany|52.5244,13.4105\n");
    ASSERT_TRUE(fs::is_symlink(Working / "weather.so"));
    EXPECT_EQ(fs::read_symlink(Working / "weather.so"), Libraries() / "weather.so");
    EXPECT_TRUE(fs::is_symlink(Working / "images.so"));
    EXPECT_FALSE(fs::exists(Working / "notes.txt"));
    EXPECT_TRUE(Platform::IsSafeToLoad((Working / "weather.so").string()))
        << "the loader takes a link from the private folder to the installed file";
    for (const fs::directory_entry& Entry : fs::recursive_directory_iterator(Working))
        EXPECT_EQ(Entry.path().string().find(".partial"), std::string::npos) << Entry.path();
}

TEST_F(WorkingFolderTest, TheUsersFilesStayAndOnlyWhatIsMissingOrOlderThanTheInstalledCopyIsFilledIn)
{
    Prepare();
    Write(Working / "sysConf.xml", "<zentavo>mine</zentavo>");
    Write(Working / "pictures/MOON.bmp", "my moon");
    fs::remove(Working / "pages/help.html");
    Write(Working / "notes.txt", "my notes");
    // A newer package: every installed file changes, and the user's document is older still.
    Age(Working / "sysConf.xml", std::chrono::hours(48));
    Write(Data() / "sysConf.xml", "<zentavo>newer</zentavo>");
    Write(Data() / "weather-cities.txt", "Potsdam, Germany|52.3989,13.0657\n");
    Write(Data() / "pictures/MOON.bmp", "newer moon");
    Age(Data() / "pictures/MOON.bmp", std::chrono::hours(24));
    Prepare();
    EXPECT_EQ(Read(Working / "sysConf.xml"), "<zentavo>mine</zentavo>")
        << "the document, once there, is the user's";
    EXPECT_EQ(Read(Working / "pictures/MOON.bmp"), "my moon") << "changed after the installed one";
    EXPECT_EQ(Read(Working / "pages/help.html"), "help");
    EXPECT_EQ(Read(Working / "weather-cities.txt"), "Potsdam, Germany|52.3989,13.0657\n")
        << "ours, and newer";
    EXPECT_EQ(Read(Working / "notes.txt"), "my notes");
}

TEST_F(WorkingFolderTest, AStagedUpdateStaysUntilThePackageBringsANewerLibrary)
{
    Prepare();
    // What the start-up swap leaves: the update in place of the link.
    fs::remove(Working / "weather.so");
    Write(Working / "weather.so", "weather 2.1");
    Prepare();
    EXPECT_FALSE(fs::is_symlink(Working / "weather.so"));
    EXPECT_EQ(Read(Working / "weather.so"), "weather 2.1");

    Age(Working / "weather.so", std::chrono::hours(24));
    Write(Libraries() / "weather.so", "weather 3.0");
    Prepare();
    ASSERT_TRUE(fs::is_symlink(Working / "weather.so"));
    EXPECT_EQ(Read(Working / "weather.so"), "weather 3.0");
}

TEST_F(WorkingFolderTest, AFolderOthersCanWriteToIsClosedAndALinkToAnotherCopyIsRepointed)
{
    fs::create_directories(Working);
    ::chmod(Working.c_str(), 0777);
    fs::create_symlink(Root / "old-prefix/weather.so", Working / "weather.so");
    Prepare();
    EXPECT_EQ(Mode(Working) & 022, 0u);
    EXPECT_EQ(fs::read_symlink(Working / "weather.so"), Libraries() / "weather.so");
}

TEST_F(WorkingFolderTest, TheFolderFollowsTheEnvironmentAndTheCopyIsFoundBesideTheProgram)
{
    setenv("ZENTAVO_WORKDIR", "/somewhere/work", 1);
    EXPECT_EQ(TWorkingFolder::DefaultPath(), "/somewhere/work");
    unsetenv("ZENTAVO_WORKDIR");
    setenv("XDG_DATA_HOME", "/data/home", 1);
    EXPECT_EQ(TWorkingFolder::DefaultPath(), "/data/home/zentavo-3d");
    setenv("XDG_DATA_HOME", "relative", 1);
    EXPECT_EQ(TWorkingFolder::DefaultPath(), fs::path(std::getenv("HOME")) / ".local/share/zentavo-3d")
        << "a relative XDG path is ignored";

    const std::optional<TInstalledCopy> Found = TInstalledCopy::Find(Prefix / "bin");
    ASSERT_TRUE(Found);
    EXPECT_EQ(Found->DataFolder(), Data());
    EXPECT_EQ(Found->LibraryFolder(), Libraries());
    EXPECT_FALSE(TInstalledCopy::Find(Root / "build/app")) << "a build tree has no installed data";
}

TEST_F(WorkingFolderTest, TheFolderCanBeEnteredAndAFolderThatCannotBeMadeIsAnError)
{
    Prepare();
    const fs::path Before = fs::current_path();
    TWorkingFolder(Working).Enter();
    EXPECT_EQ(fs::current_path(), Working);
    fs::current_path(Before);
    Write(Root / "a-file", "x");
    EXPECT_THROW(TWorkingFolder(Root / "a-file/zentavo-3d").Prepare(Copy()), std::runtime_error);
}

} // namespace
