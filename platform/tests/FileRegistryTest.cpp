#include "platform/FileRegistry.h"

#include "FileChecks.h"
#include "TemporaryHome.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

using namespace Platform;
namespace fs = std::filesystem;
using namespace Zentavo::Testing;

namespace {

const std::string Settings = "Software\\Zentavo-3D\\geovalues";

// Makes one kind of system call fail with EIO, from its nth call on.
class TFailingOperations : public TFileOperations
{
public:
    enum TStep
    {
        NoStep,
        MakeTemporaryStep,
        ChangeModeStep,
        WriteStep,
        SyncFileStep,
        CloseAfterWriteStep,
        RenameStep,
        SyncFolderStep,
        ReadStep,
    };

    TStep FailingStep = NoStep;
    int FailingCall = 1;
    bool ShortWrites = false;

    int MakeTemporary(char* Template) override
    {
        if (Fails(MakeTemporaryStep))
            return -1;
        FWritingFile = TFileOperations::MakeTemporary(Template);
        return FWritingFile;
    }
    int ChangeMode(int File, mode_t Mode) override
    {
        return Fails(ChangeModeStep) ? -1 : TFileOperations::ChangeMode(File, Mode);
    }
    ssize_t Write(int File, const void* Buffer, std::size_t Size) override
    {
        if (Fails(WriteStep))
            return -1;
        return TFileOperations::Write(File, Buffer, ShortWrites ? std::min<std::size_t>(Size, 7) : Size);
    }
    int SyncFile(int File) override { return Fails(SyncFileStep) ? -1 : TFileOperations::SyncFile(File); }
    int SyncFolder(int Folder) override
    {
        return Fails(SyncFolderStep) ? -1 : TFileOperations::SyncFolder(Folder);
    }
    int Close(int File) override
    {
        const bool Written = File == FWritingFile;
        if (Written)
            FWritingFile = -1;
        const int Result = TFileOperations::Close(File);
        if (Written && Fails(CloseAfterWriteStep))
            return -1; // as on Linux: the descriptor is gone all the same
        return Result;
    }
    int Rename(const char* From, const char* To) override
    {
        return Fails(RenameStep) ? -1 : TFileOperations::Rename(From, To);
    }
    ssize_t Read(int File, void* Buffer, std::size_t Size) override
    {
        return Fails(ReadStep) ? -1 : TFileOperations::Read(File, Buffer, Size);
    }

private:
    bool Fails(TStep Step)
    {
        if (Step != FailingStep || ++FCalls < FailingCall)
            return false;
        errno = EIO;
        return true;
    }

    int FCalls = 0;
    int FWritingFile = -1;
};

class FileRegistryTest : public testing::Test
{
protected:
    void SetUp() override
    {
        Folder = Zentavo::Testing::MakeScratchFolder("registry") + "/zentavo-3d";
        Store = Folder + "/registry.reg";
    }

    // A store holding some values, and the bytes of it.
    std::string PrepareStore()
    {
        TFileRegistry Registry(Store);
        auto Key = Registry.CreateKey(Settings);
        Key->SetValue("Top", TRegistryValue::FromString("10"));
        Key->SetValue("Left", TRegistryValue::FromString("20"));
        return ReadFile(Store);
    }

    std::string Folder;
    std::string Store;
};

} // namespace

TEST_F(FileRegistryTest, TheStoreOfTheUserFollowsTheConfigFolder)
{
    const std::string Home = std::getenv("HOME");
    const std::string Config = std::getenv("XDG_CONFIG_HOME");
    EXPECT_EQ(TFileRegistry::DefaultStorePath(), Config + "/zentavo-3d/registry.reg");
    EXPECT_EQ(TFileRegistry().StorePath(), Config + "/zentavo-3d/registry.reg");
    setenv("XDG_CONFIG_HOME", "relative/config", 1); // relative values do not count
    EXPECT_EQ(TFileRegistry::DefaultStorePath(), Home + "/.config/zentavo-3d/registry.reg");
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(TFileRegistry::DefaultStorePath(), Home + "/.config/zentavo-3d/registry.reg");
    setenv("XDG_CONFIG_HOME", Config.c_str(), 1);
}

