#include "app/GlobePictureFetch.h"

#include "platform/FakeLibraryLoader.h"
#include "platform/LinuxFileSystem.h"
#include "scene/qt/QtPictureLoader.h"
#include "services/zentavo_companion.h"
#include "TemporaryHome.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <mutex>
#include <set>
#include <thread>

namespace {

std::mutex AskedLock;
std::vector<std::string> Asked;
std::set<std::thread::id> AskingThreads;

void ServePicture(ZTBitmap** Bitmap, const char* Name)
{
    {
        std::lock_guard Lock(AskedLock);
        Asked.push_back(Name);
        AskingThreads.insert(std::this_thread::get_id());
    }
    if (std::strcmp(Name, "DOMO_H") == 0)
        return; // the library has no such picture
    // The first pixel encodes the name's length, so each picture is recognisable.
    const std::uint32_t Pixels[4] = {0xFF000000u | static_cast<std::uint32_t>(std::strlen(Name)), 0xFF336699u,
                                     0xFF336699u, 0xFF336699u};
    (*Bitmap)->Methods->SetPixels(*Bitmap, 2, 2, Pixels);
}

class GlobePictureFetchTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        FPreviousFolder = std::filesystem::current_path();
        Folder = Zentavo::Testing::MakeScratchFolder("fetch");
        std::filesystem::current_path(Folder);
        Scene::InstallQtPictureLoader();
        Asked.clear();
        AskingThreads.clear();
    }
    void TearDown() override { std::filesystem::current_path(FPreviousFolder); }

    void InstallLibrary() { Libraries.AddLibrary("images.so", {{"GetPicture", reinterpret_cast<void*>(&ServePicture)}}); }

    std::string Folder;
    Platform::TFakeLibraryLoader Libraries;
    Platform::TLinuxFileSystem Files;
    TGlobePictureFetch Fetch{Libraries, Files};

private:
    std::filesystem::path FPreviousFolder;
};

TEST_F(GlobePictureFetchTest, PicturesArriveInOrderReadBackFromFilesThatAreGone)
{
    InstallLibrary();
    Fetch.Start();
    std::vector<TGlobePictureFetch::TPicture> Pictures = Fetch.Take();

    ASSERT_EQ(Pictures.size(), 4u);
    EXPECT_EQ(Asked, (std::vector<std::string>{"MOON", "SURFACE", "DOMO_H", "DOMO_M"}));
    EXPECT_EQ(AskingThreads.count(std::this_thread::get_id()), 0u) << "the library is asked off this thread";
    EXPECT_EQ(Libraries.OpenCount(), 0) << "each call releases the library";

    EXPECT_FALSE(Pictures[0].Empty);
    EXPECT_EQ(Pictures[0].Bitmap.size(), QSize(2, 2));
    EXPECT_EQ(qBlue(Pictures[0].Bitmap.pixel(0, 0)), 4) << "MOON";
    ASSERT_NE(Pictures[1].Graphic, nullptr);
    EXPECT_EQ(Pictures[1].Graphic->Width(), 2);
    EXPECT_EQ(Pictures[1].Graphic->ScanLine(0)[0], 7) << "SURFACE, read back as 24-bit blue first";
    EXPECT_TRUE(Pictures[2].Empty) << "no picture, no file";
    EXPECT_EQ(Pictures[2].Graphic, nullptr);
    ASSERT_NE(Pictures[3].Graphic, nullptr);
    for (const auto& Picture : Pictures) {
        EXPECT_FALSE(Picture.Error) << Picture.Name;
        EXPECT_FALSE(std::filesystem::exists(Picture.TemporaryFile)) << Picture.TemporaryFile;
    }
}

TEST_F(GlobePictureFetchTest, ATemporaryFileThatCannotBeWrittenStopsTheFetchThere)
{
    InstallLibrary();
    std::filesystem::create_directory("surface.bmp"); // in the way of the file
    Fetch.Start();
    std::vector<TGlobePictureFetch::TPicture> Pictures = Fetch.Take();

    ASSERT_EQ(Pictures.size(), 2u);
    EXPECT_FALSE(Pictures[0].Error);
    ASSERT_TRUE(Pictures[1].Error);
    EXPECT_THROW(std::rethrow_exception(Pictures[1].Error), std::runtime_error);
    EXPECT_EQ(Asked, (std::vector<std::string>{"MOON", "SURFACE"}));
}

TEST_F(GlobePictureFetchTest, WithoutALibraryEveryPictureIsEmptyAndATakeWithoutAStartFetchesThen)
{
    std::vector<TGlobePictureFetch::TPicture> Pictures = Fetch.Take();
    ASSERT_EQ(Pictures.size(), 4u);
    for (const auto& Picture : Pictures) {
        EXPECT_TRUE(Picture.Empty) << Picture.Name;
        EXPECT_FALSE(Picture.Error) << Picture.Name;
    }
    // A discarded fetch is not handed over later: the next take asks again.
    InstallLibrary();
    Fetch.Start();
    Fetch.Discard();
    EXPECT_EQ(Asked.size(), 4u);
    Pictures = Fetch.Take();
    EXPECT_EQ(Asked.size(), 8u);
    EXPECT_FALSE(Pictures[0].Empty);
}

} // namespace
