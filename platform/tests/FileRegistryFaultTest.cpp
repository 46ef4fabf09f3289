#include "platform/FileRegistry.h"

#include "FileChecks.h"
#include "TemporaryHome.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <random>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace Platform;
namespace fs = std::filesystem;
using namespace Zentavo::Testing;

namespace {

const std::string Settings = "Software\\Zentavo-3D\\geovalues";
const std::string Alarms = "Software\\Zentavo-3D\\alarms";
const std::string Runs = "Software\\Zentavo-3D\\runs";

bool HasTemporaryFile(const std::string& Folder)
{
    const auto Names = FolderListing(Folder);
    return std::any_of(Names.begin(), Names.end(),
                       [](const std::string& Name) { return Name.find(".tmp-") != std::string::npos; });
}

// Two whole states of the store, written as the changes that make them: 20 values that
// change, 2 that go and 2 that come in a new key. Applying one of them turns any store into it.
std::vector<TRegistryChange> OldState()
{
    std::vector<TRegistryChange> Changes;
    for (int Index = 0; Index < 20; ++Index)
        Changes.push_back({Settings, "Value" + std::to_string(Index),
                           TRegistryValue::FromString("old " + std::to_string(Index))});
    Changes.push_back({Settings, "Gone0", TRegistryValue::FromString("old")});
    Changes.push_back({Settings, "Gone1", TRegistryValue::FromDWord(7)});
    Changes.push_back({Alarms, "Added0", std::nullopt});
    Changes.push_back({Alarms, "Added1", std::nullopt});
    return Changes;
}

std::vector<TRegistryChange> NewState()
{
    std::vector<TRegistryChange> Changes;
    for (int Index = 0; Index < 20; ++Index)
        Changes.push_back({Settings, "Value" + std::to_string(Index),
                           TRegistryValue::FromString("new value " + std::to_string(Index))});
    Changes.push_back({Settings, "Gone0", std::nullopt});
    Changes.push_back({Settings, "Gone1", std::nullopt});
    Changes.push_back({Alarms, "Added0", TRegistryValue::FromDWord(1)});
    Changes.push_back({Alarms, "Added1", TRegistryValue::FromString("alarme")});
    return Changes;
}

// Whether a fresh reader of the store finds exactly State.
bool Holds(const std::string& Store, const std::vector<TRegistryChange>& State)
{
    TFileRegistry Registry(Store);
    return std::all_of(State.begin(), State.end(), [&](const TRegistryChange& Item) {
        return Registry.QueryValue(Item.Path, Item.Name) == Item.Value;
    });
}

// Any of the calls behind a save can be made to fail with a chosen error, from its nth call on.
class TFaultyOperations : public TFileOperations
{
public:
    enum class TCall
    {
        MakeTemporary,
        ChangeMode,
        Write,
        SyncFile,
        Close,
        Rename,
        SyncFolder,
    };

    void Fail(TCall Call, int Error, int FromCall = 1) { FFaults[Call] = TFault{Error, FromCall, 0}; }
    int Injected() const { return FInjected; }

    int MakeTemporary(char* Template) override
    {
        if (Fails(TCall::MakeTemporary))
            return -1;
        const int File = TFileOperations::MakeTemporary(Template);
        FTemporaryFiles.insert(File);
        return File;
    }
    int ChangeMode(int File, mode_t Mode) override
    {
        return IsTemporary(File) && Fails(TCall::ChangeMode) ? -1 : TFileOperations::ChangeMode(File, Mode);
    }
    ssize_t Write(int File, const void* Buffer, std::size_t Size) override
    {
        return IsTemporary(File) && Fails(TCall::Write) ? -1 : TFileOperations::Write(File, Buffer, Size);
    }
    int SyncFile(int File) override
    {
        return IsTemporary(File) && Fails(TCall::SyncFile) ? -1 : TFileOperations::SyncFile(File);
    }
    int Close(int File) override
    {
        const bool Temporary = IsTemporary(File);
        FTemporaryFiles.erase(File);
        const int Result = TFileOperations::Close(File);
        // As on Linux: the descriptor is gone even when close reports an error.
        return Temporary && Fails(TCall::Close) ? -1 : Result;
    }
    int Rename(const char* From, const char* To) override
    {
        return Fails(TCall::Rename) ? -1 : TFileOperations::Rename(From, To);
    }
    int SyncFolder(int Folder) override
    {
        return Fails(TCall::SyncFolder) ? -1 : TFileOperations::SyncFolder(Folder);
    }

private:
    struct TFault
    {
        int Error;
        int FromCall;
        int Calls;
    };

