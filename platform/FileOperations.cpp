#include "FileOperations.h"

#include <stdexcept>

#include <cstring>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Platform {

int TFileOperations::Open(const char* Path, int Flags, mode_t Mode)
{
    return ::open(Path, Flags, Mode);
}

int TFileOperations::MakeTemporary(char* Template)
{
    return ::mkostemp(Template, O_CLOEXEC);
}

ssize_t TFileOperations::Read(int File, void* Buffer, std::size_t Size)
{
    return ::read(File, Buffer, Size);
}

ssize_t TFileOperations::Write(int File, const void* Buffer, std::size_t Size)
{
    return ::write(File, Buffer, Size);
}

int TFileOperations::ChangeMode(int File, mode_t Mode)
{
    return ::fchmod(File, Mode);
}

int TFileOperations::SyncFile(int File)
{
    return ::fsync(File);
}

int TFileOperations::SyncFolder(int Folder)
{
    return ::fsync(Folder);
}

int TFileOperations::Close(int File)
{
    return ::close(File);
}

int TFileOperations::Rename(const char* From, const char* To)
{
    return ::rename(From, To);
}

int TFileOperations::Unlink(const char* Path)
{
    return ::unlink(Path);
}

void WriteFileDurably(TFileOperations& Operations, const std::string& Target,
                      const std::string& TemporaryPrefix, const std::string& Bytes, mode_t Mode,
                      const std::function<void(const char* What, int Error)>& Fail)
{
    std::string Temporary = TemporaryPrefix + ".tmp-XXXXXX";
    int File = Operations.MakeTemporary(Temporary.data());
    if (File < 0)
        Fail("create a temporary file for", errno);
    const auto Abandon = [&](const char* What) {
        const int Error = errno;
        if (File >= 0)
            Operations.Close(File);
        Operations.Unlink(Temporary.c_str());
        Fail(What, Error);
    };
    if (Operations.ChangeMode(File, Mode) != 0)
        Abandon("protect");
    for (std::size_t Written = 0; Written < Bytes.size();) {
        const ssize_t Count = Operations.Write(File, Bytes.data() + Written, Bytes.size() - Written);
        if (Count < 0 && errno == EINTR)
            continue;
        if (Count <= 0) {
            if (Count == 0)
                errno = EIO;
            Abandon("write");
        }
        Written += static_cast<std::size_t>(Count);
    }
    // A failed flush means the data may never reach the disk: that write failed.
    if (Operations.SyncFile(File) != 0)
        Abandon("flush");
    const int Closing = File;
    File = -1;
    if (Operations.Close(Closing) != 0)
        Abandon("close");
    if (Operations.Rename(Temporary.c_str(), Target.c_str()) != 0)
        Abandon("replace");
}

void SyncFolderOf(TFileOperations& Operations, const std::string& Target,
                  const std::function<void(const char* What, int Error)>& Fail)
{
    const std::string::size_type Slash = Target.rfind('/');
    const std::string Folder = Slash == std::string::npos ? "." : Slash == 0 ? "/" : Target.substr(0, Slash);
    const int Descriptor = Operations.Open(Folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (Descriptor < 0)
        Fail("flush the folder of", errno);
    const int Synced = Operations.SyncFolder(Descriptor);
    const int Error = errno;
    Operations.Close(Descriptor);
    if (Synced != 0)
        Fail("flush the folder of", Error);
}

TFileOperations& TFileOperations::System()
{
    static TFileOperations Operations;
    return Operations;
}

void MakePrivateFolders(const std::filesystem::path& Folder)
{
    struct stat Status
    {
    };
    if (Folder.empty() || ::stat(Folder.c_str(), &Status) == 0)
        return;
    if (Folder.has_parent_path() && Folder.parent_path() != Folder)
        MakePrivateFolders(Folder.parent_path());
    if (::mkdir(Folder.c_str(), 0700) != 0 && errno != EEXIST)
        throw std::runtime_error("cannot create the folder " + Folder.string() + ": " + std::strerror(errno));
}

} // namespace Platform
