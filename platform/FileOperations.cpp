#include "FileOperations.h"

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

TFileOperations& TFileOperations::System()
{
    static TFileOperations Operations;
    return Operations;
}

} // namespace Platform