    bool IsTemporary(int File) const { return FTemporaryFiles.count(File) != 0; }
    bool Fails(TCall Call)
    {
        const auto Found = FFaults.find(Call);
        if (Found == FFaults.end() || ++Found->second.Calls < Found->second.FromCall)
            return false;
        ++FInjected;
        errno = Found->second.Error;
        return true;
    }

    std::map<TCall, TFault> FFaults;
    std::set<int> FTemporaryFiles;
    int FInjected = 0;
};

const char* CallName(TFaultyOperations::TCall Call)
{
    switch (Call) {
    case TFaultyOperations::TCall::MakeTemporary:
        return "mkstemp";
    case TFaultyOperations::TCall::ChangeMode:
        return "fchmod";
    case TFaultyOperations::TCall::Write:
        return "write";
    case TFaultyOperations::TCall::SyncFile:
        return "fsync";
    case TFaultyOperations::TCall::Close:
        return "close";
    case TFaultyOperations::TCall::Rename:
        return "rename";
    case TFaultyOperations::TCall::SyncFolder:
        return "fsync of the folder";
    }
    return "?";
}

// Dies, as a crash or a power cut would stop it, just before its nth system call.
class TKillingOperations : public TFileOperations
{
public:
    explicit TKillingOperations(int KillAt) : FKillAt(KillAt) {}

    int Open(const char* Path, int Flags, mode_t Mode) override
    {
        Step();
        return TFileOperations::Open(Path, Flags, Mode);
    }
    int MakeTemporary(char* Template) override
    {
        Step();
        return TFileOperations::MakeTemporary(Template);
    }
    ssize_t Read(int File, void* Buffer, std::size_t Size) override
    {
        Step();
        return TFileOperations::Read(File, Buffer, Size);
    }
    ssize_t Write(int File, const void* Buffer, std::size_t Size) override
    {
        Step();
        return TFileOperations::Write(File, Buffer, Size);
    }
    int ChangeMode(int File, mode_t Mode) override
    {
        Step();
        return TFileOperations::ChangeMode(File, Mode);
    }
    int SyncFile(int File) override
    {
        Step();
        return TFileOperations::SyncFile(File);
    }
    int SyncFolder(int Folder) override
    {
        Step();
        return TFileOperations::SyncFolder(Folder);
    }
    int Close(int File) override
    {
        Step();
        return TFileOperations::Close(File);
    }
    int Rename(const char* From, const char* To) override
    {
        Step();
        return TFileOperations::Rename(From, To);
    }
    int Unlink(const char* Path) override
    {
        Step();
        return TFileOperations::Unlink(Path);
    }

private:
    void Step()
    {
        if (++FCalls == FKillAt)
            ::raise(SIGKILL);
    }

    int FKillAt;
    int FCalls = 0;
};

// Runs Work in a child process and returns its wait status; an exception ends it with 3.
int RunInChild(const std::function<void()>& Work)
{
    const pid_t Child = ::fork();
    if (Child == 0) {
        try {
            Work();
        } catch (...) {
            ::_exit(3);
        }
        ::_exit(0);
    }
    int Status = 0;
    if (Child < 0 || ::waitpid(Child, &Status, 0) != Child)
        ADD_FAILURE() << "cannot run a child: " << std::strerror(errno);
    return Status;
}

bool WasKilled(int Status)
{
    return WIFSIGNALED(Status) && WTERMSIG(Status) == SIGKILL;
}

class FileRegistryFault : public testing::Test
{
protected:
    void SetUp() override { UseFolder("registry"); }

    void UseFolder(const std::string& Prefix)
    {
        Folder = Zentavo::Testing::MakeScratchFolder(Prefix) + "/zentavo-3d";
        Store = Folder + "/registry.reg";
    }