TEST_F(FileRegistryTest, ReadingNeverCreatesAnythingAndCreatingAKeyWritesIt)
{
    TFileRegistry Registry(Store);
    EXPECT_EQ(Registry.OpenKey(Settings), nullptr);
    EXPECT_FALSE(Registry.QueryValue(Settings, "Top").has_value());
    EXPECT_FALSE(fs::exists(Folder));

    auto Key = Registry.CreateKey(Settings);
    ASSERT_NE(Key, nullptr);
    EXPECT_EQ(ReadFile(Store), "Windows Registry Editor Version 5.00\n\n"
                               "[HKEY_CURRENT_USER\\Software\\Zentavo-3D\\geovalues]\n\n");
    EXPECT_NE(TFileRegistry(Store).OpenKey("software\\ZENTAVO-3D\\GeoValues"), nullptr);
    EXPECT_NE(TFileRegistry(Store).OpenKey("Software"), nullptr);
    EXPECT_FALSE(Key->DeleteValue("Missing"));
}

TEST_F(FileRegistryTest, EveryKindOfValueComesBackFromTheFile)
{
    const double FocalLength = 119.99996;
    const std::vector<std::pair<std::string, TRegistryValue>> Values = {
        {"Location", TRegistryValue::FromString("(GMT-03:00) Brasília \"Leste\" C:\\dir\\")},
        {"Sound", TRegistryValue::FromString("%HOME%/alarme ção.wav", TRegistryType::ExpandString)},
        {"FocalLength", TRegistryValue::FromBinary(&FocalLength, sizeof FocalLength)},
        {"Top", TRegistryValue::FromDWord(0xffffffff)},
        {"", TRegistryValue::FromString("default")},
        {"Multi",
         [] {
             TRegistryValue Value;
             Value.Type = 7;
             Value.Data = {'x', 0, 0, 0, 0, 0};
             return Value;
         }()},
    };
    {
        TFileRegistry Registry(Store);
        auto Key = Registry.CreateKey(Settings);
        for (const auto& [Name, Value] : Values)
            Key->SetValue(Name, Value);
    }
    TFileRegistry Again(Store);
    auto Key = Again.OpenKey(Settings);
    ASSERT_NE(Key, nullptr);
    for (const auto& [Name, Value] : Values)
        EXPECT_EQ(Key->QueryValue(Name), Value) << Name;
    EXPECT_TRUE(Key->DeleteValue("location"));
    EXPECT_FALSE(TFileRegistry(Store).QueryValue(Settings, "Location").has_value());
}

TEST_F(FileRegistryTest, KeysAndLinesItDoesNotKnowAreKeptByteForByte)
{
    const std::string Before =
        "Windows Registry Editor Version 5.00\r\n"
        "\r\n"
        "; written by another program\r\n"
        "[HKEY_CURRENT_USER\\Software\\Other]\r\n"
        "\"Blob\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\\\r\n"
        "  16,17\r\n"
        "\"Weird\"=hex(7):41,00,00,00,00,00\r\n"
        "\r\n"
        "[HKEY_CURRENT_USER\\Software\\Zentavo-3D\\geovalues]\r\n"
        "\"Top\"=\"1\"\r\n"
        "\"Future\"=dword:00000005\r\n"
        "\r\n";
    WriteFile(Store, Before);
    TFileRegistry Registry(Store);
    auto Key = Registry.CreateKey(Settings);
    Key->SetValue("Top", TRegistryValue::FromString("2"));
    Key->SetValue("Alpha", TRegistryValue::FromString("255"));
    std::string Expected = Before;
    Expected.replace(Expected.find("\"Top\"=\"1\""), 9, "\"Top\"=\"2\"");
    Expected.insert(Expected.find("\"Future\"=dword:00000005\r\n") + 25, "\"Alpha\"=\"255\"\r\n");
    EXPECT_EQ(ReadFile(Store), Expected);
    EXPECT_EQ(FolderListing(Folder), std::vector<std::string>{"registry.reg"});
}

