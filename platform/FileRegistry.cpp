#include "FileRegistry.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform {

namespace {

constexpr mode_t FolderMode = 0700;
constexpr mode_t FileMode = 0600;

std::string FullPath(const std::string& Path)
{
    return std::string(TFileRegistry::Root) + "\\" + Path;
}

[[noreturn]] void Fail(const std::string& What, const std::string& Path, int Error)
{
    throw ERegistryError("cannot " + What + " " + Path + ": " + std::strerror(Error));
}

class TFileRegistryKey : public TRegistryKey
{
public:
    TFileRegistryKey(TFileRegistry& Registry, std::string Path) : FRegistry(Registry), FPath(std::move(Path))
    {}

    std::optional<TRegistryValue> QueryValue(const std::string& Name) const override
    {
        return FRegistry.QueryValue(FPath, Name);
    }
    void SetValue(const std::string& Name, const TRegistryValue& Value) override
    {
        FRegistry.SetValue(FPath, Name, Value);
    }
    bool DeleteValue(const std::string& Name) override { return FRegistry.DeleteValue(FPath, Name); }

private:
    TFileRegistry& FRegistry;
    std::string FPath;
};

// Holds the folder open and locked; the same descriptor flushes the folder after a rename.
class TFolderLock
{
public:
    TFolderLock(TFileOperations& Operations, const std::string& Folder) : FOperations(Operations)
    {
        FFolder = FOperations.Open(Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
        if (FFolder < 0)
            Fail("open", Folder, errno);
        int Result;
        do
            Result = ::flock(FFolder, LOCK_EX);
        while (Result != 0 && errno == EINTR);
        if (Result != 0) {
            const int Error = errno;
            FOperations.Close(FFolder);
            Fail("lock", Folder, Error);
        }
    }
    ~TFolderLock() { FOperations.Close(FFolder); } // closing releases the lock
    TFolderLock(const TFolderLock&) = delete;
    TFolderLock& operator=(const TFolderLock&) = delete;

    int Descriptor() const { return FFolder; }

private:
    TFileOperations& FOperations;
    int FFolder = -1;
};

// Creates the missing folders above the store's own, private as well: under an open
// parent anyone could move the store's folder away and put one of theirs in its place.
void MakeParents(const std::filesystem::path& Folder)
{
    struct stat Status
    {
    };
    if (Folder.empty() || ::stat(Folder.c_str(), &Status) == 0)
        return;
    if (Folder.has_parent_path() && Folder.parent_path() != Folder)
        MakeParents(Folder.parent_path());
    if (::mkdir(Folder.c_str(), FolderMode) != 0 && errno != EEXIST)
        Fail("create", Folder.string(), errno);
}

std::string Timestamp()
{
    const std::time_t Now = std::time(nullptr);
    std::tm Local{};
    localtime_r(&Now, &Local);
    char Text[32];
    std::strftime(Text, sizeof Text, "%Y%m%d-%H%M%S", &Local);
    return Text;
}

} // namespace

TFileRegistry::TFileRegistry() : TFileRegistry(DefaultStorePath()) {}

TFileRegistry::TFileRegistry(std::string StorePath, TFileOperations& Operations)
    : FStorePath(std::move(StorePath)), FOperations(Operations)
{
    FFolder = std::filesystem::path(FStorePath).parent_path().string();
    if (FFolder.empty())
        FFolder = ".";
}

std::string TFileRegistry::DefaultStorePath()
{
    std::string Config;
    const char* ConfigHome = std::getenv("XDG_CONFIG_HOME");
    if (ConfigHome != nullptr && ConfigHome[0] == '/') { // relative values are to be ignored
        Config = ConfigHome;
    } else {
        const char* Home = std::getenv("HOME");
        if (Home == nullptr || Home[0] == '\0')
            throw ERegistryError("cannot find the settings folder: HOME is not set");
        Config = std::string(Home) + "/.config";
    }
    return Config + "/zentavo-3d/registry.reg";
}

std::unique_ptr<TRegistryKey> TFileRegistry::CreateKey(const std::string& Path)
{
    const std::string Full = FullPath(Path);
    if (!LoadDocument().KeyExists(Full)) {
        Change([&](TRegistryDocument& Document) { return Document.AddKey(Full); });
    } else if (!FLeftoversRemoved) {
        // The clock opens its key so at every start: what a killed save left goes now.
        PrepareFolder();
        TFolderLock Lock(FOperations, FFolder);
        RemoveLeftovers();
    }
    return std::make_unique<TFileRegistryKey>(*this, Path);
}

std::unique_ptr<TRegistryKey> TFileRegistry::OpenKey(const std::string& Path)
{
    if (!LoadDocument().KeyExists(FullPath(Path)))
        return nullptr;
    return std::make_unique<TFileRegistryKey>(*this, Path);
}

std::optional<TRegistryValue> TFileRegistry::QueryValue(const std::string& Path,
                                                        const std::string& Name) const
{
    return LoadDocument().Value(FullPath(Path), Name);
}

void TFileRegistry::SetValue(const std::string& Path, const std::string& Name, const TRegistryValue& Value)
{
    const std::string Full = FullPath(Path);
    Change([&](TRegistryDocument& Document) { return Document.SetValue(Full, Name, Value); });
}

void TFileRegistry::Apply(const std::vector<TRegistryChange>& Changes)
{
    Change([&](TRegistryDocument& Document) {
        bool Changed = false;
        for (const TRegistryChange& Item : Changes) {
            const std::string Full = FullPath(Item.Path);
            Changed = Document.AddKey(Full) || Changed;
            if (Item.Value)
                Changed = Document.SetValue(Full, Item.Name, *Item.Value) || Changed;
            else
                Changed = Document.DeleteValue(Full, Item.Name) || Changed;
        }
        return Changed;
    });
}

std::string TFileRegistry::KeepCopy()
{
    PrepareFolder();
    TFolderLock Lock(FOperations, FFolder);
    const TStoreContents Contents = ReadStore();
    if (!Contents.Exists)
        return {};
    std::string Copy = KeepCorruptCopy(Contents.Bytes);
    if (FOperations.SyncFolder(Lock.Descriptor()) != 0)
        Fail("flush the folder of", FStorePath, errno);
    return Copy;
}

std::vector<std::string> TFileRegistry::LeftoverFiles() const
{
    std::vector<std::string> Found;
    const std::string Prefix = std::filesystem::path(FStorePath).filename().string() + ".tmp-";
    std::error_code Error;
    for (const auto& Entry : std::filesystem::directory_iterator(FFolder, Error))
        if (Entry.path().filename().string().rfind(Prefix, 0) == 0)
            Found.push_back(Entry.path().string());
    return Found;
}

void TFileRegistry::RemoveLeftovers()
{
    // Under the folder lock: no save of another running clock is under way.
    if (FLeftoversRemoved)
        return;
    FLeftoversRemoved = true;
    for (const std::string& Name : LeftoverFiles())
        FOperations.Unlink(Name.c_str());
}

bool TFileRegistry::DeleteValue(const std::string& Path, const std::string& Name)
{
    const std::string Full = FullPath(Path);
    bool Deleted = false;
    Change([&](TRegistryDocument& Document) {
        Deleted = Document.DeleteValue(Full, Name);
        return Deleted;
    });
    return Deleted;
}

TFileRegistry::TStoreContents TFileRegistry::ReadStore() const
{
    TStoreContents Contents;
    const int File = FOperations.Open(FStorePath.c_str(), O_RDONLY | O_CLOEXEC, 0);
    if (File < 0) {
        if (errno == ENOENT)
            return Contents;
        Fail("read", FStorePath, errno);
    }
    Contents.Exists = true;
    char Buffer[16384];
    for (;;) {
        const ssize_t Count = FOperations.Read(File, Buffer, sizeof Buffer);
        if (Count < 0 && errno == EINTR)
            continue;
        if (Count < 0) {
            const int Error = errno;
            FOperations.Close(File);
            Fail("read", FStorePath, Error);
        }
        if (Count == 0)
            break;
        Contents.Bytes.append(Buffer, static_cast<std::size_t>(Count));
    }
    FOperations.Close(File);
    return Contents;
}

TRegistryDocument TFileRegistry::LoadDocument() const
{
    // A save replaces the file in one rename, so a reader always sees a whole one without a lock.
    return TRegistryDocument::Parse(ReadStore().Bytes);
}

bool TFileRegistry::Change(const std::function<bool(TRegistryDocument&)>& Edit)
{
    PrepareFolder();
    TFolderLock Lock(FOperations, FFolder);
    RemoveLeftovers();
    const TStoreContents Contents = ReadStore();
    TRegistryDocument Document = TRegistryDocument::Parse(Contents.Bytes);
    if (!Edit(Document))
        return false;
    const std::string Text = Document.Text();
    if (Contents.Exists && Text == Contents.Bytes)
        return false;
    // What could not be read is left out of the new file, so the old one is kept first.
    if (Contents.Exists && !Document.IsComplete())
        KeepCorruptCopy(Contents.Bytes);
    WriteDurably(FStorePath, Text);
    if (FOperations.SyncFolder(Lock.Descriptor()) != 0) {
        const int Error = errno;
        // A failure must mean that nothing changed, and the new file is already in place.
        std::string Restoring;
        try {
            if (Contents.Exists)
                WriteDurably(FStorePath, Contents.Bytes);
            else if (FOperations.Unlink(FStorePath.c_str()) != 0)
                Fail("remove", FStorePath, errno);
            FOperations.SyncFolder(Lock.Descriptor()); // its failure is the one reported below
        } catch (const ERegistryError& Failure) {
            Restoring = std::string("; the new values stay: ") + Failure.what();
        }
        throw ERegistryError("cannot flush the folder of " + FStorePath + ": " + std::strerror(Error) +
                             Restoring);
    }
    return true;
}

void TFileRegistry::PrepareFolder() const
{
    const std::filesystem::path Folder(FFolder);
    if (Folder.has_parent_path())
        MakeParents(Folder.parent_path());
    if (::mkdir(FFolder.c_str(), FolderMode) != 0 && errno != EEXIST)
        Fail("create", FFolder, errno);
    struct stat Status
    {
    };
    if (::stat(FFolder.c_str(), &Status) != 0)
        Fail("open", FFolder, errno);
    // mkdir obeys the umask, and the settings hold a proxy password.
    if ((Status.st_mode & 07777) != FolderMode && Status.st_uid == ::geteuid() &&
        ::chmod(FFolder.c_str(), FolderMode) != 0)
        Fail("protect", FFolder, errno);
}

void TFileRegistry::WriteDurably(const std::string& Target, const std::string& Bytes) const
{
    // Every temporary file has the store's prefix, so that LeftoverFiles finds it after a crash.
    WriteFileDurably(FOperations, Target, FStorePath, Bytes, FileMode,
                     [&](const char* What, int Error) { Fail(What, Target, Error); });
}

std::string TFileRegistry::KeepCorruptCopy(const std::string& Bytes) const
{
    const std::string Base = FStorePath + ".corrupt-" + Timestamp();
    std::string Name = Base;
    struct stat Status
    {
    };
    for (int Number = 2; ::lstat(Name.c_str(), &Status) == 0; ++Number)
        Name = Base + "-" + std::to_string(Number);
    WriteDurably(Name, Bytes);
    return Name;
}

} // namespace Platform