    // What a store in either state must look like after a save stopped anywhere.
    void ExpectWholeState()
    {
        const bool Old = Holds(Store, OldState());
        const bool New = Holds(Store, NewState());
        EXPECT_TRUE(Old || New) << "a mix of old and new values:\n" << ReadFile(Store);
        EXPECT_TRUE(TRegistryDocument::Parse(ReadFile(Store)).IsComplete()) << ReadFile(Store);
        SeenOld = SeenOld || Old;
        SeenNew = SeenNew || New;
    }

    // The next start of the clock: one change, after which no temporary file is left.
    void StartAgain(int Run, const std::vector<TRegistryChange>& Reset)
    {
        SeenLeftovers = SeenLeftovers || HasTemporaryFile(Folder);
        std::vector<TRegistryChange> Changes = Reset;
        Changes.push_back({Runs, "Start", TRegistryValue::FromDWord(static_cast<std::uint32_t>(Run))});
        TFileRegistry Registry(Store);
        Registry.Apply(Changes);
        EXPECT_TRUE(Registry.LeftoverFiles().empty());
        EXPECT_FALSE(HasTemporaryFile(Folder)) << testing::PrintToString(FolderListing(Folder));
    }

    std::string Folder;
    std::string Store;
    bool SeenOld = false;
    bool SeenNew = false;
    bool SeenLeftovers = false;
};

} // namespace

// --- Failing system calls ----------------------------------------------------------------

TEST_F(FileRegistryFault, AFailingCallLeavesTheOldFileAsItWasAndNoTemporaryFile)
{
    using TCall = TFaultyOperations::TCall;
    for (const bool Existing : {true, false})
        for (const TCall Call : {TCall::MakeTemporary, TCall::ChangeMode, TCall::Write, TCall::SyncFile,
                                 TCall::Close, TCall::Rename, TCall::SyncFolder})
            for (const int Error : {ENOSPC, EIO, EACCES}) {
                SCOPED_TRACE(std::string(CallName(Call)) + " fails with " + std::strerror(Error) +
                             (Existing ? ", old file" : ", no file yet"));
                UseFolder("fault");
                std::string Before;
                if (Existing) {
                    TFileRegistry(Store).Apply(OldState());
                    Before = ReadFile(Store);
                }
                TFaultyOperations Operations;
                Operations.Fail(Call, Error);
                TFileRegistry Registry(Store, Operations);
                std::string Message;
                try {
                    Registry.Apply(NewState());
                    ADD_FAILURE() << "no error";
                } catch (const ERegistryError& Failure) {
                    Message = Failure.what();
                }
                EXPECT_GE(Operations.Injected(), 1);
                // Readable: what failed, on which file, and why.
                EXPECT_EQ(Message.rfind("cannot ", 0), 0u) << Message;
                EXPECT_NE(Message.find(Store), std::string::npos) << Message;
                EXPECT_NE(Message.find(std::strerror(Error)), std::string::npos) << Message;
                if (Existing) {
                    EXPECT_EQ(ReadFile(Store), Before);
                }
                EXPECT_EQ(FolderListing(Folder),
                          Existing ? std::vector<std::string>{"registry.reg"} : std::vector<std::string>{});
                EXPECT_TRUE(Registry.LeftoverFiles().empty());
            }
}

TEST_F(FileRegistryFault, WhenTheOldFileCannotBePutBackTheMessageSaysSo)
{
    // The folder flush fails after the new file is in place, and so does the rename that
    // would have put the old one back.
    TFileRegistry(Store).Apply(OldState());
    TFaultyOperations Operations;
    Operations.Fail(TFaultyOperations::TCall::SyncFolder, EIO);
    Operations.Fail(TFaultyOperations::TCall::Rename, ENOSPC, 2);
    TFileRegistry Registry(Store, Operations);
    try {
        Registry.Apply(NewState());
        FAIL() << "no error";
    } catch (const ERegistryError& Failure) {
        EXPECT_EQ(std::string(Failure.what()),
                  "cannot flush the folder of " + Store + ": " + std::strerror(EIO) +
                      "; the new values stay: cannot replace " + Store + ": " + std::strerror(ENOSPC));
    }
    EXPECT_TRUE(Holds(Store, NewState()));
    EXPECT_EQ(FolderListing(Folder), std::vector<std::string>{"registry.reg"});
}