TEST_F(FileRegistryTest, WritingTheValueAlreadyStoredLeavesTheFileAlone)
{
    PrepareStore();
    struct stat Before
    {
    };
    ASSERT_EQ(::stat(Store.c_str(), &Before), 0);
    TFileRegistry Registry(Store);
    Registry.SetValue(Settings, "top", TRegistryValue::FromString("10"));
    EXPECT_FALSE(Registry.DeleteValue(Settings, "Missing"));
    Registry.CreateKey(Settings);
    struct stat After
    {
    };
    ASSERT_EQ(::stat(Store.c_str(), &After), 0);
    EXPECT_EQ(Before.st_ino, After.st_ino); // every real save is a new file renamed into place
    Registry.SetValue(Settings, "Top", TRegistryValue::FromString("11"));
    ASSERT_EQ(::stat(Store.c_str(), &After), 0);
    EXPECT_NE(Before.st_ino, After.st_ino);
}

TEST_F(FileRegistryTest, FolderAndFileArePrivateWhateverTheUmask)
{
    for (const mode_t Mask : {mode_t(0), mode_t(0022), mode_t(0277)}) {
        fs::remove_all(Folder);
        TUmask Umask(Mask);
        TFileRegistry Registry(Store);
        Registry.SetValue(Settings, "Pass", TRegistryValue::FromString("secret"));
        EXPECT_EQ(Mode(Folder), 0700u) << std::oct << Mask;
        EXPECT_EQ(Mode(Store), 0600u) << std::oct << Mask;
    }
    // A folder made open by someone else is closed again at the next save.
    ::chmod(Folder.c_str(), 0777);
    ::chmod(Store.c_str(), 0666);
    TFileRegistry(Store).SetValue(Settings, "Pass", TRegistryValue::FromString("other"));
    EXPECT_EQ(Mode(Folder), 0700u);
    EXPECT_EQ(Mode(Store), 0600u);
}

class FileRegistryFailureTest : public FileRegistryTest,
                                public testing::WithParamInterface<TFailingOperations::TStep>
{
};

TEST_P(FileRegistryFailureTest, AFailedSaveLeavesTheOldFileAndNoLitter)
{
    const std::string Before = PrepareStore();
    const auto Listing = FolderListing(Folder);
    TFailingOperations Operations;
    Operations.FailingStep = GetParam();
    TFileRegistry Registry(Store, Operations);
    EXPECT_THROW(Registry.SetValue(Settings, "Top", TRegistryValue::FromString("99")), ERegistryError);
    EXPECT_THROW(Registry.CreateKey("Software\\New"), ERegistryError);
    Operations.FailingStep = TFailingOperations::NoStep;
    EXPECT_EQ(ReadFile(Store), Before);
    EXPECT_EQ(FolderListing(Folder), Listing);
    // Nothing stays locked: the next save goes through.
    Registry.SetValue(Settings, "Top", TRegistryValue::FromString("99"));
    EXPECT_EQ(TFileRegistry(Store).QueryValue(Settings, "Top")->AsText(), "99");
}

INSTANTIATE_TEST_SUITE_P(EveryStep, FileRegistryFailureTest,
                         testing::Values(TFailingOperations::MakeTemporaryStep,
                                         TFailingOperations::ChangeModeStep, TFailingOperations::WriteStep,
                                         TFailingOperations::SyncFileStep,
                                         TFailingOperations::CloseAfterWriteStep,
                                         TFailingOperations::RenameStep, TFailingOperations::ReadStep));

TEST_F(FileRegistryTest, AFailedFolderFlushIsReported)
{
    PrepareStore();
    TFailingOperations Operations;
    Operations.FailingStep = TFailingOperations::SyncFolderStep;
    TFileRegistry Registry(Store, Operations);
    EXPECT_THROW(Registry.SetValue(Settings, "Top", TRegistryValue::FromString("99")), ERegistryError);
    EXPECT_EQ(FolderListing(Folder), std::vector<std::string>{"registry.reg"});
}

