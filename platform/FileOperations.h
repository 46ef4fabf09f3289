#pragma once

#include <cstddef>
#include <sys/types.h>

namespace Platform {

// The system calls behind a durable save, one virtual each so that tests can
// make any of them fail. Each returns what the system call returns and leaves
// errno set on failure.
class TFileOperations
{
public:
    virtual ~TFileOperations() = default;

    virtual int Open(const char* Path, int Flags, mode_t Mode);
    // mkstemp: Template ends in XXXXXX and receives the name made.
    virtual int MakeTemporary(char* Template);
    virtual ssize_t Read(int File, void* Buffer, std::size_t Size);
    virtual ssize_t Write(int File, const void* Buffer, std::size_t Size);
    virtual int ChangeMode(int File, mode_t Mode);
    virtual int SyncFile(int File);
    virtual int SyncFolder(int Folder);
    virtual int Close(int File);
    virtual int Rename(const char* From, const char* To);
    virtual int Unlink(const char* Path);

    // The real calls.
    static TFileOperations& System();
};

} // namespace Platform