// --- Killed saves ---------------------------------------------------------------------------

TEST_F(FileRegistryFault, KilledAtAnySystemCallTheSaveIsWholeOrNotAtAll)
{
    TFileRegistry(Store).Apply(OldState());
    bool Completed = false;
    int KillAt = 1;
    for (; KillAt <= 100 && !Completed; ++KillAt) {
        SCOPED_TRACE("killed at call " + std::to_string(KillAt));
        const int Status = RunInChild([&] {
            TKillingOperations Operations(KillAt);
            TFileRegistry(Store, Operations).Apply(NewState());
        });
        Completed = WIFEXITED(Status) && WEXITSTATUS(Status) == 0;
        ASSERT_TRUE(Completed || WasKilled(Status)) << "status " << Status;
        ExpectWholeState();
        StartAgain(KillAt, OldState());
    }
    EXPECT_TRUE(Completed);
    // The kills fell before, inside and after the save.
    EXPECT_GT(KillAt, 10);
    EXPECT_TRUE(SeenOld);
    EXPECT_TRUE(SeenNew);
    EXPECT_TRUE(SeenLeftovers);
}

TEST_F(FileRegistryFault, KilledWhileKeepingACorruptFileTheCopyLeavesNoTemporaryFile)
{
    // The store holds the old values and a line that cannot be read, so the save first
    // writes a copy of it.
    TFileRegistry(Store).Apply(OldState());
    const std::string Corrupt = ReadFile(Store) + "\xff\xfe not a line of a registry file\n";
    WriteFile(Store, Corrupt);
    bool Completed = false;
    for (int KillAt = 1; KillAt <= 100 && !Completed; ++KillAt) {
        SCOPED_TRACE("killed at call " + std::to_string(KillAt));
        const int Status = RunInChild([&] {
            TKillingOperations Operations(KillAt);
            TFileRegistry(Store, Operations).Apply(NewState());
        });
        Completed = WIFEXITED(Status) && WEXITSTATUS(Status) == 0;
        ASSERT_TRUE(Completed || WasKilled(Status)) << "status " << Status;
        const std::string After = ReadFile(Store);
        EXPECT_TRUE(After == Corrupt ||
                    (Holds(Store, NewState()) && TRegistryDocument::Parse(After).IsComplete()))
            << After;
        StartAgain(KillAt, {});
        for (const std::string& Name : FolderListing(Folder))
            if (Name != "registry.reg")
                fs::remove(Folder + "/" + Name);
        WriteFile(Store, Corrupt);
    }
    EXPECT_TRUE(Completed);
    EXPECT_TRUE(SeenLeftovers);
}

TEST_F(FileRegistryFault, KillsAtRandomMomentsNeverLeaveHalfASave)
{
    TFileRegistry(Store).Apply(OldState());
    std::mt19937 Random(20240611);
    const auto Deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    int Kills = 0;
    for (; Kills < 300 && std::chrono::steady_clock::now() < Deadline; ++Kills) {
        SCOPED_TRACE("kill " + std::to_string(Kills));
        const pid_t Child = ::fork();
        ASSERT_GE(Child, 0);
        if (Child == 0) {
            try {
                TFileRegistry Registry(Store);
                for (;;) {
                    Registry.Apply(NewState());
                    Registry.Apply(OldState());
                }
            } catch (...) {
                ::_exit(3);
            }
        }
        ::usleep(static_cast<useconds_t>(Random() % 20001));
        ASSERT_EQ(::kill(Child, SIGKILL), 0);
        int Status = 0;
        ASSERT_EQ(::waitpid(Child, &Status, 0), Child);
        ASSERT_TRUE(WasKilled(Status)) << "the saving child stopped by itself, status " << Status;
        ExpectWholeState();
        StartAgain(Kills, {});
    }
    EXPECT_GE(Kills, 100) << "too few kills in the time";
}