TEST_F(FileRegistryTest, ShortWritesStillWriteEverything)
{
    TFailingOperations Operations;
    Operations.ShortWrites = true;
    TFileRegistry Registry(Store, Operations);
    std::vector<std::uint8_t> Bytes(1000, 0x5a);
    Registry.SetValue(Settings, "Big", TRegistryValue::FromBinary(Bytes.data(), Bytes.size()));
    EXPECT_EQ(TFileRegistry(Store).QueryValue(Settings, "Big")->Data, Bytes);
}

TEST_F(FileRegistryTest, AFileThatCannotBeReadIsNeverReplaced)
{
    const std::string Before = PrepareStore();
    TFailingOperations Operations;
    Operations.FailingStep = TFailingOperations::ReadStep;
    EXPECT_THROW(TFileRegistry(Store, Operations).QueryValue(Settings, "Top"), ERegistryError);
    Operations = TFailingOperations();
    Operations.FailingStep = TFailingOperations::ReadStep;
    Operations.FailingCall = 2; // the read under the lock, after the first look for the key
    EXPECT_THROW(TFileRegistry(Store, Operations).CreateKey("Software\\Other"), ERegistryError);
    EXPECT_EQ(ReadFile(Store), Before);
}

TEST_F(FileRegistryTest, ACorruptFileIsKeptAsideOnceAndWhatCouldBeReadIsServed)
{
    const std::string Corrupt = "Windows Registry Editor Version 5.00\n\n"
                                "[HKEY_CURRENT_USER\\Software\\Zentavo-3D\\geovalues]\n"
                                "\"Top\"=\"10\"\n"
                                "\"Pitch\"=hex:00,00,\x01garbage\n"
                                "\xff\xfe binary rubbish\n"
                                "\"Left\"=\"20\"\n";
    WriteFile(Store, Corrupt);
    TFileRegistry Registry(Store);
    auto Key = Registry.OpenKey(Settings);
    ASSERT_NE(Key, nullptr);
    EXPECT_EQ(Key->QueryValue("Top")->AsText(), "10");
    EXPECT_EQ(Key->QueryValue("Left")->AsText(), "20");
    EXPECT_FALSE(Key->QueryValue("Pitch").has_value());
    EXPECT_EQ(ReadFile(Store), Corrupt); // reading changes nothing

    Key->SetValue("Alpha", TRegistryValue::FromString("200"));
    const auto Listing = FolderListing(Folder);
    ASSERT_EQ(Listing.size(), 2u);
    const std::string CopyName = Listing[0] == "registry.reg" ? Listing[1] : Listing[0];
    EXPECT_EQ(CopyName.rfind("registry.reg.corrupt-", 0), 0u) << CopyName;
    EXPECT_EQ(ReadFile(Folder + "/" + CopyName), Corrupt);
    EXPECT_EQ(Mode(Folder + "/" + CopyName), 0600u);

    const TRegistryDocument Saved = TRegistryDocument::Parse(ReadFile(Store));
    EXPECT_TRUE(Saved.IsComplete());
    EXPECT_EQ(Key->QueryValue("Top")->AsText(), "10");
    EXPECT_EQ(Key->QueryValue("Left")->AsText(), "20");
    EXPECT_EQ(Key->QueryValue("Alpha")->AsText(), "200");

    Key->SetValue("Alpha", TRegistryValue::FromString("201"));
    EXPECT_EQ(FolderListing(Folder).size(), 2u);
}

