#include "services/SystemUpdate.h"

#include "CompanionFolder.h"
#include "services/ConfigDocument.h"
#include "services/ConfigError.h"
#include "platform/testing/TestFileSystem.h"

#include <filesystem>
#include <QByteArray>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Stands in for the platform's check: owned by the user or root and not
// writable by group or others, the file and its folder alike.
bool Protected(const std::string& Path)
{
    for (const std::string& Name : {Path, std::filesystem::path(Path).parent_path().string()}) {
        struct stat Status;
        if (stat(Name.c_str(), &Status) != 0)
            return false;
        if ((Status.st_uid != geteuid() && Status.st_uid != 0) || (Status.st_mode & (S_IWGRP | S_IWOTH)) != 0)
            return false;
    }
    return true;
}

} // namespace

class SystemUpdateTest : public TCompanionFolder
{
protected:
    void SetUp() override
    {
        TCompanionFolder::SetUp();
        Document.LoadFromBytes("<zentavo><library url=\"x\"><weather/><!-- c --><popup version=\"2\"/>"
                               "<lu/></library><services><images/></services></zentavo>");
    }
    bool Exists(const std::string& Name) const { return std::filesystem::exists(FFolder + "/" + Name); }
    void Update() { UpdateSystem(Document, Files, Protected); }

    TConfigDocument Document;
    TTestFileSystem Files;
};

TEST_F(SystemUpdateTest, StagedFileReplacesTheInstalledOne)
{
    WriteFile("weather.so", "old weather");
    WriteFile("weather.so_", "new weather");
    Update();
    EXPECT_FALSE(Exists("weather.so_"));
    EXPECT_EQ(ReadFile("weather.so"), "new weather");
}

TEST_F(SystemUpdateTest, StagedFileAloneBecomesTheInstalledOne)
{
    WriteFile("popup.so_", "new popup");
    Update();
    EXPECT_FALSE(Exists("popup.so_"));
    EXPECT_EQ(ReadFile("popup.so"), "new popup");
}

TEST_F(SystemUpdateTest, EveryListedLibraryIsSwappedInOnePass)
{
    WriteFile("weather.so_", "w");
    WriteFile("popup.so_", "p");
    WriteFile("lu.so", "old lu");
    WriteFile("lu.so_", "l");
    Update();
    EXPECT_EQ(ReadFile("weather.so") + ReadFile("popup.so") + ReadFile("lu.so"), "wpl");
    EXPECT_FALSE(Exists("weather.so_") || Exists("popup.so_") || Exists("lu.so_"));
}

TEST_F(SystemUpdateTest, InstalledFileWithoutStagedOneOrNeitherIsUnchanged)
{
    WriteFile("weather.so", "old weather");
    Update();
    EXPECT_EQ(ReadFile("weather.so"), "old weather");
    EXPECT_FALSE(Exists("popup.so"));
    EXPECT_FALSE(Exists("popup.so_"));
}

TEST_F(SystemUpdateTest, InstalledFileThatCannotBeDeletedKeepsBothUntilTheNextStart)
{
    WriteFile("weather.so", "old weather");
    WriteFile("weather.so_", "new weather");
    Files.Undeletable = {"weather.so"};
    Update();
    EXPECT_EQ(ReadFile("weather.so"), "old weather");
    EXPECT_EQ(ReadFile("weather.so_"), "new weather");
    Files.Undeletable.clear();
    Update();
    EXPECT_EQ(ReadFile("weather.so"), "new weather");
}

TEST_F(SystemUpdateTest, StagedFileOfAnUnlistedNameIsLeftAlone)
{
    WriteFile("images.so", "old images");
    WriteFile("images.so_", "new images");
    Update();
    EXPECT_EQ(ReadFile("images.so"), "old images");
    EXPECT_EQ(ReadFile("images.so_"), "new images");
}

TEST_F(SystemUpdateTest, StagedFileOthersCouldWriteIsNeverSwappedIn)
{
    WriteFile("weather.so", "old weather");
    WriteFile("weather.so_", "planted");
    std::filesystem::permissions(FFolder + "/weather.so_", std::filesystem::perms::group_write,
                                 std::filesystem::perm_options::add);
    WriteFile("popup.so_", "new popup");
    Update();
    EXPECT_EQ(ReadFile("weather.so"), "old weather");
    EXPECT_EQ(ReadFile("weather.so_"), "planted");
    EXPECT_EQ(ReadFile("popup.so"), "new popup") << "one unsafe file does not stop the others";
}

TEST_F(SystemUpdateTest, FolderOthersCouldWriteSwapsNothing)
{
    WriteFile("weather.so_", "planted");
    std::filesystem::permissions(FFolder, std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::add);
    Update();
    std::filesystem::permissions(FFolder, std::filesystem::perms::others_write,
                                 std::filesystem::perm_options::remove);
    EXPECT_FALSE(Exists("weather.so"));
}

TEST_F(SystemUpdateTest, DocumentNeverLoadedIsAnError)
{
    WriteFile("weather.so_", "new weather");
    TConfigDocument Empty;
    EXPECT_THROW(UpdateSystem(Empty, Files, Protected), EConfigError);
    EXPECT_TRUE(Exists("weather.so_"));
}
