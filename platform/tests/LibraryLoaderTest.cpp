#include "platform/testing/FakeLibraryLoader.h"
#include "platform/LinuxLibraryLoader.h"
#include "TemporaryHome.h"

#include <dlfcn.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Platform;
namespace fs = std::filesystem;

namespace {

// Copies the probe library under Name into Folder with the given permissions.
std::string PlaceProbe(const std::string& Folder, const std::string& Name, fs::perms Permissions)
{
    const std::string Path = Folder + "/" + Name;
    fs::copy_file(LOADER_PROBE_PATH, Path, fs::copy_options::overwrite_existing);
    fs::permissions(Path, Permissions);
    return Path;
}

constexpr fs::perms Private = fs::perms::owner_read | fs::perms::owner_write;
constexpr fs::perms Readable = Private | fs::perms::group_read | fs::perms::others_read;

bool IsStillLoaded(const std::string& Path)
{
    void* Library = ::dlopen(Path.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (Library != nullptr)
        ::dlclose(Library);
    return Library != nullptr;
}

class LibraryLoaderTest : public testing::Test
{
protected:
    void SetUp() override
    {
        Folder = Zentavo::Testing::MakeScratchFolder("libraries");
        fs::permissions(Folder, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
        ASSERT_EQ(::getcwd(Previous, sizeof Previous), Previous);
        ASSERT_EQ(::chdir(Folder.c_str()), 0);
    }
    void TearDown() override { ASSERT_EQ(::chdir(Previous), 0); }

    std::string Folder;
    char Previous[4096] = {};
    TLinuxLibraryLoader Loader;
};

} // namespace

TEST_F(LibraryLoaderTest, ABareNameIsLoadedFromTheCurrentFolder)
{
    const std::string Path = PlaceProbe(Folder, "lu.so", Readable);
    TLibraryHandle Library = Loader.Load("lu.so");
    ASSERT_NE(Library, nullptr) << TLinuxLibraryLoader::LastError();
    auto* Answer = reinterpret_cast<int (*)()>(Loader.Resolve(Library, "zt_ProbeAnswer"));
    ASSERT_NE(Answer, nullptr);
    EXPECT_EQ(Answer(), 42);
    EXPECT_EQ(Loader.Resolve(Library, "zt_NotExported"), nullptr);
    EXPECT_EQ(Loader.Resolve(nullptr, "zt_ProbeAnswer"), nullptr);
    EXPECT_TRUE(IsStillLoaded(Path));
    Loader.Release(Library);
    EXPECT_FALSE(IsStillLoaded(Path));
    Loader.Release(nullptr);
}

TEST_F(LibraryLoaderTest, EachLoadStartsTheLibraryAfresh)
{
    PlaceProbe(Folder, "ztaddon.so", Private);
    for (int Round = 0; Round < 2; ++Round) {
        TLibraryHandle Library = Loader.Load("ztaddon.so");
        ASSERT_NE(Library, nullptr);
        auto* Count = reinterpret_cast<int (*)()>(Loader.Resolve(Library, "zt_ProbeCount"));
        EXPECT_EQ(Count(), 1) << "round " << Round;
        Loader.Release(Library);
    }
}

TEST_F(LibraryLoaderTest, MissingOrBrokenFilesGiveNothing)
{
    EXPECT_EQ(Loader.Load("weather.so"), nullptr);
    EXPECT_EQ(Loader.Load(""), nullptr);
    std::ofstream(Folder + "/popup.so") << "not a library";
    fs::permissions(Folder + "/popup.so", Private);
    EXPECT_EQ(Loader.Load("popup.so"), nullptr);
    EXPECT_FALSE(TLinuxLibraryLoader::LastError().empty());
    fs::create_directory(Folder + "/images.so");
    EXPECT_FALSE(IsSafeToLoad(Folder + "/images.so"));
    EXPECT_EQ(Loader.Load("images.so"), nullptr);
}

TEST_F(LibraryLoaderTest, FilesOthersCouldHaveWrittenAreRefused)
{
    const std::string Path = PlaceProbe(Folder, "connection.so", Readable);
    EXPECT_TRUE(IsSafeToLoad(Path));
    EXPECT_TRUE(IsSafeToLoad("connection.so"));
    fs::permissions(Path, Readable | fs::perms::group_write);
    EXPECT_FALSE(IsSafeToLoad(Path));
    EXPECT_EQ(Loader.Load("connection.so"), nullptr);
    fs::permissions(Path, Readable | fs::perms::others_write);
    EXPECT_EQ(Loader.Load("connection.so"), nullptr);
    fs::permissions(Path, Readable);
    EXPECT_NE(Loader.Load("connection.so"), nullptr);

    // The folder counts as much as the file.
    fs::permissions(Folder, fs::perms::owner_all | fs::perms::group_all);
    EXPECT_FALSE(IsSafeToLoad(Path));
    EXPECT_EQ(Loader.Load("connection.so"), nullptr);
    fs::permissions(Folder, fs::perms::owner_all | fs::perms::others_all);
    EXPECT_EQ(Loader.Load("connection.so"), nullptr);
}

TEST_F(LibraryLoaderTest, FilesOfOtherUsersAreRefused)
{
    const std::string Path = PlaceProbe(Folder, "lu.so", Readable);
    if (::chown(Path.c_str(), 54321, static_cast<gid_t>(-1)) != 0)
        GTEST_SKIP() << "only root can give a file away";
    EXPECT_FALSE(IsSafeToLoad(Path));
    EXPECT_EQ(Loader.Load("lu.so"), nullptr);
    ASSERT_EQ(::chown(Path.c_str(), ::geteuid(), static_cast<gid_t>(-1)), 0);
    ASSERT_EQ(::chown(Folder.c_str(), 54321, static_cast<gid_t>(-1)), 0);
    EXPECT_FALSE(IsSafeToLoad(Path));
    ASSERT_EQ(::chown(Folder.c_str(), ::geteuid(), static_cast<gid_t>(-1)), 0);
    EXPECT_TRUE(IsSafeToLoad(Path));
}

TEST_F(LibraryLoaderTest, LinksAreJudgedByWhatTheyPointAt)
{
    const std::string Open = Zentavo::Testing::MakeScratchFolder("open");
    fs::permissions(Open, fs::perms::all);
    const std::string Target = PlaceProbe(Open, "real.so", Readable);
    fs::create_symlink(Target, Folder + "/weather.so");
    EXPECT_FALSE(IsSafeToLoad(Folder + "/weather.so"));
    EXPECT_EQ(Loader.Load("weather.so"), nullptr);

    const std::string Safe = PlaceProbe(Folder, "real.so", Readable);
    fs::create_symlink(Safe, Open + "/weather.so");
    EXPECT_FALSE(IsSafeToLoad(Open + "/weather.so")) << "the link itself lies where anyone can replace it";
    fs::create_symlink(Safe, Folder + "/popup.so");
    EXPECT_TRUE(IsSafeToLoad(Folder + "/popup.so"));
}

TEST(FakeLibraryLoader, ServesTheTestsExportsAndCountsLoads)
{
    static int Calls = 0;
    int (*Export)() = [] { return ++Calls; };
    TFakeLibraryLoader Loader;
    Loader.AddLibrary("lu.so", {{"zt_Count", reinterpret_cast<void*>(Export)}});
    EXPECT_EQ(Loader.Load("images.so"), nullptr);
    TLibraryHandle Library = Loader.Load("lu.so");
    ASSERT_NE(Library, nullptr);
    EXPECT_EQ(reinterpret_cast<int (*)()>(Loader.Resolve(Library, "zt_Count"))(), 1);
    EXPECT_EQ(Loader.Resolve(Library, "zt_Other"), nullptr);
    EXPECT_EQ(Loader.OpenCount(), 1);
    Loader.RemoveLibrary("lu.so");
    EXPECT_EQ(Loader.Load("lu.so"), nullptr);
    Loader.Release(Library); // still valid after the removal
    EXPECT_EQ(Loader.LoadCount("lu.so"), 1);
    EXPECT_EQ(Loader.ReleaseCount("lu.so"), 1);
    EXPECT_EQ(Loader.OpenCount(), 0);
}