TEST_F(FileRegistryFault, ALeftoverTemporaryFileGoesAtTheFirstChangeButNoOtherFile)
{
    TFileRegistry(Store).Apply(OldState());
    const std::string Bytes = ReadFile(Store);
    // A whole copy and a half one, as saves killed before their rename leave them.
    const std::vector<std::string> Leftovers = {Folder + "/registry.reg.tmp-Ab12Cd",
                                                Folder + "/registry.reg.tmp-zz9999"};
    WriteFile(Leftovers[0], Bytes);
    WriteFile(Leftovers[1], Bytes.substr(0, Bytes.size() / 2));
    const std::vector<std::string> Others = {"notes.txt", "other.reg.tmp-Ab12Cd",
                                             "registry.reg.corrupt-20240611-101500", "registry.reg.tmp",
                                             "registry.regtmp-Ab12Cd"};
    for (const std::string& Name : Others)
        WriteFile(Folder + "/" + Name, Bytes);

    TFileRegistry Registry(Store);
    std::vector<std::string> Found = Registry.LeftoverFiles();
    std::sort(Found.begin(), Found.end());
    EXPECT_EQ(Found, Leftovers);
    // Reading removes nothing.
    EXPECT_EQ(Registry.QueryValue(Settings, "Value1"), TRegistryValue::FromString("old 1"));
    EXPECT_NE(Registry.OpenKey(Settings), nullptr);
    EXPECT_TRUE(fs::exists(Leftovers[0]) && fs::exists(Leftovers[1]));

    // Opening the key with full access, as every start does, clears them.
    EXPECT_NE(Registry.CreateKey(Settings), nullptr);
    EXPECT_TRUE(Registry.LeftoverFiles().empty());
    Registry.SetValue(Settings, "Value0", TRegistryValue::FromString("changed"));
    std::vector<std::string> Expected = Others;
    Expected.push_back("registry.reg");
    std::sort(Expected.begin(), Expected.end());
    EXPECT_EQ(FolderListing(Folder), Expected);
    EXPECT_TRUE(Registry.LeftoverFiles().empty());
    for (const std::string& Name : Others)
        EXPECT_EQ(ReadFile(Folder + "/" + Name), Bytes) << Name;
    EXPECT_EQ(Registry.QueryValue(Settings, "Value0"), TRegistryValue::FromString("changed"));
    EXPECT_EQ(Registry.QueryValue(Settings, "Value1"), TRegistryValue::FromString("old 1"));
}

// --- Modes ----------------------------------------------------------------------------------

TEST_F(FileRegistryFault, UnderAnOpenUmaskOnlyTheOwnerCanReachTheStore)
{
    // The settings hold a proxy password.
    const std::string Config = Zentavo::Testing::MakeScratchFolder("umask") + "/config";
    Folder = Config + "/deeper/zentavo-3d";
    Store = Folder + "/registry.reg";
    TUmask Umask(0);
    std::vector<TRegistryChange> Changes = NewState();
    Changes.push_back({Settings, "ProxyPassword", TRegistryValue::FromString("secret")});
    TFileRegistry(Store).Apply(Changes);
    EXPECT_EQ(Mode(Store), 0600u);
    EXPECT_EQ(Mode(Folder), 0700u);
    // The folders made above it as well: in an open one anyone could swap the store's folder.
    EXPECT_EQ(Mode(Config + "/deeper"), 0700u);
    EXPECT_EQ(Mode(Config), 0700u);

    // A corrupt store left open by someone else: its copy and the new store are private.
    WriteFile(Store, ReadFile(Store) + "\xff garbage\n");
    ASSERT_EQ(::chmod(Store.c_str(), 0666), 0);
    TFileRegistry(Store).Apply(OldState());
    EXPECT_EQ(Mode(Store), 0600u);
    const auto Names = FolderListing(Folder);
    ASSERT_EQ(Names.size(), 2u);
    EXPECT_EQ(Names[0], "registry.reg");
    EXPECT_EQ(Names[1].rfind("registry.reg.corrupt-", 0), 0u) << Names[1];
    EXPECT_EQ(Mode(Folder + "/" + Names[1]), 0600u);
}