TEST_F(FileRegistryTest, NoCorruptFileIsReplacedUnlessItsCopyIsSafe)
{
    const std::string Corrupt = "not a registry file at all\n";
    WriteFile(Store, Corrupt);
    TFailingOperations Operations;
    Operations.FailingStep = TFailingOperations::RenameStep; // the copy's rename comes first
    EXPECT_THROW(TFileRegistry(Store, Operations).SetValue(Settings, "Top", TRegistryValue::FromString("1")),
                 ERegistryError);
    EXPECT_EQ(ReadFile(Store), Corrupt);
    EXPECT_EQ(FolderListing(Folder), std::vector<std::string>{"registry.reg"});

    // Two saves within one second keep two distinct copies.
    TFileRegistry Registry(Store);
    Registry.SetValue(Settings, "Top", TRegistryValue::FromString("1"));
    WriteFile(Store, Corrupt);
    Registry.SetValue(Settings, "Top", TRegistryValue::FromString("1"));
    EXPECT_EQ(FolderListing(Folder).size(), 3u);
}

TEST_F(FileRegistryTest, TwoProcessesSavingAtOnceLoseNothing)
{
    constexpr int Writers = 2;
    constexpr int PerWriter = 25;
    int Gate[2];
    ASSERT_EQ(::pipe(Gate), 0);
    std::array<pid_t, Writers> Children{};
    for (int Writer = 0; Writer < Writers; ++Writer) {
        Children[Writer] = ::fork();
        ASSERT_GE(Children[Writer], 0);
        if (Children[Writer] == 0) {
            ::close(Gate[1]);
            char Start;
            if (::read(Gate[0], &Start, 1) != 1)
                ::_exit(2);
            try {
                TFileRegistry Registry(Store);
                auto Own = Registry.CreateKey("Software\\Writer" + std::to_string(Writer));
                auto Shared = Registry.CreateKey(Settings);
                for (int Index = 0; Index < PerWriter; ++Index) {
                    const std::string Name = std::to_string(Writer) + "-" + std::to_string(Index);
                    Shared->SetValue(Name, TRegistryValue::FromString(Name));
                    Own->SetValue(Name, TRegistryValue::FromDWord(static_cast<std::uint32_t>(Index)));
                }
            } catch (...) {
                ::_exit(1);
            }
            ::_exit(0);
        }
    }
    ::close(Gate[0]);
    ASSERT_EQ(::write(Gate[1], "go", Writers), Writers); // both start together
    ::close(Gate[1]);
    for (pid_t Child : Children) {
        int Status = 0;
        ASSERT_EQ(::waitpid(Child, &Status, 0), Child);
        EXPECT_TRUE(WIFEXITED(Status) && WEXITSTATUS(Status) == 0);
    }
    TFileRegistry Registry(Store);
    for (int Writer = 0; Writer < Writers; ++Writer)
        for (int Index = 0; Index < PerWriter; ++Index) {
            const std::string Name = std::to_string(Writer) + "-" + std::to_string(Index);
            EXPECT_EQ(Registry.QueryValue(Settings, Name), TRegistryValue::FromString(Name)) << Name;
            EXPECT_EQ(Registry.QueryValue("Software\\Writer" + std::to_string(Writer), Name),
                      TRegistryValue::FromDWord(static_cast<std::uint32_t>(Index)));
        }
    EXPECT_TRUE(TRegistryDocument::Parse(ReadFile(Store)).IsComplete());
    EXPECT_EQ(FolderListing(Folder), std::vector<std::string>{"registry.reg"});
}

TEST_F(FileRegistryTest, TwoThreadsSavingAtOnceLoseNothing)
{
    TFileRegistry Registry(Store);
    const auto Write = [&](const std::string& Prefix) {
        auto Key = Registry.CreateKey(Settings);
        for (int Index = 0; Index < 25; ++Index)
            Key->SetValue(Prefix + std::to_string(Index), TRegistryValue::FromString(Prefix));
    };
    std::thread First(Write, "a");
    std::thread Second(Write, "b");
    First.join();
    Second.join();
    for (int Index = 0; Index < 25; ++Index) {
        EXPECT_EQ(Registry.QueryValue(Settings, "a" + std::to_string(Index))->AsText(), "a");
        EXPECT_EQ(Registry.QueryValue(Settings, "b" + std::to_string(Index))->AsText(), "b");
    }
}
