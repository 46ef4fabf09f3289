#include "platform/LinuxFileSystem.h"
#include "TemporaryHome.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

using namespace Platform;
namespace fs = std::filesystem;

namespace {

std::string Contents(const std::string& Path)
{
    std::ifstream File(Path);
    return std::string(std::istreambuf_iterator<char>(File), {});
}

class FileSystemTest : public testing::Test
{
protected:
    void SetUp() override
    {
        Folder = Zentavo::Testing::MakeScratchFolder("files");
        ASSERT_EQ(::chdir(Folder.c_str()), 0); // names are taken from the current folder
    }
    void TearDown() override { ASSERT_EQ(::chdir(Zentavo::Testing::TemporaryWorkingFolder().c_str()), 0); }

    std::string Folder;
    TLinuxFileSystem Files;
};

} // namespace

TEST_F(FileSystemTest, FilesExistFoldersDoNot)
{
    std::ofstream("moon.bmp") << "x";
    fs::create_directory("folder");
    EXPECT_TRUE(Files.FileExists("moon.bmp"));
    EXPECT_TRUE(Files.FileExists(Folder + "/moon.bmp"));
    EXPECT_FALSE(Files.FileExists("folder"));
    EXPECT_FALSE(Files.FileExists("surface.bmp"));
    EXPECT_FALSE(Files.FileExists(""));
}

TEST_F(FileSystemTest, DeleteRemovesFilesOnly)
{
    std::ofstream("moon.bmp") << "x";
    fs::create_directory("folder");
    EXPECT_TRUE(Files.DeleteFile("moon.bmp"));
    EXPECT_FALSE(fs::exists("moon.bmp"));
    EXPECT_FALSE(Files.DeleteFile("moon.bmp"));
    EXPECT_FALSE(Files.DeleteFile("folder"));
    EXPECT_TRUE(fs::exists("folder"));
}

TEST_F(FileSystemTest, RenameNeverReplacesAFile)
{
    std::ofstream("lu.so_") << "new";
    std::ofstream("weather.so") << "old";
    EXPECT_TRUE(Files.RenameFile("lu.so_", "lu.so"));
    EXPECT_EQ(Contents("lu.so"), "new");
    EXPECT_FALSE(fs::exists("lu.so_"));

    EXPECT_FALSE(Files.RenameFile("lu.so", "weather.so"));
    EXPECT_EQ(Contents("lu.so"), "new");
    EXPECT_EQ(Contents("weather.so"), "old");
    EXPECT_FALSE(Files.RenameFile("missing", "other"));
    EXPECT_FALSE(fs::exists("other"));
}
